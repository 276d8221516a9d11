#pragma once

#include "ui/sidebar/tab_snapshot_provider.h"

namespace kovi {

class WebContent;

// Hover-preview pictures from the web layer's pooled tab views. `web` must outlive it.
class WebSnapshotProvider final : public TabSnapshotProvider {
public:
    explicit WebSnapshotProvider(WebContent& web) : m_web(web) {}
    void snapshot(const Uuid& tabId, std::function<void(Glib::RefPtr<Gdk::Texture>)> done) override;

private:
    WebContent& m_web;
};

} // namespace kovi
