#include "ui/ai/ai_chat_panel.h"

#include "core/state/browser_state.h"
#include "ui/ai/chat_bubble.h"
#include "ui/ai/gradient_sparkles.h"
#include "ui/ai/quick_action_button.h"
#include "ui/design/drawing.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"

#include <adwaita.h>
#include <gtkmm/image.h>

#include <algorithm>

namespace kovi {

namespace {

constexpr KoviDesign::Motion scrollAnimation = KoviDesign::Motion::easeInOut(0.35);
// Frames to wait for a new bubble to be laid out before scrolling anyway.
constexpr int maxScrollWaits = 30;

Gtk::Label* makeLabel(const char* text, const char* cssClass)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->add_css_class(cssClass);
    return label;
}

} // namespace

AIChatPanel::AIChatPanel(BrowserState& state, std::unique_ptr<AIChatController> controller)
    : m_state(state), m_controller(std::move(controller))
{
    add_css_class("kovi-ai-chat");
    set_size_request(width, height);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);
    set_overflow(Gtk::Overflow::HIDDEN);

    buildHeader();
    m_column.append(m_header);
    m_headerDivider.add_css_class("kovi-ai-divider");
    m_headerDivider.set_margin_start(16);
    m_headerDivider.set_margin_end(16);
    m_column.append(m_headerDivider);

    m_scroller.add_css_class("kovi-ai-messages");
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_vexpand(true);
    m_list.set_spacing(12);
    m_list.set_margin_top(12);
    m_list.set_margin_bottom(12);
    m_scroller.set_child(m_list);
    m_column.append(m_scroller);
    buildEmptyState();

    m_thinking.add_css_class("kovi-ai-thinking");
    m_thinking.set_spacing(6);
    m_thinking.set_margin_start(16);
    m_thinking.set_margin_end(16);
    m_indicator.add_css_class("kovi-secondary");
    m_thinking.append(m_indicator);
    m_thinking.append(*makeLabel("Thinking...", "kovi-secondary"));
    m_thinking.set_visible(false);
    m_list.append(m_thinking);

    buildErrorStrip();
    m_column.append(m_errorStrip);
    m_inputDivider.add_css_class("kovi-ai-divider");
    m_column.append(m_inputDivider);
    buildInputRow();
    m_column.append(m_inputRow);
    // The card keeps its width: what is wider (the error text) wraps inside it.
    m_clamp = ADW_CLAMP(adw_clamp_new());
    adw_clamp_set_maximum_size(m_clamp, width);
    adw_clamp_set_tightening_threshold(m_clamp, width);
    adw_clamp_set_child(m_clamp, GTK_WIDGET(m_column.gobj()));
    gtk_overlay_set_child(gobj(), GTK_WIDGET(m_clamp));
    g_object_add_weak_pointer(G_OBJECT(m_clamp), reinterpret_cast<gpointer*>(&m_clamp));

    // The hairline around the card, drawn once; it takes no clicks.
    m_stroke.set_can_target(false);
    m_stroke.set_draw_func(sigc::mem_fun(*this, &AIChatPanel::drawStroke));
    add_overlay(m_stroke);

    m_scrollMotion = std::make_unique<MotionValue>(m_scroller, 0.0, [this](double value) {
        m_scroller.get_vadjustment()->set_value(value);
    });

    AIChatController& c = *m_controller;
    m_connections.add(c.messagesChanged.connect(sigc::mem_fun(*this, &AIChatPanel::refreshMessages)));
    m_connections.add(c.isLoadingChanged.connect(sigc::mem_fun(*this, &AIChatPanel::refreshLoading)));
    m_connections.add(c.errorMessageChanged.connect(sigc::mem_fun(*this, &AIChatPanel::refreshError)));
    m_connections.add(c.inputTextChanged.connect(sigc::mem_fun(*this, &AIChatPanel::refreshInput)));
    m_connections.add(m_input.textChanged.connect([this] {
        if (m_syncingInput)
            return;
        m_controller->setInputText(m_input.text());
    }));
    m_connections.add(m_input.submitted.connect([this] { m_controller->submit(); }));
    // The field takes the keyboard as soon as the panel shows.
    m_connections.add(signal_map().connect([this] { m_input.focus(); }));
    m_connections.add(signal_destroy().connect(sigc::mem_fun(*this, &AIChatPanel::release)));

    refreshMessages();
    refreshLoading();
    refreshError();
    refreshInput();
}

AIChatPanel::~AIChatPanel()
{
    release();
}

