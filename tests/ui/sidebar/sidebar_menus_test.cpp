#include "sidebar_ui_fixture.h"

#include <giomm/menumodel.h>
#include <gtkmm/popovermenu.h>

namespace kovi::test {
namespace {

class SidebarMenusTest : public SidebarWindowTest {
protected:
    void SetUp() override
    {
        SidebarWindowTest::SetUp();
        a = open("https://alpha.example/", "Alpha");
        b = open("https://beta.example/", "Beta");
        catchUp();
    }
    SidebarTabRow& row(const Uuid& id) { return *list().topLevelRow(id); }
    // A right click on the row shows its menu. On a busy virtual display a click now and then
    // never arrives; like a user, the test clicks once more before it gives up.
    bool showMenu(SidebarTabRow& r)
    {
        auto shown = [&] { return r.menu() && r.menu()->get_mapped(); };
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (click(r, 3) && runUntilGtk(shown))
                return true;
        }
        return false;
    }
    // Closes the menu and waits until it has left the screen.
    void closeMenu(SidebarTabRow& r)
    {
        r.menu()->popdown();
        EXPECT_TRUE(runUntilGtk([&] { return !r.menu()->get_mapped(); }));
    }
    // A right click on the row, then its menu's entries.
    std::vector<std::string> openMenu(SidebarTabRow& r)
    {
        EXPECT_TRUE(showMenu(r)) << "the menu of " << r.tab().url.string();
        if (!r.menu())
            return {};
        auto items = menuLabels(r.menu()->get_menu_model());
        closeMenu(r);
        return items;
    }
    Uuid a, b;
};

TEST_F(SidebarMenusTest, TheTabMenuOffersItsEntriesInOrderAndActs)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(openMenu(row(a)), (V{"Pin to Favorites", "Keep in Sidebar", "-", "Open in Split View",
                                   "Open in Quick View", "-", "New Folder with Tab", "-", "Duplicate Tab",
                                   "Copy URL", "-", "Close"}));
    state->createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    const Uuid work = *state->currentSpaceId();
    state->setActiveTabId(a); // back to the first space
    catchUp();
    auto items = openMenu(row(a));
    EXPECT_NE(std::find(items.begin(), items.end(), "Move to Space>"), items.end());

    // Keep in Sidebar moves the row into the Keep section.
    ASSERT_TRUE(row(a).activate_action("row.keep"));
    catchUp();
    EXPECT_TRUE(list().keepRow(a));
    EXPECT_FALSE(list().topLevelRow(a));
    EXPECT_TRUE(list().keepSection().get_visible());
    auto* kept = list().keepRow(a);
    EXPECT_EQ(openMenu(*kept), (V{"Pin to Favorites", "Allow Auto-Archive", "-", "Duplicate Tab", "-", "Close Tab"}));

    // Duplicate copies the title into the tab's own space and activates the copy.
    openMenu(row(b));
    ASSERT_TRUE(row(b).activate_action("row.duplicate"));
    catchUp();
    const Tab copy = *state->activeTab();
    EXPECT_NE(copy.id, b);
    EXPECT_EQ(copy.title, "Beta");
    EXPECT_EQ(copy.url, state->tabs().at(b).url);

    // Move to Space takes the tab out of this space's list.
    openMenu(row(b));
    ASSERT_TRUE(row(b).activate_action("row.move-to-space", Glib::Variant<Glib::ustring>::create(work.toString())));
    catchUp();
    EXPECT_EQ(state->tabs().at(b).spaceId, work);
}

