// The window's own controls and its menu in both layouts: the desktop's buttons on the sides its
// button layout names, the close button closing the window, F10 opening the window's menu (the
// command table's) and its entries running their commands.
#include "app_fixture.h"

#include "ui/layouts/content_view.h"
#include "ui/design/kovi_design.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/sidebar/top_bar.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/layouts/panel_overlays.h"
#include "ui/design/overlay_layer.h"

#include <adwaita.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/settings.h>
#include <gtkmm/windowcontrols.h>

namespace kovi::test {
namespace {

template <class W>
std::vector<W*> shownWidgets(Gtk::Widget& root)
{
    std::vector<W*> found;
    std::function<void(Gtk::Widget&)> walk = [&](Gtk::Widget& w) {
        if (!w.get_mapped())
            return;
        if (auto* match = dynamic_cast<W*>(&w))
            found.push_back(match);
        for (auto* c = w.get_first_child(); c; c = c->get_next_sibling())
            walk(*c);
    };
    walk(root);
    return found;
}

// The window's buttons a controls group shows, by name, in order.
std::vector<std::string> buttonNames(Gtk::WindowControls& controls)
{
    std::vector<std::string> names;
    for (auto* c = controls.get_first_child(); c; c = c->get_next_sibling()) {
        for (const char* name : {"minimize", "maximize", "close"}) {
            if (c->get_visible() && c->has_css_class(name))
                names.push_back(name);
        }
    }
    return names;
}

graphene_rect_t boundsIn(Gtk::Widget& widget, Gtk::Widget& window)
{
    graphene_rect_t r{};
    EXPECT_TRUE(gtk_widget_compute_bounds(widget.gobj(), window.gobj(), &r));
    return r;
}

class WindowChromeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureGtk();
        m_layout = Gtk::Settings::get_default()->property_gtk_decoration_layout().get_value();
        // Pages as plain labels: the chrome is what counts here.
        ViewSlots slots = defaultViewSlots();
        slots.tabContent = [](AppContext&, const Tab& tab) -> Gtk::Widget* {
            return Gtk::make_managed<Gtk::Label>(tab.url.string());
        };
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, std::move(slots));
        ASSERT_TRUE(h->showBrowser());
        ASSERT_TRUE(runUntilGtk([this] { return h->root().contentView() != nullptr; }));
    }
    void TearDown() override
    {
        h.reset();
        Gtk::Settings::get_default()->property_gtk_decoration_layout().set_value(m_layout);
    }
    BrowserState& state() { return h->ctx().state; }
    void setButtonLayout(const char* layout)
    {
        Gtk::Settings::get_default()->property_gtk_decoration_layout().set_value(layout);
    }
    // The mapped controls that show buttons, start group first.
    std::vector<Gtk::WindowControls*> controls()
    {
        std::vector<Gtk::WindowControls*> shown;
        for (auto* c : shownWidgets<Gtk::WindowControls>(h->window())) {
            if (!c->get_empty())
                shown.push_back(c);
        }
        std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) {
            return a->get_side() == Gtk::PackType::START && b->get_side() == Gtk::PackType::END;
        });
        return shown;
    }
    Gtk::MenuButton* windowMenu()
    {
        for (auto* b : shownWidgets<Gtk::MenuButton>(h->window())) {
            if (b->has_css_class("kovi-window-menu"))
                return b;
        }
        return nullptr;
    }
    bool menuOpen()
    {
        Gtk::MenuButton* menu = windowMenu();
        return menu && menu->get_popover() && menu->get_popover()->get_mapped();
    }
    // Chooses "top > item" in the open window menu with the pointer.
    bool choose(const std::string& top, const std::string& item)
    {
        Gtk::Popover* popover = windowMenu()->get_popover();
        for (const std::string& label : {top, item}) {
            Gtk::Widget* entry = findMenuItem(*popover, label);
            if (!entry || !runUntilGtk([&] { return entry->get_mapped() && entry->get_width() > 0; }) ||
                !waitForFrames(*entry) || !xdoClickWidget(*entry))
                return false;
        }
        return true;
    }

    TempDir dir;
    std::unique_ptr<AppHarness> h;

private:
    Glib::ustring m_layout;
};

