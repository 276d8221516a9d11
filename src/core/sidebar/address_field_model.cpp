#include "core/sidebar/address_field_model.h"

#include "core/support/text.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace kovi {

AddressFieldModel::AddressFieldModel(AddressFieldHost& host, DelayedTask& debounce, DelayedTask& hop)
    : m_host(host), m_debounce(debounce), m_hop(hop)
{
}

AddressFieldModel::~AddressFieldModel()
{
    *m_alive = false;
    m_debounce.cancel();
    m_hop.cancel();
}

std::string AddressFieldModel::activeURLText() const
{
    auto tab = m_host.activeTab();
    return tab ? tab->url.string() : std::string();
}

void AddressFieldModel::replaceText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    textChanged.emit();
}

void AddressFieldModel::sidebarShown()
{
    if (m_host.activeTab())
        replaceText(activeURLText());
    updateSuggestions(m_text, OmniboxEventType::focus, true);
}

void AddressFieldModel::activeTabChanged()
{
    if (!m_isEditing)
        replaceText(activeURLText());
}

void AddressFieldModel::setEditing(bool editing)
{
    if (editing == m_isEditing)
        return;
    m_isEditing = editing;
    if (editing) {
        editingChanged.emit();
        updateSuggestions(m_text, OmniboxEventType::focus, true);
        return;
    }
    // Leaving: drop the list and everything still on its way to it.
    ++m_session;
    m_debounce.cancel();
    m_hop.cancel();
    m_host.cancelSuggestionSearch();
    m_suggestions.clear();
    m_selectedIndex = 0;
    editingChanged.emit();
    suggestionsChanged.emit();
}

void AddressFieldModel::beginEditing()
{
    if (!m_isEditing)
        replaceText(activeURLText());
    const bool gainsFocus = !m_isFocused;
    m_isFocused = true;
    m_host.setInteractionLocked(true);
    if (gainsFocus)
        m_host.setSidebarVisible(true);
    setEditing(true);
    selectAllRequested.emit();
}

void AddressFieldModel::cancelEditing()
{
    m_isFocused = false;
    m_host.setInteractionLocked(false);
    setEditing(false);
    replaceText(activeURLText());
}

void AddressFieldModel::setText(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (!m_isEditing)
        return;
    if (m_selectedIndex != 0) {
        m_selectedIndex = 0;
        suggestionsChanged.emit();
    }
    updateSuggestions(m_text, OmniboxEventType::keystroke, false);
}

void AddressFieldModel::updateSuggestions(const std::string& text, OmniboxEventType eventType, bool immediate)
{
    m_debounce.cancel();
    std::weak_ptr<bool> alive = m_alive;
    auto work = [this, alive, text, eventType] {
        if (alive.expired())
            return;
        const unsigned session = m_session;
        OmniboxInput input{text::trimWhitespaceAndNewlines(text), eventType};
        m_host.requestSuggestions(input, [this, alive, session, text](std::vector<OmniboxMatch> matches) {
            if (alive.expired())
                return;
            // Never change the list in the middle of the engine's call.
            m_hop.start(0, [this, alive, session, text, matches = std::move(matches)]() mutable {
                if (alive.expired() || session != m_session)
                    return;
                m_suggestions = std::move(matches);
                m_suggestionsText = text;
                const int last = std::max(0, static_cast<int>(m_suggestions.size()) - 1);
                m_selectedIndex = std::min(m_selectedIndex, last);
                suggestionsChanged.emit();
            });
        });
    };
    if (immediate)
        work();
    else
        m_debounce.start(debounceSeconds, std::move(work));
}

bool AddressFieldModel::handleKey(Key key)
{
    switch (key) {
    case Key::up:
        if (!showSuggestions())
            return false;
        m_selectedIndex = std::max(m_selectedIndex - 1, 0);
        suggestionsChanged.emit();
        return true;
    case Key::down:
        if (!showSuggestions())
            return false;
        m_selectedIndex = std::min(m_selectedIndex + 1, static_cast<int>(m_suggestions.size()) - 1);
        suggestionsChanged.emit();
        return true;
    case Key::escape:
        if (!m_isEditing)
            return false;
        cancelEditing();
        return true;
    }
    return false;
}

void AddressFieldModel::submit()
{
    // The list may still answer older text (the typing outran it): then what was typed is meant,
    // unless the user picked a row of that list with the arrows.
    const bool listIsCurrent = m_suggestionsText == m_text || m_selectedIndex > 0;
    if (showSuggestions() && listIsCurrent && m_selectedIndex < static_cast<int>(m_suggestions.size())) {
        executeSuggestion(OmniboxMatch(m_suggestions[static_cast<std::size_t>(m_selectedIndex)]));
        return;
    }
    navigateToURL();
}

void AddressFieldModel::executeSuggestion(const OmniboxMatch& chosen)
{
    const OmniboxMatch match = chosen; // the list is emptied below
    std::visit(
        [this](const auto& action) {
            using A = std::decay_t<decltype(action)>;
            if constexpr (std::is_same_v<A, OpenURLAction>)
                navigateCurrentTab(action.url);
            else if constexpr (std::is_same_v<A, SwitchToTabAction>)
                m_host.setActiveTabId(action.tabId);
            else if constexpr (std::is_same_v<A, SearchAction>)
                navigateCurrentTab(m_parser.searchURL(action.text));
        },
        match.action);
    cancelEditing();
}

void AddressFieldModel::focusChanged(bool focused)
{
    if (focused == m_isFocused)
        return;
    m_isFocused = focused;
    if (focused) {
        m_host.setSidebarVisible(true);
        m_host.setInteractionLocked(true);
        return;
    }
    if (m_isEditing) {
        cancelEditing();
        m_host.setInteractionLocked(false);
    }
}

void AddressFieldModel::navigateToURL()
{
    m_isFocused = false;
    m_host.setInteractionLocked(false);
    setEditing(false);
    const std::string typed = text::trimWhitespaceAndNewlines(m_text);
    if (typed.empty())
        return;
    auto url = m_parser.parseURL(typed);
    navigateCurrentTab(url ? *url : m_parser.searchURL(typed));
}

void AddressFieldModel::navigateCurrentTab(const Url& url)
{
    if (auto tab = m_host.activeTab()) {
        m_host.updateTabURL(tab->id, url);
        m_host.postNavigate(tab->id, url);
        return;
    }
    m_host.addTab(Tab(Uuid::random(), url, std::nullopt, false, false, m_host.currentSpaceId(), std::nullopt));
}

} // namespace kovi
