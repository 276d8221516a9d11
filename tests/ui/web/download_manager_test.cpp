// Downloads run inside the page's session, land under safe free names with the exact bytes, and
// never leave a file or a "completed" record behind when they fail.
#include "web_test_fixture.h"

#include "app/app_fixture.h"
#include "core/support/files.h"
#include "core/support/gobject_ptr.h"
#include "core/support/scoped_connections.h"
#include "ui/design/overlay_layer.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/page_area.h"
#include "ui/layouts/panel_overlays.h"
#include "ui/sidebar/address_bar.h"
#include "ui/web/download_manager.h"

#include <gio/gio.h>
#include <webkit/webkit.h>

#include <filesystem>

namespace kovi::test {
namespace {

namespace fs = std::filesystem;

std::string payload(std::size_t size)
{
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 131 + 7) % 251);
    return out;
}

// Answers every request on 127.0.0.1 with the same bytes and closes the connection at once, as a
// server that breaks off, or lies about its length, does. Each connection is served on a thread
// of its own, which holds the service (and with it the reply) until it is done.
class RawReplyServer {
public:
    explicit RawReplyServer(std::string reply)
        : m_service(GObjectPtr<GSocketService>::adopt(g_threaded_socket_service_new(4)))
    {
        auto loopback = GObjectPtr<GInetAddress>::adopt(g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4));
        auto address = GObjectPtr<GSocketAddress>::adopt(g_inet_socket_address_new(loopback.get(), 0));
        GSocketAddress* bound = nullptr;
        g_socket_listener_add_address(G_SOCKET_LISTENER(m_service.get()), address.get(), G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_TCP, nullptr, &bound, nullptr);
        m_port = bound ? g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound)) : 0;
        g_clear_object(&bound);
        g_signal_connect_data(m_service.get(), "run", G_CALLBACK(&RawReplyServer::serve),
                              new std::string(std::move(reply)),
                              [](gpointer data, GClosure*) { delete static_cast<std::string*>(data); },
                              GConnectFlags(0));
        g_socket_service_start(m_service.get());
    }
    ~RawReplyServer()
    {
        g_socket_service_stop(m_service.get());
        g_socket_listener_close(G_SOCKET_LISTENER(m_service.get()));
    }
    RawReplyServer(const RawReplyServer&) = delete;
    RawReplyServer& operator=(const RawReplyServer&) = delete;

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

private:
    static gboolean serve(GThreadedSocketService*, GSocketConnection* connection, GObject*, gpointer reply)
    {
        GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            const gssize read = g_input_stream_read(in, buffer, sizeof buffer, nullptr, nullptr);
            if (read <= 0)
                return TRUE;
            head.append(buffer, static_cast<std::size_t>(read));
        }
        const auto* bytes = static_cast<const std::string*>(reply);
        g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(connection)), bytes->data(),
                                  bytes->size(), nullptr, nullptr, nullptr);
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        return TRUE;
    }

    GObjectPtr<GSocketService> m_service;
    guint16 m_port = 0;
};

// A download whose body arrives over a second and more, long after the download has started.
LoopbackServer::Reply tricklingDownload()
{
    LoopbackServer::Reply reply{200, payload(1000), "application/octet-stream",
                                {{"Content-Disposition", "attachment; filename=trickling.bin"}}};
    reply.trickle.assign(6, std::string(1000, 't'));
    reply.trickleMs = 250;
    return reply;
}

std::string rawReply(const std::string& name, const std::string& framing, const std::string& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename="
           + name + "\r\n" + framing + "Connection: close\r\n\r\n" + body;
}

