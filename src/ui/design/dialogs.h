#pragma once

typedef struct _GtkWindow GtkWindow;

namespace kovi {

// Closes a message dialog after the current event, unless it is already gone.
void closeDialogSoon(GtkWindow* dialog);

} // namespace kovi
