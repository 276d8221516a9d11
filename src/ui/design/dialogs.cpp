#include "ui/design/dialogs.h"

#include <gtk/gtk.h>

namespace kovi {

void closeDialogSoon(GtkWindow* dialog)
{
    // A response given without a click leaves the dialog open; a click closes it by itself.
    g_idle_add_full(G_PRIORITY_DEFAULT_IDLE,
                    +[](gpointer data) -> gboolean {
                        auto* window = GTK_WINDOW(data);
                        if (gtk_widget_get_visible(GTK_WIDGET(window)))
                            gtk_window_destroy(window);
                        return G_SOURCE_REMOVE;
                    },
                    g_object_ref(dialog), g_object_unref);
}

} // namespace kovi
