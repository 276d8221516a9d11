#include "sidebar_ui_fixture.h"

#include "support/large_images.h"

#include <gdkmm/pixbuf.h>

namespace kovi::test {
namespace {

Bytes pngBytes(int size, guint32 rgba)
{
    auto pixbuf = Gdk::Pixbuf::create(Gdk::Colorspace::RGB, true, 8, size, size);
    pixbuf->fill(rgba);
    gchar* buffer = nullptr;
    gsize length = 0;
    pixbuf->save_to_buffer(buffer, length, "png");
    Bytes bytes(reinterpret_cast<std::uint8_t*>(buffer), reinterpret_cast<std::uint8_t*>(buffer) + length);
    g_free(buffer);
    return bytes;
}

class SidebarFaviconTest : public SidebarWindowTest {};

TEST_F(SidebarFaviconTest, IconsDecodeOnceAndBrokenBytesShowTheGlobe)
{
    FaviconCache cache;
    const Bytes red = pngBytes(16, 0xff0000ff);
    auto first = cache.texture(red);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->get_width(), 16);
    EXPECT_EQ(cache.texture(Bytes(red)), first) << "the same bytes decode once";
    EXPECT_NE(cache.texture(pngBytes(16, 0x00ff00ff)), first);
    EXPECT_FALSE(cache.texture(Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}));
    EXPECT_FALSE(cache.texture(Bytes{}));
    EXPECT_FALSE(cache.texture(std::nullopt));

    const Uuid good = open("https://good.example/", "Good");
    const Uuid broken = open("https://broken.example/", "Broken");
    state->updateTabFavicon(good, red);
    state->updateTabFavicon(broken, Bytes{0x89, 'P', 'N', 'G', 0, 1, 2});
    catchUp();
    auto* goodRow = list().topLevelRow(good);
    auto* brokenRow = list().topLevelRow(broken);
    ASSERT_TRUE(goodRow && brokenRow);
    auto icon = [](Gtk::Widget& row) { return row.get_first_child(); };
    EXPECT_FALSE(icon(*goodRow)->has_css_class("symbol"));
    EXPECT_TRUE(icon(*brokenRow)->has_css_class("symbol")) << "the globe stands in";

    // A pinned tab without a usable icon shows its first letter.
    state->pinTab(broken);
    catchUp();
    ASSERT_TRUE(list().pinnedTile(broken));
    bool letterShown = false;
    for (Gtk::Widget* child = list().pinnedTile(broken)->get_first_child(); child; child = child->get_next_sibling()) {
        if (auto* label = dynamic_cast<Gtk::Label*>(child); label && label->get_visible())
            letterShown = label->get_text() == "B";
    }
    EXPECT_TRUE(letterShown);
}

// Regression: icons are stored with the tabs, and the sidebar decoded a stored icon whole: one
// that declared 30000×30000 pixels took seconds and gigabytes at every start.
TEST_F(SidebarFaviconTest, AStoredIconDeclaringAHugePictureShowsTheGlobeAtStart)
{
    const std::string huge = largeBlankPng(30000, 30000);
    const Uuid id = open("https://giant.example/", "Giant");
    const std::size_t peakBefore = peakResidentBytes();
    state->updateTabFavicon(id, Bytes(huge.begin(), huge.end()));
    catchUp();
    state->saveState();
    restartState();
    catchUp();
    auto* row = list().topLevelRow(id);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->get_first_child()->has_css_class("symbol")) << "the globe stands in";
    EXPECT_LT(peakResidentBytes() - peakBefore, 300u * 1024 * 1024);
}

TEST_F(SidebarFaviconTest, CopyLinkShowsItsCheckMarkForASecond)
{
    open("https://copy.example/a?b=c");
    catchUp();
    auto& copy = view().addressBar().copyButton();
    ASSERT_TRUE(copy.get_visible());
    ASSERT_TRUE(click(copy));
    EXPECT_TRUE(copy.isShowingCopied());
    EXPECT_FALSE(view().addressBar().model().isEditing()) << "the copy button does not open the field";
    std::string copied;
    bool read = false;
    copy.get_clipboard()->read_text_async([&](Glib::RefPtr<Gio::AsyncResult>& result) {
        copied = copy.get_clipboard()->read_text_finish(result);
        read = true;
    });
    ASSERT_TRUE(runUntilGtk([&] { return read; }));
    EXPECT_EQ(copied, "https://copy.example/a?b=c");
    EXPECT_TRUE(runUntilGtk([&] { return !copy.isShowingCopied(); }));
}

} // namespace
} // namespace kovi::test
