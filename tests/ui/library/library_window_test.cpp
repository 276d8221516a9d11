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

namespace kovi::test {
namespace {

class LibraryWindowTest : public LibraryAppTest {
protected:
    LibrarySheet* sheet() { return dynamic_cast<LibrarySheet*>(h->root().librarySheet()); }
    bool sheetShown()
    {
        return runUntilGtk([&] { return sheet() && sheet()->get_mapped() && sheet()->get_width() > 0; }, 5);
    }
    bool sheetGone()
    {
        return runUntilGtk([&] { return !sheet() && !state().isLibraryVisible(); }, 5);
    }
    SidebarView& sidebar() { return *dynamic_cast<SidebarView*>(content().dock().sidebarWidget()); }
    BookmarkStar& star() { return *sidebar().addressBar().bookmarkStar(); }
    BookmarkStrip* strip()
    {
        return dynamic_cast<BookmarkStrip*>(
            findWidget(content(), [](Gtk::Widget& w) { return dynamic_cast<BookmarkStrip*>(&w) != nullptr; }));
    }
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
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->alert() && sheet()->alert()->isOpen(); }, 5));
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
    ViewParts none;
    h.reset();
    h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, none);
    h->ctx().auth.continueAsGuest();
    h->root().setHasCompletedOnboarding(true);
    ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::browser; }));
    state().setIsLibraryVisible(true);
    library().setErrorMessage(std::string("Disk full"));
    EXPECT_NE(h->root().libraryAlert(), nullptr);
}

TEST_F(LibraryWindowTest, CtrlDFillsTheStarAndTheStarEmptiesIt)
{
    server.on("/article", htmlPage("An Article"));
    EXPECT_FALSE(star().get_sensitive()); // no tab
    openPage(server.url("/article"));
    ASSERT_TRUE(runUntilGtk([&] { return star().get_mapped() && star().get_sensitive(); }, 5));
    EXPECT_FALSE(star().isFilled());
    EXPECT_EQ(star().get_tooltip_text(), Glib::ustring("Bookmark this page (Ctrl+D)"));

    ASSERT_TRUE(xdoFocusWindow(h->window()));
    ASSERT_TRUE(xdoKey("ctrl+d"));
    ASSERT_TRUE(runUntilGtk([&] { return star().isFilled(); }, 5));
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
    ASSERT_TRUE(runUntilGtk([&] { return !star().get_sensitive(); }, 5));
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
    ASSERT_TRUE(runUntilGtk([&] { return strip()->get_mapped() && strip()->get_height() > 0; }, 5));
    EXPECT_EQ(strip()->get_height(), BookmarkStrip::height);
    auto buttons = strip()->bookmarkButtons();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->get_tooltip_text(), Glib::ustring(server.url("/one")));
    screenshotIfAsked("bookmarks-bar");

    // A new bookmark goes first, right after the library button.
    library().save(*Url::parse("https://second.example/"), "Second", kBookmarksCollection);
    buttons = strip()->bookmarkButtons();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->get_tooltip_text(), Glib::ustring("https://second.example/"));
    EXPECT_EQ(strip()->libraryButton().get_next_sibling(), buttons[0]);
    ASSERT_TRUE(runUntilGtk([&] { return buttons[1]->get_mapped() && buttons[1]->get_width() > 0; }, 5));
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
    ASSERT_TRUE(runUntilGtk([&] { return !strip()->get_visible(); }, 5));
}

} // namespace
} // namespace kovi::test
