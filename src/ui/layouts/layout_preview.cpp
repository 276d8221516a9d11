#include "ui/layouts/layout_preview.h"

#include "ui/design/drawing.h"

#include <adwaita.h>
#include <gtkmm/settings.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>
#include <cmath>

namespace kovi {

namespace {

struct Rgba {
    double r, g, b, a;
};

Rgba themeColor(Gtk::Widget& widget, const char* name, Rgba fallback)
{
    Gdk::RGBA color;
    if (widget.get_style_context()->lookup_color(name, color))
        return {color.get_red(), color.get_green(), color.get_blue(), color.get_alpha()};
    return fallback;
}

void setColor(const Cairo::RefPtr<Cairo::Context>& cr, Rgba c, double opacity = 1.0)
{
    cr->set_source_rgba(c.r, c.g, c.b, c.a * opacity);
}

void circle(const Cairo::RefPtr<Cairo::Context>& cr, double x, double y, double d, Rgba c, double opacity)
{
    cr->arc(x + d / 2, y + d / 2, d / 2, 0, 2 * M_PI);
    setColor(cr, c, opacity);
    cr->fill();
}

constexpr Rgba blue{0.0, 0.48, 1.0, 1}, purple{0.69, 0.32, 0.87, 1}, orange{1.0, 0.58, 0.0, 1};
constexpr Rgba gray{0.56, 0.56, 0.58, 1};

void chevron(const Cairo::RefPtr<Cairo::Context>& cr, double cx, double cy, bool left, Rgba c)
{
    const double s = 3.0;
    cr->move_to(cx + (left ? s / 2 : -s / 2), cy - s);
    cr->line_to(cx + (left ? -s / 2 : s / 2), cy);
    cr->line_to(cx + (left ? s / 2 : -s / 2), cy + s);
    cr->set_line_width(1.4);
    setColor(cr, c, 0.6);
    cr->stroke();
}

// The buttons the desktop's layout ("icon:minimize,maximize,close") names for one side, in
// order; the window's icon and menu are not drawn.
std::vector<std::string> buttonsOfSide(const std::string& layout, bool end)
{
    const auto colon = layout.find(':');
    std::string side = end ? (colon == std::string::npos ? "" : layout.substr(colon + 1)) : layout.substr(0, colon);
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= side.size()) {
        const auto comma = side.find(',', start);
        const std::string name = side.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (name == "minimize" || name == "maximize" || name == "close")
            names.push_back(name);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

// The plain symbol of a window button on its faint round backing.
void drawWindowButton(const Cairo::RefPtr<Cairo::Context>& cr, const LayoutPreview::WindowButton& b, Rgba c)
{
    circle(cr, b.x, b.y, b.size, c, 0.1);
    const double cx = b.x + b.size / 2, cy = b.y + b.size / 2, r = b.size * 0.22;
    cr->set_line_width(std::max(1.0, b.size / 8));
    setColor(cr, c, 0.8);
    if (b.name == "minimize") {
        cr->move_to(cx - r, cy + r * 0.6);
        cr->line_to(cx + r, cy + r * 0.6);
    } else if (b.name == "maximize") {
        cr->rectangle(cx - r, cy - r, 2 * r, 2 * r);
    } else {
        cr->move_to(cx - r, cy - r);
        cr->line_to(cx + r, cy + r);
        cr->move_to(cx + r, cy - r);
        cr->line_to(cx - r, cy + r);
    }
    cr->stroke();
}

} // namespace

LayoutPreview::LayoutPreview(BrowserLayoutMode mode) : m_mode(mode)
{
    add_css_class("kovi-layout-preview");
    set_draw_func(sigc::mem_fun(*this, &LayoutPreview::draw));
    // Colours come from the scheme, the buttons from the desktop: redraw when either changes.
    m_darkHandler = g_signal_connect_swapped(adw_style_manager_get_default(), "notify::dark",
                                             G_CALLBACK(gtk_widget_queue_draw), gobj());
    m_connections.add(
        get_settings()->property_gtk_decoration_layout().signal_changed().connect([this] { queue_draw(); }));
}

LayoutPreview::~LayoutPreview()
{
    if (m_darkHandler)
        g_signal_handler_disconnect(adw_style_manager_get_default(), m_darkHandler);
}

std::vector<LayoutPreview::WindowButton> LayoutPreview::windowButtons(double width)
{
    const std::string layout = get_settings()->property_gtk_decoration_layout().get_value();
    // The row they sit in: the sidebar's top (80 wide) or the whole tab strip.
    const bool vertical = m_mode == BrowserLayoutMode::vertical;
    const double size = vertical ? 10 : 8, gap = 6, top = vertical ? 8 : 12;
    const double rowEnd = vertical ? 80 : width;
    std::vector<WindowButton> buttons;
    double x = 8;
    for (const std::string& name : buttonsOfSide(layout, false)) {
        buttons.push_back({name, x, top, size, false});
        x += size + gap;
    }
    const auto endNames = buttonsOfSide(layout, true);
    x = rowEnd - 8 - endNames.size() * size - (endNames.empty() ? 0 : (endNames.size() - 1) * gap);
    for (const std::string& name : endNames) {
        buttons.push_back({name, x, top, size, true});
        x += size + gap;
    }
    return buttons;
}

void LayoutPreview::setMode(BrowserLayoutMode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    queue_draw();
}

void LayoutPreview::draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height)
{
    const double w = width, h = height;
    cr->save();
    addRoundedRect(cr, 0, 0, w, h, 12);
    cr->clip();
    if (m_mode == BrowserLayoutMode::vertical)
        drawVertical(cr, w, h);
    else
        drawTraditional(cr, w, h);
    cr->restore();
    // Hairline of the separator colour inside the border.
    addRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 11.5);
    cr->set_line_width(1);
    setColor(cr, themeColor(*this, "borders", {0, 0, 0, 0.15}));
    cr->stroke();
}

