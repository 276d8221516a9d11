#pragma once

#include "core/support/defaults.h"

#include <sigc++/signal.h>

#include <string>

namespace kovi {

// The one setter behind every persisted switch: store the value, tell observers (also when it is
// unchanged), then write it to the settings under the property's own name.
inline void setPersistedBool(Defaults& defaults, const std::string& key, bool& storage, bool value,
                             sigc::signal<void()>& changed)
{
    storage = value;
    changed.emit();
    defaults.setBool(key, storage);
}

} // namespace kovi
