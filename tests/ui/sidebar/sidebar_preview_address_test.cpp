#include "sidebar_ui_fixture.h"

#include "core/support/notification_names.h"
#include "core/support/scoped_connections.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace kovi::test {
namespace {

class SidebarPreviewTest : public SidebarWindowTest {};

TEST_F(SidebarPreviewTest, RestingOnARowShowsItsPageBesideTheSidebar)
{
    const Uuid live = open("https://live.example/", "Live page");
    const Uuid cold = open("https://cold.example/", "Never loaded");
    snapshots.live[live] = true;
    catchUp();
    SidebarTabRow* liveRow = list().topLevelRow(live);
    SidebarTabRow* coldRow = list().topLevelRow(cold);
    ASSERT_TRUE(liveRow && coldRow);

    ASSERT_TRUE(hover(*liveRow));
    ASSERT_TRUE(runUntilGtk([&] { return view().isPreviewShown(); }));
    EXPECT_EQ(snapshots.requests, std::vector<Uuid>{live});
    // Beside the row, outside the sidebar (over the page), in the window's overlay.
    Gtk::Widget* bubble = view().previewBubble();
    ASSERT_TRUE(bubble);
    EXPECT_EQ(bubble->get_parent(), overlay);
    graphene_rect_t row, placed;
    ASSERT_TRUE(runUntilGtk([&] { return bubble->get_width() > 0; }));
    ASSERT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(liveRow->gobj()), GTK_WIDGET(overlay->gobj()), &row));
    ASSERT_TRUE(gtk_widget_compute_bounds(bubble->gobj(), GTK_WIDGET(overlay->gobj()), &placed));
    EXPECT_NEAR(placed.origin.x, row.origin.x + row.size.width + 16, 1);
    EXPECT_NEAR(placed.origin.y + placed.size.height / 2, row.origin.y + row.size.height / 2, 1);
    EXPECT_NEAR(placed.size.width, 260, 1);
    EXPECT_NEAR(placed.size.height, 170, 1);
    EXPECT_GE(placed.origin.x, view().get_width()) << "over the page, not inside the sidebar";
    screenshotIfAsked("sidebar-hover-preview");

    // To a tab without a live page: no bubble, and never the other tab's picture.
    ASSERT_TRUE(hover(*coldRow));
    EXPECT_FALSE(view().isPreviewShown());
    settle(400);
    EXPECT_FALSE(view().isPreviewShown());

    // Leaving the list hides it.
    ASSERT_TRUE(hover(*liveRow));
    ASSERT_TRUE(runUntilGtk([&] { return view().isPreviewShown(); }));
    ASSERT_TRUE(hover(*page));
    EXPECT_TRUE(runUntilGtk([&] { return !view().isPreviewShown(); }));
}

class SidebarAddressTest : public SidebarWindowTest {};

TEST_F(SidebarAddressTest, TypingAnAddressNavigatesTheActiveTab)
{
    const Uuid tab = open("https://start.example/path", "Start");
    catchUp();
    EXPECT_EQ(view().addressBar().hostLabel().get_text(), "start.example");
    std::vector<Notification> posted;
    auto observer = notifications().observe(notifications::webViewNavigate,
                                          [&](const Notification& n) { posted.push_back(n); });

    ASSERT_TRUE(xdoFocusWindow(*window));
    ASSERT_TRUE(click(view().addressBar().collapsedBar()));
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().model().isEditing(); }));
    EXPECT_TRUE(host.isInteractionLocked());
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().entry().get_text() == "https://start.example/path"; }));
    settle(100);
    xdo({"key", "--clearmodifiers", "ctrl+a"});
    xdo({"type", "--delay", "15", "example.org"});
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().model().text() == "example.org"; }));
    settle(150);
    screenshotIfAsked("sidebar-address-editing");
    // The arrows move through the list (the sidebar takes them before the field); Return opens
    // the highlighted row, here the typed address.
    const auto& list = view().addressBar().model().suggestions();
    auto typed = std::find_if(list.begin(), list.end(),
                              [](const OmniboxMatch& m) { return m.type == OmniboxMatchType::urlWhatYouTyped; });
    ASSERT_NE(typed, list.end());
    const int steps = static_cast<int>(typed - list.begin());
    xdo({"key", "Up"});
    for (int i = 0; i < steps; ++i)
        xdo({"key", "Down"});
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().model().selectedIndex() == steps; }));
    xdo({"key", "Return"});
    ASSERT_TRUE(runUntilGtk([&] { return !posted.empty(); }));
    observer.disconnect();
    EXPECT_FALSE(view().addressBar().model().isEditing());
    EXPECT_FALSE(host.isInteractionLocked());
    EXPECT_EQ(posted[0].object, tab);
    auto url = posted[0].value<Url>("url");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->host(), "example.org");
    EXPECT_EQ(state->tabs().at(tab).url, *url);
}