class DownloadManagerTest : public WebFixture {
protected:
    DownloadManagerTest()
    {
        server.on("/start", html(page("Start")));
        server.on("/attachment", LoopbackServer::Reply{200, payload(300000), "text/plain",
                                                       {{"Content-Disposition", "ATTACHMENT; filename=\"report.pdf\""}}});
        server.on("/underscored", LoopbackServer::Reply{200, "u", "text/plain",
                                                        {{"Content-Disposition", "attachment; filename=my_big_report.txt"}}});
        server.on("/binary", LoopbackServer::Reply{200, payload(1000), "application/x-kovi-unknown", {}});
        server.on("/gone", LoopbackServer::Reply{404, "missing", "text/plain",
                                                 {{"Content-Disposition", "attachment; filename=gone.bin"}}});
        server.on("/hostile", LoopbackServer::Reply{200, "x", "text/plain",
                                                    {{"Content-Disposition",
                                                      "attachment; filename=\"../../.bashrc\""}}});
        server.on("/trickling", tricklingDownload());
        server.on("/endless", [](const LoopbackServer::Request&) {
            LoopbackServer::Reply reply{200, payload(5000), "application/octet-stream",
                                        {{"Content-Disposition", "attachment; filename=endless.bin"}}};
            reply.holdBodyOpen = true;
            return reply;
        });
    }

    void SetUp() override
    {
        source = openTab(server.url("/start"));
        show(source);
        ASSERT_TRUE(waitLoaded(source));
    }

    // Follows a link in the page, as a click would.
    void follow(const std::string& path)
    {
        evaluate(source, "location.href = '" + path + "'");
    }

    std::optional<DownloadItem> record(std::size_t index = 0)
    {
        if (index >= state->downloads().size())
            return std::nullopt;
        return state->downloads()[index];
    }

    bool waitStatus(std::size_t count, DownloadStatus status)
    {
        return runUntil([&] {
            if (state->downloads().size() < count)
                return false;
            for (std::size_t i = 0; i < count; ++i) {
                if (state->downloads()[i].status != status)
                    return false;
            }
            return true;
        }, 15);
    }

