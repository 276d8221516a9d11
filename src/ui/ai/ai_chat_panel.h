#pragma once

#include "core/ai/ai_chat_controller.h"
#include "core/support/scoped_connections.h"
#include "ui/ai/chat_input_field.h"
#include "ui/ai/thinking_indicator.h"
#include "ui/design/motion.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>
#include <sigc++/connection.h>

#include <memory>
#include <vector>

typedef struct _AdwClamp AdwClamp;

namespace kovi {

class BrowserState;
class ChatBubble;
class QuickActionButton;

// The AI chat card (400 × 520) laid over the browser while BrowserState::isAIChatVisible():
// header with the close button, the conversation (or the empty state with its quick actions),
// the "Thinking..." row, the error strip and the growing input with its send button. A new
// panel starts a new conversation; closing it drops an answer still on its way.
class AIChatPanel : public Gtk::Overlay {
public:
    static constexpr int width = 400;
    static constexpr int height = 520;

    AIChatPanel(BrowserState& state, std::unique_ptr<AIChatController> controller);
    ~AIChatPanel() override;

    AIChatController& controller() { return *m_controller; }

    // ---- Inspection, for tests ----
    Gtk::Button& closeButton() { return m_close; }
    Gtk::Button& sendButton() { return m_send; }
    ChatInputField& input() { return m_input; }
    Gtk::ScrolledWindow& messageList() { return m_scroller; }
    Gtk::Widget& emptyState() const { return *m_empty; }
    std::vector<QuickActionButton*> quickActions() const { return m_quickActions; }
    std::vector<ChatBubble*> bubbles() const { return m_bubbles; }
    Gtk::Widget& thinkingRow() { return m_thinking; }
    ThinkingIndicator& thinkingIndicator() { return m_indicator; }
    Gtk::Widget& errorStrip() { return m_errorStrip; }
    Gtk::Label& errorLabel() { return m_errorLabel; }
    Gtk::Button& dismissButton() { return m_dismiss; }
    // Where the list is scrolling to; settled once the scroll animation has arrived.
    bool isScrollSettled() const;

private:
    void buildHeader();
    void buildEmptyState();
    void buildErrorStrip();
    void buildInputRow();
    void refreshMessages();
    void refreshLoading();
    void refreshError();
    void refreshInput();
    void scheduleScrollToLast();
    bool scrollToLastWhenLaidOut(const Glib::RefPtr<Gdk::FrameClock>& clock);
    void drawStroke(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);
    void release();

    BrowserState& m_state;
    std::unique_ptr<AIChatController> m_controller;

    AdwClamp* m_clamp = nullptr; // holds the column to the card's width
    Gtk::Box m_column{Gtk::Orientation::VERTICAL};
    Gtk::DrawingArea m_stroke;
    Gtk::Box m_header{Gtk::Orientation::HORIZONTAL};
    Gtk::Button m_close;
    Gtk::Separator m_headerDivider{Gtk::Orientation::HORIZONTAL};
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_list{Gtk::Orientation::VERTICAL};
    Gtk::Widget* m_empty = nullptr;
    std::vector<QuickActionButton*> m_quickActions;
    std::vector<ChatBubble*> m_bubbles;
    Gtk::Box m_thinking{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_errorStrip{Gtk::Orientation::HORIZONTAL};
    Gtk::Label m_errorLabel;
    Gtk::Button m_dismiss;
    Gtk::Separator m_inputDivider{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_inputRow{Gtk::Orientation::HORIZONTAL};
    ChatInputField m_input{"Ask Kovi AI anything..."};
    Gtk::Button m_send;

    bool m_syncingInput = false;
    ThinkingIndicator m_indicator{13};
    guint m_scrollTick = 0;
    int m_scrollWaits = 0;
    std::unique_ptr<MotionValue> m_scrollMotion;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
