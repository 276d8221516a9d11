// Under a dimming scrim nothing reacts to the pointer: the sidebar's hover preview neither
// appears while the pointer crosses the dimmed sidebar nor stays up once the scrim comes.
// Real pointer motion on the test's own display.
#include "ai_ui_fixture.h"

#include "ui/layouts/content_view.h"
#include "ui/sidebar/sidebar_rows.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/sidebar/tab_list.h"
#include "ui/sidebar/tab_snapshot_provider.h"

#include <gdkmm/memorytexture.h>
#include <glibmm/main.h>

namespace kovi::test {
namespace {

// A grey picture for every tab, from the main loop; counts the requests.
class GreySnapshots final : public TabSnapshotProvider {
public:
    void snapshot(const Uuid&, std::function<void(Glib::RefPtr<Gdk::Texture>)> done) override
    {
        ++requests;
        Glib::signal_idle().connect_once([done = std::move(done)] {
            std::vector<guint8> pixels(16 * 16 * 4, 160);
            done(Gdk::MemoryTexture::create(16, 16, Gdk::MemoryTexture::Format::R8G8B8A8,
                                            Glib::Bytes::create(pixels.data(), pixels.size()), 16 * 4));
        });
    }
    int requests = 0;
};

class DimmedHoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ViewSlots slots = defaultViewSlots();
        slots.tabContent = {}; // no pages: only the sidebar matters here
        slots.sidebar = [this](AppContext& ctx, SidebarHost& host) -> Gtk::Widget* {
            return Gtk::make_managed<SidebarView>(
                SidebarServices{.state = ctx.state, .appearance = ctx.appearance, .notifications = ctx.notifications,
                                .http = ctx.http, .snapshots = &snapshots},
                host);
        };
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, slots);
        ASSERT_TRUE(h->showBrowser());
        for (const char* url : {"http://127.0.0.1:9/one", "http://127.0.0.1:9/two", "http://127.0.0.1:9/three"})
            h->ctx().state.addTab(makeTab(h->ctx().state, url, url));
        sidebar = dynamic_cast<SidebarView*>(h->root().contentView()->dock().sidebarWidget());
        ASSERT_NE(sidebar, nullptr);
        for (const Tab& tab : h->ctx().state.tabsForCurrentSpace())
            tabs.push_back(tab.id);
        ASSERT_TRUE(runUntilGtk([&] {
            SidebarTabRow* last = sidebar->tabList().topLevelRow(tabs.back());
            return last && last->get_mapped() && last->get_height() > 0;
        }));
        settle(200);
    }

    SidebarTabRow& row(std::size_t i) { return *sidebar->tabList().topLevelRow(tabs.at(i)); }

    // Rests the pointer on a row long enough for its preview.
    bool restOn(std::size_t i)
    {
        return xdoMoveToWidget(row(i)) && runUntilGtk([&] { return sidebar->isPreviewShown(); });
    }

    bool waitShown(OverlayLayer& layer)
    {
        return runUntilGtk([&] {
            return layer.content() && layer.content()->get_mapped() && layer.get_opacity() >= 1.0;
        }, 10);
    }

    TempDir dir;
    GreySnapshots snapshots;
    std::unique_ptr<AppHarness> h;
    SidebarView* sidebar = nullptr;
    std::vector<Uuid> tabs;
};

TEST_F(DimmedHoverTest, NothingUnderAScrimShowsAHoverPreview)
{
    BrowserState& state = h->ctx().state;
    struct Case {
        const char* name;
        OverlayLayer& layer;
        std::function<void(bool)> show;
    };
    const Case cases[] = {
        {"AI settings", h->root().aiSettingsLayer(), [&](bool on) { state.setIsKoviMaxSettingsVisible(on); }},
        {"AI chat", h->root().aiChatLayer(), [&](bool on) { state.setIsAIChatVisible(on); }},
        {"account", h->root().accountLayer(), [&](bool on) { state.setIsAccountSettingsVisible(on); }},
    };
    for (const auto& c : cases) {
        // Without a scrim a resting pointer brings the preview up.
        ASSERT_TRUE(restOn(0)) << c.name;

        // The scrim comes while the preview shows: it goes, though the pointer stays put.
        c.show(true);
        ASSERT_TRUE(waitShown(c.layer)) << c.name;
        EXPECT_TRUE(runUntilGtk([&] { return !sidebar->isPreviewShown(); })) << c.name;

        // Crossing the dimmed rows, resting on each: nothing is asked for, nothing shows.
        const int before = snapshots.requests;
        for (std::size_t i : {1u, 2u, 1u}) {
            const double middle = row(i).get_height() / 2.0;
            ASSERT_TRUE(xdoMoveToWidget(row(i), 20, middle)) << c.name;
            ASSERT_TRUE(xdoMoveToWidget(row(i), 40, middle)) << c.name;
            settle(450);
            EXPECT_FALSE(sidebar->isPreviewShown()) << c.name << ", row " << i;
            EXPECT_FALSE(row(i).has_css_class("hovered")) << c.name << ", row " << i;
        }
        EXPECT_EQ(snapshots.requests, before) << c.name;

        // Once the scrim has gone the rows answer the pointer again.
        c.show(false);
        ASSERT_TRUE(runUntilGtk([&] { return c.layer.content() == nullptr; })) << c.name;
        ASSERT_TRUE(restOn(2)) << c.name;
        ASSERT_TRUE(xdoMoveToWidget(h->root().contentView()->pageArea()));
        ASSERT_TRUE(runUntilGtk([&] { return !sidebar->isPreviewShown(); })) << c.name;
    }
}

} // namespace
} // namespace kovi::test