    std::vector<std::string> downloadedFiles() const
    {
        std::vector<std::string> names;
        if (fs::exists(dir.file("Downloads")))
            for (const auto& entry : fs::directory_iterator(dir.file("Downloads")))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    bool partialFolderEmpty() const
    {
        return !fs::exists(dir.file("partial")) || fs::is_empty(dir.file("partial"));
    }

    Uuid source;
};

TEST_F(DownloadManagerTest, AnAttachmentIsSavedWithItsExactBytesAndAFreeName)
{
    follow("/attachment");
    ASSERT_TRUE(waitStatus(1, DownloadStatus::completed));
    auto first = *record();
    EXPECT_EQ(first.filename, "report.pdf");
    EXPECT_EQ(first.url.string(), server.url("/attachment"));
    EXPECT_EQ(first.downloadedBytes, 300000);
    EXPECT_EQ(first.totalBytes, 300000);
    ASSERT_TRUE(first.localPath);
    EXPECT_EQ(*first.localPath->filePath(), dir.file("Downloads/report.pdf"));
    EXPECT_TRUE(first.completedAt.has_value());
    EXPECT_EQ(dir.read("Downloads/report.pdf"), payload(300000));
    EXPECT_TRUE(state->isDownloadsPanelVisible());
    EXPECT_EQ(tab(source)->url.string(), server.url("/start")); // the page stays
    EXPECT_FALSE(shown->isErrorShown());

    follow("/attachment");
    ASSERT_TRUE(waitStatus(2, DownloadStatus::completed));
    EXPECT_EQ(record()->filename, "report (1).pdf");
    follow("/attachment");
    ASSERT_TRUE(waitStatus(3, DownloadStatus::completed));
    EXPECT_EQ(record()->filename, "report (2).pdf");
    EXPECT_EQ(downloadedFiles(), (std::vector<std::string>{"report (1).pdf", "report (2).pdf", "report.pdf"}));
    EXPECT_TRUE(partialFolderEmpty());
}

// Regression: a download started by typing its address left an empty tab titled with the host
// behind, one per download, and its address in the history as a visit titled with the host.
TEST_F(DownloadManagerTest, ATabOpenedOnlyToReachADownloadClosesWhenItStartsAndIsNoVisit)
{
    auto visited = [&](const std::string& path) {
        return std::any_of(state->history().begin(), state->history().end(),
                           [&](const HistoryItem& item) { return item.url.string() == server.url(path); });
    };
    Uuid typed = openTab(server.url("/binary"));
    show(typed);
    EXPECT_TRUE(visited("/binary")) << "recorded when shown, before the answer came";
    ASSERT_TRUE(waitStatus(1, DownloadStatus::completed));
    ASSERT_TRUE(runUntil([&] { return !tab(typed); }));
    EXPECT_EQ(dir.read("Downloads/binary"), payload(1000));
    EXPECT_EQ(web->pool().webView(typed), nullptr);
    EXPECT_TRUE(tab(source)) << "a tab that showed a page stays";
    EXPECT_EQ(state->activeTabId(), source);
    EXPECT_FALSE(visited("/binary"));
    EXPECT_TRUE(visited("/start"));

    // Its body still arriving as the tab closes, the download goes on to the end.
    Uuid trickling = openTab(server.url("/trickling"));
    show(trickling);
    ASSERT_TRUE(runUntil([&] { return !tab(trickling); }));
    EXPECT_EQ(web->downloads().runningCount(), 1u) << "the tab closed before the body had come";
    ASSERT_TRUE(waitStatus(2, DownloadStatus::completed));
    EXPECT_EQ(dir.read("Downloads/trickling.bin"), payload(1000) + std::string(6000, 't'));

    // A kept tab stays whatever its address gives; its address is no visit either.
    Uuid pinned = openTab(server.url("/attachment"));
    state->pinTab(pinned);
    show(pinned);
    ASSERT_TRUE(waitStatus(3, DownloadStatus::completed));
    runUntil([] { return false; }, 0.5);
    EXPECT_TRUE(tab(pinned));
    EXPECT_TRUE(tab(source));
    EXPECT_FALSE(visited("/attachment"));
    EXPECT_EQ(dir.read("data/history.json").find("/attachment"), std::string::npos);
}

TEST_F(DownloadManagerTest, ATypeThePageCannotShowIsDownloadedUnderItsAddressName)
{
    follow("/binary");
    ASSERT_TRUE(waitStatus(1, DownloadStatus::completed));
    EXPECT_EQ(record()->filename, "binary");
    EXPECT_EQ(dir.read("Downloads/binary"), payload(1000));
}

TEST_F(DownloadManagerTest, AHostileNameIsMadeSafe)
{
    follow("/hostile");
    ASSERT_TRUE(waitStatus(1, DownloadStatus::completed));
    EXPECT_EQ(record()->filename, "bashrc");
    EXPECT_EQ(downloadedFiles(), (std::vector<std::string>{"bashrc"}));
    EXPECT_FALSE(fs::exists(dir.file(".bashrc")));
}

TEST_F(DownloadManagerTest, AServerErrorFailsAndLeavesNoFile)
{
    follow("/gone");
    ASSERT_TRUE(waitStatus(1, DownloadStatus::failed));
    EXPECT_FALSE(record()->localPath.has_value());
    EXPECT_TRUE(downloadedFiles().empty());
    EXPECT_TRUE(partialFolderEmpty());
}

// Regression: a server that declared a length, sent less and closed left a download recorded
// and shown as completed, its truncated file kept under the download's name.
TEST_F(DownloadManagerTest, ATransferCutShortFailsLikeAnyOtherBrokenTransfer)
{
    RawReplyServer lying(rawReply("lie.bin", "Content-Length: 1000000\r\n", payload(5000)));
    // Chunked, broken off inside its first chunk of 10,000 bytes.
    RawReplyServer chunked(rawReply("chunked.bin", "Transfer-Encoding: chunked\r\n", "2710\r\n" + payload(5000)));
    for (const std::string& address : {lying.url("/lie.bin"), chunked.url("/chunked.bin")}) {
        SCOPED_TRACE(address);
        const std::size_t count = state->downloads().size() + 1;
        follow(address);
        ASSERT_TRUE(runUntil([&] { return state->downloads().size() == count; }));
        ASSERT_TRUE(runUntil([&] { return web->downloads().runningCount() == 0; }));
        EXPECT_EQ(record()->status, DownloadStatus::failed);
        EXPECT_FALSE(record()->localPath.has_value());
        EXPECT_FALSE(record()->completedAt.has_value());
        EXPECT_TRUE(downloadedFiles().empty());
        EXPECT_TRUE(partialFolderEmpty());
    }
    // What is stored says the same.
    auto stored = files::readBounded(state->storageDirectory() + "/downloads.json", 1 << 20);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->find("\"completed\""), std::string::npos) << *stored;
    EXPECT_EQ(stored->find("localPath"), std::string::npos) << *stored;
}

