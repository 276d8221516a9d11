// A row's button clicked again and again with the pointer held still: the row under the pointer
// shows the next entry each time, and every click must reach it. Real clicks, one position.
#include "library_app_fixture.h"

#include "ui/library/downloads_panel.h"
#include "ui/library/history_panel.h"
#include "ui/library/library_rows.h"
#include "ui/library/library_sheet.h"

#include <gtkmm/adjustment.h>

#include <algorithm>

namespace kovi::test {
namespace {

class RepeatedClicksTest : public LibraryAppTest {
protected:
    // The shown row of `rows` nearest the top.
    template <typename Row>
    Row* topmost(const std::vector<Row*>& rows)
    {
        Row* top = nullptr;
        int topY = 0;
        for (Row* row : rows) {
            int x = 0, y = 0;
            if (!row->get_mapped() || !widgetCenter(*row, x, y))
                continue;
            if (!top || y < topY) {
                top = row;
                topY = y;
            }
        }
        return top;
    }

    // Clicks `times` at the pointer's place, each click once, and waits after each for `count`
    // to step by one. A click the list drops fails the test (the other lists still run):
    // nothing is clicked a second time. The button is held as long as a person holds it: GTK
    // 4.8 may cancel a press whose release the X server has already seen when a re-layout falls
    // between the two, which a 12-ms synthetic click on a busy machine meets now and then.
    void clickInPlace(int times, const std::function<std::size_t()>& count, int step, const char* list)
    {
        std::size_t expected = count();
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(xdo({"mousedown", "1"}));
            settle(80);
            ASSERT_TRUE(xdo({"mouseup", "1"}));
            expected = static_cast<std::size_t>(static_cast<long>(expected) + step);
            if (!runUntilGtk([&] { return count() == expected; })) {
                ADD_FAILURE() << list << ": click " << i + 1 << " of " << times << " was lost (" << count()
                              << " where " << expected << " was due)";
                return;
            }
            settle(150); // a person's pace between clicks
        }
    }

    // Clicks `times` at the pointer's place 0.15 s apart, as quickly as a person clicks a row's
    // button again and again, without waiting for each click's effect; then every click must have
    // stepped `count` by one.
    void clickQuicklyInPlace(int times, const std::function<std::size_t()>& count, int step, const char* list)
    {
        const auto expected = static_cast<std::size_t>(static_cast<long>(count()) + static_cast<long>(step) * times);
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(xdo({"mousedown", "1"}));
            settle(70);
            ASSERT_TRUE(xdo({"mouseup", "1"}));
            settle(80);
        }
        EXPECT_TRUE(runUntilGtk([&] { return count() == expected; }))
            << list << ": " << count() << " where " << expected << " was due after " << times << " clicks";
    }

    LibrarySheet* sheet() { return dynamic_cast<LibrarySheet*>(h->root().librarySheet()); }
    SavedPageRow* firstPageRow()
    {
        std::vector<SavedPageRow*> rows;
        for (Gtk::Widget* w : sheet()->shownRows()) {
            if (auto* row = dynamic_cast<SavedPageRow*>(w); row && row->pageId())
                rows.push_back(row);
        }
        return topmost(rows);
    }
    HistoryPanel* historyPanel()
    {
        return dynamic_cast<HistoryPanel*>(content().panels().historyLayer().content());
    }
    DownloadsPanel* downloadsPanel()
    {
        return dynamic_cast<DownloadsPanel*>(content().panels().downloadsLayer().content());
    }
};

