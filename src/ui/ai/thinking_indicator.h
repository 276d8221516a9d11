#pragma once

#include <gtkmm/drawingarea.h>
#include <sigc++/connection.h>

namespace kovi {

// An indeterminate progress indicator: eight spokes whose highlight steps round four times a
// second. Stepped rather than spun smoothly: on a machine without a GPU every frame repaints
// the window, and a smooth spinner would keep a core busy for as long as an answer takes.
class ThinkingIndicator : public Gtk::DrawingArea {
public:
    static constexpr int stepsPerSecond = 4;

    explicit ThinkingIndicator(int size);
    ~ThinkingIndicator() override;

    void setSpinning(bool spinning);
    bool isSpinning() const { return m_spinning; }
    bool isTicking() const { return m_tick.connected(); }

private:
    void updateTicking();
    void draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);

    bool m_spinning = false;
    int m_step = 0;
    sigc::connection m_tick;
};

} // namespace kovi
