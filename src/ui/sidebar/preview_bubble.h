#pragma once

#include <gdkmm/texture.h>
#include <gtkmm/widget.h>

namespace kovi {

// The hover preview's picture: always 260 x 170, whatever the snapshot's size, with rounded
// corners, a faint border and a shadow drawn by the stylesheet around it.
class PreviewBubble : public Gtk::Widget {
public:
    PreviewBubble();
    void setTexture(Glib::RefPtr<Gdk::Texture> texture);
    const Glib::RefPtr<Gdk::Texture>& texture() const { return m_texture; }

protected:
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    Glib::RefPtr<Gdk::Texture> m_texture;
};

} // namespace kovi
