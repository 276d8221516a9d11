#pragma once

#include "ui/design/motion.h"

#include <gtkmm/widget.h>

#include <memory>
#include <vector>

namespace kovi {

// The page area's pages, one shown at a time. A space change slides the new page in from one
// side while the old one leaves by the other, both fading, the new one growing from a 0.985
// scale and the old one shrinking to 0.995, on one spring; other changes swap at once.
class PageTransition : public Gtk::Widget {
public:
    explicit PageTransition(const KoviDesign::Motion& motion);
    ~PageTransition() override;

    // Shows `page`, which must have no parent. `from` is +1 to bring it in from the trailing
    // side, -1 from the leading side, 0 to swap without a transition. A page still leaving from
    // an earlier change goes at once.
    void show(Gtk::Widget& page, int from);
    Gtk::Widget* shownPage() const { return m_shown; }
    // Pages sliding out.
    const std::vector<Gtk::Widget*>& leavingPages() const { return m_leaving; }
    bool isTransitionRunning() const { return m_progress->isRunning(); }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void onProgress(double progress);
    void dropLeaving();
    void releaseAll();

    Gtk::Widget* m_shown = nullptr;
    std::vector<Gtk::Widget*> m_leaving;
    KoviDesign::Motion m_motion;
    int m_from = 0;
    std::unique_ptr<MotionValue> m_progress; // 0 as a transition starts, 1 once the page has arrived
};

} // namespace kovi
