#pragma once

#include "core/settings/preferences.h"

#include <sigc++/signal.h>

namespace kovi {

// The one setter behind every persisted switch: store the value, tell observers (also when it is
// unchanged), then write it to the settings under the property's own key.
inline void setPersistedBool(Preferences& preferences, const BoolKey& key, bool& storage, bool value,
                             sigc::signal<void()>& changed)
{
    storage = value;
    changed.emit();
    preferences.set(key, storage);
}

} // namespace kovi
