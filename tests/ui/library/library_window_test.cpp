// The library sheet, the bookmark star and the bookmarks bar in the running application, driven
// with real keys and clicks.
#include "library_app_fixture.h"

#include "core/settings/appearance_manager.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/library/bookmark_star.h"
#include "ui/library/bookmark_strip.h"
#include "ui/library/library_sheet.h"
#include "ui/sidebar/sidebar_view.h"

#include <adwaita.h>
#include <gtkmm/adjustment.h>

namespace kovi::test {
namespace {

class LibraryWindowTest : public LibraryAppTest {
protected:
    LibrarySheet* sheet() { return dynamic_cast<LibrarySheet*>(h->root().librarySheet()); }
    bool sheetShown()
    {
        return runUntilGtk([&] { return sheet() && sheet()->get_mapped() && sheet()->get_width() > 0; });
    }
    bool sheetGone()
    {
        return runUntilGtk([&] { return !sheet() && !state().isLibraryVisible(); });
    }
    SidebarView& sidebar() { return *dynamic_cast<SidebarView*>(content().dock().sidebarWidget()); }
    BookmarkStar& star() { return *sidebar().addressBar().bookmarkStar(); }
    BookmarkStrip* strip() { return findWidget<BookmarkStrip>(content()); }
};

// Regression: the button, the shortcut and the start-page link raised the library flag but no
// sheet came, and the flag, never lowered, silenced every later "Library could not be saved".
TEST_F(LibraryWindowTest, EveryWayToTheLibraryShowsTheSheetAndLaterErrorsStillShow)
{
    ASSERT_TRUE(xdoKey("ctrl+shift+b"));
    ASSERT_TRUE(sheetShown());
    EXPECT_EQ(sheet()->get_width(), LibrarySheet::width);
    EXPECT_TRUE(sheet()->get_modal());
    EXPECT_EQ(sheet()->get_transient_for(), &h->window());
    screenshotIfAsked("library-sheet-empty");
    ASSERT_TRUE(click(sheet()->closeButton(), [&] { return !sheet(); }));
    EXPECT_FALSE(state().isLibraryVisible());

    ASSERT_NE(content().pageArea().startPage(), nullptr);
    ASSERT_TRUE(click(content().pageArea().startPage()->libraryButton(), [&] { return sheet() != nullptr; }));
    ASSERT_TRUE(sheetShown());
    sheet()->close(); // the window's own close, as Escape or the window manager would
    ASSERT_TRUE(sheetGone());

    ASSERT_TRUE(xdoKey("ctrl+shift+b"));
    ASSERT_TRUE(sheetShown());
    ASSERT_TRUE(xdoFocusWindow(*sheet()));
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(sheetGone());

    ASSERT_TRUE(click(sidebar().bottomBar().libraryButton().button(), [&] { return sheet() != nullptr; }));
    ASSERT_TRUE(sheetShown());

    // While the sheet is up it shows the library's errors itself, under "Library".
    library().setErrorMessage(std::string("Disk full"));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->alert() && sheet()->alert()->isOpen(); }));
    EXPECT_STREQ(adw_message_dialog_get_heading(sheet()->alert()->dialog()), "Library");
    EXPECT_STREQ(adw_message_dialog_get_body(sheet()->alert()->dialog()), "Disk full");
    EXPECT_EQ(h->root().libraryAlert(), nullptr);
    adw_message_dialog_response(sheet()->alert()->dialog(), "ok");
    EXPECT_FALSE(library().errorMessage());
    ASSERT_TRUE(click(sheet()->closeButton(), [&] { return !sheet(); }));

    // With the sheet gone the window's own alert shows the next error.
    library().setErrorMessage(std::string("Disk full again"));
    ASSERT_NE(h->root().libraryAlert(), nullptr);
    EXPECT_STREQ(adw_message_dialog_get_body(h->root().libraryAlert()), "Disk full again");
    adw_message_dialog_response(h->root().libraryAlert(), "ok");

    // A flag raised with no sheet to show (no such view part) no longer silences it either.
    ViewSlots none;
    h.reset();
    h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, none);
    ASSERT_TRUE(h->showBrowser());
    state().setIsLibraryVisible(true);
    library().setErrorMessage(std::string("Disk full"));
    EXPECT_NE(h->root().libraryAlert(), nullptr);
}

