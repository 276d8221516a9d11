// The page area every layout shows pages in: which page it shows, the slide of a space change,
// tab pages kept in the window while their tab is open, the start page's controls, the bezel
// and the find bar; and the panels laid over a layout.
#include "app/app_fixture.h"

#include "ui/layouts/empty_state_view.h"
#include "ui/layouts/page_area.h"
#include "ui/layouts/panel_overlays.h"

#include <gtkmm/label.h>
#include <gtkmm/window.h>

namespace kovi::test {
namespace {

class PageAreaTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGtk(); }
    void build(ViewSlots slots = {})
    {
        window = std::make_unique<Gtk::Window>();
        window->set_default_size(1000, 700);
        core.theme.attach(*window);
        auto* overlay = Gtk::make_managed<Gtk::Overlay>();
        area = Gtk::make_managed<PageArea>(core.ctx, slots);
        overlay->set_child(*area);
        panels = std::make_unique<PanelOverlays>(core.ctx, slots, *overlay);
        window->set_child(*overlay);
        window->present();
        ASSERT_TRUE(waitForWindow(*window));
        ASSERT_TRUE(waitForFrames(*window));
    }
    void TearDown() override
    {
        if (window)
            window->destroy();
        panels.reset();
        settle(20);
    }
    BrowserState& state() { return core.state; }
    Uuid addTab(const std::string& url, std::optional<Uuid> space = std::nullopt)
    {
        return test::addTab(state(), url, "", false, space);
    }
    static ViewSlots labelPages(int* built = nullptr)
    {
        ViewSlots slots;
        slots.tabContent = [built](AppContext&, const Tab& tab) -> Gtk::Widget* {
            if (built)
                ++*built;
            return Gtk::make_managed<Gtk::Label>(tab.url.string());
        };
        return slots;
    }
    std::string shownText() const
    {
        auto* label = dynamic_cast<Gtk::Label*>(area->shownPage());
        return label ? std::string(label->get_text()) : std::string("(no label)");
    }

    TempDir dir;
    CoreObjects core{dir.path()};
    std::unique_ptr<Gtk::Window> window;
    PageArea* area = nullptr;
    std::unique_ptr<PanelOverlays> panels;
};

TEST_F(PageAreaTest, ShowsTheStartPageTheActiveTabsPageOrSplitView)
{
    int tabPages = 0, splitPages = 0;
    ViewSlots slots = labelPages(&tabPages);
    slots.splitView = [&](AppContext&) -> Gtk::Widget* {
        ++splitPages;
        return Gtk::make_managed<Gtk::Label>("split");
    };
    build(std::move(slots));
    ASSERT_NE(area->startPage(), nullptr);

    const Uuid a = addTab("https://a.example/");
    EXPECT_EQ(shownText(), "https://a.example/");
    EXPECT_EQ(tabPages, 1);
    state().updateTabTitle(a, "A"); // a page report rebuilds nothing
    EXPECT_EQ(tabPages, 1);

    addTab("https://b.example/");
    EXPECT_EQ(tabPages, 2);
    state().toggleSplitView();
    ASSERT_TRUE(state().splitViewConfig().isEnabled);
    EXPECT_EQ(splitPages, 1);
    EXPECT_EQ(shownText(), "split");

    state().disableSplitView();
    state().setActiveTabId(std::nullopt);
    EXPECT_NE(area->startPage(), nullptr);
}

// Bug: every tab switch took the tab's page out of the window and built a new one, and a web
// page put back into the window takes new picture buffers from the engine each time, never
// given back: the process grew by a few megabytes per switch without bound.
TEST_F(PageAreaTest, ATabsPageStaysInTheWindowWhileItsTabIsOpen)
{
    int built = 0;
    build(labelPages(&built));
    const Uuid a = addTab("https://a.example/");
    Gtk::Widget* pageA = area->shownPage();
    int unrealized = 0;
    pageA->signal_unrealize().connect([&] { ++unrealized; });
    const Uuid b = addTab("https://b.example/");
    Gtk::Widget* pageB = area->shownPage();
    for (int i = 0; i < 10; ++i) {
        state().setActiveTabId(i % 2 ? b : a);
        ASSERT_EQ(area->shownPage(), i % 2 ? pageB : pageA);
        EXPECT_TRUE((i % 2 ? pageA : pageB)->get_realized()) << "hidden, still in the window";
        EXPECT_FALSE((i % 2 ? pageA : pageB)->get_visible());
    }
    EXPECT_EQ(built, 2);
    EXPECT_EQ(unrealized, 0);

    // The start page and back: still the same page.
    state().setActiveTabId(std::nullopt);
    ASSERT_NE(area->startPage(), nullptr);
    state().setActiveTabId(a);
    EXPECT_EQ(area->shownPage(), pageA);

    // A closed tab's page goes; the tab shown instead has one.
    state().removeTab(a);
    EXPECT_EQ(area->pages().keptPages(), std::vector<Gtk::Widget*>{pageB});
    EXPECT_EQ(area->shownPage(), pageB);
    EXPECT_EQ(built, 2);

    // A tab moved to another space gets a page of that space.
    state().createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    const Uuid work = *state().currentSpaceId();
    const Uuid c = addTab("https://c.example/");
    ASSERT_NE(area->shownPage(), pageB);
    state().moveTabToSpace(b, work);
    state().setActiveTabId(b);
    EXPECT_EQ(shownText(), "https://b.example/");
    EXPECT_NE(area->shownPage(), pageB);
    EXPECT_EQ(built, 4);
    EXPECT_EQ(area->pages().keptPages().size(), 2u) << "c's page and b's new one";
    (void)c;
}

