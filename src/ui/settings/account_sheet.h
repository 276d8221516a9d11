#pragma once

#include "ui/settings/account_settings_view.h"

#include <gtkmm/window.h>

namespace kovi {

struct AppContext;

// The account panel as a sheet over the browser window: a modal window without a title bar of
// its own (the panel has one). Its close button, Escape and a confirmed sign-out hide it.
class AccountSheet : public Gtk::Window {
public:
    AccountSheet(AppContext& ctx, Gtk::Window& parent);
    AccountSettingsView& view() { return m_view; }

private:
    AccountSettingsView m_view;
};

} // namespace kovi
