// Reading an unpacked extension folder into a PageExtension (PageExtensionStore::readFolder).

#include "core/web/page_extension_store.h"

#include "core/support/files.h"
#include "core/support/text.h"
#include "core/web/page_extension_sites.h"

#include <glib.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>

namespace kovi {

namespace {

constexpr std::size_t maxFileBytes = 1'000'000;
constexpr std::size_t maxTotalBytes = 2'000'000;
constexpr std::size_t maxEntries = 20;
constexpr std::size_t maxMatches = 50;
constexpr std::size_t maxFilesPerEntry = 30;

constexpr const char* outsideFolderMessage = "Extension files must stay inside the selected folder.";
constexpr const char* notRegularMessage = "Extension resources must be regular files.";
constexpr const char* tooLargeMessage = "This extension exceeds the 2 MB beta limit.";
constexpr const char* notUtf8Message = "Extension files must use UTF-8 text.";
constexpr const char* badManifestMessage =
    "Choose an unpacked extension with a manifest.json containing a name, version, and content_scripts.";
constexpr const char* unsupportedFeaturesPrefix = "This extension requires unsupported features: ";
constexpr const char* unsupportedFeaturesSuffix =
    ". This beta supports only page CSS and JavaScript content scripts.";
constexpr const char* unsupportedMatchesMessage =
    "Only main-frame HTTP/HTTPS match patterns are supported. Background pages, browser APIs, "
    "frames, and extra script options are not supported.";
constexpr const char* unsupportedExclusionMessage = "Unsupported exclusion pattern.";
constexpr const char* unsupportedTimingMessage = "Unsupported script timing.";
constexpr const char* noFilesMessage = "No supported script or stylesheet files were found.";
constexpr const char* browserApisMessage =
    "This extension uses browser or chrome APIs, which this beta does not implement.";
constexpr const char* stylesheetResourcesMessage =
    "Stylesheets with resource URLs or imports are not supported yet.";

constexpr std::string_view topLevelKeys[] = {"name", "version", "manifest_version", "description",
                                             "content_scripts", "icons", "author", "homepage_url"};
constexpr std::string_view entryKeys[] = {"matches", "exclude_matches", "js", "css", "run_at", "all_frames"};

Error refusal(std::string message)
{
    return Error{ErrorCode::InvalidInput, std::move(message)};
}

// ICU patterns, compiled once; a pattern that fails to compile matches nothing.
class IcuPattern {
public:
    explicit IcuPattern(const char* source)
    {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        m_pattern.reset(icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(source), parseError, status));
        if (U_FAILURE(status))
            m_pattern.reset();
    }

    bool matchesWhole(const std::string& text) const { return run(text, true); }
    bool isFoundIn(const std::string& text) const { return run(text, false); }

private:
    bool run(const std::string& text, bool whole) const
    {
        if (!m_pattern)
            return false;
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
        std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
        if (U_FAILURE(status))
            return false;
        const bool found = whole ? matcher->matches(status) : matcher->find(0, status);
        return U_SUCCESS(status) && found;
    }

    std::unique_ptr<icu::RegexPattern> m_pattern;
};

bool isSupportedMatchPattern(const std::string& pattern)
{
    static const IcuPattern regex(R"(^(https?|\*)://(\*|\*\.[A-Za-z0-9.-]+|[A-Za-z0-9.-]+)/[^\s]*$)");
    return regex.matchesWhole(pattern);
}

bool mentionsBrowserApis(const std::string& script)
{
    static const IcuPattern regex(R"(\b(browser|chrome)\s*\.)");
    return regex.isFoundIn(script);
}

bool loadsStylesheetResources(const std::string& css)
{
    static const IcuPattern regex(R"((?i)@import|url\s*\()");
    return regex.isFoundIn(css);
}

template <std::size_t N>
bool isOneOf(const std::string& key, const std::string_view (&allowed)[N])
{
    return std::find(std::begin(allowed), std::end(allowed), key) != std::end(allowed);
}

bool isStringArray(const Json& value)
{
    return value.is_array()
        && std::all_of(value.begin(), value.end(), [](const Json& element) { return element.is_string(); });
}

std::vector<std::string> strings(const Json& array)
{
    std::vector<std::string> values;
    for (const auto& element : array)
        values.push_back(element.get<std::string>());
    return values;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += separator;
        result += parts[i];
    }
    return result;
}

