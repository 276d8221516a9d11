#include "core/web/page_extension_sites.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <set>
#include <utility>

namespace kovi {

namespace {

std::string composed(const std::string& value)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return value;
    icu::UnicodeString normalized = nfc->normalize(icu::UnicodeString::fromUTF8(value), status);
    if (U_FAILURE(status))
        return value;
    std::string out;
    normalized.toUTF8String(out);
    return out;
}

} // namespace

std::vector<std::string> sortedUniqueCanonically(std::vector<std::string> values)
{
    // UTF-8 byte order is code-point order, so the composed keys compare as plain strings.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(values.size());
    std::set<std::string> seen;
    for (auto& value : values) {
        std::string key = composed(value);
        if (seen.insert(key).second)
            keyed.emplace_back(std::move(key), std::move(value));
    }
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> result;
    result.reserve(keyed.size());
    for (auto& entry : keyed)
        result.push_back(std::move(entry.second));
    return result;
}

std::vector<std::string> pageExtensionSiteList(const PageExtension& extension)
{
    return sortedUniqueCanonically(extension.sites());
}

std::string pageExtensionSiteAccessText(const PageExtension& extension)
{
    std::string text = "Site access: ";
    bool first = true;
    for (const auto& site : pageExtensionSiteList(extension)) {
        if (!first)
            text += ", ";
        text += site;
        first = false;
    }
    return text;
}

} // namespace kovi
