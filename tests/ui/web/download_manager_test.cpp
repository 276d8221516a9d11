// Downloads run inside the page's session, land under safe free names with the exact bytes, and
// never leave a file or a "completed" record behind when they fail.
#include "web_test_fixture.h"

#include "core/support/files.h"
#include "core/support/gobject_ptr.h"
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

    // A kept tab stays whatever its address gives; its address is no visit either.
    Uuid pinned = openTab(server.url("/attachment"));
    state->pinTab(pinned);
    show(pinned);
    ASSERT_TRUE(waitStatus(2, DownloadStatus::completed));
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
        ASSERT_TRUE(runUntil([&] { return state->downloads().size() == count; }, 15));
        ASSERT_TRUE(runUntil([&] { return web->downloads().runningCount() == 0; }, 15));
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
    ASSERT_TRUE(runUntil([&] { return record() && record()->downloadedBytes >= 5000; }, 15));
    EXPECT_EQ(record()->status, DownloadStatus::downloading);
    EXPECT_EQ(web->downloads().runningCount(), 1u);
    state->removeDownload(record()->id);
    ASSERT_TRUE(runUntil([&] { return web->downloads().runningCount() == 0; }, 10));
    EXPECT_TRUE(state->downloads().empty());
    EXPECT_TRUE(downloadedFiles().empty());
    EXPECT_TRUE(partialFolderEmpty());
}

TEST_F(DownloadManagerTest, ShuttingDownWithARunningDownloadRecordsItAsFailed)
{
    follow("/endless");
    ASSERT_TRUE(runUntil([&] { return record() && record()->downloadedBytes >= 5000; }, 15));
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

} // namespace
} // namespace kovi::test
