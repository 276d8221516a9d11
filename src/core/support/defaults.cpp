#include "core/support/defaults.h"

#include "core/support/files.h"
#include "core/support/json_coding.h"
#include "core/support/storage_paths.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

namespace kovi {

namespace {

constexpr std::size_t maxFileBytes = 16 * 1024 * 1024;

std::optional<Defaults::Value> decodeEntry(const Json& entry)
{
    if (!entry.is_object())
        return std::nullopt;
    auto type = entry.find("type");
    auto value = entry.find("value");
    if (type == entry.end() || value == entry.end() || !type->is_string())
        return std::nullopt;
    const std::string kind = type->get<std::string>();
    if (kind == "bool" && value->is_boolean())
        return Defaults::Value(value->get<bool>());
    if (kind == "number" && value->is_number())
        return Defaults::Value(value->get<double>());
    if (kind == "string" && value->is_string())
        return Defaults::Value(value->get<std::string>());
    if (kind == "bytes" && value->is_string()) {
        if (auto bytes = json::base64Decode(value->get<std::string>()))
            return Defaults::Value(std::move(*bytes));
        return std::nullopt;
    }
    if (kind == "date" && value->is_number())
        return Defaults::Value(Date(value->get<double>()));
    return std::nullopt;
}

Json encodeEntry(const Defaults::Value& value)
{
    Json entry = Json::object();
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                entry["type"] = "bool";
                entry["value"] = v;
            } else if constexpr (std::is_same_v<T, double>) {
                entry["type"] = "number";
                entry["value"] = std::isfinite(v) ? json::number(v) : Json(0);
            } else if constexpr (std::is_same_v<T, std::string>) {
                entry["type"] = "string";
                entry["value"] = v;
            } else if constexpr (std::is_same_v<T, Defaults::Bytes>) {
                entry["type"] = "bytes";
                entry["value"] = json::base64Encode(v);
            } else {
                entry["type"] = "date";
                entry["value"] = std::isfinite(v.secondsSince2001()) ? json::date(v) : Json(0);
            }
        },
        value);
    return entry;
}

std::string lowercaseAscii(std::string s)
{
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

Defaults::Defaults(std::string filePath)
    : m_path(std::move(filePath))
{
    load();
}

std::string Defaults::defaultFilePath()
{
    return files::join(paths::configDirectory(), "defaults.json");
}

void Defaults::load()
{
    if (m_path.empty())
        return;
    auto data = files::readBounded(m_path, maxFileBytes);
    if (!data) {
        if (data.error().code != ErrorCode::NotFound) {
            std::cout << "Could not read the settings: " << data.error().message << std::endl;
            keepAside();
        }
        return;
    }
    try {
        Json root = json::parse(*data);
        if (!root.is_object())
            throw DecodeError("The settings file is not an object.");
        for (auto it = root.begin(); it != root.end(); ++it) {
            if (auto value = decodeEntry(it.value()))
                m_values[it.key()] = std::move(*value);
            else
                m_undecoded[it.key()] = json::dump(it.value());
        }
    } catch (const DecodeError& error) {
        std::cout << "Could not read the settings: " << error.what() << std::endl;
        m_values.clear();
        m_undecoded.clear();
        keepAside();
    }
}

void Defaults::keepAside()
{
    // Without a copy, the unreadable file is all that is left of the user's settings.
    m_protected = !files::keepAside(m_path);
}

void Defaults::saveFailed(const std::string& reason)
{
    std::cout << "Failed to save settings: " << reason << std::endl;
    if (!m_saveFailing) {
        m_saveFailing = true;
        m_saveFailed.emit(reason);
    }
}

void Defaults::save()
{
    if (m_path.empty())
        return;
    if (m_protected) {
        saveFailed("The unreadable file " + m_path + " could not be kept aside, so it is not replaced");
        return;
    }
    // Written as text, keys in order: one entry at a time into an ordered JSON object would
    // search all earlier keys for each.
    std::string text = "{";
    auto append = [&](const std::string& key, const std::string& entry) {
        if (text.size() > 1)
            text += ',';
        text += json::dump(Json(key));
        text += ':';
        text += entry;
    };
    auto known = m_values.begin();
    auto kept = m_undecoded.begin();
    while (known != m_values.end() || kept != m_undecoded.end()) {
        if (kept == m_undecoded.end() || (known != m_values.end() && known->first < kept->first)) {
            append(known->first, json::dump(encodeEntry(known->second)));
            ++known;
        } else {
            append(kept->first, kept->second);
            ++kept;
        }
    }
    text += '}';
    auto written = files::writeAtomically(m_path, text, 0600);
    if (written) {
        m_saveFailing = false;
        return;
    }
    saveFailed(written.error().message);
}

bool Defaults::contains(const std::string& key) const
{
    return m_values.count(key) != 0;
}

std::optional<Defaults::Value> Defaults::object(const std::string& key) const
{
    auto it = m_values.find(key);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

template <class T>
static std::optional<T> typed(const std::map<std::string, Defaults::Value>& values, const std::string& key)
{
    auto it = values.find(key);
    if (it == values.end())
        return std::nullopt;
    if (const T* v = std::get_if<T>(&it->second))
        return *v;
    return std::nullopt;
}

std::optional<bool> Defaults::boolValue(const std::string& key) const { return typed<bool>(m_values, key); }
std::optional<double> Defaults::numberValue(const std::string& key) const { return typed<double>(m_values, key); }
std::optional<std::string> Defaults::stringValue(const std::string& key) const { return typed<std::string>(m_values, key); }
std::optional<Defaults::Bytes> Defaults::bytesValue(const std::string& key) const { return typed<Bytes>(m_values, key); }
std::optional<Date> Defaults::dateValue(const std::string& key) const { return typed<Date>(m_values, key); }

bool Defaults::boolForKey(const std::string& key) const
{
    auto it = m_values.find(key);
    if (it == m_values.end())
        return false;
    if (const bool* b = std::get_if<bool>(&it->second))
        return *b;
    if (const double* d = std::get_if<double>(&it->second))
        return *d != 0;
    if (const std::string* s = std::get_if<std::string>(&it->second)) {
        std::string lower = lowercaseAscii(*s);
        return lower == "true" || lower == "yes" || lower == "1";
    }
    return false;
}

double Defaults::doubleForKey(const std::string& key) const
{
    auto it = m_values.find(key);
    if (it == m_values.end())
        return 0;
    if (const double* d = std::get_if<double>(&it->second))
        return *d;
    if (const bool* b = std::get_if<bool>(&it->second))
        return *b ? 1 : 0;
    if (const std::string* s = std::get_if<std::string>(&it->second)) {
        char* end = nullptr;
        double v = std::strtod(s->c_str(), &end);
        return end && end != s->c_str() ? v : 0;
    }
    return 0;
}

void Defaults::set(const std::string& key, Value value)
{
    m_undecoded.erase(key);
    m_values[key] = std::move(value);
    save();
    m_changed.emit(key);
}

void Defaults::remove(const std::string& key)
{
    m_values.erase(key);
    m_undecoded.erase(key);
    save();
    m_changed.emit(key);
}

} // namespace kovi
