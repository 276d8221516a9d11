// The history panel over the running application: real pages, keys, clicks and the clipboard.
#include "library_app_fixture.h"

#include "core/settings/appearance_manager.h"
#include "core/support/gobject_ptr.h"
#include "ui/library/history_panel.h"

#include "ui/library/favicon_texture.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdkmm/clipboard.h>
#include <gtkmm/adjustment.h>

namespace kovi::test {
namespace {

Bytes png(int width, int height)
{
    auto pixbuf = GObjectPtr<GdkPixbuf>::adopt(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height));
    gdk_pixbuf_fill(pixbuf.get(), 0x3366ccff);
    gchar* buffer = nullptr;
    gsize size = 0;
    gdk_pixbuf_save_to_buffer(pixbuf.get(), &buffer, &size, "png", nullptr, nullptr);
    Bytes out(buffer, buffer + size);
    g_free(buffer);
    return out;
}

class HistoryPanelTest : public LibraryAppTest {
protected:
    void SetUp() override
    {
        LibraryAppTest::SetUp();
        for (const char* page : {"/first", "/second", "/third"})
            server.on(page, htmlPage(std::string("Page ") + (page + 1)));
        for (const char* page : {"/first", "/second", "/third"})
            h->openLoaded(server.url(page), std::string("Page ") + (page + 1));
    }
    HistoryPanel* panel() { return dynamic_cast<HistoryPanel*>(content().panels().historyLayer().content()); }
    bool panelShown()
    {
        return runUntilGtk([&] { return panel() && panel()->get_mapped() && content().panels().historyLayer().get_opacity() > 0.99; });
    }
    // The visit rows on screen, top to bottom, by their subtitle and URL.
    std::vector<std::string> shownUrls()
    {
        std::vector<std::pair<int, std::string>> rows;
        for (HistoryRow* row : panel()->shownRows()) {
            if (!row->get_mapped() || row->isHeader())
                continue;
            int x, y;
            widgetCenter(*row, x, y);
            rows.emplace_back(y, row->item()->url.string());
        }
        std::sort(rows.begin(), rows.end());
        std::vector<std::string> urls;
        for (auto& [y, url] : rows)
            urls.push_back(url);
        return urls;
    }
    std::vector<std::string> shownHeaders()
    {
        std::vector<std::string> headers;
        for (HistoryRow* row : panel()->shownRows()) {
            if (row->get_mapped() && row->isHeader())
                headers.push_back(row->headerLabel().get_text());
        }
        return headers;
    }
};

// Regression: History (buttons, menu, shortcut) dimmed the window over an empty layer.
TEST_F(HistoryPanelTest, TheShortcutShowsTheVisitsOfTodayAndTheSearchNarrowsThem)
{
    ASSERT_TRUE(xdoFocusWindow(h->window()));
    ASSERT_TRUE(xdoKey("ctrl+y"));
    ASSERT_TRUE(panelShown());
    EXPECT_EQ(panel()->get_allocated_width(), HistoryPanel::width);
    EXPECT_EQ(panel()->get_allocated_height(), HistoryPanel::height);
    const std::vector<std::string> all{server.url("/third"), server.url("/second"), server.url("/first")};
    ASSERT_TRUE(runUntilGtk([&] { return shownUrls() == all; }));
    EXPECT_EQ(shownHeaders(), std::vector<std::string>{"TODAY"});
    HistoryRow* row = panel()->rowFor(state().history()[0].id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->subtitleLabel().get_text(), "127.0.0.1");
    EXPECT_FALSE(row->timeLabel().get_text().empty());
    screenshotIfAsked("history-panel-dark");

    ASSERT_TRUE(click(panel()->searchEntry(), [&] {
        for (Gtk::Widget* w = h->window().get_focus(); w; w = w->get_parent()) {
            if (w == &panel()->searchEntry())
                return true;
        }
        return false;
    }));
    ASSERT_TRUE(xdoType("SECOND"));
    ASSERT_TRUE(runUntilGtk([&] { return shownUrls() == std::vector<std::string>{server.url("/second")}; }));
    EXPECT_EQ(shownHeaders(), std::vector<std::string>{"SEARCH RESULTS"});
    ASSERT_TRUE(xdoType("(.*"));
    ASSERT_TRUE(runUntilGtk([&] { return shownUrls().empty(); }));
    EXPECT_EQ(shownHeaders(), std::vector<std::string>{"SEARCH RESULTS"});
    panel()->searchEntry().set_text("");
    ASSERT_TRUE(runUntilGtk([&] { return shownUrls() == all; }));

    h->ctx().appearance.setIsDarkMode(false);
    settle(300);
    screenshotIfAsked("history-panel-light");

    // The scrim closes it; a new opening starts with an empty search.
    content().panels().historyLayer().tapScrim();
    EXPECT_FALSE(state().isHistoryPanelVisible());
    ASSERT_TRUE(runUntilGtk([&] { return panel() == nullptr; }));
}

TEST_F(HistoryPanelTest, DeleteCopyOpenAndClearSpace)
{
    state().setIsHistoryPanelVisible(true);
    ASSERT_TRUE(panelShown());
    ASSERT_TRUE(runUntilGtk([&] { return shownUrls().size() == 3; }));
    const HistoryItem second = state().history()[1];
    ASSERT_EQ(second.url.string(), server.url("/second"));

    // The delete button shows on hover and removes the visit from history.json.
    HistoryRow* row = nullptr;
    ASSERT_TRUE(runUntilGtk([&] { return (row = panel()->rowFor(second.id)) && row->visit().get_width() > 0; }));
    ASSERT_TRUE(xdoMoveToWidget(row->visit()));
    ASSERT_TRUE(runUntilGtk(
        [&] { return (row->visit().get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT; }));
    settle(200);
    screenshotIfAsked("history-row-hover");
    ASSERT_TRUE(click(row->deleteButton(), [&] { return shownUrls().size() == 2; }));
    EXPECT_EQ(readDataFile("history.json").find(server.url("/second")), std::string::npos);
    EXPECT_NE(readDataFile("history.json").find(server.url("/first")), std::string::npos);

    // Copy URL from the context menu, read back from the display's clipboard.
    ASSERT_TRUE(runUntilGtk(
        [&] { return (row = panel()->rowFor(state().history()[0].id)) && row->visit().get_width() > 0; }));
    ASSERT_TRUE(click(row->visit(), [&] { return row->menu() && row->menu()->get_mapped(); }, 3));
    settle(150);
    screenshotIfAsked("history-row-menu");
    row->menu()->popdown();
    row->activate_action("history.copy");
    std::string copied;
    h->window().get_clipboard()->read_text_async([&](const Glib::RefPtr<Gio::AsyncResult>& result) {
        copied = h->window().get_clipboard()->read_text_finish(result);
    });
    ASSERT_TRUE(runUntilGtk([&] { return !copied.empty(); }));
    EXPECT_EQ(copied, server.url("/third"));

    // "Open in New Tab" keeps the panel; a click opens and closes it.
    const std::size_t tabs = state().tabs().size();
    row->activate_action("history.open");
    EXPECT_EQ(state().tabs().size(), tabs + 1);
    EXPECT_TRUE(state().isHistoryPanelVisible());
    ASSERT_TRUE(runUntilGtk(
        [&] { return (row = panel()->rowFor(state().history().back().id)) && row->visit().get_width() > 0; }));
    ASSERT_TRUE(click(row->visit(), [&] { return !state().isHistoryPanelVisible(); }));
    EXPECT_EQ(state().tabs().size(), tabs + 2);
    EXPECT_EQ(state().activeTab()->url.string(), server.url("/first"));

    // "Clear Space" empties the space's history.
    state().setIsHistoryPanelVisible(true);
    ASSERT_TRUE(panelShown());
    ASSERT_TRUE(click(panel()->clearButton(), [&] { return state().historyForCurrentSpace().empty(); }));
    ASSERT_TRUE(runUntilGtk([&] { return panel()->shownRows().empty() || shownUrls().empty(); }));
    EXPECT_EQ(readDataFile("history.json").find("127.0.0.1"), std::string::npos);
    ASSERT_TRUE(click(panel()->closeButton(), [&] { return !state().isHistoryPanelVisible(); }));
}

TEST(FaviconTexture, IconsAreDecodedSmallAndBrokenOnesGiveNothing)
{
    ensureGtk();
    auto small = decodeFavicon(png(16, 16), 64);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->get_width(), 16);
    auto huge = decodeFavicon(png(2000, 1000), 64); // scaled while decoding, shape kept
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->get_width(), 64);
    EXPECT_EQ(huge->get_height(), 32);
    Bytes truncated = png(16, 16);
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(decodeFavicon(truncated, 64));
    EXPECT_FALSE(decodeFavicon(Bytes{0x89, 'P', 'N', 'G', 0, 1, 2}, 64));
    EXPECT_FALSE(decodeFavicon(Bytes{}, 64));
}

