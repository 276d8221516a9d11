#include "core/web/navigation_policy.h"

#include "core/support/url.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

NavigationPolicy::Response httpResponse(std::string mime, bool canShow = true)
{
    NavigationPolicy::Response r;
    r.isHttp = true;
    r.url = "http://127.0.0.1:8080/files/report%20final.pdf?x=1";
    r.mimeType = std::move(mime);
    r.canShowMimeType = canShow;
    return r;
}

TEST(NavigationPolicyTest, ShowableResponsesAreShownAndOthersDownloaded)
{
    EXPECT_FALSE(NavigationPolicy::decideResponse(httpResponse("text/html")).download);

    auto unshowable = NavigationPolicy::decideResponse(httpResponse("application/x-thing", false));
    EXPECT_TRUE(unshowable.download);
    EXPECT_EQ(unshowable.filename, "report final.pdf"); // last path component, decoded

    auto named = httpResponse("application/zip", false);
    named.suggestedFilename = "archive.zip";
    EXPECT_EQ(NavigationPolicy::decideResponse(named).filename, "archive.zip");
}

TEST(NavigationPolicyTest, AttachmentsDownloadInAnyLetterCaseEvenWhenShowable)
{
    for (const char* disposition : {"attachment", "ATTACHMENT; filename=a.txt", "Attachment;filename*=UTF-8''x"}) {
        auto r = httpResponse("text/plain");
        r.contentDisposition = disposition;
        EXPECT_TRUE(NavigationPolicy::decideResponse(r).download) << disposition;
    }
    auto inlineOne = httpResponse("text/plain");
    inlineOne.contentDisposition = "inline; filename=attachment.txt";
    EXPECT_FALSE(NavigationPolicy::decideResponse(inlineOne).download);
    auto leadingBlank = httpResponse("text/plain");
    leadingBlank.contentDisposition = " attachment";
    EXPECT_FALSE(NavigationPolicy::decideResponse(leadingBlank).download);
}

TEST(NavigationPolicyTest, NonHttpOrIncompleteResponsesAreAlwaysShown)
{
    auto file = httpResponse("application/x-thing", false);
    file.isHttp = false;
    file.contentDisposition = "attachment";
    EXPECT_FALSE(NavigationPolicy::decideResponse(file).download);

    auto noType = httpResponse("", false);
    EXPECT_FALSE(NavigationPolicy::decideResponse(noType).download);
    auto noUrl = httpResponse("application/x-thing", false);
    noUrl.url.reset();
    EXPECT_FALSE(NavigationPolicy::decideResponse(noUrl).download);
}

TEST(NavigationPolicyTest, CancelledLoadsAndDownloadHandOversAreNotErrors)
{
    EXPECT_TRUE(NavigationPolicy::isIgnoredError("WebKitNetworkError", 302));
    EXPECT_TRUE(NavigationPolicy::isIgnoredError("WebKitPolicyError", 102));
    EXPECT_TRUE(NavigationPolicy::isIgnoredError("g-io-error-quark", 19));
    EXPECT_FALSE(NavigationPolicy::isIgnoredError("WebKitPolicyError", 302));
    EXPECT_FALSE(NavigationPolicy::isIgnoredError("WebKitNetworkError", 102));
    EXPECT_FALSE(NavigationPolicy::isIgnoredError("g-io-error-quark", 39));
}

TEST(NavigationPolicyTest, ErrorsGetShortDescriptionsAndUnknownOnesKeepTheEngineText)
{
    EXPECT_EQ(NavigationPolicy::errorDescription("g-io-error-quark", 39, "Could not connect: Connection refused"),
              "Could not connect to the server: the connection was refused.");
    EXPECT_EQ(NavigationPolicy::errorDescription("g-resolver-error-quark", 0, "x"),
              "A server with this address could not be found.");
    EXPECT_EQ(NavigationPolicy::errorDescription("g-tls-error-quark", 3, "x"),
              NavigationPolicy::certificateErrorDescription());
    EXPECT_EQ(NavigationPolicy::errorDescription("SomethingElse", 7, "Engine says no"), "Engine says no");
    EXPECT_EQ(NavigationPolicy::errorDescription("SomethingElse", 7, ""), "The page could not be loaded.");
}

TEST(NavigationPolicyTest, OnlyWebAddressesOnThePortsEnginesRefuseAreBlocked)
{
    auto blocked = [](const char* text) { return NavigationPolicy::isBlockedPort(*Url::parse(text)); };
    EXPECT_TRUE(blocked("http://127.0.0.1:9/"));
    EXPECT_TRUE(blocked("https://example.com:25/mail"));
    EXPECT_TRUE(blocked("HTTP://example.com:6000"));
    EXPECT_TRUE(blocked("http://example.com:10080/"));
    EXPECT_FALSE(blocked("http://example.com/"));
    EXPECT_FALSE(blocked("http://example.com:80/"));
    EXPECT_FALSE(blocked("http://127.0.0.1:8080/"));
    EXPECT_FALSE(blocked("http://example.com:10081/"));
    EXPECT_FALSE(blocked("ftp://example.com:21/"));
    EXPECT_FALSE(blocked("file:///tmp/x"));
}

TEST(NavigationPolicyTest, EmptyTitlesAndUnchangedAddressesAreNotTaken)
{
    EXPECT_FALSE(NavigationPolicy::acceptsTitle(nullptr));
    EXPECT_FALSE(NavigationPolicy::acceptsTitle(""));
    EXPECT_TRUE(NavigationPolicy::acceptsTitle(" "));

    EXPECT_FALSE(NavigationPolicy::acceptsAddress(std::string("http://a/"), "http://a/"));
    EXPECT_TRUE(NavigationPolicy::acceptsAddress(std::string("http://a/"), "http://a/b"));
    EXPECT_TRUE(NavigationPolicy::acceptsAddress(std::nullopt, "http://a/"));
    EXPECT_FALSE(NavigationPolicy::acceptsAddress(std::nullopt, nullptr));
    EXPECT_FALSE(NavigationPolicy::acceptsAddress(std::string("http://a/"), ""));
}

} // namespace
} // namespace kovi