TEST_F(WindowChromeTest, F10OpensTheWindowMenuInBothLayoutsAndItsEntriesRun)
{
    state().addTab(makeTab(state(), "https://example.com/", "Example"));
    for (BrowserLayoutMode mode : {BrowserLayoutMode::vertical, BrowserLayoutMode::traditional}) {
        SCOPED_TRACE(mode == BrowserLayoutMode::vertical ? "sidebar layout" : "horizontal layout");
        state().setLayoutMode(mode);
        ASSERT_TRUE(runUntilGtk([&] { return windowMenu() != nullptr; }));
        EXPECT_EQ(windowMenu()->get_menu_model(), h->app->commands().menu()) << "the command table's menu";
        ASSERT_TRUE(waitForFrames(*windowMenu()));
        ASSERT_TRUE(xdoKey("F10"));
        ASSERT_TRUE(runUntilGtk([&] { return menuOpen(); })) << "F10 opens the window's menu";
        screenshotIfAsked(mode == BrowserLayoutMode::vertical ? "window-menu-sidebar" : "window-menu-horizontal");
        if (mode == BrowserLayoutMode::vertical) {
            ASSERT_TRUE(choose("Kovi", "About Kovi"));
            AdwAboutWindow* about = nullptr;
            ASSERT_TRUE(runUntilGtk([&] {
                for (auto* w : Gtk::Window::list_toplevels()) {
                    if (ADW_IS_ABOUT_WINDOW(w->gobj()) && w->get_visible())
                        about = ADW_ABOUT_WINDOW(w->gobj());
                }
                return about != nullptr;
            })) << "About opens";
            gtk_window_destroy(GTK_WINDOW(about));
        } else {
            ASSERT_TRUE(choose("Bookmarks", "Save Current Workspace"));
            ASSERT_TRUE(runUntilGtk([&] { return h->ctx().library.archive().workspaces.size() == 1; }));
            EXPECT_TRUE(state().isLibraryVisible());
            state().setIsLibraryVisible(false);
        }
        ASSERT_TRUE(runUntilGtk([&] { return !menuOpen(); }));
    }
}

TEST_F(WindowChromeTest, BothLayoutsShowTheDesktopsButtonsWhereItsLayoutSaysAndCloseCloses)
{
    state().addTab(makeTab(state(), "https://example.com/", "Example"));
    for (BrowserLayoutMode mode : {BrowserLayoutMode::vertical, BrowserLayoutMode::traditional}) {
        SCOPED_TRACE(mode == BrowserLayoutMode::vertical ? "sidebar layout" : "horizontal layout");
        state().setLayoutMode(mode);
        setButtonLayout("close:minimize");
        ASSERT_TRUE(runUntilGtk([&] { return controls().size() == 2; }));
        ASSERT_TRUE(waitForFrames(h->window()));
        EXPECT_TRUE(h->window().windowButtonsVisible());
        Gtk::WindowControls& start = *controls()[0];
        Gtk::WindowControls& end = *controls()[1];
        EXPECT_EQ(buttonNames(start), std::vector<std::string>{"close"});
        EXPECT_EQ(buttonNames(end), std::vector<std::string>{"minimize"});
        // In the bar that holds both, the start group leads every other button and the end
        // group closes the bar; both lie wholly inside it.
        Gtk::Widget* bar = start.get_parent();
        while (bar && !end.is_ancestor(*bar))
            bar = bar->get_parent();
        ASSERT_NE(bar, nullptr);
        const graphene_rect_t area = boundsIn(*bar, h->window());
        const graphene_rect_t first = boundsIn(start, h->window()), last = boundsIn(end, h->window());
        EXPECT_GE(first.origin.x, area.origin.x);
        EXPECT_LE(last.origin.x + last.size.width, area.origin.x + area.size.width + 0.5);
        int others = 0;
        for (auto* b : shownWidgets<Gtk::Button>(*bar)) {
            if (b->get_ancestor(Gtk::WindowControls::get_type()))
                continue;
            ++others;
            const graphene_rect_t r = boundsIn(*b, h->window());
            EXPECT_LE(first.origin.x, r.origin.x);
            EXPECT_GE(last.origin.x + last.size.width, r.origin.x + r.size.width);
        }
        EXPECT_GE(others, 3);

        setButtonLayout(":minimize,maximize,close");
        ASSERT_TRUE(runUntilGtk([&] { return controls().size() == 1; }));
        ASSERT_TRUE(waitForFrames(h->window()));
        EXPECT_EQ(controls()[0]->get_side(), Gtk::PackType::END);
        EXPECT_EQ(buttonNames(*controls()[0]), (std::vector<std::string>{"minimize", "maximize", "close"}));

        if (mode == BrowserLayoutMode::vertical) {
            // The sidebar keeps its width: the window's buttons go to a line of their own when
            // the row cannot hold them, and stay beside the others when it can.
            auto* sidebar = dynamic_cast<SidebarView*>(h->root().contentView()->dock().sidebarWidget());
            ASSERT_NE(sidebar, nullptr);
            state().setSidebarWidth(KoviDesign::Sidebar::minWidth);
            setButtonLayout("close,minimize,maximize:minimize,maximize,close");
            ASSERT_TRUE(runUntilGtk([&] { return controls().size() == 2; }));
            ASSERT_TRUE(waitForFrames(h->window()));
            EXPECT_TRUE(sidebar->topBar().rows().isWrapped());
            const graphene_rect_t column = boundsIn(*sidebar, h->window());
            for (auto* group : controls()) {
                const graphene_rect_t r = boundsIn(*group, h->window());
                EXPECT_TRUE(r.origin.x >= column.origin.x && r.origin.x + r.size.width <= column.origin.x + column.size.width)
                    << "inside the sidebar";
            }
            state().setSidebarWidth(KoviDesign::Sidebar::maxWidth);
            setButtonLayout("appmenu:close");
            ASSERT_TRUE(runUntilGtk([&] { return controls().size() == 1 && !sidebar->topBar().rows().isWrapped(); }));
        }
    }
    screenshotIfAsked("window-controls-horizontal");

    // The desktop's close button closes the window.
    Gtk::Widget* close = nullptr;
    for (auto* b : shownWidgets<Gtk::Button>(*controls()[0])) {
        if (b->has_css_class("close"))
            close = b;
    }
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(xdoClickWidget(*close));
    EXPECT_TRUE(runUntilGtk([&] { return !h->window().get_visible(); }));
}

