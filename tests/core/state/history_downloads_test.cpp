#include "state_fixture.h"

#include "support/file_size_limit.h"
#include "support/main_loop.h"

#include <glib.h>

#include <cstdlib>
#include <ctime>

namespace kovi::test {
namespace {

class HistoryTest : public StateTest {
protected:
    std::vector<HistoryItem> historyOnDisk() const
    {
        return json::arrayFromJson<HistoryItem>(json::parse(dir.read(BrowserState::historyFileName)), "history");
    }
};
using DownloadsTest = StateTest;

HistoryItem visit(const std::string& address, Date at, std::optional<Uuid> spaceId)
{
    return HistoryItem{Uuid::random(), *Url::parse(address), address, at, std::nullopt, spaceId};
}

std::vector<std::string> titles(const std::vector<HistoryItem>& items)
{
    std::vector<std::string> result;
    for (const HistoryItem& item : items)
        result.push_back(item.title);
    return result;
}

TEST_F(HistoryTest, RepeatedVisitsOfTheNewestPageAreRecordedOnce)
{
    start();
    open("https://same.example/");
    open("https://same.example/"); // a second tab showing the page just recorded
    EXPECT_EQ(state->history().size(), 1u);

    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->setActiveTabId(a);
    std::vector<std::string> urls;
    for (const HistoryItem& item : state->history())
        urls.push_back(item.url.string());
    EXPECT_EQ(urls, (std::vector<std::string>{"https://a.example/", "https://b.example/", "https://a.example/",
                                              "https://same.example/"}));
    (void)b;
    EXPECT_EQ(json::parse(dir.read(BrowserState::historyFileName)).size(), 4u);
}

std::vector<std::string> visits(const std::vector<HistoryItem>& items)
{
    std::vector<std::string> result;
    for (const HistoryItem& item : items)
        result.push_back(item.url.string() + " " + item.title);
    return result;
}

// Regression: only showing a tab recorded a visit, so a page reached inside the shown tab was
// never in the history, and a visit kept the title its tab had when it was shown (the host of
// an address just typed).
TEST_F(HistoryTest, NavigationsInATabAreVisitsThatFollowTheirPagesTitle)
{
    start();
    const Uuid tab = open("https://a.example/");
    state->recordNavigation(tab); // the same load, reported by the page
    state->updateTabTitle(tab, "Alpha");
    EXPECT_EQ(visits(state->history()), std::vector<std::string>{"https://a.example/ Alpha"});

    // A link followed in the tab: titled like a new tab until the page says; the tab's icon is
    // still the previous page's, so the visit has none until the page's own arrives.
    state->updateTabFavicon(tab, Bytes{1, 2, 3});
    state->updateTabURL(tab, url("https://b.example/"));
    state->recordNavigation(tab);
    EXPECT_EQ(state->history().front().title, "b.example");
    EXPECT_FALSE(state->history().front().favicon);
    EXPECT_EQ(json::parse(dir.read(BrowserState::historyFileName)).size(), 2u);
    state->updateTabFavicon(tab, Bytes{4, 5});
    state->updateTabTitle(tab, "Beta");
    EXPECT_EQ(state->history().front().favicon, (Bytes{4, 5}));
    EXPECT_EQ(state->history()[1].favicon, (Bytes{1, 2, 3})) << "the first page keeps its own icon";

    // Back to the first page: a third visit; only the newest visit of the tab follows its title.
    state->updateTabURL(tab, url("https://a.example/"));
    state->recordNavigation(tab);
    state->recordNavigation(tab); // a reload
    state->updateTabTitle(tab, "Alpha again");
    EXPECT_EQ(visits(state->history()),
              (std::vector<std::string>{"https://a.example/ Alpha again", "https://b.example/ Beta",
                                        "https://a.example/ Alpha"}));

    // An address change inside the page is no new visit, and the visit keeps its own title.
    state->updateTabURL(tab, url("https://a.example/#part"));
    state->updateTabTitle(tab, "Part");
    EXPECT_EQ(state->history().size(), 3u);
    EXPECT_EQ(state->history().front().title, "Alpha again");

    // A second tab showing the newest page adds no visit; a closed tab's reports reach none.
    const Uuid other = open("https://a.example/");
    state->recordNavigation(other);
    state->removeTab(tab);
    state->recordNavigation(tab);
    state->updateTabTitle(tab, "Gone");
    EXPECT_EQ(state->history().size(), 3u);
    EXPECT_EQ(state->history().front().title, "Alpha again");
}

// Regression: an address typed as "localhost:8765" or "Example.com" was recorded when its tab was
// shown and again when its page committed "…/", so one visit was two history entries.
TEST_F(HistoryTest, AnAddressAsTypedAndAsCommittedIsOneVisit)
{
    start();
    const Uuid tab = open("https://Typed.example");
    state->updateTabURL(tab, url("https://typed.example/"));
    state->recordNavigation(tab);
    state->updateTabTitle(tab, "Typed");
    EXPECT_EQ(visits(state->history()), std::vector<std::string>{"https://typed.example/ Typed"});

    // A redirect elsewhere is a page of its own.
    state->updateTabURL(tab, url("https://typed.example/landing"));
    state->recordNavigation(tab);
    EXPECT_EQ(state->history().size(), 2u);
}

TEST_F(HistoryTest, ANavigationKeepsTheCapAndTheTabsSpace)
{
    start();
    const Uuid home = currentSpace();
    std::vector<HistoryItem> full;
    for (int i = 0; i < 1000; ++i)
        full.push_back(visit("https://site" + std::to_string(i) + ".example/", Date(i), home));
    state->setHistory(full);
    const Uuid tab = open("https://site0.example/"); // the newest visit already: nothing added
    ASSERT_EQ(state->history().size(), 1000u);
    state->createNewSpace("Work", SpaceColor::green, "globe");
    state->updateTabURL(tab, url("https://later.example/")); // a page left open in Home goes on
    state->recordNavigation(tab);
    ASSERT_EQ(state->history().size(), 1000u);
    EXPECT_EQ(state->history().front().url, url("https://later.example/"));
    EXPECT_EQ(state->history().front().spaceId, home);
    EXPECT_EQ(state->history().back().title, "https://site998.example/");
}

// Titles and icons are page reports: no write per report, but written a moment later, and by the
// next save before that (the orderly quit's included). A visit's title reached the file only with
// some later save, so a crash left the history full of host names.
TEST_F(HistoryTest, TitlesReportedIntoVisitsAreWrittenWithinSecondsAndWithTheNextSave)
{
    start();
    const Uuid tab = open("https://a.example/");
    for (int i = 0; i < 50; ++i)
        state->updateTabTitle(tab, "Loading " + std::to_string(i));
    state->updateTabTitle(tab, "Alpha");
    state->updateTabFavicon(tab, Bytes{1, 2});
    EXPECT_EQ(visits(historyOnDisk()), std::vector<std::string>{"https://a.example/ a.example"});
    ASSERT_TRUE(runUntil([&] { return visits(historyOnDisk()) == std::vector<std::string>{"https://a.example/ Alpha"}; },
                         10));
    EXPECT_EQ(historyOnDisk()[0].favicon, (Bytes{1, 2}));

    state->updateTabTitle(tab, "Alpha again");
    state->saveState();
    EXPECT_EQ(visits(historyOnDisk()), std::vector<std::string>{"https://a.example/ Alpha again"});
    restart();
    EXPECT_EQ(visits(state->history()), std::vector<std::string>{"https://a.example/ Alpha again"});
}

TEST_F(HistoryTest, VisitsKeepTheirSpaceAndCompareWithTheShownSpace)
{
    start();
    Uuid home = currentSpace();
    Uuid a = open("https://a.example/");
    state->createNewSpace("Work", SpaceColor::green, "globe");
    Uuid work = currentSpace();
    Tab elsewhere = *state->tab(a);
    // The shown space (Work) has no visit yet, so a tab of Home is recorded again, under Home.
    state->addToHistory(elsewhere);
    EXPECT_EQ(state->history().front().spaceId, home);
    EXPECT_EQ(state->history().size(), 2u);
    EXPECT_TRUE(state->historyForCurrentSpace().empty());
    Tab spaceless(Uuid::random(), url("https://x.example/"), std::nullopt, false, false, std::nullopt, std::nullopt);
    state->addToHistory(spaceless);
    EXPECT_EQ(state->history().front().spaceId, work);
}

TEST_F(HistoryTest, TheListIsCappedAtAThousand)
{
    start();
    std::vector<HistoryItem> full;
    for (int i = 0; i < 1000; ++i)
        full.push_back(visit("https://site" + std::to_string(i) + ".example/", Date(i), currentSpace()));
    state->setHistory(full);
    open("https://newest.example/");
    ASSERT_EQ(state->history().size(), 1000u);
    EXPECT_EQ(state->history().front().url, url("https://newest.example/"));
    EXPECT_EQ(state->history().back().title, "https://site998.example/");
    EXPECT_EQ(json::parse(dir.read(BrowserState::historyFileName)).size(), 1000u);
}

// The cap applied only when a visit was recorded: a history.json of a million visits was read
// whole at every start (17 s, 1.26 GB) and slowed every view of the history.
TEST_F(HistoryTest, ALongHistoryFileLoadsOnlyItsNewestThousand)
{
    std::string file = "[";
    for (int i = 0; i < 3000; ++i) {
        file += i ? "," : "";
        file += json::dump(toJson(visit("https://site" + std::to_string(i) + ".example/", Date(3000 - i), std::nullopt)));
    }
    // Past the visits that are kept nothing is read, so damage there costs nothing.
    file += ",{\"damaged\": ";
    dir.write(BrowserState::historyFileName, file);
    testing::internal::CaptureStdout();
    start();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(state->history().size(), 1000u);
    EXPECT_EQ(state->history().front().title, "https://site0.example/");
    EXPECT_EQ(state->history().back().title, "https://site999.example/");
    EXPECT_EQ(state->historyForCurrentSpace().size(), 1000u);
    open("https://newest.example/");
    ASSERT_EQ(state->history().size(), 1000u);
    EXPECT_EQ(json::parse(dir.read(BrowserState::historyFileName)).size(), 1000u);
}

TEST_F(HistoryTest, RemovalAndClearingAreSaved)
{
    start();
    Uuid home = currentSpace();
    Uuid other = Uuid::random();
    state->setHistory({visit("https://a.example/", Date(1), home), visit("https://b.example/", Date(2), other),
                       visit("https://c.example/", Date(3), home)});
    Uuid first = state->history()[0].id;
    state->removeHistoryItem(first);
    EXPECT_EQ(titles(state->history()), (std::vector<std::string>{"https://b.example/", "https://c.example/"}));
    state->clearHistoryForCurrentSpace();
    EXPECT_EQ(titles(state->history()), (std::vector<std::string>{"https://b.example/"}));
    restart();
    EXPECT_EQ(titles(state->history()), (std::vector<std::string>{"https://b.example/"}));
}

TEST_F(HistoryTest, EntriesWithoutASpaceJoinTheCurrentSpaceOnLoad)
{
    dir.write(BrowserState::historyFileName,
              R"([{"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","url":"https:\/\/a.example\/","title":"A","visitedAt":1},)"
              R"({"id":"0e984725-c51c-4bf4-9960-e1c80e27aba0","url":"https://b.example/","title":"B","visitedAt":2.5,)"
              R"("spaceId":null,"favicon":"AQID"}])");
    start();
    ASSERT_EQ(state->history().size(), 2u);
    EXPECT_EQ(state->historyForCurrentSpace().size(), 2u);
    EXPECT_EQ(state->history()[1].favicon, (Bytes{1, 2, 3}));
}

class CalendarTest : public HistoryTest {
protected:
    void SetUp() override
    {
        const char* zone = std::getenv("TZ");
        m_savedZone = zone ? std::optional<std::string>(zone) : std::nullopt;
        setenv("TZ", "KVT-3", 1); // three hours east of UTC, no daylight saving
        tzset();
    }
    void TearDown() override
    {
        if (m_savedZone)
            setenv("TZ", m_savedZone->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    // Local time in the test zone.
    static Date local(int year, int month, int day, int hour, int minute = 0)
    {
        GDateTime* time = g_date_time_new_utc(year, month, day, hour, minute, 0);
        Date date = Date::fromUnix(static_cast<double>(g_date_time_to_unix(time)) - 3 * 3600);
        g_date_time_unref(time);
        return date;
    }

private:
    std::optional<std::string> m_savedZone;
};

TEST_F(CalendarTest, TodayYesterdayAndOlderCoverEveryEntry)
{
    clock.set(local(2024, 1, 3, 10)); // a Wednesday, 10:00
    start();
    Uuid home = currentSpace();
    state->setHistory({
        visit("https://wed-early.example/", local(2024, 1, 3, 0, 5), home),
        visit("https://tue-late.example/", local(2024, 1, 2, 23, 59), home),
        visit("https://tue-early.example/", local(2024, 1, 2, 0, 0), home),
        visit("https://mon-afternoon.example/", local(2024, 1, 1, 15), home),
        visit("https://mon-morning.example/", local(2024, 1, 1, 9), home),
        visit("https://elsewhere.example/", local(2024, 1, 2, 12), Uuid::random()),
    });
    EXPECT_EQ(titles(state->historyForDate(clock.now())), (std::vector<std::string>{"https://wed-early.example/"}));
    EXPECT_EQ(titles(state->yesterdaysHistory()),
              (std::vector<std::string>{"https://tue-late.example/", "https://tue-early.example/"}));
    // Monday after 10:00 used to fall between the two lists and was shown nowhere.
    EXPECT_EQ(titles(state->olderHistory()),
              (std::vector<std::string>{"https://mon-afternoon.example/", "https://mon-morning.example/"}));
}

TEST_F(CalendarTest, DaysFollowTheLocalZoneNotUtc)
{
    clock.set(local(2024, 3, 10, 1)); // 01:00 local is still the previous day in UTC
    start();
    state->setHistory({visit("https://late.example/", local(2024, 3, 9, 23), currentSpace())});
    EXPECT_TRUE(state->historyForDate(clock.now()).empty());
    EXPECT_EQ(state->yesterdaysHistory().size(), 1u);
}

DownloadItem running(const Uuid& id, Date at)
{
    return DownloadItem{id, *Url::parse("https://example.com/file.zip"), "file.zip", std::nullopt, 0, 0,
                        DownloadStatus::downloading, at, std::nullopt};
}

TEST_F(DownloadsTest, ReportsUpdateTheRecord)
{
    start();
    Uuid id = Uuid::random();
    state->setDownloads({running(id, clock.now())});
    state->saveDownloads();
    state->updateDownload(id, 5, 10, std::nullopt, std::nullopt);
    EXPECT_EQ(state->downloads()[0].downloadedBytes, 5);
    EXPECT_EQ(state->downloads()[0].totalBytes, 10);

    clock.advance(3);
    state->updateDownload(id, 10, 10, DownloadStatus::completed, url("file:///home/user/Downloads/file%20(1).zip"));
    const DownloadItem& done = state->downloads()[0];
    EXPECT_EQ(done.status, DownloadStatus::completed);
    EXPECT_EQ(done.completedAt, clock.now());
    EXPECT_EQ(done.filename, "file (1).zip");

    // Late byte counts for a finished download change nothing and write nothing.
    forget(downloadsFile());
    state->updateDownload(id, 1, 1, std::nullopt, std::nullopt);
    EXPECT_EQ(state->downloads()[0].downloadedBytes, 10);
    EXPECT_FALSE(written(downloadsFile()));
    state->updateDownload(Uuid::random(), 1, 1, DownloadStatus::failed, std::nullopt);
    EXPECT_FALSE(written(downloadsFile()));

    Uuid failing = Uuid::random();
    state->setDownloads({running(failing, clock.now()), state->downloads()[0]});
    state->updateDownload(failing, std::nullopt, std::nullopt, DownloadStatus::failed, std::nullopt);
    EXPECT_FALSE(state->downloads()[0].completedAt);
    EXPECT_TRUE(written(downloadsFile()));
}

// Every progress report used to rewrite downloads.json, many times a second.
TEST_F(DownloadsTest, ProgressIsWrittenAtMostOnceASecondAndStatusAtOnce)
{
    start();
    Uuid id = Uuid::random();
    state->setDownloads({running(id, clock.now())});
    state->updateDownload(id, 1, 100, std::nullopt, std::nullopt);
    EXPECT_NE(dir.read(BrowserState::downloadsFileName).find("\"downloadedBytes\":1,"), std::string::npos);

    clock.advance(0.3);
    state->updateDownload(id, 2, 100, std::nullopt, std::nullopt);
    EXPECT_NE(dir.read(BrowserState::downloadsFileName).find("\"downloadedBytes\":1,"), std::string::npos);
    EXPECT_EQ(state->downloads()[0].downloadedBytes, 2);

    clock.advance(0.8);
    state->updateDownload(id, 3, 100, std::nullopt, std::nullopt);
    EXPECT_NE(dir.read(BrowserState::downloadsFileName).find("\"downloadedBytes\":3,"), std::string::npos);

    clock.advance(0.1);
    state->updateDownload(id, 4, 100, std::nullopt, std::nullopt);
    // The pending report reaches the file by itself shortly after.
    EXPECT_TRUE(runUntil([&] {
        return dir.read(BrowserState::downloadsFileName).find("\"downloadedBytes\":4,") != std::string::npos;
    }, 5));

    clock.advance(0.1);
    state->updateDownload(id, 100, 100, DownloadStatus::completed, std::nullopt);
    EXPECT_NE(dir.read(BrowserState::downloadsFileName).find("\"completed\""), std::string::npos);
}

// A download that finished while the disk was full was never recorded: downloads.json got the
// entry only when a later download happened, and not at quit.
TEST_F(DownloadsTest, AFinishWrittenWhileTheDiskIsFullIsWrittenAtTheNextSaveAndAtShutdown)
{
    start();
    Uuid id = Uuid::random();
    state->setDownloads({running(id, clock.now())});
    state->saveDownloads();
    auto finishOnAFullDisk = [&](Uuid download) {
        FileSizeLimit full(16);
        state->updateDownload(download, 10, 10, DownloadStatus::completed, std::nullopt);
    };
    finishOnAFullDisk(id);
    EXPECT_EQ(dir.read(BrowserState::downloadsFileName).find("\"completed\""), std::string::npos);

    // Quitting saves the state, and with it what could not be written before.
    state->saveState();
    EXPECT_NE(dir.read(BrowserState::downloadsFileName).find("\"completed\""), std::string::npos);

    // So does the next change that saves anything.
    Uuid second = Uuid::random();
    state->setDownloads({running(second, clock.now()), state->downloads()[0]});
    state->saveDownloads();
    finishOnAFullDisk(second);
    open("https://after.example/");
    EXPECT_EQ(json::parse(dir.read(BrowserState::downloadsFileName))[0]["status"], "completed");
    restart();
    EXPECT_EQ(state->downloads()[0].status, DownloadStatus::completed);
}

TEST_F(DownloadsTest, UnfinishedDownloadsFailAtTheNextStart)
{
    start();
    Uuid a = Uuid::random(), b = Uuid::random(), c = Uuid::random(), d = Uuid::random();
    DownloadItem paused = running(b, clock.now());
    paused.status = DownloadStatus::paused;
    DownloadItem cancelled = running(c, clock.now());
    cancelled.status = DownloadStatus::cancelled;
    DownloadItem completed = running(d, clock.now());
    completed.status = DownloadStatus::completed;
    completed.downloadedBytes = 7;
    state->setDownloads({running(a, clock.now()), paused, cancelled, completed});
    state->saveDownloads();
    restart();
    std::vector<DownloadStatus> statuses;
    for (const DownloadItem& item : state->downloads())
        statuses.push_back(item.status);
    EXPECT_EQ(statuses, (std::vector<DownloadStatus>{DownloadStatus::failed, DownloadStatus::failed,
                                                     DownloadStatus::cancelled, DownloadStatus::completed}));
    EXPECT_EQ(state->downloads()[3].downloadedBytes, 7);
    EXPECT_EQ(dir.read(BrowserState::downloadsFileName).find("downloading"), std::string::npos);

    // Rewritten at start-up even when nothing was unfinished.
    std::string lower = json::dump(Json::array({toJson(completed)}));
    std::string upperId = d.toString();
    std::string lowerId = upperId;
    for (char& ch : lowerId)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    lower.replace(lower.find(upperId), upperId.size(), lowerId);
    dir.write(BrowserState::downloadsFileName, lower);
    restart();
    EXPECT_NE(dir.read(BrowserState::downloadsFileName).find(upperId), std::string::npos);
}

TEST_F(DownloadsTest, ClearingAndRemovingKeepTheRest)
{
    start();
    DownloadItem done = running(Uuid::random(), clock.now());
    done.status = DownloadStatus::completed;
    DownloadItem failed = running(Uuid::random(), clock.now());
    failed.status = DownloadStatus::failed;
    DownloadItem cancelled = running(Uuid::random(), clock.now());
    cancelled.status = DownloadStatus::cancelled;
    state->setDownloads({done, failed, cancelled, done});
    state->clearCompletedDownloads();
    EXPECT_EQ(state->downloads(), (std::vector<DownloadItem>{failed, cancelled}));
    forget(downloadsFile());
    state->removeDownload(failed.id);
    EXPECT_EQ(state->downloads(), (std::vector<DownloadItem>{cancelled}));
    EXPECT_TRUE(written(downloadsFile()));
}

TEST_F(DownloadsTest, OpeningAndShowingHandTheFileToTheDesktop)
{
    start();
    std::vector<std::string> calls;
    state->setDesktopHandler({[&](const Url& file) { calls.push_back("open " + file.string()); },
                              [&](const Url& file) { calls.push_back("show " + file.string()); }});
    DownloadItem pending = running(Uuid::random(), clock.now());
    DownloadItem done = running(Uuid::random(), clock.now());
    done.status = DownloadStatus::completed;
    done.localPath = url("file:///tmp/x.pdf");
    state->setDownloads({pending, done});
    state->openDownload(pending.id);
    state->showDownloadInFinder(pending.id);
    state->openDownload(Uuid::random());
    state->openDownload(done.id);
    state->showDownloadInFinder(done.id);
    EXPECT_EQ(calls, (std::vector<std::string>{"open file:///tmp/x.pdf", "show file:///tmp/x.pdf"}));
}

} // namespace
} // namespace kovi::test
