#include "core/commandbar/url_parser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kovi {
namespace {

struct Case {
    std::string input;
    std::optional<std::string> expected; // nullopt: not an address, the caller searches
};

void expectCases(const std::vector<Case>& cases)
{
    URLParser parser;
    for (const auto& c : cases) {
        auto url = parser.parseURL(c.input);
        if (c.expected) {
            ASSERT_TRUE(url.has_value()) << "input: \"" << c.input << "\"";
            EXPECT_EQ(url->string(), *c.expected) << "input: \"" << c.input << "\"";
        } else {
            EXPECT_FALSE(url.has_value()) << "input: \"" << c.input << "\" gave " << url->string();
        }
    }
}

TEST(URLParserTest, BlankTextIsNotAnAddress)
{
    expectCases({
        {"", std::nullopt},
        {"   ", std::nullopt},
        {" \t\n\r ", std::nullopt},
        {"\u00A0\u2003\u3000", std::nullopt}, // no-break, em and ideographic spaces
    });
}

TEST(URLParserTest, LocalHostsGetThePlainWebScheme)
{
    expectCases({
        {"localhost", "http://localhost"},
        {"localhost:3000", "http://localhost:3000"},
        {"localhost:3000/app?x=1", "http://localhost:3000/app?x=1"},
        {"127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"[::1]:8080/x", "http://[::1]:8080/x"},
        {"  localhost:3000\n", "http://localhost:3000"},
        // Case-sensitive on purpose; these fall through and end up as searches.
        {"LOCALHOST", std::nullopt},
        {"LocalHost:3000", std::nullopt},
    });
}

TEST(URLParserTest, ExplicitSchemesAreKeptAsTyped)
{
    expectCases({
        {"https://example.com/a?b=c#d", "https://example.com/a?b=c#d"},
        {"http://EXAMPLE.com", "http://EXAMPLE.com"},
        {"HTTPS://EXAMPLE.COM", "HTTPS://EXAMPLE.COM"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"about:blank", "about:blank"},
        {"file:///etc/hosts", "file:///etc/hosts"},
        {"file:", "file:"},
        {"data:text/plain,hi", "data:text/plain,hi"},
        {"recipe:pancakes", "recipe:pancakes"},
        // Characters that may not stand in a URL are encoded, not refused.
        {"https://example.com/a b", "https://example.com/a%20b"},
        {"mailto:a b@example.com", "mailto:a%20b@example.com"},
    });
}

TEST(URLParserTest, HostAndPortIsNotAScheme)
{
    expectCases({
        {"example.com:8080/x", "http://example.com:8080/x"},
        {"example.com:8080", "http://example.com:8080"},
        {"10.0.0.1:8080/admin", "http://10.0.0.1:8080/admin"},
        {"intranet:8080", std::nullopt}, // no dot: neither a domain nor a link
        {"tel:12345", "tel:12345"},      // a known scheme stays one
    });
}

TEST(URLParserTest, SentencesWithAColonAreSearches)
{
    expectCases({
        {"recipe: pancakes", std::nullopt},
        {"note: buy milk", std::nullopt},
        {"todo:\tcall mum", std::nullopt},
        {"read example.com today", std::nullopt},
        {"see https://example.com for details", std::nullopt},
        {"example.com\nevil.com", std::nullopt},
        {"example .com", std::nullopt},
    });
}

TEST(URLParserTest, ScriptUrlsAreNeverAddresses)
{
    expectCases({
        {"javascript:alert(1)", std::nullopt},
        {"JavaScript:alert(document.cookie)", std::nullopt},
        {"  javascript:void(0)  ", std::nullopt},
        {"javascript:", std::nullopt},
        {"javascript: alert(1)", std::nullopt},
        {"javascript:x.com", std::nullopt},
    });
}

TEST(URLParserTest, BareDomainsGetTheSecureScheme)
{
    URLParser parser;
    expectCases({
        {"example.com", "https://example.com"},
        {"bbc.co.uk", "https://bbc.co.uk"},
        {"EXAMPLE.COM", "https://EXAMPLE.COM"},
        {"Example.Org", "https://Example.Org"},
        {".example..com.", "https://.example..com."}, // empty pieces are ignored by the ending test
        {"user@example.com", "https://user@example.com"},
    });
    auto mail = parser.parseURL("user@example.com");
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->user(), "user");
    EXPECT_EQ(mail->host(), "example.com");
}

TEST(URLParserTest, OtherDottedNamesNeedTheLinkRecogniser)
{
    expectCases({
        {"example.info", "http://example.info"},
        {"printer.local", "http://printer.local"},
        {"example.com/path?q=1#top", "http://example.com/path?q=1#top"},
        {"sub-domain.example.net/x", "http://sub-domain.example.net/x"},
        {"192.168.1.1", "http://192.168.1.1"},
        {"8.8.8.8/dns", "http://8.8.8.8/dns"},
        {"999.1.1.1", std::nullopt},
        {"1.2.3", std::nullopt},
        {"example.c", std::nullopt},      // one-letter ending
        {"example.c0m", std::nullopt},    // ending must be letters
        {"-bad.example", std::nullopt},
        {"bad-.example", std::nullopt},
        {"example.info:99999", std::nullopt},
        {"a_b.info", std::nullopt},
        {"just-a-word", std::nullopt},
        {"3.14", std::nullopt},
    });
}

TEST(URLParserTest, MixedScriptsAndEmoji)
{
    URLParser parser;
    expectCases({
        {"café ☕ 東京", std::nullopt},
        {"😀", std::nullopt},
        {"привет мир", std::nullopt},
    });
    auto idn = parser.parseURL("bücher.de");
    ASSERT_TRUE(idn);
    EXPECT_EQ(idn->string(), "https://b%C3%BCcher.de");
    EXPECT_EQ(idn->host(), "bücher.de");

    auto unicodeLink = parser.parseURL("münchen.info/straße");
    ASSERT_TRUE(unicodeLink);
    EXPECT_EQ(unicodeLink->schemeLowercased(), "http");
    EXPECT_EQ(unicodeLink->host(), "münchen.info");
}

TEST(URLParserTest, ControlCharactersNeverMakeADomain)
{
    expectCases({
        {std::string("exa\x01mple.com"), std::nullopt},
        {std::string("example.com\x7f"), std::nullopt},
        {std::string("\x1b[31mred.com"), std::nullopt},
        {std::string("example.info/\x02"), std::nullopt},
        // With a scheme the text is kept and the control character encoded.
        {std::string("http://exa\x01mple.com"), "http://exa%01mple.com"},
    });
}

TEST(URLParserTest, VeryLongTextIsHandledQuickly)
{
    URLParser parser;
    std::string words;
    while (words.size() < 10000)
        words += "word ";
    std::string letters(10000, 'a');
    std::string dotted;
    while (dotted.size() < 10000)
        dotted += "ab.";
    dotted += "com";
    std::string longUrl = "https://example.com/" + letters;

    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(parser.parseURL(words));
    EXPECT_FALSE(parser.parseURL(letters));
    EXPECT_TRUE(parser.parseURL(dotted));
    auto url = parser.parseURL(longUrl);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->string(), longUrl);
    EXPECT_EQ(parser.searchURL(letters).string().size(), URLParser::searchBase.size() + 10000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(URLParserTest, SearchUrlEncodesEveryReservedByte)
{
    URLParser parser;
    const std::string base(URLParser::searchBase);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"hello world", "hello%20world"},
        {"a+b", "a%2Bb"},
        {"&=#/?+", "%26%3D%23%2F%3F%2B"},
        {"café", "caf%C3%A9"},
        {"東", "%E6%9D%B1"},
        {"-._~AZaz09", "-._~AZaz09"},
        {"  x ", "%20%20x%20"},
        {"", ""},
        {"<script>alert(1)</script>", "%3Cscript%3Ealert%281%29%3C%2Fscript%3E"},
        {std::string("a\nb\x01"), "a%0Ab%01"},
    };
    for (const auto& [input, query] : cases) {
        Url url = parser.searchURL(input);
        EXPECT_EQ(url.string(), base + query) << input;
        EXPECT_EQ(url.host(), "www.google.com");
        EXPECT_EQ(url.path(), "/search");
    }
}

} // namespace
} // namespace kovi
