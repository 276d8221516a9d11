#include "ui/settings/account_sheet.h"

#include "ui/base/app_context.h"
#include "ui/design/dialogs.h"
#include "ui/design/theme.h"

#include <gtkmm/eventcontrollerkey.h>

namespace kovi {

AccountSheet::AccountSheet(AppContext& ctx, Gtk::Window& parent) : m_view(ctx, [this] { close(); })
{
    joinApplication(*this);
    add_css_class("kovi-sheet");
    add_css_class("kovi-account-sheet");
    set_title("Account");
    set_transient_for(parent);
    set_modal(true);
    set_resizable(false);
    set_decorated(false);
    set_hide_on_close(true);
    set_child(m_view);
    ctx.theme.attach(*this);

    auto keys = Gtk::EventControllerKey::create();
    keys->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType state) {
            const auto modifiers = state & (Gdk::ModifierType::SHIFT_MASK | Gdk::ModifierType::CONTROL_MASK
                                            | Gdk::ModifierType::ALT_MASK | Gdk::ModifierType::SUPER_MASK);
            if (keyval != GDK_KEY_Escape || modifiers != Gdk::ModifierType{})
                return false;
            close();
            return true;
        },
        false);
    add_controller(keys);
}

} // namespace kovi
