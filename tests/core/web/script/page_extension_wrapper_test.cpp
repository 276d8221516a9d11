// Runs the page script wrapper in a JavaScript engine against a stand-in page: a location and a
// document that records the style elements it is given.

#include "core/support/gobject_ptr.h"
#include "core/web/page_extension_injector.h"

#include <gtest/gtest.h>

#include <jsc/jsc.h>

#include <string>
#include <vector>

// In sanitizer builds: memory held only from the engine's garbage-collected heap is invisible to
// the leak checker and would be reported as lost.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libjavascriptcoregtk-6.0.so\n";
}

namespace kovi {
namespace {

struct Address {
    std::string protocol, hostname, pathname, search;
};

// "scheme://host[:port]/path?query#fragment" split the way a page's location reports it.
Address address(const std::string& url)
{
    Address a;
    const auto colon = url.find(':');
    a.protocol = url.substr(0, colon + 1);
    std::string rest = url.substr(colon + 1);
    if (rest.rfind("//", 0) == 0) {
        rest = rest.substr(2);
        const auto hostEnd = rest.find_first_of("/?#");
        std::string host = rest.substr(0, hostEnd);
        a.hostname = host.substr(0, host.find(':'));
        rest = hostEnd == std::string::npos ? "" : rest.substr(hostEnd);
    }
    rest = rest.substr(0, rest.find('#'));
    const auto query = rest.find('?');
    a.pathname = rest.substr(0, query);
    if (a.pathname.empty())
        a.pathname = "/";
    if (query != std::string::npos && query + 1 < rest.size())
        a.search = rest.substr(query);
    return a;
}

std::string jsString(const std::string& text)
{
    return PageExtensionInjector::javascriptLiteral(Json(text));
}

// One engine for the whole program, never torn down: every page gets a fresh context in it.
JSCVirtualMachine* engine()
{
    static JSCVirtualMachine* machine = jsc_virtual_machine_new();
    return machine;
}

class Page {
public:
    explicit Page(const std::string& url, bool hasHead = true, bool idleCallbacks = false)
        : m_context(GObjectPtr<JSCContext>::adopt(jsc_context_new_with_virtual_machine(engine())))
    {
        const Address a = address(url);
        evaluate("var page = {styles: [], errors: [], timers: [], idle: []};"
                 "var window = globalThis;"
                 "var location = {protocol: " + jsString(a.protocol) + ", hostname: " + jsString(a.hostname)
                 + ", pathname: " + jsString(a.pathname) + ", search: " + jsString(a.search) + "};"
                 "function holder(where) { return {appendChild(element) {"
                 "  page.styles.push({where, id: element.id, text: element.textContent}); } }; }"
                 "var document = {"
                 "  head: " + std::string(hasHead ? "holder('head')" : "null") + ","
                 "  documentElement: holder('root'),"
                 "  getElementById(id) { return page.styles.some(s => s.id === id) ? {id} : null; },"
                 "  createElement(tag) { return {tag, id: '', textContent: ''}; }"
                 "};"
                 "globalThis.console = {error(...args) { page.errors.push(args.map(String).join(' ')); }};"
                 "function setTimeout(f, delay) { page.timers.push({f, delay}); }");
        if (idleCallbacks)
            evaluate("function requestIdleCallback(f, options) { page.idle.push({f, timeout: options.timeout}); }");
    }
    // Evaluates `code`; false when it threw or did not compile.
    bool evaluate(const std::string& code)
    {
        jsc_context_clear_exception(m_context.get());
        // Only whether it threw matters: the value is dropped at once.
        GObjectPtr<JSCValue>::adopt(
            jsc_context_evaluate(m_context.get(), code.c_str(), static_cast<gssize>(code.size())));
        if (JSCException* exception = jsc_context_get_exception(m_context.get())) {
            m_lastException = jsc_exception_get_message(exception);
            return false;
        }
        return true;
    }

    std::string text(const std::string& expression)
    {
        auto value = GObjectPtr<JSCValue>::adopt(jsc_context_evaluate(m_context.get(), expression.c_str(), -1));
        char* chars = jsc_value_to_string(value.get());
        std::string result = chars ? chars : "";
        g_free(chars);
        return result;
    }

