// What is out of view costs nothing: a loading tab's spinner in the floating sidebar keeps the
// window drawing only while the sidebar is in view.
#include "app_fixture.h"

#include "ui/layouts/content_view.h"
#include "ui/layouts/floating_sidebar.h"
#include "ui/layouts/sidebar_dock.h"

#include <gtkmm/spinner.h>
#include <gtkmm/window.h>

namespace kovi::test {
namespace {

// The window's paints over a number of frame clock ticks. A tick callback keeps the clock
// running while nothing else asks for frames, so a quiet window is measured in frames it could
// have drawn, however slowly the machine turns them.
int paintsOver(Gtk::Window& window, int ticks)
{
    GtkWidget* widget = GTK_WIDGET(window.gobj());
    GdkFrameClock* clock = gtk_widget_get_frame_clock(widget);
    struct Count {
        int ticks = 0;
        int paints = 0;
    } count;
    const gulong painted = g_signal_connect_swapped(
        clock, "paint", G_CALLBACK(+[](Count* c) { ++c->paints; }), &count);
    const guint tick = gtk_widget_add_tick_callback(
        widget,
        [](GtkWidget*, GdkFrameClock*, gpointer data) -> gboolean {
            ++static_cast<Count*>(data)->ticks;
            return G_SOURCE_CONTINUE;
        },
        &count, nullptr);
    EXPECT_TRUE(runUntilGtk([&] { return count.ticks >= ticks; }, 60)) << count.ticks << " ticks";
    gtk_widget_remove_tick_callback(widget, tick);
    g_signal_handler_disconnect(clock, painted);
    return count.paints;
}

// Regression: the hidden floating sidebar was only slid out of the window, still drawn; a
// spinner in it kept the window drawing every frame while nothing on screen changed.
TEST(HiddenSidebarCostTest, ASpinnerInTheHiddenFloatingSidebarDrawsNoFrames)
{
    ensureGtk();
    TempDir dir;
    CoreObjects core(dir.path());
    Gtk::Spinner* spinner = nullptr;
    ViewSlots slots;
    slots.sidebar = [&](AppContext&, SidebarHost&) -> Gtk::Widget* {
        spinner = Gtk::make_managed<Gtk::Spinner>();
        spinner->set_valign(Gtk::Align::START);
        spinner->set_spinning(true);
        return spinner;
    };
    Gtk::Window window;
    window.set_default_size(1000, 700);
    core.theme.attach(window);
    auto* view = Gtk::make_managed<ContentView>(core.ctx, std::move(slots));
    window.set_child(*view);
    window.present();
    ASSERT_TRUE(waitForWindow(window));
    ASSERT_TRUE(spinner);
    constexpr int ticks = 30;
    EXPECT_GT(paintsOver(window, ticks), ticks / 2) << "a spinner in view animates";

    SidebarHost& host = view->sidebarHost();
    FloatingSidebar& floating = view->dock().floating();
    host.setIsPinned(false);
    ASSERT_FALSE(host.isSidebarVisible());
    // Once the new form has faded in and the panel has slid away, nothing changes on screen.
    ASSERT_TRUE(runUntilGtk([&] { return !floating.scrim().get_visible() && view->dock().get_opacity() == 1.0; }));
    EXPECT_TRUE(runUntilGtk([&] { return !spinner->get_mapped(); })) << "the panel out of view is not drawn";
    EXPECT_LE(paintsOver(window, ticks), 2);

    floating.pointerEnteredRevealStrip();
    ASSERT_TRUE(runUntilGtk([&] { return floating.offset() > -1; }));
    EXPECT_TRUE(spinner->get_mapped());
    EXPECT_GT(paintsOver(window, ticks), ticks / 2);

    floating.tapScrim();
    ASSERT_TRUE(runUntilGtk([&] { return !floating.scrim().get_visible(); }));
    EXPECT_TRUE(runUntilGtk([&] { return !spinner->get_mapped(); }));
    EXPECT_LE(paintsOver(window, ticks), 2);
    window.destroy();
    settle(20);
}

} // namespace
} // namespace kovi::test