TEST_F(DownloadManagerTest, RemovingARunningDownloadCancelsItsTransfer)
{
    follow("/endless");
    ASSERT_TRUE(runUntil([&] { return record() && record()->downloadedBytes >= 5000; }));
    EXPECT_EQ(record()->status, DownloadStatus::downloading);
    EXPECT_EQ(web->downloads().runningCount(), 1u);
    state->removeDownload(record()->id);
    ASSERT_TRUE(runUntil([&] { return web->downloads().runningCount() == 0; }));
    EXPECT_TRUE(state->downloads().empty());
    EXPECT_TRUE(downloadedFiles().empty());
    EXPECT_TRUE(partialFolderEmpty());
}

TEST_F(DownloadManagerTest, ShuttingDownWithARunningDownloadRecordsItAsFailed)
{
    follow("/endless");
    ASSERT_TRUE(runUntil([&] { return record() && record()->downloadedBytes >= 5000; }));
    web.reset();
    EXPECT_EQ(record()->status, DownloadStatus::failed);
    EXPECT_TRUE(partialFolderEmpty());
}

TEST_F(DownloadManagerTest, TidyingTheNameHappensBeforeItIsMadeFree)
{
    preferences->set(prefs::isTidyDownloadsEnabled, true);
    follow("/underscored");
    ASSERT_TRUE(waitStatus(1, DownloadStatus::completed));
    EXPECT_EQ(record()->filename, "my big report.txt");
    follow("/underscored");
    ASSERT_TRUE(waitStatus(2, DownloadStatus::completed));
    EXPECT_EQ(record()->filename, "my big report (1).txt");
}

// The whole application started on a profile with three tabs, driven by real keys.
class DownloadsInTheWindowTest : public ::testing::Test {
protected:
    DownloadsInTheWindowTest()
    {
        server.on("/first", html(page("First")));
        server.on("/second", html(page("Second")));
        // Its answer is held, so the tab restored on it is still loading its page.
        server.on("/held", LoopbackServer::Reply{200, page("Held"), "text/html", {}, false, 10000});
        server.on("/report.bin", LoopbackServer::Reply{200, payload(4096), "application/octet-stream",
                                                        {{"Content-Disposition", "attachment; filename=report.bin"}}});
        server.on("/trickling.bin", tricklingDownload());
        std::string links;
        for (int i = 1; i <= 5; ++i) {
            const std::string name = "file" + std::to_string(i) + ".bin";
            server.on("/" + name, LoopbackServer::Reply{200, payload(512), "application/octet-stream",
                                                         {{"Content-Disposition", "attachment; filename=" + name}}});
            links += "<a href='/" + name + "' style='position:absolute; right:40px; width:160px; height:50px; top:" +
                     std::to_string(linkTop(i)) + "px'>" + name + "</a>";
        }
        server.on("/links", html(page("Links", links)));
    }
    static int linkTop(int link) { return 40 + (link - 1) * 70; }

