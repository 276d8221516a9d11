#pragma once

namespace kovi {

// The two kinds of small floating browser window: one window under two sets of names, sizes and
// placements. The kinds share nothing at run time: each obeys only its own commands.
struct FloatingWindowKind {
    enum class Placement { centred, atPointer };

    // Neither kind lays out smaller than this, toolbar included.
    static constexpr int minimumWidth = 400;
    static constexpr int minimumHeight = 300;

    const char* title; // the window's title (window lists and the task switcher show it)
    int width;         // default size
    int height;
    bool showsBadge;   // the monogram at the toolbar's start
    Placement placement;
    // Notification names of the toolbar's commands.
    const char* goBack;
    const char* goForward;
    const char* reload;
    const char* openInMain;

    static const FloatingWindowKind smallWindow; // "Little Kovi", opened from a tab's menu
    static const FloatingWindowKind quickView;  // "Quick View", opened at the pointer
};

} // namespace kovi
