#pragma once

#include "core/support/scoped_connections.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <vector>

typedef struct _AdwMessageDialog AdwMessageDialog;
typedef struct _GObject GObject;

namespace kovi {

struct AppContext;
class AccountCard;
class PrivacyInfoView;

// The account panel, 380 × 480: a title with a close button, the account card, then for a guest
// a note that everything stays on this computer, else a "Sign Out" row that asks first, and a
// "Privacy & Data" row that opens the privacy sheet. Follows the account as it changes.
// `dismiss` ends whatever presents it (the sheet, or the panel over the browser).
class AccountSettingsView : public Gtk::Box {
public:
    static constexpr int width = 380;
    static constexpr int height = 480;

    AccountSettingsView(AppContext& ctx, std::function<void()> dismiss);
    ~AccountSettingsView() override;

    Gtk::Button& closeButton() { return m_close; }
    AccountCard* card() const { return m_card; }
    Gtk::Widget* guestNote() const { return m_guestNote; }
    Gtk::Button* signOutRow() const { return m_signOutRow; }
    Gtk::Button* privacyRow() const { return m_privacyRow; }
    AdwMessageDialog* signOutConfirmation() const { return m_confirmation; }
    PrivacyInfoView* privacySheet() const { return m_privacySheet.get(); }

    // The rows' actions, as their clicks run them.
    void askToSignOut();
    void showPrivacyInfo();

private:
    void refresh();
    void closeConfirmation();
    static void onConfirmationResponse(AdwMessageDialog* dialog, const char* response, void* self);
    static void onConfirmationGone(void* self, GObject* dialog);

    AppContext& m_ctx;
    std::function<void()> m_dismiss;
    Gtk::Button m_close;
    Gtk::ScrolledWindow m_scroller;
    AccountCard* m_card = nullptr;
    Gtk::Widget* m_guestNote = nullptr;
    Gtk::Button* m_signOutRow = nullptr;
    Gtk::Button* m_privacyRow = nullptr;
    AdwMessageDialog* m_confirmation = nullptr;
    std::unique_ptr<PrivacyInfoView> m_privacySheet;
    std::vector<std::unique_ptr<PrivacyInfoView>> m_closedSheets;
    sigc::connection m_dropClosed;
    ScopedConnections m_connections;
};

} // namespace kovi
