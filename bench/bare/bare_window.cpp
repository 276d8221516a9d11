// The baseline of bench/ui/startup_memory.sh: a gtkmm window that does nothing, linked with gtkmm
// only, so that its start-up is what any GTK 4 program pays on this machine.
#include <gtkmm/application.h>
#include <gtkmm/window.h>

int main(int argc, char** argv)
{
    auto app = Gtk::Application::create("app.kovi.BareWindow", Gio::Application::Flags::NON_UNIQUE);
    return app->make_window_and_run<Gtk::Window>(argc, argv);
}
