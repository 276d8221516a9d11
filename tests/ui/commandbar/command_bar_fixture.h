#pragma once

#include "core/app/browser_core.h"
#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "core/support/date.h"
#include "support/gtk_test_support.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"
#include "ui/commandbar/command_bar_result_row.h"
#include "ui/commandbar/command_bar_view.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <gtkmm/root.h>
#include <gtkmm/window.h>

#include <string>
#include <vector>

namespace kovi::test {

// A window whose content area hosts the command bar the way the main windows do: a new panel
// while the state's flag is set, dropped at once when it clears. The area's size stands in for
// the window's, so tests can change it freely.
class CommandBarViewTest : public ::testing::Test {
protected:
    using Mode = BrowserState::CommandBarMode;

    static void SetUpTestSuite() { ensureGtk(); }

    CommandBarViewTest()
        : m_clockOverride(m_clock)
        , m_core({.dataDirectory = m_dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"})
        , m_library(m_core.library())
        , m_state(m_core.state())
    {
        m_window.set_default_size(1200, 900);
        m_root.set_halign(Gtk::Align::FILL);
        m_area.set_halign(Gtk::Align::START);
        m_area.set_valign(Gtk::Align::START);
        m_area.set_size_request(1000, 700);
        m_page.add_css_class("view");
        m_area.set_child(m_page);
        m_root.append(m_area);
        m_window.set_child(m_root);
        m_connection = m_state.isCommandBarVisibleChanged.connect([this] { syncHost(); });
    }

    ~CommandBarViewTest() override
    {
        m_connection.disconnect();
        if (m_view)
            m_area.remove_overlay(*m_view);
        m_window.unset_child();
    }

    void SetUp() override
    {
        ASSERT_TRUE(xdoFocusWindow(m_window) && runUntilGtk([this] { return m_window.is_active(); }))
            << "the test window never got the keyboard";
    }

    void syncHost()
    {
        if (m_state.isCommandBarVisible() && !m_view) {
            m_view = Gtk::make_managed<CommandBarView>(m_state, m_library);
            m_area.add_overlay(*m_view);
        } else if (!m_state.isCommandBarVisible() && m_view) {
            auto* view = m_view;
            m_view = nullptr;
            m_area.remove_overlay(*view);
        }
    }

    void setAreaSize(int width, int height) { m_area.set_size_request(width, height); }

    // Opens the bar the way the menu commands do and waits until its field has the keyboard.
    bool open(Mode mode = Mode::all)
    {
        m_state.setCommandBarMode(mode);
        m_state.setIsCommandBarVisible(true);
        return runUntil([this] { return m_view && m_view->get_mapped() && fieldHasFocus() && m_view->cardScale() == 1.0; });
    }

    bool fieldHasFocus()
    {
        if (!m_view)
            return false;
        auto* focus = m_window.get_focus();
        for (; focus; focus = focus->get_parent()) {
            if (focus == &m_view->searchField())
                return true;
        }
        return false;
    }

    Uuid openTab(const std::string& address, const std::string& title)
    {
        m_clock.advance(1);
        Tab tab(Uuid::random(), *Url::parse(address), title, false, false, m_state.currentSpaceId(), std::nullopt);
        m_state.addTab(tab);
        return tab.id;
    }

    // A tab the lists leave out, as they do the shown tab: it is opened last and so shown.
    Uuid openShownTab() { return openTab("https://shown.example/", "Shown"); }

    std::size_t selected() const { return m_view ? m_view->model().selectedIndex() : 9999; }

    std::vector<CommandBarResultRow*> rows() const
    {
        return m_view ? m_view->rows() : std::vector<CommandBarResultRow*>{};
    }

    // Bounds of `widget` in the coordinates of `target`.
    static graphene_rect_t bounds(Gtk::Widget& widget, Gtk::Widget& target)
    {
        graphene_rect_t rect;
        if (!gtk_widget_compute_bounds(widget.gobj(), target.gobj(), &rect))
            ADD_FAILURE() << "no common ancestor";
        return rect;
    }

    TempDir m_dir;
    ManualClock m_clock;
    Clock::Override m_clockOverride;
    BrowserCore m_core;
    BrowserLibrary& m_library;
    BrowserState& m_state;

    Gtk::Window m_window;
    Gtk::Box m_root;
    Gtk::Overlay m_area;
    Gtk::Box m_page;
    CommandBarView* m_view = nullptr;
    sigc::connection m_connection;
};

} // namespace kovi::test
