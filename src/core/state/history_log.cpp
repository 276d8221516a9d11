#include "core/state/history_log.h"

#include "core/state/storage_folder.h"
#include "core/support/json_coding.h"

#include <glib.h>

#include <cmath>
#include <iostream>
#include <unordered_set>
#include <utility>

namespace kovi {

namespace {

// A calendar day in the local time zone.
struct LocalDay {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const LocalDay&) const = default;
};

GDateTime* localDateTime(Date date)
{
    double seconds = std::floor(date.unixSeconds());
    if (!std::isfinite(seconds) || seconds < -6.2e10 || seconds > 2.5e11)
        return nullptr;
    return g_date_time_new_from_unix_local(static_cast<gint64>(seconds));
}

std::optional<LocalDay> localDay(GDateTime* time)
{
    if (!time)
        return std::nullopt;
    return LocalDay{g_date_time_get_year(time), g_date_time_get_month(time), g_date_time_get_day_of_month(time)};
}

std::optional<LocalDay> localDay(Date date)
{
    GDateTime* time = localDateTime(date);
    auto day = localDay(time);
    if (time)
        g_date_time_unref(time);
    return day;
}

// Yesterday's calendar day, and the instant it began.
struct Yesterday {
    LocalDay day;
    Date start;
};

std::optional<Yesterday> yesterdayFromNow()
{
    GDateTime* now = localDateTime(Date::now());
    if (!now)
        return std::nullopt;
    GDateTime* before = g_date_time_add_days(now, -1);
    g_date_time_unref(now);
    if (!before)
        return std::nullopt;
    LocalDay day = *localDay(before);
    g_date_time_unref(before);
    GDateTime* midnight = g_date_time_new_local(day.year, day.month, day.day, 0, 0, 0);
    if (!midnight)
        return std::nullopt;
    Date start = Date::fromUnix(static_cast<double>(g_date_time_to_unix(midnight)));
    g_date_time_unref(midnight);
    return Yesterday{day, start};
}

template <class Keep>
std::vector<HistoryItem> select(const std::vector<HistoryItem>& items, const std::optional<Uuid>& spaceId, Keep keep)
{
    std::vector<HistoryItem> selected;
    for (const HistoryItem& item : items) {
        if (item.spaceId == spaceId && keep(item))
            selected.push_back(item);
    }
    return selected;
}

} // namespace

HistoryLog::HistoryLog(StorageFolder& folder)
    : m_folder(folder)
{
}

bool HistoryLog::set(std::vector<HistoryItem> items)
{
    if (items == m_items)
        return false;
    // Forget the encoded text of every visit whose first record under its id changes.
    std::unordered_map<Uuid, const HistoryItem*> previous;
    for (const HistoryItem& item : m_items)
        previous.try_emplace(item.id, &item);
    std::unordered_set<Uuid> seen;
    for (const HistoryItem& item : items) {
        if (!seen.insert(item.id).second)
            continue;
        auto old = previous.find(item.id);
        if (old == previous.end() || !(*old->second == item))
            m_encoded.erase(item.id);
    }
    m_items = std::move(items);
    return true;
}

bool HistoryLog::record(const Tab& tab, const std::optional<Uuid>& shownSpaceId)
{
    if (tab.url.string().empty())
        return false;
    for (const HistoryItem& item : m_items) {
        if (item.spaceId == shownSpaceId) {
            if (item.url == tab.url)
                return false; // the page last recorded in this space
            break;
        }
    }
    HistoryItem item{
        .id = Uuid::random(),
        .url = tab.url,
        .title = tab.title,
        .visitedAt = Date::now(),
        .favicon = tab.favicon,
        .spaceId = tab.spaceId ? tab.spaceId : shownSpaceId,
    };
    m_items.insert(m_items.begin(), std::move(item));
    if (m_items.size() > maxEntries)
        m_items.resize(maxEntries, m_items.front());
    return true;
}

bool HistoryLog::remove(const Uuid& id)
{
    return std::erase_if(m_items, [&](const HistoryItem& item) { return item.id == id; }) > 0;
}

bool HistoryLog::clear(const std::optional<Uuid>& spaceId)
{
    return std::erase_if(m_items, [&](const HistoryItem& item) { return item.spaceId == spaceId; }) > 0;
}

std::vector<HistoryItem> HistoryLog::forSpace(const std::optional<Uuid>& spaceId) const
{
    return select(m_items, spaceId, [](const HistoryItem&) { return true; });
}

std::vector<HistoryItem> HistoryLog::forDate(const std::optional<Uuid>& spaceId, Date date) const
{
    auto day = localDay(date);
    if (!day)
        return {};
    return select(m_items, spaceId, [&](const HistoryItem& item) { return localDay(item.visitedAt) == day; });
}

std::vector<HistoryItem> HistoryLog::yesterday(const std::optional<Uuid>& spaceId) const
{
    auto before = yesterdayFromNow();
    if (!before)
        return {};
    return select(m_items, spaceId, [&](const HistoryItem& item) { return localDay(item.visitedAt) == before->day; });
}

std::vector<HistoryItem> HistoryLog::older(const std::optional<Uuid>& spaceId) const
{
    auto before = yesterdayFromNow();
    if (!before)
        return {};
    return select(m_items, spaceId, [&](const HistoryItem& item) { return item.visitedAt < before->start; });
}

void HistoryLog::load(const std::optional<Uuid>& currentSpaceId)
{
    auto stored = m_folder.read(fileName, [](const Json& value) {
        return json::arrayFromJson<HistoryItem>(value, "history");
    });
    if (!stored)
        return;
    if (currentSpaceId) {
        for (HistoryItem& item : *stored) {
            if (!item.spaceId)
                item.spaceId = currentSpaceId;
        }
    }
    // Loaded records are new: no text encoded before may be reused.
    m_encoded.clear();
    m_items = std::move(*stored);
}

void HistoryLog::encode()
{
    std::string& text = m_text;
    text.clear();
    std::size_t size = 2;
    for (const HistoryItem& item : m_items) {
        auto cached = m_encoded.find(item.id);
        size += cached == m_encoded.end() ? 256 : cached->second.size() + 1;
    }
    text.reserve(size);
    text += '[';
    std::unordered_set<Uuid> present;
    for (const HistoryItem& item : m_items) {
        if (text.size() > 1)
            text += ',';
        if (!present.insert(item.id).second) {
            text += json::dump(toJson(item)); // a repeated id: its text is not the cached one
            continue;
        }
        auto cached = m_encoded.find(item.id);
        if (cached == m_encoded.end())
            cached = m_encoded.emplace(item.id, json::dump(toJson(item))).first;
        text += cached->second;
    }
    text += ']';
    if (m_encoded.size() > present.size())
        std::erase_if(m_encoded, [&](const auto& entry) { return !present.count(entry.first); });
}

bool HistoryLog::write()
{
    const char* failure = "Failed to save history: ";
    try {
        encode();
    } catch (const std::exception& error) {
        std::cout << failure << error.what() << std::endl;
        return false;
    }
    return m_folder.write(fileName, m_text, failure);
}

} // namespace kovi
