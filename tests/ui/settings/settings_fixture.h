#pragma once

#include "app/app_fixture.h"

#include "ui/settings/settings_window.h"

#include <gtkmm/button.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/listview.h>
#include <gtkmm/native.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/popover.h>
#include <gtkmm/scrolledwindow.h>

#include <memory>
#include <set>
#include <string>

namespace kovi::test {

// The whole application with the real view slots (pages left out: the start page stands in), a
// guest signed in and the browser shown.
class SettingsAppTest : public ::testing::Test {
protected:
    void start()
    {
        // Windows of an earlier test in this process are not this test's.
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            s_earlier.insert(window);
        ViewSlots slots = defaultViewSlots();
        slots.tabContent = {};
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, std::move(slots));
        ASSERT_TRUE(h->showBrowser());
    }
    void restart()
    {
        h.reset();
        start();
    }
    AppContext& ctx() { return h->ctx(); }

    // The settings windows this test made.
    static std::vector<SettingsWindow*> settingsWindows()
    {
        std::vector<SettingsWindow*> found;
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            if (s_earlier.count(window))
                continue;
            if (auto* settings = dynamic_cast<SettingsWindow*>(window))
                found.push_back(settings);
        }
        return found;
    }
    static SettingsWindow* settingsWindow()
    {
        auto all = settingsWindows();
        return all.size() == 1 ? all.front() : nullptr;
    }
    // Ctrl+, typed into the browser window; returns the shown settings window.
    SettingsWindow* openWithKeys()
    {
        if (!xdoFocusWindow(h->window()) || !xdoKey("ctrl+comma"))
            return nullptr;
        if (!runUntilGtk([] { return settingsWindow() && settingsWindow()->get_mapped(); }))
            return nullptr;
        SettingsWindow* window = settingsWindow();
        waitForWindow(*window);
        return window;
    }
    // A click on a tab button through the display.
    template <class Tab>
    Tab* showTab(SettingsWindow& window, SettingsTab tab)
    {
        xdoFocusWindow(window);
        if (!xdoClickWidget(window.tabBar().button(tab)))
            return nullptr;
        runUntilGtk([&] { return window.selectedTab() == tab && window.tabView() && window.tabView()->get_mapped(); });
        settle(50);
        return dynamic_cast<Tab*>(window.tabView());
    }

    TempDir dir;
    std::unique_ptr<AppHarness> h;
    static inline std::set<Gtk::Window*> s_earlier;
};

// Scrolls the nearest scrolled window around `widget` so that all of it shows. Measured once the
// widget is laid out (a tab just shown may not be yet), from where it shows in the scrolled window
// now; the scroll is laid out on the frames after.
inline void scrollIntoView(Gtk::Widget& widget)
{
    EXPECT_TRUE(runUntilGtk([&] { return widget.get_mapped() && widget.get_width() > 0; }) && waitForFrames(widget));
    for (Gtk::Widget* w = widget.get_parent(); w; w = w->get_parent()) {
        auto* scroller = dynamic_cast<Gtk::ScrolledWindow*>(w);
        if (!scroller)
            continue;
        graphene_point_t top = GRAPHENE_POINT_INIT(0, 0), shown;
        if (!gtk_widget_compute_point(widget.gobj(), GTK_WIDGET(scroller->gobj()), &top, &shown))
            return;
        auto adjustment = scroller->get_vadjustment();
        const double view = adjustment->get_page_size();
        const double value = adjustment->get_value();
        if (shown.y < 0)
            adjustment->set_value(std::max(0.0, value + shown.y - 16));
        else if (shown.y + widget.get_height() > view)
            adjustment->set_value(value + shown.y + widget.get_height() - view + 16);
        waitForFrames(*scroller);
        return;
    }
}

// A click on a widget inside a popover: the popover is a surface of its own, placed relative to
// its window's surface, which sits at the screen's origin without a window manager.
inline bool xdoClickInPopover(Gtk::Widget& widget)
{
    Gtk::Native* native = widget.get_native();
    if (!native || widget.get_width() <= 0)
        return false;
    GdkSurface* surface = native->get_surface()->gobj();
    if (!GDK_IS_POPUP(surface))
        return xdoClickWidget(widget);
    graphene_point_t in = GRAPHENE_POINT_INIT(static_cast<float>(widget.get_width() / 2.0),
                                              static_cast<float>(widget.get_height() / 2.0));
    graphene_point_t out;
    if (!gtk_widget_compute_point(widget.gobj(), dynamic_cast<Gtk::Widget*>(native)->gobj(), &in, &out))
        return false;
    double sx = 0, sy = 0;
    native->get_surface_transform(sx, sy);
    const int x = gdk_popup_get_position_x(GDK_POPUP(surface)) + static_cast<int>(out.x + sx);
    const int y = gdk_popup_get_position_y(GDK_POPUP(surface)) + static_cast<int>(out.y + sy);
    return xdoClickAt(x, y);
}

// Picks item `index` of a drop-down through the display: opens its list and clicks the row.
inline bool chooseFromDropDown(Gtk::DropDown& dropDown, unsigned index)
{
    scrollIntoView(dropDown);
    if (auto* window = dynamic_cast<Gtk::Window*>(dropDown.get_root()))
        xdoFocusWindow(*window);
    if (!xdoClickWidget(dropDown))
        return false;
    Gtk::ListView* list = nullptr;
    const bool shown = runUntilGtk([&] {
        for (Gtk::Widget* w = dropDown.get_first_child(); w; w = w->get_next_sibling()) {
            if (auto* popover = dynamic_cast<Gtk::Popover*>(w); popover && popover->get_mapped()) {
                // The popover's list of rows.
                std::vector<Gtk::Widget*> stack{popover};
                while (!stack.empty() && !list) {
                    Gtk::Widget* current = stack.back();
                    stack.pop_back();
                    list = dynamic_cast<Gtk::ListView*>(current);
                    for (Gtk::Widget* c = current->get_first_child(); c; c = c->get_next_sibling())
                        stack.push_back(c);
                }
                return list != nullptr;
            }
        }
        return false;
    });
    if (!shown)
        return false;
    settle(100);
    unsigned i = 0;
    for (Gtk::Widget* row = list->get_first_child(); row; row = row->get_next_sibling()) {
        if (i++ == index)
            return xdoClickInPopover(*row);
    }
    return false;
}

} // namespace kovi::test
