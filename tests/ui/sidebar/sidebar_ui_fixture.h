#pragma once

#include "core/app/browser_core.h"
#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "support/gtk_test_support.h"
#include "support/temp_dir.h"
#include "support/window_commands.h"
#include "ui/base/sidebar_host.h"
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

namespace kovi::test {

// Emits a drop of plain text on the widget's drop target, as a drop from another program does.
bool emitTextDrop(Gtk::Widget& widget, const std::string& text, double x, double y);

// Pictures for the hover preview: a solid picture for tabs marked live, nothing for others.
class FakeSnapshots final : public TabSnapshotProvider {
public:
    void snapshot(const Uuid& tabId, std::function<void(Glib::RefPtr<Gdk::Texture>)> done) override;
    std::map<Uuid, bool> live;
    std::vector<Uuid> requests;
};

// A sidebar in a window of its own, beside a stand-in page, on the browser's core over a temp
// folder. restartState() rebuilds core and sidebar on the same folder, as a relaunch does.
class SidebarWindowTest : public ::testing::Test {
protected:
    SidebarWindowTest();
    ~SidebarWindowTest() override;

    void SetUp() override;
    void TearDown() override;

    void buildState();
    void destroyState();
    void buildWindow();
    void destroyWindow();
    void restartState();

    SidebarView& view() { return *m_view; }
    SidebarTabList& list() { return m_view->tabList(); }
    // Lets the sidebar catch up with the state and the window draw.
    void catchUp(int ms = 60);

    Uuid open(const std::string& url, const std::string& title = {});
    std::vector<SidebarItem> order() const { return state->sidebarItemsForCurrentSpace(); }
    std::string stateFileText() const;

    // A real drag with the pointer: press at a point of `from`, move in steps, release over a
    // point of `to` (fractions of their sizes; a negative y is measured in px from the top).
    bool drag(Gtk::Widget& from, Gtk::Widget& to, double toX = 0.5, double toY = 0.5, double toYPixels = -1);
    bool click(Gtk::Widget& widget, int button = 1);
    bool hover(Gtk::Widget& widget);

    NotificationCenter& notifications() { return core->notifications(); }

    TempDir dir;
    std::unique_ptr<BrowserCore> core;
    BrowserState* state = nullptr;           // the core's
    AppearanceManager* appearance = nullptr; // the core's
    std::unique_ptr<Theme> theme;
    SidebarHost host;
    FakeSnapshots snapshots;
    std::vector<int> swipes;

    std::unique_ptr<WindowCommands> commands; // the window's "app.<id>" actions, on this state
    std::unique_ptr<Gtk::Window> window;
    Gtk::Overlay* overlay = nullptr;
    Gtk::Box* page = nullptr;

private:
    SidebarView* m_view = nullptr;
};

} // namespace kovi::test
