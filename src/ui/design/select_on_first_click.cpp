#include "ui/design/select_on_first_click.h"

#include <glibmm/main.h>
#include <gtkmm/entry.h>
#include <gtkmm/eventcontrollerlegacy.h>
#include <sigc++/adaptors/track_obj.h>

namespace kovi {

void selectAllOnFirstClick(Gtk::Entry& entry)
{
    // Ahead of the text inside, which takes the keys on the press and places the caret.
    auto controller = Gtk::EventControllerLegacy::create();
    controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    auto first = std::make_shared<bool>(false);
    controller->signal_event().connect(
        [&entry, first](const Glib::RefPtr<const Gdk::Event>& event) {
            if (event->get_event_type() == Gdk::Event::Type::BUTTON_PRESS && event->get_button() == GDK_BUTTON_PRIMARY)
                *first = (entry.get_state_flags() & Gtk::StateFlags::FOCUS_WITHIN) == Gtk::StateFlags{};
            else if (event->get_event_type() == Gdk::Event::Type::BUTTON_RELEASE && *first) {
                *first = false;
                // Once the text has handled the release; a drag has left a selection of its own.
                Glib::signal_idle().connect_once(sigc::track_obj(
                    [&entry] {
                        int start = 0, end = 0;
                        if (!entry.get_selection_bounds(start, end))
                            entry.select_region(0, -1);
                    },
                    entry));
            }
            return false;
        },
        false);
    entry.add_controller(controller);
}

} // namespace kovi
