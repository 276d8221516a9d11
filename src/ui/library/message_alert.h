#pragma once

#include <functional>
#include <string>

typedef struct _AdwMessageDialog AdwMessageDialog;

namespace Gtk {
class Window;
}

namespace kovi {

// An alert with one "OK" button over `parent`, shown until it is answered or its owner goes.
// Answering it in any way (OK, Escape, closing) runs `onDismissed` once.
class MessageAlert {
public:
    MessageAlert(Gtk::Window& parent, const std::string& heading, const std::string& body,
                 std::function<void()> onDismissed = {});
    ~MessageAlert();
    MessageAlert(const MessageAlert&) = delete;
    MessageAlert& operator=(const MessageAlert&) = delete;

    void setBody(const std::string& body);
    bool isOpen() const { return m_dialog != nullptr; }
    AdwMessageDialog* dialog() const { return m_dialog; }

private:
    static void onResponse(AdwMessageDialog* dialog, const char* response, void* self) noexcept;

    AdwMessageDialog* m_dialog = nullptr;
    std::function<void()> m_onDismissed;
};

} // namespace kovi
