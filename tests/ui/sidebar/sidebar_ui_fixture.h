#pragma once

#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
#include "support/temp_dir.h"
#include "ui/app/sidebar_host.h"
#include "ui/design/theme.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/sidebar/tab_snapshot_provider.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <gtkmm/window.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kovi::sidebartest {

// GTK, libadwaita and the bundled styles, once per process; fails the test without a display.
void ensureGtk();
// Turns the main loop until `done` holds (true) or the time runs out (false).
bool runUntil(const std::function<bool()>& done, double seconds = 10);
// Turns the main loop for about `ms` milliseconds.
void pump(int ms);
// Runs xdotool with these arguments and waits for it while the main loop keeps turning.
bool xdo(const std::vector<std::string>& arguments);
// Gives the window the X keyboard focus (there is no window manager to do it).
bool focusWindow(Gtk::Window& window);
// Screen position of a point of `widget` (the window sits at 0,0 without a window manager).
bool screenPoint(Gtk::Widget& widget, double x, double y, int& sx, int& sy);
// Emits a drop of plain text on the widget's drop target, as a drop from another program does.
bool emitTextDrop(Gtk::Widget& widget, const std::string& text, double x, double y);
// Saves the screen as a PNG when KOVI_SCREENSHOT_DIR is set (for looking at by hand).
void screenshot(const std::string& name);

// Pictures for the hover preview: a solid picture for tabs marked live, nothing for others.
class FakeSnapshots final : public TabSnapshotProvider {
public:
    void snapshot(const Uuid& tabId, std::function<void(Glib::RefPtr<Gdk::Texture>)> done) override;
    std::map<Uuid, bool> live;
    std::vector<Uuid> requests;
};

// A sidebar in a window of its own, beside a stand-in page, on a browser state over a temp
// folder. restartState() rebuilds state and sidebar on the same folder, as a relaunch does.
class SidebarWindowTest : public ::testing::Test {
protected:
    SidebarWindowTest();
    ~SidebarWindowTest() override;

    void SetUp() override;
    void TearDown() override;

    void buildState();
    void buildWindow();
    void destroyWindow();
    void restartState();

    SidebarView& view() { return *m_view; }
    SidebarTabList& list() { return m_view->tabList(); }
    // Lets the sidebar catch up with the state and the window draw.
    void settle(int ms = 60);

    Uuid open(const std::string& url, const std::string& title = {});
    std::vector<SidebarItem> order() const { return state->sidebarItemsForCurrentSpace(); }
    std::string stateFileText() const;

    // A real drag with the pointer: press at a point of `from`, move in steps, release over a
    // point of `to` (fractions of their sizes; a negative y is measured in px from the top).
    bool drag(Gtk::Widget& from, Gtk::Widget& to, double toX = 0.5, double toY = 0.5, double toYPixels = -1);
    bool click(Gtk::Widget& widget, int button = 1);
    bool hover(Gtk::Widget& widget);

    test::TempDir dir;
    test::TempDir libraryDir;
    std::unique_ptr<Defaults> defaults;
    NotificationCenter notifications;
    std::unique_ptr<BrowserLibrary> library;
    std::unique_ptr<BrowserState> state;
    std::unique_ptr<AppearanceManager> appearance;
    std::unique_ptr<Theme> theme;
    SidebarHost host;
    FakeSnapshots snapshots;
    std::vector<int> swipes;

    std::unique_ptr<Gtk::Window> window;
    Gtk::Overlay* overlay = nullptr;
    Gtk::Box* page = nullptr;

private:
    SidebarView* m_view = nullptr;
};

} // namespace kovi::sidebartest