TEST_F(SidebarAddressTest, EscapeCancelsAndWithoutATabReturnOpensOne)
{
    ASSERT_FALSE(state->activeTabId());
    catchUp();
    EXPECT_EQ(view().addressBar().hostLabel().get_text(), "Search or enter URL");
    ASSERT_TRUE(xdoFocusWindow(*window));
    ASSERT_TRUE(click(view().addressBar().collapsedBar()));
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().model().isEditing(); }));
    settle(100);
    xdo({"type", "--delay", "15", "typed"});
    xdo({"key", "Escape"});
    ASSERT_TRUE(runUntilGtk([&] { return !view().addressBar().model().isEditing(); }));
    EXPECT_TRUE(state->tabs().empty());

    ASSERT_TRUE(click(view().addressBar().collapsedBar()));
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().model().isEditing(); }));
    settle(100);
    xdo({"type", "--delay", "15", "example.org"});
    ASSERT_TRUE(runUntilGtk([&] { return view().addressBar().model().text() == "example.org"; }));
    view().addressBar().model().navigateToURL();
    ASSERT_EQ(state->tabs().size(), 1u);
    const Tab& made = state->tabs().begin()->second;
    EXPECT_EQ(made.url.host(), "example.org");
    EXPECT_EQ(state->activeTabId(), made.id);
    EXPECT_EQ(made.spaceId, state->currentSpaceId());
}

TEST_F(SidebarAddressTest, TopBarAndNewTabRowActOnTheState)
{
    ScopedConnections observers;
    const Uuid tab = open("https://a.example/");
    state->updateTabNavigation(tab, true, false);
    state->updateTabLoading(tab, true, 0.5);
    catchUp();
    auto& bar = view().topBar();
    EXPECT_TRUE(bar.backButton().get_sensitive());
    EXPECT_FALSE(bar.forwardButton().get_sensitive());
    EXPECT_EQ(bar.reloadButton().get_tooltip_text(), "Stop");
    int reloads = 0;
    auto observer = notifications().observe(notifications::webViewReload, [&](const Notification& n) {
        EXPECT_EQ(n.object, tab);
        ++reloads;
    });
    ASSERT_TRUE(click(bar.reloadButton()));
    EXPECT_EQ(reloads, 1);
    observer.disconnect();
    // Back runs the menu's Go Back for the active tab; Forward, disabled, runs nothing.
    std::vector<std::pair<std::string, std::optional<Uuid>>> posted;
    for (const char* name : {notifications::webViewGoBack, notifications::webViewGoForward})
        observers.add(notifications().observe(name, [&](const Notification& n) { posted.emplace_back(n.name, n.object); }));
    ASSERT_TRUE(click(bar.backButton()));
    ASSERT_TRUE(click(bar.forwardButton()));
    EXPECT_EQ(posted, (std::vector<std::pair<std::string, std::optional<Uuid>>>{{notifications::webViewGoBack, tab}}));
    state->updateTabNavigation(tab, false, true);
    catchUp();
    EXPECT_FALSE(bar.backButton().get_sensitive());
    EXPECT_TRUE(bar.forwardButton().get_sensitive());
    observers.clear();

    ASSERT_TRUE(click(bar.pinButton()));
    EXPECT_FALSE(host.isPinned());
    EXPECT_FALSE(bar.pinButton().has_css_class("active"));

    state->setCommandBarMode(BrowserState::CommandBarMode::tabs);
    ASSERT_TRUE(click(view().newTabButton()));
    EXPECT_EQ(state->commandBarMode(), BrowserState::CommandBarMode::all);
    EXPECT_TRUE(state->isCommandBarVisible());

    state->removeTab(tab);
    catchUp();
    EXPECT_FALSE(bar.backButton().get_sensitive());
    EXPECT_FALSE(bar.reloadButton().get_sensitive()) << "no page to reload";
    EXPECT_EQ(bar.reloadButton().get_tooltip_text(), "Reload");
}

} // namespace
} // namespace kovi::test
