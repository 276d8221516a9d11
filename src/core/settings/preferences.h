#pragma once

#include "core/settings/preference_keys.h"
#include "core/support/defaults.h"
#include "core/support/scoped_connections.h"

#include <sigc++/signal.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace kovi {

// Typed access to the settings in the defaults store, by the keys of preference_keys.h, so no
// caller spells a stored name. Reads follow each key's default and reading rule; every write
// goes straight to the store (and its file) and emits the key's change signal, also when the
// value is the same. Main thread only.
class Preferences {
public:
    explicit Preferences(Defaults& store);
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    bool get(const BoolKey& key) const;
    double get(const NumberKey& key) const;
    std::string get(const StringKey& key) const;
    Date get(const DateKey& key) const;
    std::optional<Defaults::Bytes> get(const BytesKey& key) const;

    void set(const BoolKey& key, bool value);
    void set(const BoolKey& key, const char* value) = delete; // not a Bool
    void set(const NumberKey& key, double value);
    void set(const StringKey& key, std::string value);
    void set(const DateKey& key, Date value);
    void set(const BytesKey& key, Defaults::Bytes value);
    void remove(const PreferenceKey& key);

    // Emitted after each write or removal of `key`, whoever made it (also straight through the
    // store).
    sigc::signal<void()>& changed(const PreferenceKey& key);

    Defaults& store() { return m_store; }

private:
    void storeChanged(const std::string& name);

    Defaults& m_store;
    std::map<std::string, sigc::signal<void()>, std::less<>> m_changed;
    ScopedConnections m_connections;
};

} // namespace kovi