TEST_F(LibraryWindowTest, CtrlDFillsTheStarAndTheStarEmptiesIt)
{
    server.on("/article", htmlPage("An Article"));
    EXPECT_FALSE(star().get_sensitive()); // no tab
    h->openLoaded(server.url("/article"), "An Article");
    ASSERT_TRUE(runUntilGtk([&] { return star().get_mapped() && star().get_sensitive(); }));
    EXPECT_FALSE(star().isFilled());
    EXPECT_EQ(star().get_tooltip_text(), Glib::ustring("Bookmark this page (Ctrl+D)"));

    ASSERT_TRUE(xdoFocusWindow(h->window()));
    ASSERT_TRUE(xdoKey("ctrl+d"));
    ASSERT_TRUE(runUntilGtk([&] { return star().isFilled(); }));
    EXPECT_NE(readDataFile("library.json").find(server.url("/article")), std::string::npos);
    EXPECT_NE(readDataFile("library.json").find("An Article"), std::string::npos);
    screenshotIfAsked("bookmark-star-filled");

    // The star removes the bookmark; the file follows.
    ASSERT_TRUE(click(star(), [&] { return !star().isFilled(); }));
    EXPECT_EQ(readDataFile("library.json").find(server.url("/article")), std::string::npos);
    ASSERT_TRUE(click(star(), [&] { return star().isFilled(); }));
    EXPECT_EQ(library().archive().pages.size(), 1u);

    // A page that is no web page cannot be bookmarked.
    state().addTab(makeTab(state(), "about:blank"));
    ASSERT_TRUE(runUntilGtk([&] { return !star().get_sensitive(); }));
    EXPECT_FALSE(star().isFilled());
}

TEST_F(LibraryWindowTest, TheBookmarksBarFollowsTheMenuAndOpensBookmarksInNewTabs)
{
    server.on("/one", htmlPage("First Bookmark"));
    library().save(*Url::parse(server.url("/one")), "First Bookmark", kBookmarksCollection);
    library().save(*Url::parse("https://reading.example/"), "Only to read", kReadingListCollection);
    ASSERT_NE(strip(), nullptr);
    EXPECT_FALSE(strip()->get_visible()); // "Toggle Bookmarks Bar" wrote a key nothing showed

    h->app->commands().activate("toggle-bookmarks-bar");
    ASSERT_TRUE(runUntilGtk([&] { return strip()->get_mapped() && strip()->get_height() > 0; }));
    EXPECT_EQ(strip()->get_height(), BookmarkStrip::height);
    auto buttons = strip()->bookmarkButtons();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->get_tooltip_text(), Glib::ustring(server.url("/one")));
    screenshotIfAsked("bookmarks-bar");

    // A new bookmark goes first, right after the library button; a NUL in its title (possible by
    // import) does not end it.
    library().save(*Url::parse("https://second.example/"), std::string("Sec\0ond", 7), kBookmarksCollection);
    ASSERT_TRUE(runUntilGtk([&] { return (buttons = strip()->bookmarkButtons()).size() == 2; }));
    EXPECT_EQ(buttons[0]->get_tooltip_text(), Glib::ustring("https://second.example/"));
    EXPECT_EQ(buttons[0]->titleLabel().get_text(), Glib::ustring("Sec\uFFFDond"));
    ASSERT_TRUE(runUntilGtk([&] { return buttons[1]->get_mapped() && buttons[1]->get_width() > 0; }));
    settle(100); // laid out anew, so the click meets the button where it is now

    const std::size_t tabsBefore = state().tabs().size();
    ASSERT_TRUE(click(*buttons[1], [&] { return state().tabs().size() == tabsBefore + 1; }));
    ASSERT_TRUE(state().activeTab());
    EXPECT_EQ(state().activeTab()->url.string(), server.url("/one"));
    EXPECT_EQ(state().activeTab()->spaceId, state().currentSpaceId());
    ASSERT_TRUE(click(*buttons[1], [&] { return state().tabs().size() == tabsBefore + 2; })); // again: another tab

    ASSERT_TRUE(click(strip()->libraryButton(), [&] { return sheet() != nullptr; }));
    ASSERT_TRUE(sheetShown());
    sheet()->close();
    ASSERT_TRUE(sheetGone());

    h->ctx().appearance.setIsDarkMode(false);
    settle(300);
    screenshotIfAsked("bookmarks-bar-light");
    h->app->commands().activate("toggle-bookmarks-bar");
    ASSERT_TRUE(runUntilGtk([&] { return !strip()->get_visible(); }));
}

