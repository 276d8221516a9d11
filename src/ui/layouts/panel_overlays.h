#pragma once

#include "ui/base/view_slots.h"
#include "ui/design/overlay_layer.h"

#include <gtkmm/overlay.h>
#include <sigc++/connection.h>

#include <functional>
#include <vector>

namespace kovi {

struct AppContext;

// The panels over a whole browser layout, back to front: the command bar, then the history and
// the downloads panels, each over a dimming scrim whose tap closes it. Each panel is built from
// ViewSlots when its BrowserState flag turns true (commandBar, historyPanel, downloadsPanel)
// and destroyed once it has faded after the flag turns false.
class PanelOverlays {
public:
    // Lays the panels over `host`, above its child and any overlays it has so far.
    PanelOverlays(AppContext& ctx, ViewSlots slots, Gtk::Overlay& host);
    ~PanelOverlays();
    PanelOverlays(const PanelOverlays&) = delete;
    PanelOverlays& operator=(const PanelOverlays&) = delete;

    OverlayLayer& commandBarLayer() { return m_commandBarLayer; }
    OverlayLayer& historyLayer() { return m_historyLayer; }
    OverlayLayer& downloadsLayer() { return m_downloadsLayer; }

private:
    void refresh(OverlayLayer& layer, bool visible, const std::function<Gtk::Widget*(AppContext&)>& make);
    void refreshAll();

    AppContext& m_ctx;
    ViewSlots m_slots;
    std::vector<sigc::connection> m_connections;
    OverlayLayer m_commandBarLayer;
    OverlayLayer m_historyLayer;
    OverlayLayer m_downloadsLayer;
};

} // namespace kovi