TEST_F(SidebarMenusTest, AKeepRowClosedByItsButtonShrinksAwayWhereItStoodAndFromTheMenuGoesAtOnce)
{
    state->toggleAutoArchiveExcluded(a);
    state->toggleAutoArchiveExcluded(b);
    catchUp();
    SidebarTabRow* kept = list().keepRow(a);
    ASSERT_TRUE(kept && list().keepRow(b));
    Gtk::Widget* below = kept->get_next_sibling();
    Gtk::Widget* above = kept->get_prev_sibling();
    ASSERT_TRUE(hover(*kept));
    ASSERT_TRUE(runUntilGtk([&] { return kept->isHovered(); }));

    // Every frame of the way out (it may be over before the click's tool has even quit).
    struct Watch {
        SidebarTabList* list;
        CollapsingBin* bin = nullptr;
        Gtk::Widget *child = nullptr, *above = nullptr, *below = nullptr;
        bool takesClicks = true;
        std::vector<int> heights;
    } watch{&list()};
    const guint tick = gtk_widget_add_tick_callback(
        GTK_WIDGET(list().keepSection().gobj()),
        [](GtkWidget*, GdkFrameClock*, gpointer data) -> gboolean {
            auto* w = static_cast<Watch*>(data);
            if (w->list->leavingKeepRows().empty())
                return G_SOURCE_CONTINUE;
            CollapsingBin* bin = w->list->leavingKeepRows().front();
            if (!w->bin) {
                w->bin = bin;
                w->child = bin->child();
                w->above = bin->get_prev_sibling();
                w->below = bin->get_next_sibling();
                w->takesClicks = bin->get_can_target();
            }
            w->heights.push_back(bin->get_height());
            return G_SOURCE_CONTINUE;
        },
        &watch, nullptr);
    ASSERT_TRUE(xdoClickWidget(*kept->closeButton()));
    EXPECT_FALSE(state->tabs().contains(a)) << "the state changes at once";
    view().flushRefresh();
    EXPECT_FALSE(list().keepRow(a));
    ASSERT_TRUE(runUntilGtk([&] { return watch.bin && list().leavingKeepRows().empty(); }));
    gtk_widget_remove_tick_callback(GTK_WIDGET(list().keepSection().gobj()), tick);
    EXPECT_EQ(watch.child, kept);
    EXPECT_EQ(watch.below, below) << "it leaves where it stood";
    EXPECT_EQ(watch.above, above);
    EXPECT_FALSE(watch.takesClicks) << "a row on its way out takes no clicks";
    // Frames before the bin's first layout saw no height.
    std::vector<int> heights(std::find_if(watch.heights.begin(), watch.heights.end(), [](int h) { return h > 0; }),
                             watch.heights.end());
    ASSERT_FALSE(heights.empty());
    const int full = heights.front();
    EXPECT_TRUE(std::any_of(heights.begin(), heights.end(), [&](int h) { return h > 0 && h < full; }))
        << "the rows below glide up: " << testing::PrintToString(heights);
    EXPECT_TRUE(std::is_sorted(heights.rbegin(), heights.rend())) << "it only ever shrinks: " << testing::PrintToString(heights);
    EXPECT_TRUE(list().keepSection().get_visible()) << "the other kept row stays";

    // Switching spaces drops a row still on its way out.
    const Uuid home = *state->currentSpaceId();
    const Uuid c = open("https://gamma.example/", "Gamma");
    state->toggleAutoArchiveExcluded(c);
    catchUp();
    ASSERT_TRUE(hover(*list().keepRow(c)));
    ASSERT_TRUE(runUntilGtk([&] { return list().keepRow(c)->isHovered(); }));
    g_signal_emit_by_name(list().keepRow(c)->closeButton()->gobj(), "clicked");
    view().flushRefresh();
    ASSERT_EQ(list().leavingKeepRows().size(), 1u);
    state->createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    view().flushRefresh();
    EXPECT_TRUE(list().leavingKeepRows().empty());
    EXPECT_FALSE(list().keepSection().get_visible());
    state->setCurrentSpaceId(home);
    catchUp();

    // From the menu the row goes at once, and the empty section with it.
    openMenu(*list().keepRow(b));
    ASSERT_TRUE(list().keepRow(b)->activate_action("row.close"));
    view().flushRefresh();
    EXPECT_TRUE(list().leavingKeepRows().empty());
    EXPECT_FALSE(list().keepRow(b));
    EXPECT_FALSE(list().keepSection().get_visible());
}

TEST_F(SidebarMenusTest, FoldersExpandRenameAndDelete)
{
    state->createFolder("Trip", {a, b});
    catchUp();
    const Uuid f = state->folders().begin()->first;
    FolderRow* folder = list().folderRow(f);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->badge().get_text(), "2");
    ASSERT_TRUE(folder->rowFor(a));

    ASSERT_TRUE(click(folder->chevron()));
    ASSERT_TRUE(runUntilGtk([&] { return !state->folders().at(f).isExpanded; }));
    view().flushRefresh();
    EXPECT_FALSE(list().folderRow(f)->isShowingTabs());
    EXPECT_EQ(list().folderRow(f), folder) << "the same row slides shut";
    ASSERT_TRUE(click(list().folderRow(f)->chevron()));
    ASSERT_TRUE(runUntilGtk([&] { return state->folders().at(f).isExpanded; }));
    view().flushRefresh();
    EXPECT_TRUE(list().folderRow(f)->isShowingTabs());

    // Rename with the keyboard: committed on Return, as typed (blanks kept).
    folder = list().folderRow(f);
    ASSERT_TRUE(xdoFocusWindow(*window));
    auto menuShown = [&] {
        auto* menu = findWidget<Gtk::PopoverMenu>(folder->header());
        return menu && menu->get_mapped();
    };
    ASSERT_TRUE(click(folder->header(), 3));
    ASSERT_TRUE(runUntilGtk(menuShown));
    xdo({"key", "Escape"}); // the menu closes as choosing an entry would close it
    ASSERT_TRUE(runUntilGtk([&] { return !menuShown(); }));
    ASSERT_TRUE(folder->activate_action("folder.rename"));
    ASSERT_TRUE(runUntilGtk([&] { return folder->isEditing() && folder->nameEntry().get_width() > 0; }));
    folder->nameEntry().grab_focus();
    ASSERT_TRUE(runUntilGtk([&] {
        auto* focus = window->get_focus();
        return focus && focus->is_ancestor(folder->nameEntry());
    }));
    xdo({"key", "--clearmodifiers", "ctrl+a"});
    xdo({"type", "--delay", "15", " Summer "});
    xdo({"key", "Return"});
    ASSERT_TRUE(runUntilGtk([&] { return state->folders().at(f).name == " Summer "; }));
    EXPECT_FALSE(folder->isEditing());

    ASSERT_TRUE(folder->activate_action("folder.delete"));
    catchUp();
    EXPECT_TRUE(state->folders().empty());
    EXPECT_TRUE(list().topLevelRow(a) && list().topLevelRow(b)) << "its tabs return to the list";
}

} // namespace
} // namespace kovi::test
