#include "core/web/page_extension_injector.h"

namespace kovi {

namespace {

Json stringArray(const std::vector<std::string>& values)
{
    Json array = Json::array();
    for (const auto& value : values)
        array.push_back(value);
    return array;
}

// Encoded U+2028 and U+2029; in JSON text they can only occur inside string literals.
void escapeLineSeparators(std::string& text)
{
    static constexpr std::string_view separators[] = {"\xE2\x80\xA8", "\xE2\x80\xA9"};
    static constexpr std::string_view escapes[] = {"\\u2028", "\\u2029"};
    for (int i = 0; i < 2; ++i) {
        for (std::size_t at = text.find(separators[i]); at != std::string::npos;
             at = text.find(separators[i], at + escapes[i].size()))
            text.replace(at, separators[i].size(), escapes[i]);
    }
}

} // namespace

std::string PageExtensionInjector::javascriptLiteral(const Json& value)
{
    std::string text = json::dump(value);
    escapeLineSeparators(text);
    return text;
}

std::string PageExtensionInjector::scriptIdentifier(const Uuid& extensionId, std::size_t index)
{
    return extensionId.toString() + "-" + std::to_string(index);
}

std::string PageExtensionInjector::styleElementId(std::string_view identifier)
{
    return "kovi-style-" + std::string(identifier);
}

std::string PageExtensionInjector::worldName(const Uuid& extensionId)
{
    return "kovi.extension." + extensionId.toString();
}

bool PageExtensionInjector::runsAtDocumentStart(std::string_view runAt)
{
    return runAt == "document_start";
}

bool PageExtensionInjector::isPageExtensionSource(std::string_view source)
{
    return source.substr(0, marker.size()) == marker;
}

std::string PageExtensionInjector::source(const PageExtension::Script& script, std::string_view identifier)
{
    const std::string matches = javascriptLiteral(stringArray(script.matches));
    const std::string excludes = javascriptLiteral(stringArray(script.excludes));
    const std::string css = javascriptLiteral(Json(script.css));
    const std::string styleId = javascriptLiteral(Json(styleElementId(identifier)));
    const std::string runAt = javascriptLiteral(Json(script.runAt));

    std::string s;
    s.reserve(2048 + script.javascript.size() + 2 * script.css.size());
    s += marker;
    s += "\n(() => {";
    s += "\n  if (!['http:', 'https:'].includes(location.protocol)) return;";
    s += "\n  const matches = " + matches + ", excludes = " + excludes + ";";
    s += "\n  function match(pattern) {";
    s += R"(
    const parts = pattern.match(/^(https?|\*)\:\/\/([^/]+)(\/.*)$/);)";
    s += "\n    if (!parts) return false;";
    s += "\n    if (parts[1] !== '*' && location.protocol !== parts[1] + ':') return false;";
    s += "\n    const host = parts[2].toLowerCase(), actual = location.hostname.toLowerCase();";
    s += "\n    if (host !== '*' && !(host.startsWith('*.') ? actual === host.slice(2) || "
         "actual.endsWith(host.slice(1)) : actual === host)) return false;";
    s += R"(
    const escaped = parts[3].split('*').map(s => s.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')).join('.*');)";
    s += "\n    return new RegExp('^' + escaped + '$').test(location.pathname + location.search);";
    s += "\n  }";
    s += "\n  if (!matches.some(match) || excludes.some(match)) return;";
    s += "\n  function run() {";
    s += "\n    if (" + css + " && !document.getElementById(" + styleId + ")) {";
    s += "\n      const style = document.createElement('style');";
    s += "\n      style.id = " + styleId + "; style.textContent = " + css + ";";
    s += "\n      (document.head || document.documentElement).appendChild(style);";
    s += "\n    }";
    // The line feed after the script ends a trailing line comment before the closing brace.
    s += "\n    try { " + script.javascript + "\n } catch (error) { console.error('Kovi page extension:', error); }";
    s += "\n  }";
    s += "\n  if (" + runAt + " === 'document_idle') {";
    s += "\n    if ('requestIdleCallback' in window) requestIdleCallback(run, {timeout: 1000}); "
         "else setTimeout(run, 0);";
    s += "\n  } else { run(); }";
    s += "\n})();";
    return s;
}

std::vector<UserScriptSpec> PageExtensionInjector::userScripts(const std::vector<PageExtension>& extensions)
{
    std::vector<UserScriptSpec> result;
    for (const auto& extension : extensions) {
        if (!extension.enabled)
            continue;
        const std::string world = worldName(extension.id);
        for (std::size_t i = 0; i < extension.scripts.size(); ++i) {
            const auto& script = extension.scripts[i];
            UserScriptSpec spec;
            spec.identifier = scriptIdentifier(extension.id, i);
            spec.source = source(script, spec.identifier);
            spec.world = world;
            spec.atDocumentStart = runsAtDocumentStart(script.runAt);
            result.push_back(std::move(spec));
        }
    }
    return result;
}

} // namespace kovi
