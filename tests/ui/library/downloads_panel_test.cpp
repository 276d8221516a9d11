// The downloads panel over the running application, with downloads from a loopback server.
#include "library_app_fixture.h"

#include "core/settings/appearance_manager.h"
#include "ui/library/downloads_panel.h"

#include <adwaita.h>

#include <filesystem>

namespace kovi::test {
namespace {

std::string bytes(std::size_t count)
{
    return std::string(count, 'k');
}

LoopbackServer::Reply heldDownload(const std::string& name)
{
    LoopbackServer::Reply reply{200, bytes(4000), "application/octet-stream",
                                {{"Content-Disposition", "attachment; filename=" + name}, {"Content-Length", "10000"}}};
    reply.holdBodyOpen = true;
    reply.restOfBody = bytes(6000);
    return reply;
}

class DownloadsPanelTest : public LibraryAppTest {
protected:
    void SetUp() override
    {
        LibraryAppTest::SetUp();
        state().setDesktopHandler({[this](const Url& file) { opened.push_back(file.string()); },
                                   [this](const Url& file) { revealed.push_back(file.string()); }});
        server.on("/start", htmlPage("Start"));
        server.on("/report.zip", heldDownload("report.zip"));
        server.on("/broken.bin", heldDownload("broken.bin"));
        h->openLoaded(server.url("/start"), "Start");
    }
    DownloadsPanel* panel() { return dynamic_cast<DownloadsPanel*>(content().panels().downloadsLayer().content()); }
    // Starts a download the way a link does, and waits for its row.
    DownloadRow* download(const std::string& path)
    {
        const std::size_t before = state().downloads().size();
        state().addTab(makeTab(state(), server.url(path)));
        if (!runUntilGtk([&] { return state().downloads().size() == before + 1 && panel(); }))
            return nullptr;
        const Uuid id = state().downloads()[0].id;
        return runUntilGtk([&] { return panel()->rowFor(id) != nullptr; }) ? panel()->rowFor(id) : nullptr;
    }
    // Without `done`, one double click that is meant to do nothing.
    bool doubleClick(Gtk::Widget& widget, const std::function<bool()>& done = {})
    {
        // A row just added has no place yet on a busy machine.
        if (!runUntilGtk([&] { return widget.get_mapped() && widget.get_width() > 0; }) || !xdoMoveToWidget(widget))
            return false;
        return done ? xdoDoubleClickUntil(done) : xdo({"click", "--repeat", "2", "--delay", "60", "1"});
    }
    std::vector<std::string> opened;
    std::vector<std::string> revealed;
};

// Regression: a download starting dimmed the window over an empty layer.
TEST_F(DownloadsPanelTest, ADownloadGoesFromDownloadingToCompletedAndOpensOnDoubleClick)
{
    DownloadRow* row = download("/report.zip");
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(state().isDownloadsPanelVisible()); // shown by the download itself
    EXPECT_TRUE(runUntilGtk([&] { return panel()->get_allocated_width() == DownloadsPanel::width; }));
    EXPECT_EQ(panel()->get_allocated_height(), DownloadsPanel::height);
    ASSERT_TRUE(runUntilGtk([&] { return row->item().downloadedBytes == 4000; }));
    EXPECT_EQ(row->statusLabel().get_text(), "Downloading...");
    EXPECT_TRUE(row->statusLabel().has_css_class("blue"));
    EXPECT_EQ(row->sizeLabel().get_text(), "4.0\u00A0kB / 10.0\u00A0kB");
    EXPECT_EQ(row->progressBar().get_opacity(), 1);
    EXPECT_DOUBLE_EQ(row->progressBar().get_fraction(), 0.4);
    EXPECT_FALSE(panel()->clearButton().get_visible());
    screenshotIfAsked("downloads-running");

    server.finishOpenReplies();
    ASSERT_TRUE(runUntilGtk([&] { return row->item().status == DownloadStatus::completed; }));
    EXPECT_EQ(row->statusLabel().get_text(), "Completed");
    EXPECT_TRUE(row->statusLabel().has_css_class("green"));
    EXPECT_EQ(row->sizeLabel().get_text(), "10.0\u00A0kB");
    EXPECT_EQ(row->progressBar().get_opacity(), 0); // its room kept: rows are one height
    EXPECT_TRUE(panel()->clearButton().get_visible());
    ASSERT_TRUE(row->item().localPath);

    // A single click does nothing; a double click hands the file to the desktop.
    ASSERT_TRUE(xdoClickWidget(*row));
    settle(300);
    EXPECT_TRUE(opened.empty());
    ASSERT_TRUE(doubleClick(*row, [&] { return !opened.empty(); }));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], row->item().localPath->string());