    void SetUp() override
    {
        {
            BrowserCore core({.dataDirectory = dir.path() + "/data",
                              .defaultsPath = dir.path() + "/config/defaults.json",
                              .updateFeedUrl = "http://127.0.0.1:9/"});
            core.auth().continueAsGuest();
            core.preferences().set(prefs::hasCompletedOnboarding, true);
            for (const char* path : {"/first", "/second", "/held"})
                core.state().addTab(makeTab(core.state(), server.url(path)));
            core.state().saveState();
        }
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, defaultViewSlots());
        ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::browser; }));
        ASSERT_TRUE(xdoFocusWindow(h->window()));
    }

    BrowserState& state() { return h->ctx().state; }
    std::size_t requestsFor(const std::string& path) const
    {
        return static_cast<std::size_t>(std::count_if(server.requests().begin(), server.requests().end(),
                                                      [&](const auto& request) { return request.path == path; }));
    }
    std::vector<Uuid> tabIds()
    {
        std::vector<Uuid> ids;
        for (const Tab& tab : state().tabsForCurrentSpace())
            ids.push_back(tab.id);
        return ids;
    }
    bool focusIn(Gtk::Widget& area)
    {
        Gtk::Widget* focus = h->window().get_focus();
        return focus && (focus == &area || focus->is_ancestor(area));
    }
    // Types the address into the shown tab's address field (Ctrl+L) and goes there.
    void typeAddress(const std::string& url)
    {
        auto* field = findWidget<SidebarAddressBar>(h->window());
        ASSERT_NE(field, nullptr);
        ASSERT_TRUE(xdoKey("ctrl+l"));
        ASSERT_TRUE(runUntilGtk([&] { return focusIn(field->entry()); })) << "Ctrl+L";
        ASSERT_TRUE(xdoType(url));
        ASSERT_TRUE(runUntilGtk([&] { return std::string(field->entry().get_text()) == url; }))
            << std::string(field->entry().get_text());
        ASSERT_TRUE(xdoKey("Return"));
    }
    // The downloads are listed, finished, and each file holds what the server sent.
    void expectSaved(std::size_t count)
    {
        ASSERT_TRUE(runUntilGtk([&] {
            const auto& downloads = state().downloads();
            return downloads.size() == count && std::all_of(downloads.begin(), downloads.end(), [](const DownloadItem& d) {
                       return d.status == DownloadStatus::completed;
                   });
        }, 30)) << state().downloads().size() << " downloads listed, " << count << " due";
        const std::map<std::string, std::string> sent{{"report.bin", payload(4096)},
                                                      {"trickling.bin", payload(1000) + std::string(6000, 't')}};
        for (const DownloadItem& item : state().downloads()) {
            ASSERT_TRUE(item.localPath && item.localPath->filePath());
            auto saved = files::readBounded(*item.localPath->filePath(), 1 << 20);
            EXPECT_TRUE(saved && sent.contains(item.filename) && *saved == sent.at(item.filename)) << item.filename;
        }
    }

    TempDir dir;
    LoopbackServer server;
    std::unique_ptr<AppHarness> h;
};

