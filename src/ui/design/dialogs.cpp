#include "ui/design/dialogs.h"

#include <gtk/gtk.h>
#include <gtkmm/window.h>

namespace kovi {

namespace {

// A dialog waiting for its parent to be shown; the dialog is held weakly.
struct WaitingDialog {
    GWeakRef dialog;
    gulong handler = 0;
};

void forget(gpointer data, GClosure*)
{
    auto* waiting = static_cast<WaitingDialog*>(data);
    g_weak_ref_clear(&waiting->dialog);
    delete waiting;
}

// A dialog taken down lets go of its parent: it is not shown again.
bool stillWanted(GtkWindow* dialog)
{
    return gtk_window_get_transient_for(dialog) != nullptr;
}

void presentWhenIdle(GtkWindow* dialog)
{
    // After the parent's own handlers, so that it is on screen (and stacked) first.
    g_idle_add_full(G_PRIORITY_DEFAULT,
                    +[](gpointer data) -> gboolean {
                        auto* window = GTK_WINDOW(data);
                        if (stillWanted(window))
                            gtk_window_present(window);
                        return G_SOURCE_REMOVE;
                    },
                    g_object_ref(dialog), g_object_unref);
}

} // namespace

void joinApplication(GtkWindow* window)
{
    GApplication* running = g_application_get_default();
    if (GTK_IS_APPLICATION(running) && !gtk_window_get_application(window))
        gtk_window_set_application(window, GTK_APPLICATION(running));
}

void joinApplication(Gtk::Window& window)
{
    joinApplication(window.gobj());
}

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

void presentOverParent(GtkWindow* dialog)
{
    // The application's keys (Quit's) work in its alerts too.
    joinApplication(dialog);
    GtkWindow* parent = gtk_window_get_transient_for(dialog);
    if (!parent || gtk_widget_get_mapped(GTK_WIDGET(parent))) {
        gtk_window_present(dialog);
        return;
    }
    auto* waiting = new WaitingDialog;
    g_weak_ref_init(&waiting->dialog, dialog);
    waiting->handler = g_signal_connect_data(
        parent, "map", G_CALLBACK(+[](GtkWidget* shown, gpointer data) {
            auto* self = static_cast<WaitingDialog*>(data);
            auto* waitingDialog = static_cast<GtkWindow*>(g_weak_ref_get(&self->dialog));
            g_signal_handler_disconnect(shown, self->handler); // frees `self`
            if (!waitingDialog)
                return;
            if (stillWanted(waitingDialog))
                presentWhenIdle(waitingDialog);
            g_object_unref(waitingDialog);
        }),
        waiting, &forget, GConnectFlags(0));
}

} // namespace kovi
