// The settings window from the keyboard: one window, presented again, every tab on screen.
#include "settings_fixture.h"

#include "ui/settings/advanced_settings_tab.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/icon_settings_tab.h"
#include "ui/settings/links_settings_tab.h"
#include "ui/settings/max_settings_tab.h"
#include "ui/settings/profile_settings_tab.h"
#include "ui/settings/profiles_settings_tab.h"
#include "ui/settings/shortcuts_settings_tab.h"

#include <gdkmm/toplevel.h>

namespace kovi::test {
namespace {

using SettingsWindowTest = SettingsAppTest;

TEST_F(SettingsWindowTest, ShortcutOpensOneWindowOnProfileAndPresentsItAgain)
{
    start();
    SettingsWindow* window = openWithKeys();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->selectedTab(), SettingsTab::profile);
    EXPECT_NE(dynamic_cast<ProfileSettingsTab*>(window->tabView()), nullptr);
    EXPECT_EQ(window->get_title(), "Settings");
    EXPECT_FALSE(window->get_resizable());
    EXPECT_EQ(window->titleLabel().get_text(), "Guest");
    EXPECT_EQ(window->tabBar().button(SettingsTab::profile).titleLabel().get_text(), "Guest");
    EXPECT_EQ(window->tabBar().button(SettingsTab::general).titleLabel().get_text(), "General");
    EXPECT_EQ(window->get_child()->get_width(), SettingsWindow::contentWidth);

    // Open again: the same window, the chosen tab kept.
    ASSERT_NE(showTab<GeneralSettingsTab>(*window, SettingsTab::general), nullptr);
    ASSERT_EQ(openWithKeys(), window);
    EXPECT_EQ(window->selectedTab(), SettingsTab::general);

    // Minimised, it comes back rather than a second one.
    window->minimize();
    settle(100);
    ASSERT_EQ(openWithKeys(), window);
    EXPECT_EQ(settingsWindows().size(), 1u);
    EXPECT_EQ(window->selectedTab(), SettingsTab::general);

    // Closed, a new one comes in its place, on the Profile tab.
    window->close();
    ASSERT_TRUE(runUntilGtk([&] { return !window->get_visible(); }));
    window = openWithKeys();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->selectedTab(), SettingsTab::profile);
    EXPECT_EQ(settingsWindows().size(), 1u);
}

TEST_F(SettingsWindowTest, EveryTabShowsOnScreenInBothLooks)
{
    start();
    for (bool dark : {false, true}) {
        ctx().appearance.setIsDarkMode(dark);
        SettingsWindow* window = openWithKeys();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->has_css_class("kovi-dark"), dark);
        const std::string look = dark ? "dark" : "light";
        for (SettingsTab tab : allSettingsTabs) {
            xdoFocusWindow(*window);
            ASSERT_TRUE(xdoClickWidget(window->tabBar().button(tab))) << rawValue(tab);
            ASSERT_TRUE(runUntilGtk([&] { return window->selectedTab() == tab && window->tabView()->get_mapped(); }))
                << rawValue(tab);
            for (SettingsTab other : allSettingsTabs)
                EXPECT_EQ(window->tabBar().button(other).isSelected(), other == tab);
            settle(100);
            screenshotIfAsked("settings-" + std::string(rawValue(tab)) + "-" + look);
        }
        Gtk::Widget* page = window->tabView();
        EXPECT_NE(dynamic_cast<AdvancedSettingsTab*>(page), nullptr);
        window->close();
        ASSERT_TRUE(runUntilGtk([&] { return !window->get_visible(); }));
    }
}

// The window's × closed it once: opened again it showed greyed-out window buttons, and Escape
// never closed it. Closing it by the ×, Escape or Ctrl+W works every time, in either layout.
TEST_F(SettingsWindowTest, CloseButtonEscapeAndCtrlWCloseItEveryTime)
{
    start();
    std::function<Gtk::Button*(Gtk::Widget&)> closeButton = [&](Gtk::Widget& widget) -> Gtk::Button* {
        auto* button = dynamic_cast<Gtk::Button*>(&widget);
        if (button && button->get_action_name() == "window.close")
            return button;
        for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
            if (Gtk::Button* found = closeButton(*child))
                return found;
        }
        return nullptr;
    };
    ctx().state.addTab(makeTab(ctx().state, "http://127.0.0.1:9/a"));
    const std::size_t tabs = ctx().state.tabs().size();
    for (bool horizontal : {false, true}) {
        if (horizontal) {
            ASSERT_TRUE(xdoFocusWindow(h->window()));
            ASSERT_TRUE(xdoKey("ctrl+shift+l"));
            ASSERT_TRUE(runUntilGtk([&] { return h->root().traditionalView() != nullptr; }));
        }
        for (const char* how : {"×", "Escape", "×", "ctrl+w"}) {
            SettingsWindow* window = openWithKeys();
            ASSERT_NE(window, nullptr);
            if (std::string(how) == "×") {
                Gtk::Button* close = closeButton(*window->get_titlebar());
                ASSERT_NE(close, nullptr);
                EXPECT_TRUE(close->is_sensitive());
                ASSERT_TRUE(xdoClickWidget(*close));
            } else {
                ASSERT_TRUE(xdoFocusWindow(*window));
                ASSERT_TRUE(xdoKey(how));
            }
            ASSERT_TRUE(runUntilGtk([&] { return !window->get_visible(); })) << how << (horizontal ? " horizontal" : "");
        }
    }
    EXPECT_EQ(ctx().state.tabs().size(), tabs) << "Ctrl+W in the settings window closed a tab";
}

} // namespace
} // namespace kovi::test
