#include "core/web/favicon_candidates.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

std::vector<std::string> texts(const std::vector<Url>& urls)
{
    std::vector<std::string> out;
    for (const auto& u : urls)
        out.push_back(u.string());
    return out;
}

TEST(FaviconCandidatesTest, DeclaredIconsInOrderThenTheSiteIconOverHttps)
{
    auto page = *Url::parse("http://example.test:8080/docs/page.html?q=1");
    auto list = FaviconCandidates::build({"/icons/a.png", "b.ico", "https://cdn.test/c.svg"}, page);
    EXPECT_EQ(texts(list), (std::vector<std::string>{
                               "http://example.test:8080/icons/a.png",
                               "http://example.test:8080/docs/b.ico",
                               "https://cdn.test/c.svg",
                               "https://example.test/favicon.ico",
                           }));
}

TEST(FaviconCandidatesTest, UnusableEntriesAreSkipped)
{
    auto page = *Url::parse("https://site.test/");
    auto list = FaviconCandidates::build({"", "data:image/png;base64,AAAA", "javascript:alert(1)", "http://[bad"}, page);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"https://site.test/favicon.ico"}));
}

TEST(FaviconCandidatesTest, PagesWithoutAHostGetNoSiteIcon)
{
    auto page = *Url::parse("file:///home/user/page.html");
    EXPECT_TRUE(FaviconCandidates::build({}, page).empty());
    auto ipv6 = *Url::parse("http://[::1]:9000/");
    EXPECT_EQ(texts(FaviconCandidates::build({}, ipv6)), (std::vector<std::string>{"https://[::1]/favicon.ico"}));
}

TEST(FaviconCandidatesTest, AcceptsSuccessfulNonEmptyBodiesBelowTwoMillionBytes)
{
    EXPECT_TRUE(FaviconCandidates::acceptsResponse(200, 1));
    EXPECT_TRUE(FaviconCandidates::acceptsResponse(399, 1'999'999));
    EXPECT_FALSE(FaviconCandidates::acceptsResponse(200, 2'000'000));
    EXPECT_FALSE(FaviconCandidates::acceptsResponse(200, 0));
    EXPECT_FALSE(FaviconCandidates::acceptsResponse(404, 10));
    EXPECT_FALSE(FaviconCandidates::acceptsResponse(199, 10));
    EXPECT_FALSE(FaviconCandidates::acceptsResponse(400, 10));
}

} // namespace
} // namespace kovi
