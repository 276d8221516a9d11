#pragma once

#include "core/support/url.h"

#include <optional>
#include <string>

namespace kovi {

// What a floating window's toolbar shows of its page: it starts as "Loading..." with loading on
// and no history, and changes only when the page reports a change.
struct FloatingPageState {
    explicit FloatingPageState(Url url) : currentUrl(std::move(url)) {}

    Url currentUrl;
    std::string pageTitle = "Loading...";
    bool isLoading = true;
    bool canGoBack = false;
    bool canGoForward = false;

    static constexpr const char* failedTitle = "This page couldn\u2019t load";

    // A page without a title shows "Untitled"; an empty title stays empty.
    void titleReported(const std::optional<std::string>& title);
    // A load that failed or timed out says so rather than keep the title of a page not shown.
    void loadFailed() { pageTitle = failedTitle; }
    // An absent or unreadable address leaves the one shown.
    void addressReported(const std::optional<std::string>& address);
    // The reload button's symbol: stop while loading.
    const char* reloadSymbol() const { return isLoading ? "xmark" : "arrow.clockwise"; }
};

} // namespace kovi
