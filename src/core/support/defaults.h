#pragma once

#include "core/support/date.h"

#include <sigc++/signal.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kovi {

// The user's settings: typed values by key, kept in one JSON file
// ({"key": {"type": "bool"|"number"|"string"|"bytes"|"date", "value": …}}), written atomically
// (folder 0700, file 0600) after every change. "Absent" and "stored with another type" stay
// distinguishable. Entries that cannot be decoded (an unknown type, a damaged value) read as
// absent but are written back as they were, until the program sets or removes their key. The
// storage under Preferences (core/settings), through which the program reads and writes its
// keys. A file that can be read neither as settings nor copied aside is never written over: the
// values then last for the run, and saving reports a failure. Main thread only.
class Defaults {
public:
    using Bytes = std::vector<std::uint8_t>;
    using Value = std::variant<bool, double, std::string, Bytes, Date>;

    // An empty path keeps the values in memory only.
    explicit Defaults(std::string filePath = {});

    static std::string defaultFilePath(); // $XDG_CONFIG_HOME/KoviBrowser/defaults.json

    bool contains(const std::string& key) const;
    std::optional<Value> object(const std::string& key) const;

    // Strict reads: nullopt when absent or stored with another type.
    std::optional<bool> boolValue(const std::string& key) const;
    std::optional<double> numberValue(const std::string& key) const;
    std::optional<std::string> stringValue(const std::string& key) const;
    std::optional<Bytes> bytesValue(const std::string& key) const;
    std::optional<Date> dateValue(const std::string& key) const;

    // Lenient reads in the manner of the usual settings stores: a number counts as a Bool when
    // it is not zero, the texts "true"/"yes"/"1" (any case) count as true; a Bool counts as 0 or
    // 1 and a numeric text as its number. Anything else gives false or 0.
    bool boolForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;

    // Every write emits changed(key), even when the value is the same.
    void set(const std::string& key, Value value);
    void setBool(const std::string& key, bool value) { set(key, Value(value)); }
    void setNumber(const std::string& key, double value) { set(key, Value(value)); }
    void setString(const std::string& key, std::string value) { set(key, Value(std::move(value))); }
    void setBytes(const std::string& key, Bytes value) { set(key, Value(std::move(value))); }
    void setDate(const std::string& key, Date value) { set(key, Value(value)); }
    void remove(const std::string& key);

    sigc::signal<void(const std::string&)>& signalChanged() { return m_changed; }

    // Emitted with the reason when writing the file fails after it last worked (or for the
    // first time), not again for each failing change: the user is told once. The values stay
    // in memory for the rest of the run.
    sigc::signal<void(const std::string&)>& signalSaveFailed() { return m_saveFailed; }
    bool isSaveFailing() const { return m_saveFailing; }

private:
    void load();
    void save();
    void keepAside();
    void saveFailed(const std::string& reason);

    std::string m_path;
    std::map<std::string, Value> m_values;
    // Entries kept as read (compact JSON text), by key; never also in m_values.
    std::map<std::string, std::string> m_undecoded;
    bool m_saveFailing = false;
    // The file could not be read nor copied aside.
    bool m_protected = false;
    sigc::signal<void(const std::string&)> m_changed;
    sigc::signal<void(const std::string&)> m_saveFailed;
};

} // namespace kovi
