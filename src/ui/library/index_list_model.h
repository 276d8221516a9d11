#pragma once

#include <glibmm/refptr.h>

typedef struct _GListModel GListModel;

namespace Gtk {
class SelectionModel;
}

namespace kovi {

// A list model of `count` placeholder items for a lazy list whose rows are filled from their
// position: the view model keeps the data, the list asks only for the rows it shows. Resetting
// the count replaces every item, so every shown row is bound again. Main thread only.
class IndexListModel {
public:
    IndexListModel();
    ~IndexListModel();
    IndexListModel(const IndexListModel&) = delete;
    IndexListModel& operator=(const IndexListModel&) = delete;

    unsigned count() const;
    void reset(unsigned count);
    // A selection model without selection, for a Gtk::ListView.
    Glib::RefPtr<Gtk::SelectionModel> selectionModel() const { return m_selection; }

private:
    GListModel* m_model = nullptr;
    Glib::RefPtr<Gtk::SelectionModel> m_selection;
};

} // namespace kovi