TEST_F(PageAreaTest, ASpaceChangeSlidesTheNewPageInFromTheSideOfTheStepAndTheOldOneOut)
{
    build(labelPages());
    const Uuid home = *state().currentSpaceId();
    addTab("https://home.example/");
    state().createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    addTab("https://work.example/");
    PageTransition* pages = &area->pages();
    ASSERT_TRUE(runUntilGtk([&] { return !pages->isTransitionRunning() && pages->leavingPages().empty(); }));

    // Every frame of a transition: where the new and the old page are and how large and clear.
    struct Frame {
        double inX, inWidth, inOpacity, outX, outWidth;
    };
    struct Watch {
        PageTransition* pages;
        std::vector<Frame> frames;
    } watch{pages, {}};
    auto bounds = [](Gtk::Widget& page, Gtk::Widget& within) {
        graphene_rect_t r;
        EXPECT_TRUE(gtk_widget_compute_bounds(page.gobj(), within.gobj(), &r));
        return r;
    };
    const guint tick = gtk_widget_add_tick_callback(
        GTK_WIDGET(pages->gobj()),
        [](GtkWidget*, GdkFrameClock*, gpointer data) -> gboolean {
            auto* w = static_cast<Watch*>(data);
            if (w->pages->leavingPages().empty())
                return G_SOURCE_CONTINUE;
            graphene_rect_t in, out;
            // A new page has no place before its first layout.
            if (!gtk_widget_compute_bounds(w->pages->shownPage()->gobj(), GTK_WIDGET(w->pages->gobj()), &in) ||
                !gtk_widget_compute_bounds(w->pages->leavingPages().front()->gobj(), GTK_WIDGET(w->pages->gobj()), &out) ||
                in.size.width <= 0)
                return G_SOURCE_CONTINUE;
            w->frames.push_back({in.origin.x, in.size.width, w->pages->shownPage()->get_opacity(), out.origin.x,
                                 out.size.width});
            return G_SOURCE_CONTINUE;
        },
        &watch, nullptr);
    const double width = pages->get_width();
    auto describe = [](const std::vector<Frame>& frames) {
        std::string text;
        for (const Frame& f : frames)
            text += "(" + std::to_string(f.inX) + " " + std::to_string(f.inWidth) + " " + std::to_string(f.inOpacity) +
                    " " + std::to_string(f.outX) + " " + std::to_string(f.outWidth) + ") ";
        return text;
    };

    // A change before any step comes in from the trailing side and pushes the old page out by
    // the leading side; after a step back it is the opposite, and changes follow the last step.
    const Uuid work = *state().currentSpaceId();
    const std::vector<std::pair<std::function<void()>, int>> changes{
        {[&] { state().setCurrentSpaceId(home); }, 1},
        {[&] { area->setSpaceStep(1); state().setCurrentSpaceId(work); }, 1},
        {[&] { area->setSpaceStep(-1); state().setCurrentSpaceId(home); }, -1},
        {[&] { state().setCurrentSpaceId(work); }, -1},
    };
    for (const auto& [change, side] : changes) {
        SCOPED_TRACE(&change - &changes.front().first);
        watch.frames.clear();
        Gtk::Widget* before = area->shownPage();
        change();
        Gtk::Widget* after = area->shownPage();
        ASSERT_NE(after, before);
        EXPECT_EQ(pages->leavingPages(), std::vector<Gtk::Widget*>{before});
        EXPECT_FALSE(before->get_can_target()) << "the old page takes no input on its way out";
        ASSERT_TRUE(runUntilGtk([&] { return pages->leavingPages().empty(); }));
        ASSERT_FALSE(watch.frames.empty());
        EXPECT_GT(watch.frames.front().inX * side, width / 4) << "from the side of the step";
        EXPECT_TRUE(std::any_of(watch.frames.begin(), watch.frames.end(), [&](const Frame& f) {
            return f.inWidth < width && f.outWidth < width && f.inOpacity > 0 && f.inOpacity < 1 &&
                   f.outX * side < 0;
        })) << "both pages move, scaled, the new one fading in: " << describe(watch.frames);
        EXPECT_DOUBLE_EQ(bounds(*after, *pages).origin.x, 0);
        EXPECT_DOUBLE_EQ(bounds(*after, *pages).size.width, width);
        EXPECT_DOUBLE_EQ(after->get_opacity(), 1.0);
        // The page that left is kept, hidden, ready to come back whole.
        EXPECT_FALSE(before->get_visible());
        EXPECT_TRUE(before->get_can_target());
        EXPECT_DOUBLE_EQ(before->get_opacity(), 1.0);
    }
    gtk_widget_remove_tick_callback(GTK_WIDGET(pages->gobj()), tick);

    // A tab change within the space swaps at once.
    addTab("https://other.example/");
    EXPECT_TRUE(pages->leavingPages().empty());
}

