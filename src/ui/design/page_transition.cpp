#include "ui/design/page_transition.h"

#include "ui/design/focus_release.h"
#include "ui/design/shifted_allocation.h"

#include <algorithm>
#include <utility>

namespace kovi {

namespace {

constexpr double enteringScale = 0.985;
constexpr double leavingScale = 0.995;

} // namespace

PageTransition::PageTransition(const KoviDesign::Motion& motion)
    : Glib::ObjectBase("KoviPageTransition"), m_motion(motion)
{
    set_overflow(Gtk::Overflow::HIDDEN);
    m_progress = std::make_unique<MotionValue>(*this, 1.0, [this](double p) { onProgress(p); });
    // Disposed before this object is deleted when its container drops it: the pages must be
    // let go while the widget is still whole.
    signal_destroy().connect([this] { releaseAll(); });
}

PageTransition::~PageTransition()
{
    m_progress.reset();
    releaseAll();
}

void PageTransition::releaseAll()
{
    m_leaving.clear();
    m_kept.clear();
    m_shown = nullptr;
    if (!gobj())
        return;
    while (Gtk::Widget* child = get_first_child())
        child->unparent();
}

void PageTransition::show(Gtk::Widget& page, int from, bool keep)
{
    dropLeaving();
    if (keep && !isKept(page))
        m_kept.push_back(&page);
    if (&page == m_shown)
        return;
    const bool animate = from != 0 && m_shown && get_mapped();
    if (m_shown) {
        if (animate) {
            m_shown->set_can_target(false);
            m_leaving.push_back(m_shown);
        } else {
            putAway(*m_shown);
        }
    }
    m_shown = &page;
    if (page.get_parent() == this) {
        // Last, so it is drawn above the leaving page.
        gtk_widget_insert_before(page.gobj(), gobj(), nullptr);
        page.set_can_target(true);
        page.set_visible(true);
    } else {
        page.set_parent(*this);
    }
    m_from = from;
    if (animate) {
        m_progress->jumpTo(0.0);
        m_progress->animateTo(1.0, m_motion, [this] { dropLeaving(); });
    } else {
        m_progress->jumpTo(1.0);
    }
    queue_resize();
}

void PageTransition::remove(Gtk::Widget& page)
{
    releaseFocusWithin(page);
    std::erase(m_leaving, &page);
    std::erase(m_kept, &page);
    if (m_shown == &page)
        m_shown = nullptr;
    if (page.get_parent() == this)
        page.unparent();
    queue_resize();
}

bool PageTransition::isKept(const Gtk::Widget& page) const
{
    return std::find(m_kept.begin(), m_kept.end(), &page) != m_kept.end();
}

void PageTransition::putAway(Gtk::Widget& page)
{
    releaseFocusWithin(page);
    if (isKept(page)) {
        page.set_visible(false);
        page.set_can_target(true);
        page.set_opacity(1.0);
    } else {
        page.unparent();
    }
}

void PageTransition::onProgress(double progress)
{
    // The spring may overshoot its end a little; opacity stays within 0…1.
    const double shown = std::clamp(progress, 0.0, 1.0);
    if (m_shown)
        m_shown->set_opacity(shown);
    for (Gtk::Widget* page : m_leaving)
        page->set_opacity(1 - shown);
    queue_allocate();
}

void PageTransition::dropLeaving()
{
    auto leaving = std::move(m_leaving);
    m_leaving.clear();
    for (Gtk::Widget* page : leaving)
        putAway(*page);
    if (m_shown)
        m_shown->set_opacity(1.0);
}

Gtk::SizeRequestMode PageTransition::get_request_mode_vfunc() const
{
    return m_shown ? m_shown->get_request_mode() : Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void PageTransition::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                   int& minimumBaseline, int& naturalBaseline) const
{
    minimum = natural = 0;
    minimumBaseline = naturalBaseline = -1;
    if (m_shown) {
        int baseline = -1;
        m_shown->measure(orientation, forSize, minimum, natural, baseline, baseline);
    }
}

void PageTransition::size_allocate_vfunc(int width, int height, int)
{
    const double p = m_progress->value();
    if (m_shown) {
        const double offset = m_from * width * (1 - p);
        allocateShifted(*m_shown, width, height, -1, offset, m_progress->isRunning() ? enteringScale + (1 - enteringScale) * p : 1);
    }
    for (Gtk::Widget* page : m_leaving)
        allocateShifted(*page, width, height, -1, -m_from * width * p, 1 - (1 - leavingScale) * p);
}

} // namespace kovi
