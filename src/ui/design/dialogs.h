#pragma once

typedef struct _GtkWindow GtkWindow;

namespace kovi {

// Closes a message dialog after the current event, unless it is already gone.
void closeDialogSoon(GtkWindow* dialog);

// Shows a dialog above the window it is transient for. A parent not yet on screen (an alert
// raised while the window is being built) would be shown after the dialog and cover it, so the
// dialog then waits until the parent is shown. Nothing happens when the dialog goes meanwhile.
void presentOverParent(GtkWindow* dialog);

} // namespace kovi
