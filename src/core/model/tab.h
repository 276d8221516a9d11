#pragma once

#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kovi {

// One browser tab. A plain value: the browser state keeps tabs in its dictionary by id and
// changes one by replacing the entry. The last four fields mirror the web view's state.
struct Tab {
    // A new tab: no title gives the URL's host, else "New Tab"; both dates are now; no favicon;
    // not loading, progress 0, no back or forward.
    Tab(Uuid id, Url url, std::optional<std::string> title, bool isPinned, bool isAutoArchiveExcluded,
        std::optional<Uuid> spaceId, std::optional<Uuid> folderId);

    Uuid id;
    Url url;
    std::string title;
    std::optional<Bytes> favicon;
    bool isPinned = false;
    bool isAutoArchiveExcluded = false;
    std::optional<Uuid> spaceId;
    std::optional<Uuid> folderId;
    Date createdAt;
    Date lastAccessedAt;
    bool isLoading = false;
    double loadingProgress = 0;
    bool canGoBack = false;
    bool canGoForward = false;

    bool operator==(const Tab&) const = default;

    // The title of a tab that has none of its own: the URL's host, else "New Tab".
    static std::string defaultTitle(const Url& url);

    // Throws DecodeError when a required key is missing or a value is malformed.
    static Tab fromJson(const Json& object);
};

// Throws EncodeError for a non-finite loading progress.
Json toJson(const Tab& tab);
std::size_t hashValue(const Tab& tab);

} // namespace kovi

template <>
struct std::hash<kovi::Tab> {
    std::size_t operator()(const kovi::Tab& tab) const noexcept { return kovi::hashValue(tab); }
};