void LayoutPreview::drawVertical(const Cairo::RefPtr<Cairo::Context>& cr, double w, double h)
{
    const Rgba window = themeColor(*this, "window_bg_color", {0.93, 0.93, 0.93, 1});
    const Rgba control = themeColor(*this, "view_bg_color", {1, 1, 1, 1});
    const Rgba text = themeColor(*this, "view_bg_color", {1, 1, 1, 1});

    // Page.
    setColor(cr, text);
    cr->rectangle(80, 0, std::max(0.0, w - 80), h);
    cr->fill();
    // Sidebar.
    setColor(cr, window, 0.5);
    cr->rectangle(0, 0, 80, h);
    cr->fill();
    const Rgba foreground = themeColor(*this, "window_fg_color", {0, 0, 0, 0.8});
    for (const WindowButton& button : windowButtons(w))
        drawWindowButton(cr, button, foreground);
    // Four tab rows, 24 high, inset 8, spacing 8.
    double y = 8 + 10 + 8;
    const double dotsTop = h - 12 - 20;
    for (int i = 0; i < 4; ++i) {
        // A short frame keeps the dots clear: rows that would run into them are left out.
        if (y + 24 > dotsTop - 8)
            break;
        addRoundedRect(cr, 8, y, 80 - 16, 24, 4);
        setColor(cr, control);
        cr->fill();
        y += 24 + 8;
    }
    // Space dots, 20 × 20, spacing 6, 12 from the bottom, centred in the sidebar.
    const double dotsWidth = 3 * 20 + 2 * 6;
    double x = (80 - dotsWidth) / 2;
    for (Rgba c : {blue, purple, orange}) {
        circle(cr, x, h - 12 - 20, 20, c, 0.7);
        x += 26;
    }
}

void LayoutPreview::drawTraditional(const Cairo::RefPtr<Cairo::Context>& cr, double w, double h)
{
    const Rgba window = themeColor(*this, "window_bg_color", {0.93, 0.93, 0.93, 1});
    const Rgba control = themeColor(*this, "view_bg_color", {1, 1, 1, 1});
    const Rgba text = themeColor(*this, "view_bg_color", {1, 1, 1, 1});
    const Rgba foreground = themeColor(*this, "window_fg_color", {0, 0, 0, 0.8});

    // Page.
    setColor(cr, text);
    cr->rectangle(0, 60, w, std::max(0.0, h - 60));
    cr->fill();
    // Tab strip, 32 high.
    setColor(cr, window, 0.8);
    cr->rectangle(0, 0, w, 32);
    cr->fill();
    // The window's buttons; the tabs run from those of the start to those of the end.
    double x = 8, tabsEnd = w;
    for (const WindowButton& button : windowButtons(w)) {
        drawWindowButton(cr, button, foreground);
        if (button.atEnd)
            tabsEnd = std::min(tabsEnd, button.x - 4);
        else
            x = button.x + button.size + 4;
    }
    cr->save();
    cr->rectangle(0, 0, std::max(0.0, tabsEnd), 32);
    cr->clip();
    for (int i = 0; i < 3; ++i) {
        addRoundedRect(cr, x, 4, 100, 24, 4);
        if (i == 0) {
            setColor(cr, control);
            cr->fill();
        } else {
            cr->begin_new_path();
        }
        // Favicon and title inside the tab, centred.
        const double contentWidth = 12 + 4 + 50;
        const double cx = x + (100 - contentWidth) / 2;
        circle(cr, cx, 10, 12, gray, 0.5);
        addRoundedRect(cr, cx + 16, 12, 50, 8, 2);
        setColor(cr, gray, 0.3);
        cr->fill();
        x += 100 + 4;
    }
    // New-tab plus.
    setColor(cr, foreground, 0.5);
    cr->set_line_width(1.2);
    cr->move_to(x + 1, 16);
    cr->line_to(x + 9, 16);
    cr->move_to(x + 5, 12);
    cr->line_to(x + 5, 20);
    cr->stroke();
    cr->restore();

    // Address row, 28 high.
    setColor(cr, window, 0.6);
    cr->rectangle(0, 32, w, 28);
    cr->fill();
    chevron(cr, 14, 46, true, foreground);
    chevron(cr, 28, 46, false, foreground);
    // The address field takes half of what is left; a spacer takes the rest.
    const double fieldX = 8 + 10 + 8 + 10 + 8;
    const double fieldWidth = std::max(0.0, (w - fieldX - 8 - 8) / 2);
    addRoundedRect(cr, fieldX, 36, fieldWidth, 20, 4);
    setColor(cr, control);
    cr->fill();
}

} // namespace kovi
