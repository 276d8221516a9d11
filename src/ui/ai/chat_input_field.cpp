#include "ui/ai/chat_input_field.h"

#include <gdk/gdkkeysyms.h>

namespace kovi {

ChatInputField::ChatInputField(const char* placeholder)
{
    add_css_class("kovi-ai-input");
    set_hexpand(true);
    set_valign(Gtk::Align::CENTER);

    m_view.set_wrap_mode(Gtk::WrapMode::WORD_CHAR);
    m_view.set_accepts_tab(false);
    m_view.set_hexpand(true);
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_propagate_natural_height(true);
    m_scroller.set_child(m_view);
    set_child(m_scroller);

    m_placeholder.set_text(placeholder);
    m_placeholder.add_css_class("placeholder");
    m_placeholder.set_halign(Gtk::Align::START);
    m_placeholder.set_valign(Gtk::Align::START);
    m_placeholder.set_can_target(false);
    add_overlay(m_placeholder);

    m_view.get_buffer()->signal_changed().connect([this] {
        m_placeholder.set_visible(m_view.get_buffer()->size() == 0);
        textChanged.emit();
    });
    // Capture: Return must not reach the view's own handler, which would insert a line break.
    m_keys = Gtk::EventControllerKey::create();
    m_keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    m_keys->signal_key_pressed().connect(sigc::mem_fun(*this, &ChatInputField::onKeyPressed), false);
    m_view.add_controller(m_keys);
    m_view.signal_realize().connect(sigc::mem_fun(*this, &ChatInputField::updateMaxHeight));
}

void ChatInputField::updateMaxHeight()
{
    // Four lines of the view's own font, plus its top and bottom margins.
    std::string lines = "Ag";
    for (int i = 1; i < maxLines; ++i)
        lines += "\nAg";
    int width = 0, height = 0;
    m_view.create_pango_layout(lines)->get_pixel_size(width, height);
    // The view sets each line at whole pixels, so four of its lines can be a pixel shorter.
    height = height / maxLines * maxLines;
    m_scroller.set_max_content_height(height + m_view.get_top_margin() + m_view.get_bottom_margin());
}

bool ChatInputField::onKeyPressed(guint keyval, guint, Gdk::ModifierType state)
{
    if (keyval != GDK_KEY_Return && keyval != GDK_KEY_KP_Enter && keyval != GDK_KEY_ISO_Enter)
        return false;
    if ((state & Gdk::ModifierType::SHIFT_MASK) == Gdk::ModifierType::SHIFT_MASK)
        return false;
    // An input method composing text takes Return to commit it; only then does Return submit.
    auto event = std::const_pointer_cast<Gdk::Event>(m_keys->get_current_event());
    if (event && m_view.im_context_filter_keypress(event))
        return true;
    submitted.emit();
    return true;
}

std::string ChatInputField::text() const
{
    return m_view.get_buffer()->get_text(true);
}

void ChatInputField::setText(const std::string& text)
{
    auto buffer = m_view.get_buffer();
    if (buffer->get_text(true).raw() != text)
        buffer->set_text(text);
    buffer->place_cursor(buffer->end());
}

void ChatInputField::focus()
{
    m_view.grab_focus();
}

} // namespace kovi
