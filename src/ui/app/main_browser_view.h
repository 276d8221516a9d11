#pragma once

#include "core/state/browser_state.h"
#include "core/support/scoped_connections.h"
#include "ui/base/view_slots.h"
#include "ui/design/overlay_layer.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/overlay.h>
#include <gtkmm/stack.h>
#include <gtkmm/window.h>
#include <gtkmm/windowcontrols.h>
#include <sigc++/connection.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

typedef struct _AdwMessageDialog AdwMessageDialog;

namespace kovi {

struct AppContext;
class AuthView;
class ContentView;
class OnboardingView;
class PageArea;
class TraditionalBrowserView;
class TypingHold;

// The root view of the browser window. It routes between the welcome screen (until someone is
// signed in), the onboarding (until "hasCompletedOnboarding") and the browser layout, lays the
// AI chat, AI settings and account panels over the layout on dimming scrims (among the layout's
// own panels: the newest is on top, except that nothing covers the account panel), presents the
// library, page-extension and layout sheets, raises the library's alert (could not be read or
// could not be saved), and answers showSettings and showAccountSettings (BrowserState's
// isAccountSettingsVisible; the layout sheet follows isLayoutSettingsVisible). A change of the layout
// replaces the layout's views; tabs, pages (kept by the page pool) and open panels (kept as state
// flags) stay.
class MainBrowserView : public Gtk::Overlay {
public:
    enum class Screen { none, welcome, onboarding, browser };

    // `makeChromeStart` builds the window's menu button, for either layout.
    MainBrowserView(AppContext& ctx, ViewSlots slots, Gtk::Window& window, TypingHold& hold,
                    std::function<Gtk::Widget*()> makeChromeStart = {});
    ~MainBrowserView() override;

    Screen screen() const { return m_screen; }
    bool hasCompletedOnboarding() const { return m_hasCompletedOnboarding; }
    // The two-way flag: stored under "hasCompletedOnboarding".
    void setHasCompletedOnboarding(bool value);

    ContentView* contentView() const;
    TraditionalBrowserView* traditionalView() const;
    // The page area of the shown layout, if any.
    PageArea* pageArea() const;
    Gtk::Widget* layoutWidget() const { return m_layout; }
    AuthView* authView() const;
    OnboardingView* onboardingView() const;
    // The layer that has the keyboard: of the panels over the layout (the AI and account panels
    // and the layout's own), the one on top of BrowserState::openPanels; nullptr when none is
    // shown.
    OverlayLayer* topLayer();
    OverlayLayer& aiChatLayer() { return m_aiChatLayer; }
    OverlayLayer& aiSettingsLayer() { return m_aiSettingsLayer; }
    OverlayLayer& accountLayer() { return m_accountLayer; }
    Gtk::Window* librarySheet() const { return m_librarySheet.get(); }
    Gtk::Window* extensionsSheet() const { return m_extensionsSheet.get(); }
    Gtk::Window* layoutSettingsSheet() const { return m_layoutSheet.get(); }
    AdwMessageDialog* libraryAlert() const { return m_libraryAlert; }
    // The title bar of the welcome and onboarding screens: the desktop's window buttons on the
    // sides its button layout names, and the rest moves the window.
    Gtk::Widget& screenTitleBar() { return m_screenBar; }

private:
    enum class LayoutKind { none, content, traditional };

    void scheduleRoute();
    void route();
    void showScreen(Screen screen);
    void refreshLayout();
    std::array<OverlayLayer*, 3> browserLayers();
    // Moves the AI and account layers over the shown layout, among its own panels.
    void hostBrowserLayers();
    OverlayLayer* layerOf(BrowserState::Panel panel);
    // Stacks the panels' layers as BrowserState::openPanels orders them.
    void stackLayers();
    void refreshPanels();
    void refreshSheets();
    void refreshLibraryAlert();
    void showLibraryAlert();
    void updateSheet(std::unique_ptr<Gtk::Window>& sheet, bool wanted,
                     const std::function<Gtk::Window*()>& make, std::function<void()> onClosed);

    AppContext& m_ctx;
    ViewSlots m_slots;
    Gtk::Window& m_window;
    TypingHold& m_hold;
    std::function<Gtk::Widget*()> m_makeChromeStart;
    sigc::connection m_routeIdle;
    sigc::connection m_sheetIdle;

    Screen m_screen = Screen::none;
    bool m_hasCompletedOnboarding = false;

    Gtk::Box m_screenColumn{Gtk::Orientation::VERTICAL};
    WindowDragHandle m_screenBar;
    Gtk::Box m_screenBarRow;
    Gtk::WindowControls m_screenStartControls{Gtk::PackType::START};
    Gtk::WindowControls m_screenEndControls{Gtk::PackType::END};
    Gtk::Stack m_screens;
    Gtk::Widget* m_screenWidget = nullptr;
    Gtk::Overlay m_browser;
    Gtk::Stack m_layoutStack;
    Gtk::Widget* m_layout = nullptr;
    LayoutKind m_layoutKind = LayoutKind::none;
    OverlayLayer m_aiChatLayer;
    OverlayLayer m_aiSettingsLayer;
    OverlayLayer m_accountLayer;
    OverlayLayer* m_keyLayer = nullptr; // the top layer when the keys were given last

    std::unique_ptr<Gtk::Window> m_librarySheet;
    std::unique_ptr<Gtk::Window> m_extensionsSheet;
    std::unique_ptr<Gtk::Window> m_layoutSheet;
    std::vector<std::unique_ptr<Gtk::Window>> m_closedSheets;
    AdwMessageDialog* m_libraryAlert = nullptr;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