std::string canonicalPath(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result(real);
        std::free(real);
        return result;
    }
    gchar* lexical = g_canonicalize_filename(path.c_str(), nullptr);
    std::string result(lexical);
    g_free(lexical);
    return result;
}

// One import: the folder and the running byte total shared by every file it reads.
class FolderReader {
public:
    explicit FolderReader(const std::string& folder) : m_folder(canonicalPath(folder)) {}

    Result<std::string> read(const std::string& relative)
    {
        auto path = resolve(relative);
        if (!path)
            return path.error();
        const std::size_t limit = std::min(maxFileBytes, maxTotalBytes - m_total);
        auto bytes = files::readBounded(*path, limit);
        if (!bytes) {
            switch (bytes.error().code) {
            case ErrorCode::NotRegular:
                return refusal(notRegularMessage);
            case ErrorCode::TooLarge:
                return refusal(tooLargeMessage);
            case ErrorCode::NotFound:
                return notFound(relative);
            default:
                return Error{ErrorCode::Io, "The file \"" + relative + "\" could not be read."};
            }
        }
        m_total += bytes->size();
        if (!text::isValidUtf8(*bytes))
            return refusal(notUtf8Message);
        return std::move(*bytes);
    }

private:
    static Error notFound(const std::string& relative)
    {
        return Error{ErrorCode::NotFound, "The file \"" + relative + "\" does not exist in the extension folder."};
    }

    // The real path of a file named relative to the folder, refused when it lies outside it:
    // "..", absolute paths and symbolic links that lead out all end here.
    Result<std::string> resolve(const std::string& relative) const
    {
        if (!relative.empty() && relative.front() == '/')
            return refusal(outsideFolderMessage);
        // A name with a NUL byte names no file; never let it shorten to a different name.
        if (relative.find('\0') != std::string::npos)
            return notFound(relative);
        const std::string joinedPath = m_folder + "/" + relative;
        std::string resolved;
        bool exists = false;
        if (char* real = ::realpath(joinedPath.c_str(), nullptr)) {
            resolved = real;
            std::free(real);
            exists = true;
        } else {
            // Nothing to read; a path that climbs out is still refused as such.
            gchar* lexical = g_canonicalize_filename(joinedPath.c_str(), nullptr);
            resolved = lexical;
            g_free(lexical);
        }
        const std::string prefix = m_folder.ends_with('/') ? m_folder : m_folder + "/";
        if (!resolved.starts_with(prefix) || resolved.size() == prefix.size())
            return refusal(outsideFolderMessage);
        if (!exists)
            return notFound(relative);
        return resolved;
    }

    std::string m_folder;
    std::size_t m_total = 0;
};

std::optional<Error> checkManifest(const Json& manifest)
{
    if (!manifest.is_object() || manifest.empty())
        return refusal(badManifestMessage);
    const auto name = manifest.find("name");
    if (name == manifest.end() || !name->is_string() || name->get_ref<const std::string&>().empty())
        return refusal(badManifestMessage);
    const auto version = manifest.find("version");
    if (version == manifest.end() || !version->is_string())
        return refusal(badManifestMessage);
    const auto manifestVersion = manifest.find("manifest_version");
    if (manifestVersion == manifest.end() || !manifestVersion->is_number())
        return refusal(badManifestMessage);
    const double number = manifestVersion->get<double>();
    if (number != 2.0 && number != 3.0)
        return refusal(badManifestMessage);
    const auto entries = manifest.find("content_scripts");
    if (entries == manifest.end() || !entries->is_array() || entries->empty() || entries->size() > maxEntries
        || !std::all_of(entries->begin(), entries->end(), [](const Json& entry) { return entry.is_object(); }))
        return refusal(badManifestMessage);

    std::vector<std::string> unsupported;
    for (const auto& item : manifest.items()) {
        if (!isOneOf(item.key(), topLevelKeys))
            unsupported.push_back(item.key());
    }
    if (!unsupported.empty())
        return refusal(unsupportedFeaturesPrefix + joined(sortedUniqueCanonically(unsupported), ", ")
                       + unsupportedFeaturesSuffix);
    return std::nullopt;
}

