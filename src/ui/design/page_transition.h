#pragma once

#include "ui/design/motion.h"

#include <gtkmm/widget.h>

#include <memory>
#include <vector>

namespace kovi {

// The page area's pages, one shown at a time. A space change slides the new page in from one
// side while the old one leaves by the other, both fading, the new one growing from a 0.985
// scale and the old one shrinking to 0.995, on one spring; other changes swap at once.
//
// A page shown with `keep` stays a hidden child once another page replaces it, so it can be
// shown again without leaving the window: a web page taken out of the window and put back
// costs the engine new picture buffers each time, never given back while the page lives.
class PageTransition : public Gtk::Widget {
public:
    explicit PageTransition(const KoviDesign::Motion& motion);
    ~PageTransition() override;

    // Shows `page`, which has no parent or is a page kept here. `from` is +1 to bring it in from
    // the trailing side, -1 from the leading side, 0 to swap without a transition. A page still
    // leaving from an earlier change goes at once. With `keep`, the page stays here (hidden)
    // when another replaces it, until remove(); otherwise it is let go.
    void show(Gtk::Widget& page, int from, bool keep = false);
    // Lets go of a kept page, also the shown one (nothing is shown then).
    void remove(Gtk::Widget& page);

    Gtk::Widget* shownPage() const { return m_shown; }
    // Pages sliding out.
    const std::vector<Gtk::Widget*>& leavingPages() const { return m_leaving; }
    // Pages kept here, shown or hidden.
    const std::vector<Gtk::Widget*>& keptPages() const { return m_kept; }
    bool isTransitionRunning() const { return m_progress->isRunning(); }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void onProgress(double progress);
    void dropLeaving();
    // A page that is no longer shown: hidden when kept, else unparented.
    void putAway(Gtk::Widget& page);
    bool isKept(const Gtk::Widget& page) const;
    void releaseAll();

    Gtk::Widget* m_shown = nullptr;
    std::vector<Gtk::Widget*> m_leaving;
    std::vector<Gtk::Widget*> m_kept;
    KoviDesign::Motion m_motion;
    int m_from = 0;
    std::unique_ptr<MotionValue> m_progress; // 0 as a transition starts, 1 once the page has arrived
};

} // namespace kovi
