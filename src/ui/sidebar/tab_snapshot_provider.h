#pragma once

#include "core/support/uuid.h"

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>

#include <functional>

namespace kovi {

// Takes a picture of a tab's live page for the hover preview. The web layer implements it over
// its pool of views; `done` runs later on the main loop, with nothing when the tab has no live
// view (never loaded, or closed).
class TabSnapshotProvider {
public:
    virtual ~TabSnapshotProvider() = default;
    virtual void snapshot(const Uuid& tabId, std::function<void(Glib::RefPtr<Gdk::Texture>)> done) = 0;
};

} // namespace kovi