// Regression: with more than a few bookmarks every button shrank to "☆ …", and the bar built a
// button for each of thousands of bookmarks at start-up.
TEST_F(LibraryWindowTest, TheBarShowsTheTitlesThatFitAndItsMenuOpensTheRest)
{
    server.on("/far", htmlPage("Far"));
    std::string file = R"({"version":1,"workspaces":[],"pages":[)";
    for (int i = 0; i < 2000; ++i) {
        // The last one is a page the test serves.
        const std::string url = i == 1999 ? server.url("/far") : "https://site" + std::to_string(i) + ".example/";
        file += (i ? "," : "") + std::string(R"({"id":")") + Uuid::random().toString() + R"(","url":")" + url
                + R"(","title":"Bookmark )" + std::to_string(i) + R"(","collection":"Bookmarks","isRead":false,"createdAt":725760000})";
    }
    file += "]}";
    ASSERT_TRUE(library().importData(file));
    h->app->commands().activate("toggle-bookmarks-bar");
    ASSERT_TRUE(runUntilGtk([&] { return strip()->get_mapped() && !strip()->bookmarkButtons().empty(); }));
    settle(200);
    screenshotIfAsked("bookmarks-bar-overflow");

    // Each shown button has its whole short title, and they lie side by side inside the bar.
    const auto buttons = strip()->bookmarkButtons();
    const std::vector<SavedPage>& pages = strip()->bookmarks().pages();
    ASSERT_EQ(pages.size(), 2000u);
    ASSERT_GE(buttons.size(), 4u);
    int right = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->titleLabel().get_text(), Glib::ustring(pages[i].title));
        EXPECT_FALSE(buttons[i]->titleLabel().get_layout()->is_ellipsized()) << pages[i].title;
        graphene_rect_t bounds;
        ASSERT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(buttons[i]->gobj()), GTK_WIDGET(strip()->gobj()), &bounds));
        EXPECT_GE(bounds.origin.x, right);
        right = static_cast<int>(bounds.origin.x + bounds.size.width);
    }
    Gtk::MenuButton& more = strip()->bookmarks().overflowButton();
    ASSERT_TRUE(more.get_mapped());
    graphene_rect_t moreBounds;
    ASSERT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(more.gobj()), GTK_WIDGET(strip()->gobj()), &moreBounds));
    EXPECT_GT(moreBounds.origin.x, right);
    EXPECT_LE(moreBounds.origin.x + moreBounds.size.width, strip()->get_width());
    // Only about what fits was built.
    EXPECT_LE(strip()->bookmarks().builtButtonCount(), buttons.size() + 1);

    // The menu lists the rest, from the first that did not fit; opening the last one works.
    ASSERT_TRUE(click(more, [&] {
        auto* menu = strip()->bookmarks().overflowMenu();
        return menu && menu->get_mapped() && menu->list().get_vadjustment()->get_upper() > 0;
    }));
    BookmarkOverflowMenu& menu = *strip()->bookmarks().overflowMenu();
    EXPECT_EQ(menu.list().count(), 2000 - buttons.size());
    auto first = menu.list().shownRows();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(static_cast<BookmarkButton*>(first[0])->titleLabel().get_text(), Glib::ustring(pages[buttons.size()].title));
    EXPECT_LT(first.size(), 60u); // the rows in view only
    settle(200);
    screenshotIfAsked("bookmarks-bar-menu");
    auto adjustment = menu.list().get_vadjustment();
    adjustment->set_value(adjustment->get_upper() - adjustment->get_page_size());
    BookmarkButton* last = nullptr;
    ASSERT_TRUE(runUntilGtk(
        [&] {
            for (Gtk::Widget* row : menu.list().shownRows()) {
                auto* button = static_cast<BookmarkButton*>(row);
                if (button->titleLabel().get_text() == "Bookmark 1999" && button->get_mapped())
                    last = button;
            }
            return last != nullptr;
        }));
    settle(100);
    const std::size_t tabs = state().tabs().size();
    ASSERT_TRUE(click(*last, [&] { return state().tabs().size() == tabs + 1; }));
    EXPECT_EQ(state().activeTab()->url.string(), server.url("/far"));
    ASSERT_TRUE(runUntilGtk([&] { return !menu.get_visible(); }));
}

} // namespace
} // namespace kovi::test
