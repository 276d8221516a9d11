// What is out of view costs nothing: a loading tab's spinner in the floating sidebar keeps the
// window drawing only while the sidebar is in view.
#include "app_fixture.h"

#include "ui/layouts/content_view.h"

#include <gtkmm/spinner.h>
#include <gtkmm/window.h>

namespace kovi::test {
namespace {

// Frames the window drew during `seconds`.
int framesDrawnIn(Gtk::Window& window, double seconds)
{
    GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj()));
    const gint64 before = gdk_frame_clock_get_frame_counter(clock);
    runUntilGtk([] { return false; }, seconds);
    return static_cast<int>(gdk_frame_clock_get_frame_counter(clock) - before);
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
    settle(300);
    EXPECT_GT(framesDrawnIn(window, 1.0), 10) << "a spinner in view animates";

    SidebarHost& host = view->sidebarHost();
    host.setIsPinned(false);
    ASSERT_FALSE(host.isSidebarVisible());
    settle(800); // the form's fade
    EXPECT_LE(framesDrawnIn(window, 1.0), 2);
    EXPECT_FALSE(spinner->get_mapped());

    view->dock().floating().pointerEnteredRevealStrip();
    ASSERT_TRUE(runUntilGtk([&] { return view->dock().floating().offset() > -1; }, 3));
    EXPECT_TRUE(spinner->get_mapped());
    EXPECT_GT(framesDrawnIn(window, 1.0), 10);

    view->dock().floating().tapScrim();
    ASSERT_TRUE(runUntilGtk([&] { return !spinner->get_mapped(); }, 3));
    settle(300);
    EXPECT_LE(framesDrawnIn(window, 1.0), 2);
    window.destroy();
    settle(20);
}

} // namespace
} // namespace kovi::test
