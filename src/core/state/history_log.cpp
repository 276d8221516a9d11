#include "core/state/history_log.h"

#include "core/state/storage_folder.h"
#include "core/support/json_coding.h"
#include "core/support/text.h"

#include <glib.h>

#include <cmath>
#include <iostream>
#include <unordered_set>
#include <utility>

namespace kovi {

namespace {

// The local calendar day around a moment, as the half-open span [start, end). Visits are then
// compared by time alone: converting every visit to a local date reloads the time zone each
// time, which made a 1,000-visit history take a third of a second per query.
struct LocalDaySpan {
    Date start;
    Date end;
    bool contains(Date date) const { return start <= date && date < end; }
};

// One web address written two ways: as typed ("https://Example.com") and as the page commits
// it ("https://example.com/"). A visit recorded when the tab was shown is the same visit as the
// commit of its load.
bool sameAddress(const Url& a, const Url& b)
{
    if (a == b)
        return true;
    if (!a.isHttpOrHttps() || !b.isHttpOrHttps())
        return false;
    auto path = [](const Url& u) { return u.path().empty() ? std::string_view("/") : u.path(); };
    return a.schemeLowercased() == b.schemeLowercased() && text::lowercased(a.rawHost()) == text::lowercased(b.rawHost())
        && a.port() == b.port() && a.user() == b.user() && a.password() == b.password() && path(a) == path(b)
        && a.query() == b.query() && a.fragment() == b.fragment();
}

Date unixDate(GDateTime* time)
{
    return Date::fromUnix(static_cast<double>(g_date_time_to_unix(time)));
}

// The day `daysFromDate` calendar days after the local day of `date` (negative: before).
std::optional<LocalDaySpan> localDaySpan(Date date, int daysFromDate = 0)
{
    const double seconds = std::floor(date.unixSeconds());
    if (!std::isfinite(seconds) || seconds < -6.2e10 || seconds > 2.5e11)
        return std::nullopt;
    GDateTime* moment = g_date_time_new_from_unix_local(static_cast<gint64>(seconds));
    if (!moment)
        return std::nullopt;
    GDateTime* shifted = g_date_time_add_days(moment, daysFromDate);
    g_date_time_unref(moment);
    if (!shifted)
        return std::nullopt;
    GTimeZone* zone = g_time_zone_new_local();
    GDateTime* start = g_date_time_new(zone, g_date_time_get_year(shifted), g_date_time_get_month(shifted),
                                       g_date_time_get_day_of_month(shifted), 0, 0, 0);
    g_date_time_unref(shifted);
    GDateTime* next = start ? g_date_time_add_days(start, 1) : nullptr;
    GDateTime* end = next ? g_date_time_new(zone, g_date_time_get_year(next), g_date_time_get_month(next),
                                            g_date_time_get_day_of_month(next), 0, 0, 0)
                          : nullptr;
    g_time_zone_unref(zone);
    std::optional<LocalDaySpan> span;
    if (start && end)
        span = LocalDaySpan{unixDate(start), unixDate(end)};
    for (GDateTime* time : {start, next, end}) {
        if (time)
            g_date_time_unref(time);
    }
    return span;
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

const HistoryItem* HistoryLog::newestIn(const std::optional<Uuid>& spaceId) const
{
    for (const HistoryItem& item : m_items) {
        if (item.spaceId == spaceId)
            return &item;
    }
    return nullptr;
}

HistoryItem* HistoryLog::tabVisit(const Uuid& tabId)
{
    auto visit = m_tabVisits.find(tabId);
    if (visit == m_tabVisits.end())
        return nullptr;
    for (HistoryItem& item : m_items) {
        if (item.id == visit->second)
            return &item;
    }
    return nullptr;
}

HistoryItem* HistoryLog::currentVisit(const Tab& tab)
{
    HistoryItem* visit = tabVisit(tab.id);
    return visit && visit->url == tab.url ? visit : nullptr;
}

void HistoryLog::insert(HistoryItem item, const Uuid& tabId)
{
    m_tabVisits.insert_or_assign(tabId, item.id);
    m_items.insert(m_items.begin(), std::move(item));
    if (m_items.size() > maxEntries)
        m_items.resize(maxEntries, m_items.front());
}

void HistoryLog::edited(const HistoryItem& item)
{
    m_encoded.erase(item.id);
    m_unsaved = true;
}

bool HistoryLog::record(const Tab& tab, const std::optional<Uuid>& shownSpaceId)
{
    if (tab.url.string().empty())
        return false;
    if (const HistoryItem* newest = newestIn(shownSpaceId); newest && newest->url == tab.url) {
        // The page last recorded in this space; it stands for this tab's page from now on.
        m_tabVisits.insert_or_assign(tab.id, newest->id);
        return false;
    }
    insert(HistoryItem{
               .id = Uuid::random(),
               .url = tab.url,
               .title = tab.title,
               .visitedAt = Date::now(),
               .favicon = tab.favicon,
               .spaceId = tab.spaceId ? tab.spaceId : shownSpaceId,
           },
           tab.id);
    return true;
}

bool HistoryLog::recordNavigation(const Tab& tab, const std::optional<Uuid>& shownSpaceId)
{
    if (tab.url.string().empty() || currentVisit(tab))
        return false;
    if (HistoryItem* visit = tabVisit(tab.id); visit && sameAddress(visit->url, tab.url)) {
        visit->url = tab.url; // the address as the page has it
        edited(*visit);
        return true;
    }
    const std::optional<Uuid> spaceId = tab.spaceId ? tab.spaceId : shownSpaceId;
    if (const HistoryItem* newest = newestIn(spaceId); newest && newest->url == tab.url) {
        m_tabVisits.insert_or_assign(tab.id, newest->id);
        return false;
    }
    // The tab's title and icon are still the previous page's at this point.
    insert(HistoryItem{
               .id = Uuid::random(),
               .url = tab.url,
               .title = Tab::defaultTitle(tab.url),
               .visitedAt = Date::now(),
               .favicon = std::nullopt,
               .spaceId = spaceId,
           },
           tab.id);
    return true;
}

bool HistoryLog::followTitle(const Tab& tab)
{
    HistoryItem* visit = currentVisit(tab);
    if (!visit || visit->title == tab.title)
        return false;
    visit->title = tab.title;
    edited(*visit);
    return true;
}

bool HistoryLog::followFavicon(const Tab& tab)
{
    HistoryItem* visit = currentVisit(tab);
    if (!visit || visit->favicon == tab.favicon)
        return false;
    visit->favicon = tab.favicon;
    edited(*visit);
    return true;
}

void HistoryLog::forgetTab(const Uuid& tabId)
{
    m_tabVisits.erase(tabId);
}

bool HistoryLog::removeTabVisit(const Uuid& tabId)
{
    const HistoryItem* visit = tabVisit(tabId);
    if (!visit)
        return false;
    const Uuid id = visit->id;
    m_tabVisits.erase(tabId);
    return remove(id);
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
    auto day = localDaySpan(date);
    if (!day)
        return {};
    return select(m_items, spaceId, [&](const HistoryItem& item) { return day->contains(item.visitedAt); });
}

std::vector<HistoryItem> HistoryLog::yesterday(const std::optional<Uuid>& spaceId) const
{
    auto day = localDaySpan(Date::now(), -1);
    if (!day)
        return {};
    return select(m_items, spaceId, [&](const HistoryItem& item) { return day->contains(item.visitedAt); });
}

std::vector<HistoryItem> HistoryLog::older(const std::optional<Uuid>& spaceId) const
{
    // Everything before yesterday began, so Today, Yesterday and Older cover every visit.
    auto day = localDaySpan(Date::now(), -1);
    if (!day)
        return {};
    return select(m_items, spaceId, [&](const HistoryItem& item) { return item.visitedAt < day->start; });
}

void HistoryLog::load(const std::optional<Uuid>& currentSpaceId)
{
    // The file is newest first and only the first maxEntries visits are ever kept, so no more of
    // it is read: a long file written elsewhere costs no more than a full one.
    auto stored = m_folder.readArrayHead(fileName, maxEntries, [](const Json& value) {
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
    m_unsaved = false; // from here a failed write is kept and tried again by the folder
    return m_folder.write(fileName, m_text, failure);
}

} // namespace kovi
