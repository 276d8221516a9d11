// The list of tabs in use: under a pointer that does not move, every click on a close button
// closes a tab (the row that slides under the pointer takes the next one) and no such click
// activates a tab; the active tab, and a folder just made, are scrolled into view. Real clicks
// and commands.
#include "sidebar_ui_fixture.h"

#include "ui/base/command_action.h"

#include <gtkmm/adjustment.h>

namespace kovi::test {
namespace {

class SidebarListTest : public SidebarWindowTest {
protected:
    // The widget lies wholly inside the visible part of the tab list.
    bool inView(Gtk::Widget& widget)
    {
        auto& scroller = *dynamic_cast<Gtk::ScrolledWindow*>(list().list().get_ancestor(GTK_TYPE_SCROLLED_WINDOW));
        graphene_rect_t r{};
        return widget.get_mapped() && widget.get_height() > 0 &&
               gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(scroller.gobj()), &r) && r.origin.y >= -0.5 &&
               r.origin.y + r.size.height <= scroller.get_height() + 0.5;
    }
    bool activeInView()
    {
        auto* row = list().topLevelRow(*state->activeTabId());
        return row && inView(*row);
    }
    // Clicks `times` where the pointer is, a person's pace apart, waiting after each for one tab
    // fewer; fails on the first click that closed nothing, or when the active tab changed.
    void closeInPlace(int times, const char* where)
    {
        const Uuid active = *state->activeTabId();
        for (int i = 0; i < times; ++i) {
            const std::size_t before = state->tabs().size();
            ASSERT_TRUE(xdo({"mousedown", "1"}));
            settle(80);
            ASSERT_TRUE(xdo({"mouseup", "1"}));
            if (!runUntilGtk([&] { return state->tabs().size() == before - 1; })) {
                ADD_FAILURE() << where << ": click " << i + 1 << " of " << times << " closed nothing";
                return;
            }
            ASSERT_EQ(state->activeTabId(), active) << where << ": click " << i + 1 << " activated a tab";
            catchUp(300);
        }
    }
};

TEST_F(SidebarListTest, EveryClickOnACloseButtonHeldStillClosesATab)
{
    // More tabs than the list shows, the last one active: the list is scrolled to its end.
    std::vector<Uuid> tabs;
    for (int i = 0; i < 30; ++i)
        tabs.push_back(open("https://site" + std::to_string(i) + ".example/", "Site " + std::to_string(i)));
    catchUp();
    ASSERT_TRUE(runUntilGtk([&] { return activeInView(); }));
    std::size_t k = 0;
    auto rowInView = [&](const Uuid& id) {
        SidebarTabRow* row = list().topLevelRow(id);
        return row && inView(*row);
    };
    while (k < tabs.size() && !rowInView(tabs[k]))
        ++k;
    ASSERT_GT(k, 0u) << "scrolled";
    ASSERT_LT(k + 7, tabs.size());

    // The top row's ×, five times: the rows after it slide up under the pointer, one by one.
    SidebarTabRow* first = list().topLevelRow(tabs[k]);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(hover(*first));
    ASSERT_TRUE(runUntilGtk([&] { return first->closeButton() && first->closeButton()->get_width() > 0; }));
    ASSERT_TRUE(xdoMoveToWidget(*first->closeButton()));
    catchUp(200);
    ASSERT_NO_FATAL_FAILURE(closeInPlace(5, "list"));
    for (std::size_t i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(state->tabs().contains(tabs[i]), i < k || i >= k + 5) << "tab " << i;
    SidebarTabRow* under = list().topLevelRow(tabs[k + 5]);
    ASSERT_TRUE(under);
    EXPECT_TRUE(runUntilGtk([&] { return under->isHovered(); })) << "the row that slid under the pointer shows its buttons";

    // Straight from the page onto the place of a row's ×, never hovered before: one click
    // closes that tab.
    ASSERT_TRUE(xdoMoveToWidget(*page));
    catchUp(200);
    int closeX = 0, closeY = 0, rowX = 0, rowY = 0;
    SidebarTabRow* next = list().topLevelRow(tabs[k + 6]);
    ASSERT_TRUE(under->closeButton() && next) << "no close button or next row";
    ASSERT_TRUE(widgetCenter(*under->closeButton(), closeX, closeY));
    ASSERT_TRUE(widgetCenter(*next, rowX, rowY));
    ASSERT_TRUE(xdoMoveTo(closeX, rowY));
    ASSERT_NO_FATAL_FAILURE(closeInPlace(1, "a row's × reached straight"));
    EXPECT_FALSE(state->tabs().contains(tabs[k + 6]));

    // The kept rows: the same with the first kept row's ×.
    state->toggleAutoArchiveExcluded(tabs[k + 5]);
    for (int i = 0; i < 3; ++i)
        state->toggleAutoArchiveExcluded(open("https://kept" + std::to_string(i) + ".example/", "Kept"));
    state->setActiveTabId(tabs.back());
    catchUp();
    SidebarTabRow* kept = list().keepRow(tabs[k + 5]);
    ASSERT_TRUE(kept);
    ASSERT_TRUE(hover(*kept));
    ASSERT_TRUE(runUntilGtk([&] { return kept->closeButton() && kept->closeButton()->get_width() > 0; }))
        << "the kept row shows no close button";
    ASSERT_TRUE(xdoMoveToWidget(*kept->closeButton()));
    catchUp(200);
    ASSERT_NO_FATAL_FAILURE(closeInPlace(4, "kept rows"));
}

// Bug: with forty tabs the sidebar showed the first eleven whatever tab was active, at start-up
// and after Ctrl+Tab, and a folder made from a row near the top appeared out of sight.
TEST_F(SidebarListTest, TheActiveTabAndAFolderJustMadeAreScrolledIntoView)
{
    std::vector<Uuid> tabs;
    for (int i = 0; i < 40; ++i)
        tabs.push_back(open("https://site" + std::to_string(i) + ".example/", "Site " + std::to_string(i)));
    state->setActiveTabId(tabs[34]);
    destroyWindow(); // a start with the 35th tab active
    buildWindow();
    EXPECT_TRUE(runUntilGtk([&] { return activeInView(); })) << "at start-up";
    EXPECT_FALSE(inView(*list().topLevelRow(tabs[0])));

    // The next and previous tab commands (Ctrl+Tab, Ctrl+Shift+Tab): round to the first tab
    // and back to the last.
    state->setActiveTabId(tabs[39]);
    catchUp();
    ASSERT_TRUE(window->activate_action(appAction(commands::nextTab)));
    ASSERT_EQ(state->activeTabId(), tabs[0]);
    EXPECT_TRUE(runUntilGtk([&] { return activeInView(); })) << "after the next tab";
    ASSERT_TRUE(window->activate_action(appAction(commands::previousTab)));
    ASSERT_EQ(state->activeTabId(), tabs[39]);
    EXPECT_TRUE(runUntilGtk([&] { return activeInView(); })) << "after the previous tab";

    // A tab in view made active moves nothing.
    auto adjustment = dynamic_cast<Gtk::ScrolledWindow*>(list().list().get_ancestor(GTK_TYPE_SCROLLED_WINDOW))
                          ->get_vadjustment();
    const double resting = adjustment->get_value();
    ASSERT_TRUE(inView(*list().topLevelRow(tabs[37])));
    state->setActiveTabId(tabs[37]);
    catchUp(200);
    EXPECT_EQ(adjustment->get_value(), resting);

    // A folder made from a row at the top lands at the end of the list, in view.
    adjustment->set_value(0);
    catchUp();
    SidebarTabRow* top = list().topLevelRow(tabs[1]);
    ASSERT_TRUE(top && inView(*top));
    ASSERT_TRUE(click(*top, 3));
    ASSERT_TRUE(runUntilGtk([&] { return top->menu() && top->menu()->get_mapped(); }));
    top->menu()->popdown();
    ASSERT_TRUE(top->activate_action("row.new-folder"));
    catchUp();
    const auto folderId = state->tabs().at(tabs[1]).folderId;
    ASSERT_TRUE(folderId);
    FolderRow* folder = list().folderRow(*folderId);
    ASSERT_TRUE(folder);
    EXPECT_TRUE(runUntilGtk([&] { return inView(folder->header()); }));
}

} // namespace
} // namespace kovi::test
