#include "core/web/page_extension_injector.h"
#include "core/web/page_extension_sites.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

PageExtension::Script script(std::vector<std::string> matches, std::string runAt = "document_end")
{
    PageExtension::Script s;
    s.matches = std::move(matches);
    s.javascript = "go();";
    s.runAt = std::move(runAt);
    return s;
}

TEST(PageExtensionInjectorTest, WrapperTextIsExact)
{
    PageExtension::Script s;
    s.matches = {"https://a.com/*", "*://*.b.org/x?y=*"};
    s.excludes = {"https://a.com/private/*"};
    s.css = "p { content: \"\\\"\"; }";
    s.javascript = "go(); // last line is a comment";
    s.runAt = "document_idle";

    const std::string expected = R"js(// KOVI-PAGE-EXTENSION
(() => {
  if (!['http:', 'https:'].includes(location.protocol)) return;
  const matches = ["https://a.com/*","*://*.b.org/x?y=*"], excludes = ["https://a.com/private/*"];
  function match(pattern) {
    const parts = pattern.match(/^(https?|\*)\:\/\/([^/]+)(\/.*)$/);
    if (!parts) return false;
    if (parts[1] !== '*' && location.protocol !== parts[1] + ':') return false;
    const host = parts[2].toLowerCase(), actual = location.hostname.toLowerCase();
    if (host !== '*' && !(host.startsWith('*.') ? actual === host.slice(2) || actual.endsWith(host.slice(1)) : actual === host)) return false;
    const escaped = parts[3].split('*').map(s => s.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')).join('.*');
    return new RegExp('^' + escaped + '$').test(location.pathname + location.search);
  }
  if (!matches.some(match) || excludes.some(match)) return;
  function run() {
    if ("p { content: \"\\\"\"; }" && !document.getElementById("kovi-style-ID-0")) {
      const style = document.createElement('style');
      style.id = "kovi-style-ID-0"; style.textContent = "p { content: \"\\\"\"; }";
      (document.head || document.documentElement).appendChild(style);
    }
    try { go(); // last line is a comment
 } catch (error) { console.error('Kovi page extension:', error); }
  }
  if ("document_idle" === 'document_idle') {
    if ('requestIdleCallback' in window) requestIdleCallback(run, {timeout: 1000}); else setTimeout(run, 0);
  } else { run(); }
})();)js";
    EXPECT_EQ(PageExtensionInjector::source(s, "ID-0"), expected);
}

TEST(PageExtensionInjectorTest, LineSeparatorsInInsertedTextAreEscaped)
{
    PageExtension::Script s = script({"https://a.com/\u2028*"});
    s.css = "a::after { content: '\u2028\u2029'; }";
    const std::string source = PageExtensionInjector::source(s, "X-0");
    EXPECT_EQ(source.find("\u2028"), std::string::npos);
    EXPECT_EQ(source.find("\u2029"), std::string::npos);
    EXPECT_NE(source.find(R"("a::after { content: '\u2028\u2029'; }")"), std::string::npos);
    EXPECT_NE(source.find(R"(["https://a.com/\u2028*"])"), std::string::npos);

    // The extension's own script is inserted as it is.
    s.javascript = "const s = '\u2028';";
    EXPECT_NE(PageExtensionInjector::source(s, "X-0").find(s.javascript), std::string::npos);
}

TEST(PageExtensionInjectorTest, EnabledExtensionsBecomeOneScriptPerRecord)
{
    PageExtension first;
    first.enabled = true;
    first.scripts = {script({"https://a.com/*"}, "document_start"), script({"https://b.com/*"}, "document_idle")};
    PageExtension disabled;
    disabled.scripts = {script({"https://c.com/*"})};
    PageExtension empty;
    empty.enabled = true;
    PageExtension last;
    last.enabled = true;
    last.scripts = {script({"https://d.com/*"}, "document_end")};

    const auto specs = PageExtensionInjector::userScripts({first, disabled, empty, last});
    ASSERT_EQ(specs.size(), 3u);
    const std::string firstId = first.id.toString();
    EXPECT_EQ(specs[0].identifier, firstId + "-0");
    EXPECT_EQ(specs[1].identifier, firstId + "-1");
    EXPECT_EQ(specs[2].identifier, last.id.toString() + "-0");
    EXPECT_EQ(specs[0].world, "kovi.extension." + firstId);
    EXPECT_EQ(specs[1].world, specs[0].world);
    EXPECT_EQ(specs[2].world, "kovi.extension." + last.id.toString());
    EXPECT_TRUE(specs[0].atDocumentStart);
    EXPECT_FALSE(specs[1].atDocumentStart);
    EXPECT_FALSE(specs[2].atDocumentStart);
    EXPECT_NE(specs[1].source.find("\"kovi-style-" + firstId + "-1\""), std::string::npos);
    for (const auto& spec : specs)
        EXPECT_TRUE(PageExtensionInjector::isPageExtensionSource(spec.source));
    EXPECT_FALSE(PageExtensionInjector::isPageExtensionSource(" // KOVI-PAGE-EXTENSION"));
}

TEST(PageExtensionSitesTest, SitesAreListedOnceInCodePointOrder)
{
    PageExtension extension;
    extension.scripts = {script({"https://b.com/*", "https://a.com/*", "https://B.com/*"}),
                         script({"https://a.com/*", "http://z.com/*"})};
    extension.scripts[0].excludes = {"https://0.com/*"};
    EXPECT_EQ(extension.sites().size(), 5u);
    EXPECT_EQ(pageExtensionSiteList(extension),
              (std::vector<std::string>{"http://z.com/*", "https://B.com/*", "https://a.com/*", "https://b.com/*"}));
    EXPECT_EQ(pageExtensionSiteAccessText(extension),
              "Site access: http://z.com/*, https://B.com/*, https://a.com/*, https://b.com/*");

    // Canonically equal spellings count once; order follows the composed text.
    EXPECT_EQ(sortedUniqueCanonically({"https://x.com/\u00e9", "https://x.com/e\u0301", "https://x.com/f", "https://x.com/\u00e8"}),
              (std::vector<std::string>{"https://x.com/f", "https://x.com/\u00e8", "https://x.com/\u00e9"}));

    EXPECT_EQ(pageExtensionSiteAccessText(PageExtension{}), "Site access: ");
}

} // namespace
} // namespace kovi
