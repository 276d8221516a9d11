#pragma once

#include "core/windows/floating_window_placement.h"

#include <optional>

namespace Gtk {
class Window;
} // namespace Gtk

namespace kovi {

// What the X11 display allows and Wayland does not: a client asking where the pointer is, and
// placing its own toplevel windows. Everywhere else these give nothing or do nothing, and the
// compositor places windows itself. Positions are in the toolkit's coordinates (scaled pixels).
namespace x11 {

// Where the pointer is on the screen of `window` (realized or not).
std::optional<ScreenPoint> pointerPosition(Gtk::Window& window);
// The monitor showing `window` (realized), else the one under the pointer.
std::optional<ScreenRect> monitorArea(Gtk::Window& window);
// Moves the realized `window` so its visible frame's top-left corner is at `topLeft` (the
// client-side shadow around it is allowed for). Whether the move was asked for.
bool moveWindow(Gtk::Window& window, ScreenPoint topLeft);

} // namespace x11
} // namespace kovi
