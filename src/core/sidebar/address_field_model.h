#pragma once

#include "core/commandbar/omnibox_match.h"
#include "core/commandbar/url_parser.h"
#include "core/model/tab.h"
#include "core/support/delayed_task.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <sigc++/signal.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kovi {

// What the address field needs of the rest of the browser; the application's implementation
// forwards to the browser state, the notification centre and the suggestion engine.
class AddressFieldHost {
public:
    using Deliver = std::function<void(std::vector<OmniboxMatch>)>;

    virtual ~AddressFieldHost() = default;
    virtual std::optional<Tab> activeTab() const = 0;
    virtual std::optional<Uuid> currentSpaceId() const = 0;
    virtual void setActiveTabId(const Uuid& tabId) = 0;
    virtual void updateTabURL(const Uuid& tabId, const Url& url) = 0;
    virtual void addTab(Tab tab) = 0;
    // Posts webViewNavigate for the tab with "url".
    virtual void postNavigate(const Uuid& tabId, const Url& url) = 0;
    // Asks the suggestion engine; `deliver` runs at once with the local list, maybe again later.
    virtual void requestSuggestions(const OmniboxInput& input, Deliver deliver) = 0;
    virtual void cancelSuggestionSearch() = 0;
    // The main window's sidebar bindings.
    virtual void setSidebarVisible(bool visible) = 0;
    virtual void setInteractionLocked(bool locked) = 0;
};

// The sidebar's address field: collapsed bar or editing panel, the typed text, the suggestion
// list and its selection. The view mirrors it and forwards the user's input. Main thread only.
class AddressFieldModel {
public:
    static constexpr double debounceSeconds = 0.06;

    enum class Key { up, down, escape };

    // `debounce` delays typed text on its way to the engine; `hop` moves each delivery onto the
    // next turn of the loop. Host and tasks must outlive the model.
    AddressFieldModel(AddressFieldHost& host, DelayedTask& debounce, DelayedTask& hop);
    ~AddressFieldModel();

    bool isEditing() const { return m_isEditing; }
    bool isFocused() const { return m_isFocused; }
    const std::string& text() const { return m_text; }
    const std::vector<OmniboxMatch>& suggestions() const { return m_suggestions; }
    int selectedIndex() const { return m_selectedIndex; }
    bool showSuggestions() const { return m_isEditing && !m_suggestions.empty(); }

    // The sidebar appeared.
    void sidebarShown();
    // The browser's active tab changed.
    void activeTabChanged();

    void beginEditing();
    void cancelEditing();
    // The user changed the field's text.
    void setText(const std::string& text);
    // Return in the field.
    void submit();
    // A click on a suggestion row, or Return on the selected one.
    void executeSuggestion(const OmniboxMatch& match);
    // Whether the sidebar consumed the key.
    bool handleKey(Key key);
    // The field gained or lost keyboard focus.
    void focusChanged(bool focused);
    // Opens the typed text as an address, else as a web search.
    void navigateToURL();
    void navigateCurrentTab(const Url& url);

    sigc::signal<void()> editingChanged;     // isEditing flipped (also focus requests)
    sigc::signal<void()> textChanged;        // the model replaced the text
    sigc::signal<void()> suggestionsChanged; // list or selection
    sigc::signal<void()> selectAllRequested; // editing began: select the whole text

private:
    void setEditing(bool editing);
    void updateSuggestions(const std::string& text, OmniboxEventType eventType, bool immediate);
    void replaceText(std::string text);
    std::string activeURLText() const;

    AddressFieldHost& m_host;
    DelayedTask& m_debounce;
    DelayedTask& m_hop;
    const URLParser m_parser{};

    bool m_isEditing = false;
    bool m_isFocused = false;
    std::string m_text;
    std::vector<OmniboxMatch> m_suggestions;
    std::string m_suggestionsText; // the text m_suggestions answer
    int m_selectedIndex = 0;
    // Raised whenever editing ends, so deliveries of an earlier session are dropped even when
    // the engine's request cannot be stopped in time.
    unsigned m_session = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace kovi