// The window's close button lay under a panel's dimming layer: the first click on it only closed
// the panel. The window's own buttons stay above every layer, and the first click closes.
struct DimmedCase {
    const char* name;
    BrowserLayoutMode layout;
    std::function<void(BrowserState&)> open;
    std::function<OverlayLayer&(MainBrowserView&)> layer;
};

void PrintTo(const DimmedCase& c, std::ostream* os)
{
    *os << c.name;
}

class DimmedWindowButtonsTest : public WindowChromeTest, public ::testing::WithParamInterface<DimmedCase> {};

TEST_P(DimmedWindowButtonsTest, TheFirstClickOnCloseClosesTheWindowWhileAPanelIsOpen)
{
    const DimmedCase& c = GetParam();
    state().addTab(makeTab(state(), "https://example.com/", "Example"));
    state().setLayoutMode(c.layout);
    setButtonLayout(":minimize,maximize,close");
    ASSERT_TRUE(runUntilGtk([&] { return controls().size() == 1; }));
    c.open(state());
    OverlayLayer& layer = c.layer(h->root());
    ASSERT_TRUE(runUntilGtk([&] { return layer.isPresented() && layer.get_opacity() >= 1.0; }));
    ASSERT_TRUE(waitForFrames(h->window()));
    screenshotIfAsked(std::string("dimmed-window-buttons-") + c.name);
    Gtk::Widget* close = findWidget<Gtk::Button>(*controls()[0], [](Gtk::Button& b) { return b.has_css_class("close"); });
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(xdoClickWidget(*close));
    EXPECT_TRUE(runUntilGtk([&] { return !h->window().get_visible(); })) << "the click closed only the panel";
}

INSTANTIATE_TEST_SUITE_P(
    Panels, DimmedWindowButtonsTest,
    ::testing::Values(
        DimmedCase{"History", BrowserLayoutMode::vertical, [](BrowserState& s) { s.setIsHistoryPanelVisible(true); },
                   [](MainBrowserView& root) -> OverlayLayer& { return root.contentView()->panels().historyLayer(); }},
        DimmedCase{"HorizontalDownloads", BrowserLayoutMode::traditional,
                   [](BrowserState& s) { s.setIsDownloadsPanelVisible(true); },
                   [](MainBrowserView& root) -> OverlayLayer& {
                       return root.traditionalView()->panels().downloadsLayer();
                   }},
        DimmedCase{"AIChat", BrowserLayoutMode::vertical, [](BrowserState& s) { s.setIsAIChatVisible(true); },
                   [](MainBrowserView& root) -> OverlayLayer& { return root.aiChatLayer(); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kovi::test