// Everything about one content_scripts entry that needs no file.
std::optional<Error> checkEntry(const Json& entry)
{
    for (const auto& item : entry.items()) {
        if (!isOneOf(item.key(), entryKeys))
            return refusal(unsupportedMatchesMessage);
    }
    if (const auto allFrames = entry.find("all_frames");
        allFrames != entry.end() && allFrames->is_boolean() && allFrames->get<bool>())
        return refusal(unsupportedMatchesMessage);
    const auto matches = entry.find("matches");
    if (matches == entry.end() || !isStringArray(*matches) || matches->empty() || matches->size() > maxMatches)
        return refusal(unsupportedMatchesMessage);
    for (const auto& pattern : *matches) {
        if (!isSupportedMatchPattern(pattern.get<std::string>()))
            return refusal(unsupportedMatchesMessage);
    }
    for (const char* key : {"exclude_matches", "js", "css"}) {
        if (const auto list = entry.find(key); list != entry.end() && !isStringArray(*list))
            return refusal(std::string("Invalid ") + key + " list in content_scripts.");
    }
    if (const auto excludes = entry.find("exclude_matches"); excludes != entry.end()) {
        for (const auto& pattern : *excludes) {
            if (!isSupportedMatchPattern(pattern.get<std::string>()))
                return refusal(unsupportedExclusionMessage);
        }
    }
    return std::nullopt;
}

std::vector<std::string> listOrEmpty(const Json& entry, const char* key)
{
    const auto list = entry.find(key);
    return list == entry.end() ? std::vector<std::string>{} : strings(*list);
}

Result<PageExtension::Script> readEntry(const Json& entry, FolderReader& reader)
{
    if (auto refused = checkEntry(entry))
        return *refused;

    PageExtension::Script script;
    const auto runAt = entry.find("run_at");
    script.runAt = runAt != entry.end() && runAt->is_string() ? runAt->get<std::string>() : "document_idle";
    if (script.runAt != "document_start" && script.runAt != "document_end" && script.runAt != "document_idle")
        return refusal(unsupportedTimingMessage);

    const auto jsFiles = listOrEmpty(entry, "js");
    const auto cssFiles = listOrEmpty(entry, "css");
    if (jsFiles.size() + cssFiles.size() > maxFilesPerEntry || (jsFiles.empty() && cssFiles.empty()))
        return refusal(noFilesMessage);

    std::vector<std::string> texts;
    for (const auto& file : jsFiles) {
        auto text = reader.read(file);
        if (!text)
            return text.error();
        texts.push_back(std::move(*text));
    }
    script.javascript = joined(texts, "\n;\n");
    if (mentionsBrowserApis(script.javascript))
        return refusal(browserApisMessage);

    texts.clear();
    for (const auto& file : cssFiles) {
        auto text = reader.read(file);
        if (!text)
            return text.error();
        texts.push_back(std::move(*text));
    }
    script.css = joined(texts, "\n");
    if (loadsStylesheetResources(script.css))
        return refusal(stylesheetResourcesMessage);

    script.matches = strings(entry.at("matches"));
    script.excludes = listOrEmpty(entry, "exclude_matches");
    return script;
}

} // namespace

Result<PageExtension> PageExtensionStore::readFolder(const std::string& folder)
{
    FolderReader reader(folder);
    auto manifestText = reader.read("manifest.json");
    if (!manifestText)
        return manifestText.error();

    Json manifest;
    try {
        manifest = json::parse(*manifestText);
    } catch (const std::exception&) {
        manifest = Json(); // null: refused just below
    }
    // Only an object or an array counts as a JSON document here; a bare value is a parse error.
    if (!manifest.is_object() && !manifest.is_array())
        return Error{ErrorCode::CorruptData, "The file \"manifest.json\" is not valid JSON."};

    if (auto refused = checkManifest(manifest))
        return *refused;

    PageExtension extension;
    extension.id = Uuid::random();
    extension.name = manifest.at("name").get<std::string>();
    extension.version = manifest.at("version").get<std::string>();
    for (const auto& entry : manifest.at("content_scripts")) {
        auto script = readEntry(entry, reader);
        if (!script)
            return script.error();
        extension.scripts.push_back(std::move(*script));
    }
    const auto description = manifest.find("description");
    extension.description = description != manifest.end() && description->is_string()
        ? description->get<std::string>()
        : "Local page extension";
    extension.enabled = false;
    extension.isBuiltIn = false;
    return extension;
}

} // namespace kovi
