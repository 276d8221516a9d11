#pragma once

#include "core/commandbar/command_bar_panel_model.h"
#include "core/support/scoped_connections.h"
#include "ui/design/motion.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>
#include <gtkmm/widget.h>

#include <memory>
#include <optional>
#include <vector>

namespace kovi {

struct AppContext;
class BrowserLibrary;
class BrowserState;
class CommandBarResultRow;

// The command bar overlay: a scrim over the whole area it is given (a click on it closes the
// bar) and the card hanging near the top, with the search field, the result rows and the key
// hints. The host builds one while BrowserState::isCommandBarVisible() is true and drops it when
// the flag clears; everything the bar decides lives in CommandBarPanelModel.
//
// The card is laid out by this widget itself, so its width, its gap from the top and the list's
// height follow every change of the area's size.
class CommandBarView : public Gtk::Widget {
public:
    CommandBarView(BrowserState& state, BrowserLibrary& library);
    ~CommandBarView() override;

    CommandBarPanelModel& model() { return *m_model; }

    // ---- Inspection, for tests ----
    Gtk::Widget& scrim() { return m_scrim; }
    Gtk::Widget& card() { return m_card; }
    Gtk::Entry& searchField() { return m_field; }
    Gtk::Button& clearButton() { return m_clear; }
    Gtk::ScrolledWindow& list() { return m_scroller; }
    Gtk::Widget& emptyState() { return m_empty; }
    std::vector<CommandBarResultRow*> rows() const;
    std::string footerActionText() const { return m_footerAction.get_text(); }
    int listHeight() const { return m_listHeight; }
    double cardScale() const { return m_cardScale; }

protected:
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;

private:
    void buildCard();
    void releaseChildren();
    void onAppear();
    void onVisibilityChanged();
    bool onKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);
    void onFieldChanged();
    void refresh();
    void refreshRows();
    void applyListHeight();
    void scrollToSelection(bool animated);
    void runRow(std::size_t index);

    BrowserState& m_state;
    std::unique_ptr<CommandBarPanelModel> m_model;

    Gtk::Box m_scrim;
    Gtk::Box m_card{Gtk::Orientation::VERTICAL};
    Gtk::Box m_searchRow{Gtk::Orientation::HORIZONTAL};
    Gtk::Image m_searchIcon;
    Gtk::Entry m_field;
    Gtk::Button m_clear;
    Gtk::Separator m_divider{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_empty{Gtk::Orientation::HORIZONTAL};
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_rowsBox{Gtk::Orientation::VERTICAL};
    Gtk::Box m_footer{Gtk::Orientation::HORIZONTAL};
    Gtk::Label m_footerAction;

    std::vector<Uuid> m_shownIds;
    std::optional<std::size_t> m_shownSelection;
    bool m_settingField = false;
    bool m_closing = false; // set once this panel has started to close
    int m_areaHeight = -1;
    int m_listHeight = -1;
    double m_cardScale = 1.0;
    std::unique_ptr<MotionValue> m_scaleMotion;
    std::unique_ptr<MotionValue> m_scrollMotion;
    ScopedConnections m_connections;
};

// The main windows' command-bar part: a new managed panel on the application's state and library.
Gtk::Widget* makeCommandBarView(AppContext& ctx);

} // namespace kovi
