#include "ui/layouts/panel_overlays.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"

namespace kovi {

PanelOverlays::PanelOverlays(AppContext& ctx, ViewSlots slots, Gtk::Overlay& host)
    : m_ctx(ctx), m_slots(std::move(slots)), m_commandBarLayer(false, {}, 0.98),
      m_historyLayer(true, [this] { m_ctx.state.setIsHistoryPanelVisible(false); }),
      m_downloadsLayer(true, [this] { m_ctx.state.setIsDownloadsPanelVisible(false); })
{
    for (OverlayLayer* layer : {&m_commandBarLayer, &m_historyLayer, &m_downloadsLayer})
        host.add_overlay(*layer);
    BrowserState& state = m_ctx.state;
    for (auto* changed : {&state.isCommandBarVisibleChanged, &state.isHistoryPanelVisibleChanged,
                          &state.isDownloadsPanelVisibleChanged})
        m_connections.add(changed->connect([this] { refreshAll(); }));
    refreshAll(); // the flags belong to the state: a panel may be open already
}

void PanelOverlays::refreshAll()
{
    const BrowserState& state = m_ctx.state;
    refresh(m_commandBarLayer, state.isCommandBarVisible(), m_slots.commandBar);
    refresh(m_historyLayer, state.isHistoryPanelVisible(), m_slots.historyPanel);
    refresh(m_downloadsLayer, state.isDownloadsPanelVisible(), m_slots.downloadsPanel);
}

void PanelOverlays::refresh(OverlayLayer& layer, bool visible, const std::function<Gtk::Widget*(AppContext&)>& make)
{
    if (visible == layer.isPresented())
        return;
    if (!visible) {
        layer.dismiss();
        return;
    }
    Gtk::Widget* content = make ? make(m_ctx) : nullptr;
    // The command bar has no scrim of its own to show; the history and downloads panels keep
    // theirs, so a tap still closes them.
    if (!content && &layer == &m_commandBarLayer)
        return;
    // The downloads panel that opened by itself as a download started takes no click meant for
    // the page beside it (the next download link, say).
    if (&layer == &m_downloadsLayer && m_ctx.state.isDownloadsPanelOpenedByItself())
        layer.presentBeside(content);
    else
        layer.present(content);
}

} // namespace kovi