TEST_F(RepeatedClicksTest, EveryClickOnARowButtonCountsWithThePointerHeldStill)
{
    // The library sheet: the trash of the top bookmark, then "Mark read" in the Reading List.
    for (int i = 0; i < 8; ++i) {
        library().save(*Url::parse("https://bookmark" + std::to_string(i) + ".example/"), "Bookmark " + std::to_string(i),
                       kBookmarksCollection);
        library().save(*Url::parse("https://later" + std::to_string(i) + ".example/"), "Later " + std::to_string(i),
                       kReadingListCollection);
    }
    auto bookmarks = [&] {
        return static_cast<std::size_t>(std::count_if(library().archive().pages.begin(), library().archive().pages.end(),
                                                       [](const SavedPage& p) { return p.collection == kBookmarksCollection; }));
    };
    state().setIsLibraryVisible(true);
    SavedPageRow* row = nullptr;
    ASSERT_TRUE(runUntilGtk([&] { return sheet() && (row = firstPageRow()) && row->removeButton().get_width() > 0; }));
    ASSERT_TRUE(xdoMoveToWidget(row->removeButton()));
    settle(150);
    ASSERT_NO_FATAL_FAILURE(clickInPlace(6, bookmarks, -1, "library sheet, trash"));

    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::readingList),
                      [&] { return sheet()->model().section() == LibrarySection::readingList; }));
    ASSERT_TRUE(runUntilGtk([&] { return (row = firstPageRow()) && row->readButton().get_width() > 0; }));
    ASSERT_TRUE(xdoMoveToWidget(row->readButton()));
    settle(150);
    std::size_t changes = 0;
    auto counting = library().archiveChanged.connect([&] { ++changes; });
    ASSERT_NO_FATAL_FAILURE(clickInPlace(6, [&] { return changes; }, 1, "library sheet, mark read"));
    counting.disconnect();
    state().setIsLibraryVisible(false);
    ASSERT_TRUE(runUntilGtk([&] { return !sheet(); }));

    // The history panel: the × of the top visit; then a search that puts a visit where the
    // pointer rests on a section header.
    std::vector<HistoryItem> visits;
    for (int i = 0; i < 48; ++i) {
        const double ago = i < 8 ? i : 3 * 86400.0 + 60.0 * i;
        visits.push_back(HistoryItem{Uuid::random(), *Url::parse("https://visit" + std::to_string(i) + ".example/"),
                                     "Visit " + std::to_string(i), Date::now().adding(-ago), std::nullopt,
                                     state().currentSpaceId()});
    }
    state().setHistory(std::move(visits));
    state().setIsHistoryPanelVisible(true);
    HistoryRow* visit = nullptr;
    ASSERT_TRUE(runUntilGtk(
        [&] {
            std::vector<HistoryRow*> rows;
            if (historyPanel()) {
                for (HistoryRow* r : historyPanel()->shownRows()) {
                    if (!r->isHeader())
                        rows.push_back(r);
                }
            }
            visit = topmost(rows);
            return visit && visit->deleteButton().get_width() > 0
                   && content().panels().historyLayer().get_opacity() > 0.99;
        }));
    ASSERT_TRUE(xdoMoveToWidget(visit->deleteButton()));
    settle(150);
    ASSERT_NO_FATAL_FAILURE(clickInPlace(6, [&] { return state().history().size(); }, -1, "history panel, ×"));

    // Today, two visits, Older: the pointer where the search's third visit will show its ×.
    HistoryRow* older = nullptr;
    for (HistoryRow* r : historyPanel()->shownRows()) {
        if (r->isHeader() && r->headerLabel().get_text() == "OLDER")
            older = r;
    }
    ASSERT_TRUE(older);
    int deleteX = 0, deleteY = 0, olderX = 0, olderTop = 0;
    ASSERT_TRUE(widgetCenter(visit->deleteButton(), deleteX, deleteY));
    ASSERT_TRUE(widgetPoint(*older, 0, 0, olderX, olderTop));
    ASSERT_LT(visit->get_height() / 2, older->get_height()) << "the × will lie where the header is";
    ASSERT_TRUE(xdoMoveTo(deleteX, olderTop + visit->get_height() / 2));
    settle(150);
    ASSERT_TRUE(xdoType("visit"));
    ASSERT_TRUE(runUntilGtk([&] { return historyPanel()->shownRows().front()->headerLabel().get_text() == "SEARCH RESULTS"; }));
    ASSERT_NO_FATAL_FAILURE(clickInPlace(6, [&] { return state().history().size(); }, -1, "history panel, × after a search"));

    // Scrolled to its end by the wheel, the pointer on the third visit from the end: each click
    // deletes the visit under the pointer, the ones after it sliding up into its place (the
    // list does not scroll back under the pointer), and then there is nothing left to hit.
    auto adjustment = historyPanel()->list().get_vadjustment();
    for (int i = 0; i < 30 && adjustment->get_value() + adjustment->get_page_size() < adjustment->get_upper(); ++i) {
        ASSERT_TRUE(xdo({"click", "5"}));
        settle(30);
    }
    ASSERT_TRUE(waitForFrames(historyPanel()->list()));
    std::vector<HistoryRow*> shown;
    for (HistoryRow* r : historyPanel()->shownRows()) {
        if (!r->isHeader() && r->get_mapped())
            shown.push_back(r);
    }
    std::sort(shown.begin(), shown.end(), [](HistoryRow* a, HistoryRow* b) {
        int ax = 0, ay = 0, bx = 0, by = 0;
        widgetCenter(*a, ax, ay);
        widgetCenter(*b, bx, by);
        return ay < by;
    });
    ASSERT_GE(shown.size(), 3u);
    std::vector<Uuid> last;
    for (std::size_t i = shown.size() - 3; i < shown.size(); ++i)
        last.push_back(shown[i]->item()->id);
    ASSERT_TRUE(xdoMoveToWidget(shown[shown.size() - 3]->deleteButton()));
    settle(150);
    ASSERT_NO_FATAL_FAILURE(clickInPlace(3, [&] { return state().history().size(); }, -1, "history panel, × at the end"));
    for (const HistoryItem& item : state().history())
        EXPECT_EQ(std::find(last.begin(), last.end(), item.id), last.end()) << item.title << " stayed";
    state().setIsHistoryPanelVisible(false);

    // The downloads panel: the × of the top download, shown while the pointer is on the row.
    std::vector<DownloadItem> downloads;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "file" + std::to_string(i) + ".zip";
        DownloadItem item{Uuid::random(), *Url::parse("https://files.example/" + name), name, std::nullopt, 1000, 1000,
                          DownloadStatus::completed, Date::now(), Date::now()};
        downloads.push_back(std::move(item));
    }
    state().setDownloads(std::move(downloads));
    state().setIsDownloadsPanelVisible(true);
    DownloadRow* download = nullptr;
    ASSERT_TRUE(runUntilGtk(
        [&] {
            download = downloadsPanel() ? topmost(downloadsPanel()->rows()) : nullptr;
            return download && content().panels().downloadsLayer().get_opacity() > 0.99;
        }));
    ASSERT_TRUE(xdoMoveToWidget(*download));
    ASSERT_TRUE(runUntilGtk([&] { return download->removeButton().get_mapped() && download->removeButton().get_width() > 0; }));
    // Away from the row, then straight onto the place of its ×: the first click counts too.
    int removeX = 0, removeY = 0;
    ASSERT_TRUE(widgetCenter(download->removeButton(), removeX, removeY));
    ASSERT_TRUE(xdoMoveTo(removeX, removeY - 200));
    ASSERT_TRUE(runUntilGtk([&] { return !download->buttonsShown(); }));
    ASSERT_TRUE(xdoMoveTo(removeX, removeY));
    ASSERT_NO_FATAL_FAILURE(clickQuicklyInPlace(5, [&] { return state().downloads().size(); }, -1, "downloads panel, ×"));
}

} // namespace
} // namespace kovi::test
