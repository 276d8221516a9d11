#include "core/settings/preferences.h"

namespace kovi {

Preferences::Preferences(Defaults& store)
    : m_store(store)
{
    m_connections.add(m_store.signalChanged().connect([this](const std::string& name) { storeChanged(name); }));
}

bool Preferences::get(const BoolKey& key) const
{
    const std::string name(key.name);
    if (key.reading == BoolReading::lenient)
        return m_store.contains(name) ? m_store.boolForKey(name) : key.defaultValue;
    return m_store.boolValue(name).value_or(key.defaultValue);
}

double Preferences::get(const NumberKey& key) const
{
    return m_store.numberValue(std::string(key.name)).value_or(key.defaultValue);
}

std::string Preferences::get(const StringKey& key) const
{
    if (auto stored = m_store.stringValue(std::string(key.name)))
        return std::move(*stored);
    return std::string(key.defaultValue);
}

Date Preferences::get(const DateKey& key) const
{
    return m_store.dateValue(std::string(key.name)).value_or(key.defaultValue);
}

std::optional<Defaults::Bytes> Preferences::get(const BytesKey& key) const
{
    return m_store.bytesValue(std::string(key.name));
}

void Preferences::set(const BoolKey& key, bool value)
{
    m_store.setBool(std::string(key.name), value);
}

void Preferences::set(const NumberKey& key, double value)
{
    m_store.setNumber(std::string(key.name), value);
}

void Preferences::set(const StringKey& key, std::string value)
{
    m_store.setString(std::string(key.name), std::move(value));
}

void Preferences::set(const DateKey& key, Date value)
{
    m_store.setDate(std::string(key.name), value);
}

void Preferences::set(const BytesKey& key, Defaults::Bytes value)
{
    m_store.setBytes(std::string(key.name), std::move(value));
}

void Preferences::remove(const PreferenceKey& key)
{
    m_store.remove(std::string(key.name));
}

sigc::signal<void()>& Preferences::changed(const PreferenceKey& key)
{
    auto it = m_changed.find(key.name);
    if (it == m_changed.end())
        it = m_changed.emplace(std::string(key.name), sigc::signal<void()>()).first;
    return it->second;
}

void Preferences::storeChanged(const std::string& name)
{
    // Signals live as long as this object, so a slot that asks for another key's signal (and so
    // adds one to the map) leaves this one intact.
    auto it = m_changed.find(name);
    if (it != m_changed.end())
        it->second.emit();
}

} // namespace kovi