void AIChatPanel::release()
{
    m_connections.clear();
    if (m_scrollTick) {
        remove_tick_callback(m_scrollTick);
        m_scrollTick = 0;
    }
    m_scrollMotion.reset();
    // The column is a member: out of the clamp before it goes, unless the clamp went first.
    if (m_clamp) {
        g_object_remove_weak_pointer(G_OBJECT(m_clamp), reinterpret_cast<gpointer*>(&m_clamp));
        adw_clamp_set_child(m_clamp, nullptr);
        m_clamp = nullptr;
    }
    // Drops the answer of a request still running: the client never calls back once gone.
    m_controller.reset();
}

void AIChatPanel::buildHeader()
{
    m_header.add_css_class("kovi-ai-header");
    m_header.set_spacing(6);
    auto* sparkles = makeSymbolImage("sparkles", 16);
    sparkles->add_css_class("kovi-ai-purple");
    m_header.append(*sparkles);
    auto* title = makeLabel("Kovi AI", "title");
    title->set_hexpand(true);
    title->set_xalign(0);
    m_header.append(*title);

    m_close.add_css_class("kovi-ai-close");
    m_close.set_has_frame(false);
    m_close.set_valign(Gtk::Align::CENTER);
    m_close.set_child(*makeSymbolImage("xmark", 11));
    m_close.set_tooltip_text("Close");
    m_close.signal_clicked().connect([this] { m_state.setIsAIChatVisible(false); });
    m_header.append(m_close);
}

void AIChatPanel::buildEmptyState()
{
    auto* empty = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    empty->add_css_class("kovi-ai-empty");
    empty->set_margin_top(40);
    empty->set_margin_bottom(40);

    // A soft glow behind the gradient symbol; a radial fill stands in for a blurred disc.
    auto* emblem = Gtk::make_managed<Gtk::Overlay>();
    emblem->set_halign(Gtk::Align::CENTER);
    auto* glow = Gtk::make_managed<Gtk::Box>();
    glow->add_css_class("kovi-ai-glow");
    glow->set_size_request(88, 88);
    emblem->set_child(*glow);
    emblem->add_overlay(*Gtk::make_managed<GradientSparkles>(
        32, std::vector<GradientSparkles::Color>{{0.69, 0.32, 0.87}, {0.0, 0.48, 1.0}}));
    empty->append(*emblem);

    empty->append(*makeLabel("Chat with Kovi AI", "title"));
    auto* text = makeLabel("Ask questions, get help with research, summarize your tabs, or just chat.", "text");
    text->add_css_class("kovi-secondary");
    text->set_wrap(true);
    text->set_justify(Gtk::Justification::CENTER);
    text->set_margin_start(32);
    text->set_margin_end(32);
    empty->append(*text);

    auto* actions = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    actions->set_margin_top(8);
    for (const auto& action : AIChatController::quickActions) {
        auto* button = Gtk::make_managed<QuickActionButton>(action.title, action.symbol);
        button->signal_clicked().connect([this, &action] {
            m_controller->runQuickAction(action);
            if (!action.sendsAtOnce)
                m_input.focus();
        });
        actions->append(*button);
        m_quickActions.push_back(button);
    }
    empty->append(*actions);
    m_empty = empty;
    m_list.append(*empty);
}

void AIChatPanel::buildErrorStrip()
{
    m_errorStrip.add_css_class("kovi-ai-error");
    m_errorStrip.set_spacing(8);
    auto* icon = makeSymbolImage("exclamationmark.triangle.fill", 14);
    icon->add_css_class("kovi-ai-orange");
    m_errorStrip.append(*icon);
    m_errorLabel.add_css_class("kovi-secondary");
    m_errorLabel.set_use_markup(false);
    m_errorLabel.set_wrap(true);
    m_errorLabel.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    m_errorLabel.set_xalign(0);
    m_errorLabel.set_hexpand(true);
    m_errorStrip.append(m_errorLabel);
    m_dismiss.set_label("Dismiss");
    m_dismiss.add_css_class("dismiss");
    m_dismiss.set_has_frame(false);
    m_dismiss.set_focus_on_click(false);
    m_dismiss.set_valign(Gtk::Align::CENTER);
    m_dismiss.signal_clicked().connect([this] { m_controller->dismissError(); });
    m_errorStrip.append(m_dismiss);
}