// Regression: a download typed into the address field of a tab that had shown no page yet (one
// restored at start-up and still loading) closed that tab, as if it had been opened only for
// the download; the first tab was shown instead.
TEST_F(DownloadsInTheWindowTest, ADownloadTypedIntoARestoredTabStillLoadingKeepsTheTab)
{
    const std::vector<Uuid> before = tabIds();
    ASSERT_EQ(before.size(), 3u);
    const Uuid held = before.back();
    ASSERT_EQ(state().activeTabId(), held);
    ASSERT_TRUE(runUntilGtk([&] { return requestsFor("/held") == 1; }));
    ASSERT_NO_FATAL_FAILURE(typeAddress(server.url("/report.bin")));
    ASSERT_NO_FATAL_FAILURE(expectSaved(1));
    settle(500); // a tab closing is done on the next turns of the loop
    EXPECT_EQ(tabIds(), before);
    EXPECT_EQ(state().activeTabId(), held);
    ASSERT_TRUE(state().tab(held));
    EXPECT_EQ(state().tab(held)->url.string(), server.url("/held"));
    EXPECT_TRUE(runUntilGtk([&] { return requestsFor("/held") == 2; })) << "the tab loads its page again";

    // A tab opened for a download closes as the download starts, its body still to come, and
    // the first tab is shown.
    std::size_t mostTabs = 0;
    ScopedConnections counting;
    counting.add(state().tabsChanged.connect([&] { mostTabs = std::max(mostTabs, state().tabs().size()); }));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    OverlayLayer& bar = h->root().contentView()->panels().commandBarLayer();
    ASSERT_TRUE(runUntilGtk([&] { return bar.isPresented() && bar.contains(h->window().get_focus()); }));
    ASSERT_TRUE(xdoType(server.url("/trickling.bin")));
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return mostTabs == 4 && state().tabs().size() == 3; }, 30))
        << "the download's tab opens and closes";
    EXPECT_EQ(h->ctx().state.downloads().front().status, DownloadStatus::downloading) << "the body was all there";
    ASSERT_NO_FATAL_FAILURE(expectSaved(2));
    EXPECT_EQ(tabIds(), before);
    EXPECT_EQ(state().activeTabId(), before.front());
}

// Regression: the downloads panel opened by itself beside a page of download links, and the
// click on the next link only closed it: the page never saw that click, and every other link
// clicked was lost. A click beside that panel reaches the page; one on the panel stays in it.
TEST_F(DownloadsInTheWindowTest, ClicksBesideThePanelThatOpenedByItselfReachThePage)
{
    const Uuid tab = h->openLoaded(server.url("/links"), "Links");
    ASSERT_TRUE(waitForFrames(h->window()));
    auto* view = Glib::wrap(GTK_WIDGET(h->ctx().web->pool().webView(tab)));
    OverlayLayer& panel = h->root().contentView()->panels().downloadsLayer();
    for (int link = 1; link <= 5; ++link) {
        const std::string path = "/file" + std::to_string(link) + ".bin";
        ASSERT_TRUE(xdoClickWidget(*view, 1, view->get_width() - 40 - 80, linkTop(link) + 25));
        ASSERT_TRUE(runUntilGtk([&] { return requestsFor(path) == 1; }, 20)) << path << " was not asked for";
        ASSERT_TRUE(runUntilGtk([&] { return panel.isPresented() && panel.content() && waitForFrames(*panel.content(), 1); }, 20))
            << "the panel opens as " << path << " starts";
    }
    ASSERT_TRUE(runUntilGtk([&] {
        return state().downloads().size() == 5u && std::all_of(state().downloads().begin(), state().downloads().end(),
                                                              [](const DownloadItem& d) { return d.status == DownloadStatus::completed; });
    }, 30));

    ASSERT_TRUE(xdoClickWidget(*panel.content()));
    settle(500);
    EXPECT_TRUE(state().isDownloadsPanelVisible()) << "a click on the panel closed it";
    // Opened by the user, the panel catches the click beside it again, as any panel does.
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isDownloadsPanelVisible(); }, 10));
    ASSERT_TRUE(xdoKey("ctrl+alt+j"));
    ASSERT_TRUE(runUntilGtk([&] { return panel.isPresented() && panel.content(); }, 10));
    ASSERT_TRUE(waitForFrames(*panel.content()));
    int x = 0, y = 0; // the link, under the scrim now
    ASSERT_TRUE(widgetPoint(*view, view->get_width() - 40 - 80, linkTop(1) + 25, x, y));
    ASSERT_TRUE(xdoClickAt(x, y));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isDownloadsPanelVisible(); }, 10));
    settle(500);
    EXPECT_EQ(requestsFor("/file1.bin"), 1u);
}

} // namespace
} // namespace kovi::test