TEST_F(HistoryPanelTest, AThousandLongTitlesAndBrokenIconsOpenAndScroll)
{
    std::vector<HistoryItem> visits;
    const Date now = Date::now();
    for (int i = 0; i < 1000; ++i) {
        HistoryItem item{Uuid::random(), *Url::parse("https://site" + std::to_string(i) + ".example/"),
                         std::string(10'000, static_cast<char>('a' + i % 26)) + " \U0001F680", now.adding(-60.0 * i),
                         std::nullopt, state().currentSpaceId()};
        // Every third icon is broken; one is a real icon, far too large.
        if (i % 3 == 0)
            item.favicon = Bytes{0x89, 'P', 'N', 'G', 0, 0, 0, 13};
        if (i == 1)
            item.favicon = png(3000, 3000);
        visits.push_back(std::move(item));
    }
    state().setHistory(std::move(visits));
    const Uuid oldest = state().history().back().id; // a visit recorded later would push it out
    state().setIsHistoryPanelVisible(true);
    ASSERT_TRUE(panelShown());
    ASSERT_TRUE(runUntilGtk([&] { return panel()->shownRows().size() > 5; }));
    EXPECT_LT(panel()->shownRows().size(), 40u); // only what is in view
    HistoryRow* broken = panel()->rowFor(state().history()[0].id);
    HistoryRow* large = panel()->rowFor(state().history()[1].id);
    ASSERT_TRUE(broken && large);
    EXPECT_FALSE(broken->showsFavicon()); // the globe stands in
    EXPECT_TRUE(large->showsFavicon());
    EXPECT_LE(broken->titleLabel().get_text().size(), 400u);
    screenshotIfAsked("history-long-titles");

    auto adjustment = panel()->list().get_vadjustment();
    ASSERT_TRUE(runUntilGtk([&] { return adjustment->get_page_size() > 0 && adjustment->get_upper() > 10'000; }));
    adjustment->set_value(adjustment->get_upper() - adjustment->get_page_size());
    ASSERT_TRUE(runUntilGtk([&] { return panel()->rowFor(oldest) != nullptr; }));
    panel()->searchEntry().set_text("site999.");
    ASSERT_TRUE(runUntilGtk([&] { return shownUrls() == std::vector<std::string>{"https://site999.example/"}; }));
}

} // namespace
} // namespace kovi::test