    int number(const std::string& expression) { return std::stoi(text(expression)); }
    const std::string& lastException() const { return m_lastException; }

private:
    GObjectPtr<JSCContext> m_context;
    std::string m_lastException;
};

PageExtension::Script script(std::vector<std::string> matches, std::vector<std::string> excludes = {})
{
    PageExtension::Script s;
    s.matches = std::move(matches);
    s.excludes = std::move(excludes);
    s.javascript = "window.runs = (window.runs || 0) + 1;";
    s.runAt = "document_end";
    return s;
}

bool runsOn(const PageExtension::Script& s, const std::string& url)
{
    Page page(url);
    EXPECT_TRUE(page.evaluate(PageExtensionInjector::source(s, "T-0"))) << page.lastException();
    return page.text("String(window.runs)") == "1";
}

struct MatchCase {
    std::vector<std::string> matches;
    std::vector<std::string> excludes;
    std::string url;
    bool runs;
};

TEST(PageExtensionWrapperTest, AddressMatching)
{
    const std::vector<MatchCase> cases = {
        // A subdomain pattern covers the domain and its subdomains, over its own scheme only.
        {{"https://*.example.com/*"}, {}, "https://example.com/", true},
        {{"https://*.example.com/*"}, {}, "https://a.example.com/x", true},
        {{"https://*.example.com/*"}, {}, "https://a.b.example.com/x?y", true},
        {{"https://*.example.com/*"}, {}, "http://example.com/", false},
        {{"https://*.example.com/*"}, {}, "https://badexample.com/", false},
        {{"https://*.example.com/*"}, {}, "https://example.com.evil.org/", false},
        // A folder pattern covers the folder and below, with or without a query.
        {{"https://example.com/docs/*"}, {}, "https://example.com/docs/", true},
        {{"https://example.com/docs/*"}, {}, "https://example.com/docs/a/b", true},
        {{"https://example.com/docs/*"}, {}, "https://example.com/docs/?q=1", true},
        {{"https://example.com/docs/*"}, {}, "https://example.com/docs", false},
        {{"https://example.com/docs/*"}, {}, "https://example.com/other/docs/", false},
        // Without a star the path and query must be equal, whole.
        {{"https://example.com/"}, {}, "https://example.com/", true},
        {{"https://example.com/"}, {}, "https://example.com/?q=1", false},
        {{"https://example.com/"}, {}, "https://example.com/a", false},
        {{"https://example.com/"}, {}, "https://example.com/#top", true},
        // Host case, ports and schemes.
        {{"https://example.com/*"}, {}, "https://EXAMPLE.Com/a", true},
        {{"https://EXAMPLE.com/*"}, {}, "https://example.com/a", true},
        {{"https://example.com/*"}, {}, "https://example.com:8443/a", true},
        {{"http://example.com/*"}, {}, "https://example.com/", false},
        {{"*://*/*"}, {}, "http://anything.test/", true},
        {{"*://*/*"}, {}, "https://anything.test/x?y", true},
        {{"*://*/*"}, {}, "file:///home/me/page.html", false},
        {{"*://*/*"}, {}, "about:blank", false},
        // Characters of the pattern path stand for themselves.
        {{"https://a.com/a.b"}, {}, "https://a.com/aXb", false},
        {{"https://a.com/search?q=*"}, {}, "https://a.com/search?q=cats", true},
        {{"https://a.com/search?q=*"}, {}, "https://a.com/searchXq=cats", false},
        {{"https://a.com/(x)+[y]{2}|$^\\"}, {}, "https://a.com/(x)+[y]{2}|$^\\", true},
        {{"https://a.com/*.pdf"}, {}, "https://a.com/files/report.pdf", true},
        {{"https://a.com/*.pdf"}, {}, "https://a.com/files/report.pdf.html", false},
        // Exclusions and several patterns.
        {{"https://a.com/*"}, {"https://a.com/private/*"}, "https://a.com/private/x", false},
        {{"https://a.com/*"}, {"https://a.com/private/*"}, "https://a.com/public", true},
        {{"https://b.com/*", "https://a.com/*"}, {}, "https://a.com/", true},
        {{"not a pattern"}, {}, "https://a.com/", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.matches.front() + " on " + c.url);
        EXPECT_EQ(runsOn(script(c.matches, c.excludes), c.url), c.runs);
    }
}

TEST(PageExtensionWrapperTest, StyleIsAddedOnceAndOnlyWhenThereIsOne)
{
    auto s = script({"https://a.com/*"});
    s.css = "p::before { content: \"</style>\\\\ '\u2028\u2029\"; }";
    Page page("https://a.com/");
    const std::string source = PageExtensionInjector::source(s, "ABC-1");
    ASSERT_TRUE(page.evaluate(source)) << page.lastException();
    ASSERT_TRUE(page.evaluate(source)) << page.lastException();
    EXPECT_EQ(page.number("page.styles.length"), 1);
    EXPECT_EQ(page.text("page.styles[0].id"), "kovi-style-ABC-1");
    EXPECT_EQ(page.text("page.styles[0].where"), "head");
    EXPECT_EQ(page.text("page.styles[0].text"), s.css);
    EXPECT_EQ(page.number("window.runs"), 2);

    s.css.clear();
    Page plain("https://a.com/");
    ASSERT_TRUE(plain.evaluate(PageExtensionInjector::source(s, "ABC-1")));
    EXPECT_EQ(plain.number("page.styles.length"), 0);
    EXPECT_EQ(plain.number("window.runs"), 1);
}

TEST(PageExtensionWrapperTest, StyleGoesToTheRootBeforeTheHeadExists)
{
    auto s = script({"https://a.com/*"});
    s.css = "body { margin: 0 }";
    s.runAt = "document_start";
    Page page("https://a.com/", /*hasHead=*/false);
    ASSERT_TRUE(page.evaluate(PageExtensionInjector::source(s, "X-0")));
    EXPECT_EQ(page.text("page.styles[0].where"), "root");
}

TEST(PageExtensionWrapperTest, FailingScripts)
{
    auto s = script({"https://a.com/*"});
    s.css = "a { color: red }";

    // A thrown error stops only the script: the style stays and the console says why.
    s.javascript = "throw new Error('broken');";
    Page throwing("https://a.com/");
    ASSERT_TRUE(throwing.evaluate(PageExtensionInjector::source(s, "X-0"))) << throwing.lastException();
    EXPECT_EQ(throwing.number("page.styles.length"), 1);
    EXPECT_EQ(throwing.text("page.errors[0]"), "Kovi page extension: Error: broken");

    // A syntax error keeps the whole wrapper from compiling.
    s.javascript = "function (";
    Page broken("https://a.com/");
    EXPECT_FALSE(broken.evaluate(PageExtensionInjector::source(s, "X-0")));
    EXPECT_EQ(broken.number("page.styles.length"), 0);
}

// A script whose last line is a line comment used to comment out the wrapper's closing brace.
TEST(PageExtensionWrapperTest, ScriptEndingInALineCommentStillRuns)
{
    auto s = script({"https://a.com/*"});
    s.javascript = "window.runs = 1; // done";
    Page page("https://a.com/");
    ASSERT_TRUE(page.evaluate(PageExtensionInjector::source(s, "X-0"))) << page.lastException();
    EXPECT_EQ(page.number("window.runs"), 1);
    EXPECT_EQ(page.number("page.errors.length"), 0);
}

TEST(PageExtensionWrapperTest, IdleScriptsWaitForIdleTimeOrATimer)
{
    auto s = script({"https://a.com/*"});
    s.runAt = "document_idle";
    s.css = "p {}";

    Page idle("https://a.com/", true, /*idleCallbacks=*/true);
    ASSERT_TRUE(idle.evaluate(PageExtensionInjector::source(s, "X-0")));
    EXPECT_EQ(idle.text("String(window.runs)"), "undefined");
    EXPECT_EQ(idle.number("page.styles.length"), 0);
    EXPECT_EQ(idle.number("page.idle[0].timeout"), 1000);
    ASSERT_TRUE(idle.evaluate("page.idle[0].f()"));
    EXPECT_EQ(idle.number("window.runs"), 1);
    EXPECT_EQ(idle.number("page.styles.length"), 1);

    Page timer("https://a.com/");
    ASSERT_TRUE(timer.evaluate(PageExtensionInjector::source(s, "X-0")));
    EXPECT_EQ(timer.text("String(window.runs)"), "undefined");
    EXPECT_EQ(timer.number("page.timers[0].delay"), 0);
    ASSERT_TRUE(timer.evaluate("page.timers[0].f()"));
    EXPECT_EQ(timer.number("window.runs"), 1);
}

TEST(PageExtensionWrapperTest, DeclarationsStayInsideTheWrapper)
{
    auto s = script({"https://a.com/*"});
    s.javascript = "var hidden = 1; let alsoHidden = 2; function helper() {}\nwindow.shared = hidden + alsoHidden;";
    Page page("https://a.com/");
    ASSERT_TRUE(page.evaluate(PageExtensionInjector::source(s, "X-0")));
    EXPECT_EQ(page.text("typeof hidden + typeof alsoHidden + typeof helper"), "undefinedundefinedundefined");
    EXPECT_EQ(page.number("window.shared"), 3);
}

TEST(PageExtensionWrapperTest, PatternsWithQuotesAndSeparatorsStayLiterals)
{
    Page page("https://a.com/it's\"\\x");
    ASSERT_TRUE(page.evaluate(PageExtensionInjector::source(script({"https://a.com/it's\"\\*"}), "X-0")))
        << page.lastException();
    EXPECT_EQ(page.number("window.runs"), 1);

    // A line separator in a pattern (only a hand-edited file can hold one) must not break the source.
    Page other("https://a.com/");
    EXPECT_TRUE(other.evaluate(PageExtensionInjector::source(script({"https://a.com/\u2028*"}), "X-0")))
        << other.lastException();
}

} // namespace
} // namespace kovi
