#include "ui/ai/thinking_indicator.h"

#include <gtkmm/stylecontext.h>
#include <glibmm/main.h>

#include <cmath>

namespace kovi {

namespace {
constexpr int spokes = 8;
}

ThinkingIndicator::ThinkingIndicator(int size)
{
    add_css_class("kovi-thinking-indicator");
    set_content_width(size);
    set_content_height(size);
    set_valign(Gtk::Align::CENTER);
    set_draw_func(sigc::mem_fun(*this, &ThinkingIndicator::draw));
    // Steps only while it can be seen.
    signal_map().connect(sigc::mem_fun(*this, &ThinkingIndicator::updateTicking));
    signal_unmap().connect(sigc::mem_fun(*this, &ThinkingIndicator::updateTicking));
}

ThinkingIndicator::~ThinkingIndicator()
{
    m_tick.disconnect();
}

void ThinkingIndicator::setSpinning(bool spinning)
{
    m_spinning = spinning;
    updateTicking();
}

void ThinkingIndicator::updateTicking()
{
    const bool wanted = m_spinning && get_mapped();
    if (wanted == m_tick.connected())
        return;
    if (!wanted) {
        m_tick.disconnect();
        return;
    }
    m_tick = Glib::signal_timeout().connect(
        [this] {
            m_step = (m_step + 1) % spokes;
            queue_draw();
            return true;
        },
        1000 / stepsPerSecond);
}

void ThinkingIndicator::draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height)
{
    const Gdk::RGBA color = get_style_context()->get_color();
    const double radius = std::min(width, height) / 2.0;
    cr->translate(width / 2.0, height / 2.0);
    cr->set_line_cap(Cairo::Context::LineCap::ROUND);
    cr->set_line_width(std::max(1.0, radius * 0.22));
    for (int i = 0; i < spokes; ++i) {
        // The newest spoke is the darkest; the others fade behind it.
        const int age = (m_step - i + spokes) % spokes;
        const double alpha = 1.0 - 0.8 * age / (spokes - 1.0);
        const double angle = 2 * M_PI * i / spokes - M_PI / 2;
        cr->set_source_rgba(color.get_red(), color.get_green(), color.get_blue(), color.get_alpha() * alpha);
        cr->move_to(std::cos(angle) * radius * 0.45, std::sin(angle) * radius * 0.45);
        cr->line_to(std::cos(angle) * radius * 0.9, std::sin(angle) * radius * 0.9);
        cr->stroke();
    }
}

} // namespace kovi
