#include "ui/ai/gradient_sparkles.h"

#include <cairomm/pattern.h>

namespace kovi {

GradientSparkles::GradientSparkles(int size, std::vector<Color> stops)
    : m_stops(std::move(stops))
{
    add_css_class("kovi-gradient-sparkles");
    set_content_width(size);
    set_content_height(size);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);
    set_can_target(false);
    set_draw_func(sigc::mem_fun(*this, &GradientSparkles::draw));
}

void GradientSparkles::draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height)
{
    // The outline of data/icons/kovi-sparkles-symbolic.svg, on its 16-unit grid.
    const double scale = std::min(width, height) / 16.0;
    cr->scale(scale, scale);
    auto star = [&](double cx, double cy, double reach, double waist) {
        cr->move_to(cx, cy - reach);
        cr->line_to(cx + waist, cy - waist);
        cr->line_to(cx + reach, cy);
        cr->line_to(cx + waist, cy + waist);
        cr->line_to(cx, cy + reach);
        cr->line_to(cx - waist, cy + waist);
        cr->line_to(cx - reach, cy);
        cr->line_to(cx - waist, cy - waist);
        cr->close_path();
    };
    star(6, 6.5, 5, 1.3);
    star(12, 12, 3, 0.8);

    const bool rtl = get_direction() == Gtk::TextDirection::RTL;
    auto gradient = Cairo::LinearGradient::create(rtl ? 16 : 0, 0, rtl ? 0 : 16, 16);
    for (std::size_t i = 0; i < m_stops.size(); ++i) {
        const double at = m_stops.size() == 1 ? 0 : static_cast<double>(i) / (m_stops.size() - 1);
        gradient->add_color_stop_rgb(at, m_stops[i].red, m_stops[i].green, m_stops[i].blue);
    }
    cr->set_source(gradient);
    cr->fill();
}

} // namespace kovi
