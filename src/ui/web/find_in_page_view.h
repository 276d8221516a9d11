#pragma once

#include "core/support/scoped_connections.h"
#include "core/support/uuid.h"
#include "core/web/find_counter.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>

#include <optional>
#include <string>

namespace kovi {

class WebContent;

// The floating find bar: a search field with a "current/total" counter, previous and next
// buttons and a close button (Escape). It searches nothing itself: each edit posts findInPage
// for the active tab, Return and the arrows post findInPageNext / findInPagePrevious, and the
// total is the engine's count of the field's text reported back for the active tab. Steps taken
// before that count arrives are posted when it does, so they move through the field's text.
// The field's text is searched again when another tab becomes active or the active tab's page
// is replaced, so the count is always of the page shown. Built fresh each time it is shown.
// Main thread only.
class FindInPageView : public Gtk::Box {
public:
    explicit FindInPageView(WebContent& web);

    std::string searchText() const { return m_field.get_text(); }
    int currentMatch() const { return m_counter.current(); }
    int totalMatches() const { return m_counter.total(); }
    std::string counterText() const { return m_counterLabel.get_text(); }
    bool isCounterShown() const { return m_counterLabel.get_visible(); }
    bool canStep() const { return m_next.get_sensitive(); }
    Gtk::Entry& field() { return m_field; }

    void findNext();
    void findPrevious();
    void close();

private:
    void textChanged();
    void performSearch(const std::string& text);
    // The count shown is of another page: the field's text is searched on the active tab's.
    void searchAgain();
    void matchesCounted(const Uuid& tabId, const std::string& text, int count);
    // Forward (+1) or back (-1) through the matches.
    void step(int direction);
    void refreshCounter();

    WebContent& m_web;
    FindCounter m_counter;
    // The tab whose count of the field's text has not come yet, and the steps taken meanwhile.
    std::optional<Uuid> m_countAwaitedFrom;
    int m_stepsAwaitingCount = 0;
    Gtk::Box m_fieldGroup;
    Gtk::Entry m_field;
    Gtk::Label m_counterLabel;
    Gtk::Box m_steps;
    Gtk::Button m_previous;
    Gtk::Button m_next;
    Gtk::Button m_close;
    ScopedConnections m_connections;
};

} // namespace kovi