void AIChatPanel::buildInputRow()
{
    m_inputRow.add_css_class("kovi-ai-input-row");
    m_inputRow.set_spacing(10);
    m_inputRow.append(m_input);
    m_send.add_css_class("kovi-ai-send");
    m_send.set_has_frame(false);
    m_send.set_focus_on_click(false); // typing goes on in the field
    m_send.set_valign(Gtk::Align::CENTER);
    m_send.set_child(*makeSymbolImage("arrow.up.circle.fill", 24));
    m_send.set_tooltip_text("Send");
    m_send.signal_clicked().connect([this] { m_controller->sendMessage(); });
    m_inputRow.append(m_send);
}

void AIChatPanel::refreshMessages()
{
    const auto& messages = m_controller->messages();
    // The empty state never returns for this panel. Hidden, not removed: the quick action that
    // sent may still be running its click handler.
    m_empty->set_visible(messages.empty());
    const std::size_t before = m_bubbles.size();
    for (std::size_t i = before; i < messages.size(); ++i) {
        auto* bubble = Gtk::make_managed<ChatBubble>(messages[i]);
        m_list.insert_child_after(*bubble, m_bubbles.empty() ? static_cast<Gtk::Widget&>(*m_empty)
                                                               : static_cast<Gtk::Widget&>(*m_bubbles.back()));
        m_bubbles.push_back(bubble);
    }
    if (m_bubbles.size() != before)
        scheduleScrollToLast();
}

void AIChatPanel::refreshLoading()
{
    const bool loading = m_controller->isLoading();
    m_thinking.set_visible(loading);
    m_indicator.setSpinning(loading);
    refreshInput();
}

void AIChatPanel::refreshError()
{
    const auto& message = m_controller->errorMessage();
    m_errorStrip.set_visible(message.has_value());
    m_errorLabel.set_text(message.value_or(""));
}

void AIChatPanel::refreshInput()
{
    if (m_input.text() != m_controller->inputText()) {
        m_syncingInput = true;
        m_input.setText(m_controller->inputText());
        m_syncingInput = false;
    }
    const bool ready = m_controller->canSend();
    m_send.set_sensitive(ready);
    setClass(m_send, "ready", ready);
}

void AIChatPanel::scheduleScrollToLast()
{
    // The new bubble has no place yet: scroll once a frame has laid it out.
    m_scrollWaits = 0;
    if (!m_scrollTick)
        m_scrollTick = add_tick_callback(sigc::mem_fun(*this, &AIChatPanel::scrollToLastWhenLaidOut));
}

bool AIChatPanel::scrollToLastWhenLaidOut(const Glib::RefPtr<Gdk::FrameClock>&)
{
    if (m_bubbles.empty()) {
        m_scrollTick = 0;
        return false;
    }
    auto adjustment = m_scroller.get_vadjustment();
    Gtk::Widget& last = *m_bubbles.back();
    graphene_rect_t bounds;
    const bool placed = gtk_widget_compute_bounds(last.gobj(), GTK_WIDGET(m_list.gobj()), &bounds);
    const double bottom = placed ? bounds.origin.y + bounds.size.height + m_list.get_margin_top() : 0;
    if ((!placed || bounds.size.height <= 0 || adjustment->get_upper() < bottom) && ++m_scrollWaits < maxScrollWaits)
        return true;
    m_scrollTick = 0;
    const double maximum = std::max(0.0, adjustment->get_upper() - adjustment->get_page_size());
    const double target = std::clamp(bottom - adjustment->get_page_size(), 0.0, maximum);
    m_scrollMotion->jumpTo(adjustment->get_value());
    m_scrollMotion->animateTo(target, scrollAnimation);
    return false;
}

bool AIChatPanel::isScrollSettled() const
{
    return !m_scrollTick && m_scrollMotion && !m_scrollMotion->isRunning();
}

void AIChatPanel::drawStroke(const Cairo::RefPtr<Cairo::Context>& cr, int w, int h)
{
    // Purple at 0.3 (top leading) to white at 0.1 (bottom trailing), half a pixel inside.
    auto gradient = Cairo::LinearGradient::create(0, 0, w, h);
    gradient->add_color_stop_rgba(0, 0.69, 0.32, 0.87, 0.3);
    gradient->add_color_stop_rgba(1, 1, 1, 1, 0.1);
    cr->set_source(gradient);
    cr->set_line_width(0.5);
    addRoundedRect(cr, 0.25, 0.25, w - 0.5, h - 0.5, KoviDesign::Radius::panel);
    cr->stroke();
}

} // namespace kovi
