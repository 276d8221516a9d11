#include "ui/layouts/bar_button.h"

#include "ui/base/command_action.h"
#include "ui/design/symbols.h"

namespace kovi {

void setUpBarButton(Gtk::Button& button, const char* symbol, int size, const char* tooltip, const char* command)
{
    button.set_has_frame(false);
    button.add_css_class("kovi-hbar-button");
    button.set_child(*makeSymbolImage(symbol, size));
    button.set_size_request(28, 28);
    button.set_valign(Gtk::Align::CENTER);
    button.set_tooltip_text(tooltip);
    button.set_focus_on_click(false);
    button.set_action_name(appAction(command));
}

} // namespace kovi
