#include "core/support/url.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

TEST(UrlTest, SplitsComponents)
{
    auto url = Url::parse("https://user:pw@Example.com:8080/a/b%20c.pdf?x=1&y=2#frag");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "https");
    EXPECT_EQ(url->host(), "Example.com");
    EXPECT_EQ(url->port(), 8080);
    EXPECT_EQ(url->user(), "user");
    EXPECT_EQ(url->password(), "pw");
    EXPECT_EQ(url->path(), "/a/b%20c.pdf");
    EXPECT_EQ(url->query(), "x=1&y=2");
    EXPECT_EQ(url->fragment(), "frag");
    EXPECT_EQ(url->lastPathComponent(), "b c.pdf");
    EXPECT_TRUE(url->isHttpOrHttps());
}

TEST(UrlTest, PercentEncodesWhatMayNotStandInAUrl)
{
    EXPECT_EQ(Url::parse("https://example.com/a b?q=ü#x#y")->string(), "https://example.com/a%20b?q=%C3%BC#x%23y");
    EXPECT_EQ(Url::parse("https://example.com/100%")->string(), "https://example.com/100%25");
    EXPECT_EQ(Url::parse("https://example.com/%41")->string(), "https://example.com/%41");
}

TEST(UrlTest, HostsWithoutAuthorityOrWithIpLiterals)
{
    EXPECT_EQ(Url::parse("http://[::1]:3000/")->host(), "::1");
    EXPECT_EQ(Url::parse("http://[::1]:3000/")->rawHost(), "[::1]");
    EXPECT_FALSE(Url::parse("about:blank")->host());
    EXPECT_FALSE(Url::parse("file:///tmp/x")->host());
    EXPECT_EQ(Url::parse("mailto:a@b.c")->path(), "a@b.c");
}

TEST(UrlTest, RefusesBrokenInput)
{
    for (const char* text : {"", "http://example.com:80a/", "http://[::1/", "http://[zz]/"})
        EXPECT_FALSE(Url::parse(text)) << text;
}

TEST(UrlTest, LastPathComponentFollowsTheUsualRules)
{
    EXPECT_EQ(Url::parse("https://example.com")->lastPathComponent(), "");
    EXPECT_EQ(Url::parse("https://example.com/")->lastPathComponent(), "/");
    EXPECT_EQ(Url::parse("https://example.com/dir/")->lastPathComponent(), "dir");
}

TEST(UrlTest, FileUrlsAndResolution)
{
    auto file = Url::fromFilePath("/tmp/a b.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->string(), "file:///tmp/a%20b.txt");
    EXPECT_EQ(file->filePath(), "/tmp/a b.txt");
    auto base = Url::parse("https://example.com/dir/page.html");
    EXPECT_EQ(base->resolve("../icon.png")->string(), "https://example.com/icon.png");
    EXPECT_EQ(base->resolve("//cdn.example.org/i.ico")->string(), "https://cdn.example.org/i.ico");
}

} // namespace
} // namespace kovi
