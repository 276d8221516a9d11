#pragma once

#include <sigc++/signal.h>

#include <functional>

namespace Gtk {
class Widget;
}

namespace kovi {

// What the main view shares with the sidebar it hosts: three two-way flags and the space swipe.
// The sidebar flips isPinned (docked ↔ floating), sets isInteractionLocked while its address
// field is being edited (a floating sidebar then stays open), may reveal itself through
// isSidebarVisible, and reports each horizontal two-finger swipe as spaceSwipe(-1 or +1).
class SidebarHost {
public:
    bool isPinned() const { return m_isPinned; }
    void setIsPinned(bool value) { set(m_isPinned, value, isPinnedChanged); }
    sigc::signal<void()> isPinnedChanged;

    bool isSidebarVisible() const { return m_isSidebarVisible; }
    void setIsSidebarVisible(bool value) { set(m_isSidebarVisible, value, isSidebarVisibleChanged); }
    sigc::signal<void()> isSidebarVisibleChanged;

    bool isInteractionLocked() const { return m_isInteractionLocked; }
    void setIsInteractionLocked(bool value) { set(m_isInteractionLocked, value, isInteractionLockedChanged); }
    sigc::signal<void()> isInteractionLockedChanged;

    // Called by the sidebar once per horizontal swipe, with -1 (previous space) or +1 (next).
    void spaceSwipe(int step)
    {
        if (onSpaceSwipe)
            onSpaceSwipe(step);
    }
    std::function<void(int)> onSpaceSwipe;

    // Ctrl+L: the sidebar's address field starts editing (revealing a hidden sidebar). False
    // when the sidebar has no address field.
    bool editAddress()
    {
        if (!onEditAddress)
            return false;
        onEditAddress();
        return true;
    }
    std::function<void()> onEditAddress; // set by the sidebar while it lives

    // The window's own controls (its menu button). Until a sidebar takes them into its top bar,
    // the main view shows them in a strip above the sidebar. A sidebar that wants them calls
    // takeChromeWidget() (now, or when chromeWidgetChanged is emitted) and packs the result, a
    // new managed widget; the strip then goes away.
    Gtk::Widget* takeChromeWidget()
    {
        if (!m_chromeWidget || !onTakeChrome)
            return nullptr;
        return onTakeChrome();
    }
    bool hasChromeWidget() const { return m_chromeWidget != nullptr; }
    sigc::signal<void()> chromeWidgetChanged;

    // Set by the main view.
    void setChromeWidget(Gtk::Widget* widget)
    {
        m_chromeWidget = widget;
        chromeWidgetChanged.emit();
    }
    std::function<Gtk::Widget*()> onTakeChrome;

private:
    static void set(bool& field, bool value, sigc::signal<void()>& changed)
    {
        if (field == value)
            return;
        field = value;
        changed.emit();
    }

    bool m_isPinned = true;
    bool m_isSidebarVisible = false;
    bool m_isInteractionLocked = false;
    Gtk::Widget* m_chromeWidget = nullptr;
};

} // namespace kovi
