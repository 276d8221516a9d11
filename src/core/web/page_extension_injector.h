#pragma once

#include "core/web/page_extension.h"

#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// One page script to add to a web view: run in the main frame only, in the named world.
struct UserScriptSpec {
    std::string identifier; // "<extension id>-<script index>"
    std::string source;     // the wrapper, first line kPageExtensionMarker
    std::string world;      // "kovi.extension.<extension id>"
    bool atDocumentStart = false; // else at document end

    bool operator==(const UserScriptSpec&) const = default;
};

// Turns enabled page extensions into wrapped page scripts. Pure: the web layer adds the result
// to a user content manager and remembers exactly what it added, so it can take those away again.
class PageExtensionInjector {
public:
    static constexpr std::string_view marker = "// KOVI-PAGE-EXTENSION";

    // One entry per script of every enabled extension, extensions and scripts in order.
    static std::vector<UserScriptSpec> userScripts(const std::vector<PageExtension>& extensions);

    // The JavaScript wrapper that checks the page address against the script's patterns, adds its
    // CSS once as a style element and runs its JavaScript at its timing.
    static std::string source(const PageExtension::Script& script, std::string_view identifier);

    static std::string scriptIdentifier(const Uuid& extensionId, std::size_t index);
    static std::string styleElementId(std::string_view identifier);
    static std::string worldName(const Uuid& extensionId);
    static bool runsAtDocumentStart(std::string_view runAt);
    static bool isPageExtensionSource(std::string_view source);

    // A JSON text that is also safe as a JavaScript literal on every engine: U+2028 and U+2029
    // are escaped.
    static std::string javascriptLiteral(const Json& value);
};

} // namespace kovi
