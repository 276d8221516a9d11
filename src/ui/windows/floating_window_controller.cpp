#include "ui/windows/floating_window_controller.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/design/theme.h"
#include "ui/windows/x11_window_placement.h"

#include <glibmm/main.h>

#include <algorithm>

namespace kovi {

FloatingWindowController::FloatingWindowController(const FloatingWindowKind& kind, AppContext& ctx,
                                                   std::function<Gtk::Window*()> parent)
    : m_kind(kind), m_ctx(ctx), m_parent(std::move(parent))
{
    m_openInMain = ctx.notifications.observe(kind.openInMain, sigc::mem_fun(*this, &FloatingWindowController::openInMain));
}

FloatingWindowController::~FloatingWindowController()
{
    watchParent(nullptr);
    m_openInMain.disconnect();
    m_reap.disconnect();
    closeAll();
    m_closed.clear();
}

std::optional<Uuid> FloatingWindowController::spaceFor(const std::optional<Uuid>& tabId) const
{
    if (tabId) {
        if (auto tab = m_ctx.state.tab(*tabId); tab && tab->spaceId)
            return tab->spaceId;
    }
    return m_ctx.state.currentSpaceId();
}

FloatingBrowserWindow& FloatingWindowController::open(const Url& url, std::optional<Uuid> fromTabId)
{
    auto window = std::make_unique<FloatingBrowserWindow>(m_kind, *m_ctx.web, m_ctx.notifications, url, spaceFor(fromTabId));
    FloatingBrowserWindow& shown = *window;
    m_ctx.theme.attach(shown);
    Gtk::Window* parent = m_parent ? m_parent() : nullptr;
    if (parent)
        shown.set_transient_for(*parent);
    watchParent(parent);
    shown.signal_close_request().connect([this, &shown] { return closeRequested(shown); }, false);
    // Where the pointer is now, before anything moves it.
    std::optional<ScreenPoint> pointer;
    if (m_kind.placement == FloatingWindowKind::Placement::atPointer)
        pointer = x11::pointerPosition(parent ? *parent : shown);
    m_windows.push_back(std::move(window));
    shown.present();
    m_icons.keepIconsOf(shown); // the next window finds them loaded
    place(shown, pointer);
    return shown;
}

void FloatingWindowController::place(FloatingBrowserWindow& window, std::optional<ScreenPoint> pointer)
{
    // Measured on the monitor of the main window, as the screen the user works on.
    Gtk::Window* parent = m_parent ? m_parent() : nullptr;
    auto area = x11::monitorArea(parent ? *parent : window);
    if (!area)
        return; // Wayland: the compositor places it
    const double width = std::max(window.get_width(), m_kind.width);
    const double height = std::max(window.get_height(), m_kind.height);
    const ScreenPoint topLeft = m_kind.placement == FloatingWindowKind::Placement::atPointer && pointer
        ? placeAtPointer(*pointer, width, height, *area)
        : placeCentred(width, height, *area);
    x11::moveWindow(window, topLeft);
}

bool FloatingWindowController::closeRequested(FloatingBrowserWindow& window)
{
    auto it = std::find_if(m_windows.begin(), m_windows.end(), [&](const auto& w) { return w.get() == &window; });
    if (it == m_windows.end())
        return false;
    // The page stops and its view goes now, and the toolkit destroys the window as soon as this
    // handler returns (which lets go of the last references to the view). The C++ object goes
    // on the next turn of the loop, outside its own handler.
    m_icons.keepIconsOf(window); // those that changed while it was open (reload and stop)
    window.closePage();
    m_closed.push_back(std::move(*it));
    m_windows.erase(it);
    if (!m_reap.connected())
        m_reap = Glib::signal_idle().connect(sigc::mem_fun(*this, &FloatingWindowController::reap));
    return false;
}

void FloatingWindowController::watchParent(Gtk::Window* parent)
{
    if (parent == m_watchedParent)
        return;
    m_parentWatch.clear();
    m_watchedParent = parent;
    if (!parent)
        return;
    m_parentWatch.add(parent->signal_hide().connect(sigc::mem_fun(*this, &FloatingWindowController::closeAll)));
    m_parentWatch.add(parent->signal_destroy().connect([this] {
        closeAll();
        watchParent(nullptr);
    }));
}

bool FloatingWindowController::reap()
{
    m_closed.clear();
    return false;
}

void FloatingWindowController::closeAll()
{
    while (!m_windows.empty()) {
        std::unique_ptr<FloatingBrowserWindow> window = std::move(m_windows.back());
        m_windows.pop_back();
        window->closePage();
        window->destroy();
    }
}

FloatingBrowserWindow* FloatingWindowController::find(const Uuid& id) const
{
    for (const auto& window : m_windows) {
        if (window->id() == id)
            return window.get();
    }
    return nullptr;
}

void FloatingWindowController::openInMain(const Notification& note)
{
    if (!note.object || !find(*note.object))
        return;
    auto url = note.value<Url>("url");
    if (!url)
        return;
    m_ctx.state.createNewTab(*url);
    if (Gtk::Window* parent = m_parent ? m_parent() : nullptr)
        parent->present();
}

} // namespace kovi
