#pragma once

typedef struct _GtkWindow GtkWindow;

namespace Gtk {
class Window;
}

namespace kovi {

// A window of the program's own joins the running application where it is made, so that the
// application's keys (Quit's) work in it too. Nothing happens without a running application.
void joinApplication(Gtk::Window& window);
void joinApplication(GtkWindow* window);

// Closes a message dialog after the current event, unless it is already gone.
void closeDialogSoon(GtkWindow* dialog);

// Shows a dialog above the window it is transient for, as a window of the application. A parent not yet on screen (an alert
// raised while the window is being built) would be shown after the dialog and cover it, so the
// dialog then waits until the parent is shown. Nothing happens when the dialog goes meanwhile.
void presentOverParent(GtkWindow* dialog);

} // namespace kovi
