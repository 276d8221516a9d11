#pragma once

#include <gtkmm/button.h>
#include <gtkmm/image.h>

namespace kovi {

// A flat 28-px button of the horizontal layout's bars showing a symbol, which runs a command of
// the command table.
void setUpBarButton(Gtk::Button& button, const char* symbol, int size, const char* tooltip, const char* command);

} // namespace kovi