TEST_F(PageAreaTest, BezelDragStripFindBarPlacementAndPanelParts)
{
    int built = 0;
    ViewSlots slots;
    slots.findBar = [&](AppContext&) -> Gtk::Widget* { return Gtk::make_managed<Gtk::Label>("find"); };
    slots.historyPanel = [&](AppContext&) -> Gtk::Widget* {
        ++built;
        return Gtk::make_managed<Gtk::Label>("history");
    };
    Gtk::Widget* strip = nullptr;
    slots.bookmarkStrip = [&](AppContext&) -> Gtk::Widget* {
        strip = Gtk::make_managed<Gtk::Label>("bookmarks");
        strip->set_size_request(-1, 32);
        return strip;
    };
    build(std::move(slots));
    ASSERT_NE(strip, nullptr);
    auto boundsIn = [&](Gtk::Widget& widget) {
        graphene_rect_t rect{};
        EXPECT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(widget.gobj()), GTK_WIDGET(area->gobj()), &rect));
        return rect;
    };

    // With the bezel on, the bookmarks bar lies inside the rounded frame, above the page.
    state().setIsBrowserBezelEnabled(true);
    EXPECT_FALSE(area->dragStripWhenBezelOff().get_visible());
    EXPECT_TRUE(area->browserSurface().bezelEnabled());
    ASSERT_TRUE(runUntilGtk([&] { return strip->get_width() > 0; }));
    settle(50);
    graphene_rect_t frame = boundsIn(area->browserSurface()), bar = boundsIn(*strip), page = boundsIn(area->pages());
    EXPECT_DOUBLE_EQ(bar.origin.x, frame.origin.x + 8);
    EXPECT_DOUBLE_EQ(bar.origin.y, frame.origin.y + 8);
    EXPECT_DOUBLE_EQ(bar.size.width, frame.size.width - 16);
    EXPECT_DOUBLE_EQ(page.origin.y, bar.origin.y + 32);
    EXPECT_DOUBLE_EQ(page.origin.y + page.size.height, frame.origin.y + frame.size.height - 8);
    // Without it, the bar runs edge to edge.
    state().setIsBrowserBezelEnabled(false);
    settle(100);
    frame = boundsIn(area->browserSurface());
    bar = boundsIn(*strip);
    EXPECT_DOUBLE_EQ(bar.origin.y, frame.origin.y);
    EXPECT_DOUBLE_EQ(bar.size.width, frame.size.width);

    // The find bar keeps to the page's top-right corner, below the bar: 20 and 20 from the
    // frame's edges with the bezel, 12 and 16 without.
    state().toggleFindInPage();
    ASSERT_TRUE(area->findBarLayer().isPresented());
    for (bool bezel : {true, false}) {
        SCOPED_TRACE(bezel ? "bezel" : "no bezel");
        state().setIsBrowserBezelEnabled(bezel);
        EXPECT_EQ(area->dragStripWhenBezelOff().get_visible(), !bezel);
        ASSERT_TRUE(runUntilGtk([&] { return area->findBarLayer().get_width() > 0; }));
        settle(100);
        const graphene_rect_t find = boundsIn(area->findBarLayer());
        frame = boundsIn(area->browserSurface());
        page = boundsIn(area->pages());
        EXPECT_DOUBLE_EQ(find.origin.y, page.origin.y + 12);
        EXPECT_DOUBLE_EQ(find.origin.x + find.size.width, frame.origin.x + frame.size.width - (bezel ? 20 : 16));
    }

    state().setIsHistoryPanelVisible(true);
    EXPECT_EQ(built, 1);
    ASSERT_TRUE(panels->historyLayer().isPresented());
    panels->historyLayer().tapScrim();
    EXPECT_FALSE(state().isHistoryPanelVisible());
    ASSERT_TRUE(runUntilGtk([&] { return panels->historyLayer().content() == nullptr; }));
    state().setIsHistoryPanelVisible(true);
    EXPECT_EQ(built, 2); // built anew each time it opens
}

} // namespace
} // namespace kovi::test
