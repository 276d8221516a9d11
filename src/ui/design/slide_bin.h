#pragma once

#include <gtkmm/widget.h>

namespace kovi {

// Holds one child and draws it shifted horizontally by `offset` pixels and scaled by `scale`
// about its centre (input follows the transform), without changing its size. Used to slide the
// floating sidebar in and out and to grow panels into view.
class SlideBin : public Gtk::Widget {
public:
    SlideBin();
    ~SlideBin() override;

    void setChild(Gtk::Widget* child);
    Gtk::Widget* child() const { return m_child; }
    void setOffset(double offset);
    double offset() const { return m_offset; }
    void setScale(double scale);
    double scale() const { return m_scale; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    Gtk::Widget* m_child = nullptr;
    double m_offset = 0;
    double m_scale = 1;
};

} // namespace kovi
