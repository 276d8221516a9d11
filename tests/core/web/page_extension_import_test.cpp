#include "core/web/page_extension_store.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

namespace kovi {
namespace {

using nlohmann::ordered_json;
using test::TempDir;

constexpr const char* outsideMessage = "Extension files must stay inside the selected folder.";
constexpr const char* notRegularMessage = "Extension resources must be regular files.";
constexpr const char* tooLargeMessage = "This extension exceeds the 2 MB beta limit.";
constexpr const char* notUtf8Message = "Extension files must use UTF-8 text.";
constexpr const char* manifestMessage =
    "Choose an unpacked extension with a manifest.json containing a name, version, and content_scripts.";
constexpr const char* matchesMessage =
    "Only main-frame HTTP/HTTPS match patterns are supported. Background pages, browser APIs, frames, "
    "and extra script options are not supported.";
constexpr const char* exclusionMessage = "Unsupported exclusion pattern.";
constexpr const char* timingMessage = "Unsupported script timing.";
constexpr const char* noFilesMessage = "No supported script or stylesheet files were found.";
constexpr const char* apisMessage = "This extension uses browser or chrome APIs, which this beta does not implement.";
constexpr const char* resourcesMessage = "Stylesheets with resource URLs or imports are not supported yet.";

std::string featuresMessage(const std::string& keys)
{
    return "This extension requires unsupported features: " + keys
        + ". This beta supports only page CSS and JavaScript content scripts.";
}

ordered_json entry(ordered_json js = {"a.js"})
{
    return {{"matches", {"https://example.com/*"}}, {"js", std::move(js)}};
}

ordered_json manifestWith(std::vector<ordered_json> entries)
{
    return {{"name", "Demo"}, {"version", "1.0"}, {"manifest_version", 3}, {"content_scripts", std::move(entries)}};
}

ordered_json manifest() { return manifestWith({entry()}); }

ordered_json changed(ordered_json value, const std::function<void(ordered_json&)>& change)
{
    change(value);
    return value;
}

ordered_json entryWith(const std::function<void(ordered_json&)>& change)
{
    return manifestWith({changed(entry(), change)});
}

std::vector<std::string> numbered(std::size_t count, const std::string& prefix, const std::string& suffix)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(prefix + std::to_string(i) + suffix);
    return names;
}

ordered_json patterns(std::size_t count)
{
    ordered_json list = ordered_json::array();
    for (const auto& host : numbered(count, "h", ".example.com"))
        list.push_back("https://" + host + "/*");
    return list;
}

// An extension folder inside a scratch folder, so that files "outside" it can exist too.
struct Scratch {
    TempDir root;
    std::string folder() const { return root.file("ext"); }
    void file(const std::string& name, const std::string& contents) const { root.write("ext/" + name, contents); }
    void manifestFile(const ordered_json& value) const { file("manifest.json", value.dump()); }
    void manyFiles(const std::vector<std::string>& names) const
    {
        for (const auto& name : names)
            file(name, "/* " + name + " */");
    }
};

struct RefusalCase {
    std::string what;
    std::function<void(const Scratch&)> setUp;
    std::string message;               // the user-facing text
    ErrorCode code = ErrorCode::InvalidInput;
};

RefusalCase refused(std::string what, std::function<void(const Scratch&)> setUp, std::string message)
{
    return {std::move(what), std::move(setUp), std::move(message)};
}

RefusalCase platformError(std::string what, std::function<void(const Scratch&)> setUp, ErrorCode code)
{
    return {std::move(what), std::move(setUp), {}, code};
}

// A manifest and one script file "a.js" with the given text; the manifest may be any value.
std::function<void(const Scratch&)> with(ordered_json manifestValue, std::string script = "run();")
{
    return [manifestValue = std::move(manifestValue), script = std::move(script)](const Scratch& s) {
        s.manifestFile(manifestValue);
        s.file("a.js", script);
    };
}

std::vector<std::string> listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(item.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each refusal, in the order the checks run; where a case breaks two rules, the earlier check
// must be the one reported.
TEST(PageExtensionImportTest, RefusesEveryUnsupportedFolderWithItsMessage)
{
    const std::string megabyte(1'000'000, 'x');
    const std::vector<RefusalCase> cases = {
        // Paths.
        refused("absolute script path", with(manifestWith({entry({"/etc/hostname"})})), outsideMessage),
        refused("path climbing out", [](const Scratch& s) {
            s.root.write("outside.js", "run();");
            s.manifestFile(manifestWith({entry({"../outside.js"})}));
        }, outsideMessage),
        refused("path climbing out through a sub-folder", [](const Scratch& s) {
            s.root.write("outside.js", "run();");
            s.file("sub/x.js", "");
            s.manifestFile(manifestWith({entry({"sub/../../outside.js"})}));
        }, outsideMessage),
        refused("missing file outside is still outside", with(manifestWith({entry({"../nothing.js"})})), outsideMessage),
        refused("link leading out", [](const Scratch& s) {
            s.root.write("outside.js", "run();");
            s.manifestFile(manifestWith({entry({"link.js"})}));
            ASSERT_EQ(::symlink("../outside.js", (s.folder() + "/link.js").c_str()), 0);
        }, outsideMessage),
        refused("folder link leading out", [](const Scratch& s) {
            s.root.write("lib/outside.js", "run();");
            s.manifestFile(manifestWith({entry({"lib2/outside.js"})}));
            ASSERT_EQ(::symlink(s.root.file("lib").c_str(), (s.folder() + "/lib2").c_str()), 0);
        }, outsideMessage),
        refused("manifest linked from outside", [](const Scratch& s) {
            s.root.write("manifest.json", manifest().dump());
            s.file("a.js", "run();");
            ASSERT_EQ(::symlink("../manifest.json", (s.folder() + "/manifest.json").c_str()), 0);
        }, outsideMessage),
        refused("empty path names the folder itself", with(manifestWith({entry({""})})), outsideMessage),
        refused("dot path names the folder itself", with(manifestWith({entry({"."})})), outsideMessage),
        // File kinds.
        refused("folder named as script", [](const Scratch& s) {
            s.file("dir/inner.js", "");
            s.manifestFile(manifestWith({entry({"dir"})}));
        }, notRegularMessage),
        refused("manifest is a folder", [](const Scratch& s) { s.file("manifest.json/x", ""); }, notRegularMessage),
        refused("named pipe does not block the import", [](const Scratch& s) {
            s.manifestFile(manifestWith({entry({"pipe.js"})}));
            ASSERT_EQ(::mkfifo((s.folder() + "/pipe.js").c_str(), 0600), 0);
        }, notRegularMessage),
        // Sizes.
        refused("script of 1,000,001 bytes", with(manifest(), std::string(1'000'001, ' ')), tooLargeMessage),
        refused("manifest of 1,000,001 bytes", [](const Scratch& s) {
            std::string text = manifest().dump();
            s.file("manifest.json", text + std::string(1'000'001 - text.size(), ' '));
            s.file("a.js", "");
        }, tooLargeMessage),
        refused("two files of 1,000,000 bytes and the manifest", [megabyte](const Scratch& s) {
            s.manifestFile(manifestWith({entry({"a.js", "b.js"})}));
            s.file("a.js", megabyte);
            s.file("b.js", megabyte);
        }, tooLargeMessage),
        refused("one file named by three entries counts three times", [](const Scratch& s) {
            s.manifestFile(manifestWith({entry(), entry(), entry()}));
            s.file("a.js", std::string(700'000, ' '));
        }, tooLargeMessage),
        refused("size is checked before the text", with(manifest(), std::string(1'000'001, '\xff')), tooLargeMessage),
        // Encoding.
        refused("script that is not UTF-8", with(manifest(), "run('\xff');"), notUtf8Message),
        refused("stylesheet in Latin-1", [](const Scratch& s) {
            s.manifestFile(entryWith([](ordered_json& e) { e["css"] = {"a.css"}; }));
            s.file("a.js", "");
            s.file("a.css", "p::before { content: '\xe9'; }");
        }, notUtf8Message),
        refused("manifest that is not UTF-8", [](const Scratch& s) { s.file("manifest.json", "{\"name\":\"\xc0\"}"); }, notUtf8Message),
        // Errors of the file system and the parser, passed on.
        platformError("no manifest", [](const Scratch& s) { s.file("a.js", ""); }, ErrorCode::NotFound),
        platformError("folder that does not exist", [](const Scratch&) {}, ErrorCode::NotFound),
        platformError("script file missing", [](const Scratch& s) { s.manifestFile(manifest()); }, ErrorCode::NotFound),
        platformError("manifest is not JSON", [](const Scratch& s) { s.file("manifest.json", "{name: 'x'}"); }, ErrorCode::CorruptData),
        platformError("manifest is a bare value", [](const Scratch& s) { s.file("manifest.json", "42"); }, ErrorCode::CorruptData),
        platformError("manifest is empty", [](const Scratch& s) { s.file("manifest.json", ""); }, ErrorCode::CorruptData),
        // The manifest's own keys.
        refused("manifest is an array", with(ordered_json::array({manifest()})), manifestMessage),
        refused("manifest is an empty object", with(ordered_json::object()), manifestMessage),
        refused("name missing", with(changed(manifest(), [](auto& m) { m.erase("name"); })), manifestMessage),
        refused("name empty", with(changed(manifest(), [](auto& m) { m["name"] = ""; })), manifestMessage),
        refused("name not a string", with(changed(manifest(), [](auto& m) { m["name"] = 7; })), manifestMessage),
        refused("version missing", with(changed(manifest(), [](auto& m) { m.erase("version"); })), manifestMessage),
        refused("version a number", with(changed(manifest(), [](auto& m) { m["version"] = 1.0; })), manifestMessage),
        refused("manifest_version missing", with(changed(manifest(), [](auto& m) { m.erase("manifest_version"); })), manifestMessage),
        refused("manifest_version 1", with(changed(manifest(), [](auto& m) { m["manifest_version"] = 1; })), manifestMessage),
        refused("manifest_version 4", with(changed(manifest(), [](auto& m) { m["manifest_version"] = 4; })), manifestMessage),
        refused("manifest_version 2.5", with(changed(manifest(), [](auto& m) { m["manifest_version"] = 2.5; })), manifestMessage),
        refused("manifest_version as text", with(changed(manifest(), [](auto& m) { m["manifest_version"] = "3"; })), manifestMessage),
        refused("manifest_version true", with(changed(manifest(), [](auto& m) { m["manifest_version"] = true; })), manifestMessage),
        refused("content_scripts missing", with(changed(manifest(), [](auto& m) { m.erase("content_scripts"); })), manifestMessage),
        refused("content_scripts empty", with(manifestWith({})), manifestMessage),
        refused("content_scripts an object", with(changed(manifest(), [](auto& m) { m["content_scripts"] = entry(); })), manifestMessage),
        refused("content_scripts holding a string", with(manifestWith({entry(), "a.js"})), manifestMessage),
        refused("21 entries", with(manifestWith(std::vector<ordered_json>(21, entry()))), manifestMessage),
        refused("unsupported key and no content_scripts", with(changed(manifest(), [](auto& m) {
            m.erase("content_scripts");
            m["background"] = {{"service_worker", "bg.js"}};
        })), manifestMessage),
        // Keys outside the supported subset.
        refused("background and permissions, sorted", with(changed(manifest(), [](auto& m) {
            m["permissions"] = {"tabs"};
            m["background"] = {{"service_worker", "bg.js"}};
        })), featuresMessage("background, permissions")),
        refused("keys are matched with case", with(changed(manifest(), [](auto& m) { m["Author"] = "x"; })), featuresMessage("Author")),
        refused("unsupported key wins over a bad entry", with(changed(manifestWith({entry({})}), [](auto& m) { m["action"] = {}; })), featuresMessage("action")),
        // The entry's patterns and options.
        refused("unknown entry key", with(entryWith([](auto& e) { e["world"] = "MAIN"; })), matchesMessage),
        refused("all_frames true", with(entryWith([](auto& e) { e["all_frames"] = true; })), matchesMessage),
        refused("matches missing", with(entryWith([](auto& e) { e.erase("matches"); })), matchesMessage),
        refused("matches a string", with(entryWith([](auto& e) { e["matches"] = "https://a.com/*"; })), matchesMessage),
        refused("matches holding a number", with(entryWith([](auto& e) { e["matches"] = {1}; })), matchesMessage),
        refused("matches empty", with(entryWith([](auto& e) { e["matches"] = ordered_json::array(); })), matchesMessage),
        refused("51 patterns", with(entryWith([](auto& e) { e["matches"] = patterns(51); })), matchesMessage),
        refused("all-URLs keyword", with(entryWith([](auto& e) { e["matches"] = {"<all_urls>"}; })), matchesMessage),
        refused("other scheme", with(entryWith([](auto& e) { e["matches"] = {"ftp://a.com/*"}; })), matchesMessage),
        refused("port", with(entryWith([](auto& e) { e["matches"] = {"https://a.com:8080/*"}; })), matchesMessage),
        refused("user name", with(entryWith([](auto& e) { e["matches"] = {"https://me@a.com/*"}; })), matchesMessage),
        refused("IPv6 host", with(entryWith([](auto& e) { e["matches"] = {"https://[::1]/*"}; })), matchesMessage),
        refused("underscore in host", with(entryWith([](auto& e) { e["matches"] = {"https://a_b.com/*"}; })), matchesMessage),
        refused("no path", with(entryWith([](auto& e) { e["matches"] = {"https://a.com"}; })), matchesMessage),
        refused("white space in path", with(entryWith([](auto& e) { e["matches"] = {"https://a.com/a b"}; })), matchesMessage),
        refused("trailing line feed", with(entryWith([](auto& e) { e["matches"] = {"https://a.com/\n"}; })), matchesMessage),
        refused("scheme in capitals", with(entryWith([](auto& e) { e["matches"] = {"HTTPS://a.com/*"}; })), matchesMessage),
        refused("bad pattern wins over a bad list", with(entryWith([](auto& e) {
            e["matches"] = {"<all_urls>"};
            e["js"] = "a.js";
        })), matchesMessage),
        // The entry's lists.
        refused("exclude_matches a string", with(entryWith([](auto& e) { e["exclude_matches"] = "https://a.com/*"; })),
                "Invalid exclude_matches list in content_scripts."),
        refused("js null counts as present", with(entryWith([](auto& e) { e["js"] = nullptr; })),
                "Invalid js list in content_scripts."),
        refused("css holding a number", with(entryWith([](auto& e) { e["css"] = {1}; })),
                "Invalid css list in content_scripts."),
        refused("lists are checked in key order", with(entryWith([](auto& e) {
            e["css"] = 1;
            e["exclude_matches"] = 1;
        })), "Invalid exclude_matches list in content_scripts."),
        refused("bad list wins over a bad exclusion", with(entryWith([](auto& e) {
            e["exclude_matches"] = {"<all_urls>"};
            e["js"] = 1;
        })), "Invalid js list in content_scripts."),
        refused("unsupported exclusion", with(entryWith([](auto& e) { e["exclude_matches"] = {"https://a.com:1/*"}; })), exclusionMessage),
        refused("exclusion wins over timing", with(entryWith([](auto& e) {
            e["exclude_matches"] = {"file:///*"};
            e["run_at"] = "later";
        })), exclusionMessage),
        refused("unknown timing", with(entryWith([](auto& e) { e["run_at"] = "document_ready"; })), timingMessage),
        refused("timing wins over missing files", with(entryWith([](auto& e) {
            e["run_at"] = "Document_Start";
            e["js"] = ordered_json::array();
        })), timingMessage),
        // Files of the entry.
        refused("no js and no css", with(entryWith([](auto& e) { e.erase("js"); })), noFilesMessage),
        refused("empty js and css lists", with(entryWith([](auto& e) {
            e["js"] = ordered_json::array();
            e["css"] = ordered_json::array();
        })), noFilesMessage),
        refused("21 scripts and 10 stylesheets", [](const Scratch& s) {
            s.manifestFile(entryWith([](auto& e) {
                e["js"] = numbered(21, "s", ".js");
                e["css"] = numbered(10, "c", ".css");
            }));
            s.manyFiles(numbered(21, "s", ".js"));
            s.manyFiles(numbered(10, "c", ".css"));
        }, noFilesMessage),
        // Texts.
        refused("chrome API", with(manifest(), "chrome.runtime.sendMessage({});"), apisMessage),
        refused("browser API with space", with(manifest(), "const t = browser .tabs;"), apisMessage),
        refused("chrome API in a comment", with(manifest(), "run(); // see chrome.storage"), apisMessage),
        refused("chrome API across a line break", with(manifest(), "chrome\n  .storage"), apisMessage),
        refused("API in the second script file", [](const Scratch& s) {
            s.manifestFile(manifestWith({entry({"a.js", "b.js"})}));
            s.file("a.js", "let browser = 1;");
            s.file("b.js", "browser.tabs.query({});");
        }, apisMessage),
        refused("scripts are checked before stylesheets are read", [](const Scratch& s) {
            s.manifestFile(entryWith([](auto& e) { e["css"] = {"missing.css"}; }));
            s.file("a.js", "chrome.x();");
        }, apisMessage),
        refused("stylesheet import", [](const Scratch& s) {
            s.manifestFile(entryWith([](auto& e) { e["css"] = {"a.css"}; }));
            s.file("a.js", "");
            s.file("a.css", "@IMPORT 'other.css';");
        }, resourcesMessage),
        refused("stylesheet URL in capitals with a space", [](const Scratch& s) {
            s.manifestFile(entryWith([](auto& e) { e["css"] = {"a.css"}; }));
            s.file("a.js", "");
            s.file("a.css", "body { background: URL (x.png); }");
        }, resourcesMessage),
        refused("second entry refused after the first was read", [](const Scratch& s) {
            s.manifestFile(manifestWith({entry(), entry({"b.js"})}));
            s.file("a.js", "run();");
            s.file("b.js", "chrome.x;");
        }, apisMessage),
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Scratch scratch;
        c.setUp(scratch);
        const bool folderExists = std::filesystem::exists(scratch.folder());
        const auto before = folderExists ? listing(scratch.folder()) : std::vector<std::string>{};
        auto result = PageExtensionStore::readFolder(scratch.folder());
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().code, c.code);
        if (c.code == ErrorCode::InvalidInput) {
            EXPECT_EQ(result.error().message, c.message);
        } else {
            EXPECT_FALSE(result.error().message.empty());
        }
        if (folderExists) {
            EXPECT_EQ(listing(scratch.folder()), before);
        }
    }
}

TEST(PageExtensionImportTest, BuildsADisabledExtensionFromTheManifest)
{
    Scratch s;
    s.manifestFile({{"name", "Reader"},
                    {"version", ""},
                    {"manifest_version", 2},
                    {"description", "Tidies pages."},
                    {"icons", {{"48", "icon.png"}}},
                    {"author", "me"},
                    {"homepage_url", "https://example.com"},
                    {"content_scripts",
                     {{{"matches", {"https://*.example.com/*", "*://*/*"}},
                       {"exclude_matches", {"https://example.com/admin/*"}},
                       {"js", {"a.js", "lib/b.js"}},
                       {"css", {"a.css", "a.css"}},
                       {"run_at", "document_start"},
                       {"all_frames", false}},
                      {{"matches", {"http://example.org/"}}, {"css", {"./a.css"}}, {"run_at", 5}, {"all_frames", "yes"}}}}});
    s.file("a.js", "// uses Chrome.like naming\nfirst();");
    s.file("lib/b.js", "second();\n");
    s.file("a.css", "p { color: red }");

    const auto first = PageExtensionStore::readFolder(s.folder());
    ASSERT_TRUE(first.ok()) << first.error().message;
    const PageExtension& extension = *first;
    EXPECT_EQ(extension.name, "Reader");
    EXPECT_EQ(extension.version, "");
    EXPECT_EQ(extension.description, "Tidies pages.");
    EXPECT_FALSE(extension.enabled);
    EXPECT_FALSE(extension.isBuiltIn);
    ASSERT_EQ(extension.scripts.size(), 2u);

    const auto& a = extension.scripts[0];
    EXPECT_EQ(a.matches, (std::vector<std::string>{"https://*.example.com/*", "*://*/*"}));
    EXPECT_EQ(a.excludes, (std::vector<std::string>{"https://example.com/admin/*"}));
    EXPECT_EQ(a.javascript, "// uses Chrome.like naming\nfirst();\n;\nsecond();\n");
    EXPECT_EQ(a.css, "p { color: red }\np { color: red }");
    EXPECT_EQ(a.runAt, "document_start");

    const auto& b = extension.scripts[1];
    EXPECT_TRUE(b.excludes.empty());
    EXPECT_TRUE(b.javascript.empty());
    EXPECT_EQ(b.css, "p { color: red }");
    EXPECT_EQ(b.runAt, "document_idle");

    const auto second = PageExtensionStore::readFolder(s.folder());
    ASSERT_TRUE(second.ok());
    EXPECT_NE(second->id, extension.id);

    // Installing is what switches it on.
    TempDir storeDir;
    PageExtensionStore store(storeDir.path());
    store.install(extension);
    EXPECT_TRUE(store.extensions().back().enabled);
}

TEST(PageExtensionImportTest, AcceptsTheLimitsThemselves)
{
    const std::string megabyte(1'000'000, 'x');
    const std::vector<std::pair<std::string, std::function<void(const Scratch&)>>> cases = {
        {"50 patterns", with(entryWith([](auto& e) { e["matches"] = patterns(50); }))},
        {"20 entries", with(manifestWith(std::vector<ordered_json>(20, entry())))},
        {"20 scripts and 10 stylesheets", [](const Scratch& s) {
             s.manifestFile(entryWith([](auto& e) {
                 e["js"] = numbered(20, "s", ".js");
                 e["css"] = numbered(10, "c", ".css");
             }));
             s.manyFiles(numbered(20, "s", ".js"));
             s.manyFiles(numbered(10, "c", ".css"));
         }},
        {"file of exactly 1,000,000 bytes", with(manifest(), megabyte)},
        {"one file named by two entries, counted twice", [](const Scratch& s) {
             s.manifestFile(manifestWith({entry(), entry()}));
             s.file("a.js", std::string(900'000, ' '));
         }},
        {"manifest_version 3.0", with(changed(manifest(), [](auto& m) { m["manifest_version"] = 3.0; }))},
        {"any scheme and host", with(entryWith([](auto& e) { e["matches"] = {"*://*/*"}; }))},
        {"empty exclusion list", with(entryWith([](auto& e) { e["exclude_matches"] = ordered_json::array(); }))},
        {"non-string description", with(changed(manifest(), [](auto& m) { m["description"] = 12; }))},
        {"link that stays inside", [](const Scratch& s) {
             s.manifestFile(manifestWith({entry({"link.js"})}));
             s.file("real/a.js", "run();");
             ASSERT_EQ(::symlink("real/a.js", (s.folder() + "/link.js").c_str()), 0);
         }},
        {"dots that stay inside", [](const Scratch& s) {
             s.manifestFile(manifestWith({entry({"./sub/../a.js"})}));
             s.file("sub/keep", "");
             s.file("a.js", "run();");
         }},
        {"word chrome without a dot and inside another word", with(manifest(), "const chromeless = 1; xchrome.y; run('chrome');")},
        {"stylesheet without resources", [](const Scratch& s) {
             s.manifestFile(entryWith([](auto& e) { e["css"] = {"a.css"}; }));
             s.file("a.js", "");
             s.file("a.css", ".curl { color: red } /* imports nothing */");
         }},
    };
    for (const auto& [what, setUp] : cases) {
        SCOPED_TRACE(what);
        Scratch scratch;
        setUp(scratch);
        auto result = PageExtensionStore::readFolder(scratch.folder());
        EXPECT_TRUE(result.ok()) << result.error().message;
    }
}

TEST(PageExtensionImportTest, FolderGivenThroughALinkIsReadInPlace)
{
    Scratch s;
    with(manifest())(s);
    const std::string link = s.root.file("chosen");
    ASSERT_EQ(::symlink(s.folder().c_str(), link.c_str()), 0);
    auto result = PageExtensionStore::readFolder(link);
    ASSERT_TRUE(result.ok()) << result.error().message;
    EXPECT_EQ(result->scripts[0].javascript, "run();");
}

} // namespace
} // namespace kovi