    // Hovering shows "Show in Folder" and remove.
    ASSERT_TRUE(runUntilGtk([&] { return row->buttonsShown(); }));
    EXPECT_TRUE(row->revealButton().get_visible());
    settle(200);
    screenshotIfAsked("downloads-completed-hover");
    ASSERT_TRUE(click(row->revealButton(), [&] { return revealed.size() == 1; }));

    h->ctx().appearance.setIsDarkMode(false);
    settle(300);
    screenshotIfAsked("downloads-light");
}

TEST_F(DownloadsPanelTest, AFailedDownloadShowsFailedAndClearCompletedKeepsIt)
{
    DownloadRow* done = download("/report.zip");
    ASSERT_NE(done, nullptr);
    server.finishOpenReplies();
    const Uuid doneId = done->item().id;
    ASSERT_TRUE(runUntilGtk([&] { return done->item().status == DownloadStatus::completed; }));

    DownloadRow* broken = download("/broken.bin");
    ASSERT_NE(broken, nullptr);
    const Uuid brokenId = broken->item().id;
    ASSERT_TRUE(runUntilGtk([&] { return broken->item().downloadedBytes == 4000; }));
    server.dropOpenReplies(); // the server goes away mid-transfer
    ASSERT_TRUE(runUntilGtk([&] { return broken->item().status == DownloadStatus::failed; }));
    EXPECT_EQ(broken->statusLabel().get_text(), "Failed");
    EXPECT_TRUE(broken->statusLabel().has_css_class("red"));
    EXPECT_FALSE(broken->sizeLabel().get_visible());
    EXPECT_EQ(broken->progressBar().get_opacity(), 0);
    EXPECT_EQ(panel()->rows()[0], broken); // newest first
    ASSERT_TRUE(xdoMoveToWidget(*broken));
    ASSERT_TRUE(runUntilGtk([&] { return broken->buttonsShown(); }));
    EXPECT_FALSE(broken->revealButton().get_visible());
    screenshotIfAsked("downloads-failed");
    ASSERT_TRUE(doubleClick(*broken));
    settle(300);
    EXPECT_TRUE(opened.empty());

    ASSERT_TRUE(click(panel()->clearButton(), [&] { return state().downloads().size() == 1; }));
    EXPECT_EQ(state().downloads()[0].id, brokenId);
    EXPECT_EQ(panel()->rowFor(doneId), nullptr);
    EXPECT_FALSE(panel()->clearButton().get_visible());
    EXPECT_EQ(readDataFile("downloads.json").find(doneId.toString()), std::string::npos);
    EXPECT_NE(readDataFile("downloads.json").find(brokenId.toString()), std::string::npos);

    // Removing the last row leaves "No Downloads".
    ASSERT_TRUE(xdoMoveToWidget(*broken));
    ASSERT_TRUE(runUntilGtk([&] { return broken->buttonsShown(); }));
    ASSERT_TRUE(click(broken->removeButton(), [&] { return state().downloads().empty(); }));
    ASSERT_TRUE(runUntilGtk([&] { return panel()->isShowingEmptyState(); }));
    screenshotIfAsked("downloads-empty");
}

TEST_F(DownloadsPanelTest, AMovedFileIsReportedInsteadOfOpened)
{
    DownloadRow* row = download("/report.zip");
    ASSERT_NE(row, nullptr);
    server.finishOpenReplies();
    ASSERT_TRUE(runUntilGtk([&] { return row->item().status == DownloadStatus::completed; }));
    std::filesystem::remove(*row->item().localPath->filePath());

    ASSERT_TRUE(doubleClick(*row, [&] { return panel()->alert() && panel()->alert()->isOpen(); }));
    EXPECT_STREQ(adw_message_dialog_get_heading(panel()->alert()->dialog()), "File Not Found");
    EXPECT_TRUE(opened.empty());
    settle(200);
    screenshotIfAsked("downloads-missing-file");
    adw_message_dialog_response(panel()->alert()->dialog(), "ok");
    EXPECT_FALSE(panel()->alert());

    // "Show in Folder" from the menu says the same; "Remove from List" is always offered.
    ASSERT_TRUE(click(*row, [&] { return row->menu() && row->menu()->get_mapped(); }, 3));
    row->menu()->popdown();
    row->activate_action("download.reveal");
    EXPECT_TRUE(panel()->alert() && panel()->alert()->isOpen());
    EXPECT_TRUE(revealed.empty());
    adw_message_dialog_response(panel()->alert()->dialog(), "ok");
    row->activate_action("download.remove");
    EXPECT_TRUE(state().downloads().empty());
}

} // namespace
} // namespace kovi::test
