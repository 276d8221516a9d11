#pragma once

#include "core/support/scoped_connections.h"

#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>

#include <memory>
#include <vector>

namespace kovi {

struct AppContext;
class AccountSheet;

// The round account button at the end of the sidebar's bottom row: the user's initials on gray
// (a guest) or blue to purple, the name as tooltip. Opens the account panel as a sheet. Follows
// the account as it changes; the sheet goes with the button.
class AccountButton : public Gtk::Button {
public:
    static constexpr int size = 28;

    explicit AccountButton(AppContext& ctx);
    ~AccountButton() override;

    Gtk::Label& initialsLabel() { return m_initials; }
    bool showAccountSettings() const;
    AccountSheet* sheet() const { return m_sheet.get(); }

private:
    void refresh();
    void openSheet();

    AppContext& m_ctx;
    Gtk::Label m_initials;
    std::unique_ptr<AccountSheet> m_sheet;
    std::vector<std::unique_ptr<AccountSheet>> m_closedSheets;
    sigc::connection m_dropClosed;
    ScopedConnections m_connections;
};

} // namespace kovi
