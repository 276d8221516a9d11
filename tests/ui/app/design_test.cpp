// Design tokens, motion curves, the symbol table and the bundled stylesheets.
#include "app_fixture.h"

#include "core/model/space.h"
#include "core/sidebar/space_editor_model.h"
#include "core/support/gobject_ptr.h"
#include "ui/design/kovi_design.h"
#include "ui/design/motion.h"
#include "ui/design/space_palette.h"
#include "ui/design/symbols.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>
#include <gtkmm/box.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kovi::test {
namespace {

TEST(Design, SidebarWidthIsClampedToItsBoundsAndSpringsUseTheirResponse)
{
    EXPECT_EQ(KoviDesign::clampSidebarWidth(219), 220);
    EXPECT_EQ(KoviDesign::clampSidebarWidth(220), 220);
    EXPECT_EQ(KoviDesign::clampSidebarWidth(320), 320);
    EXPECT_EQ(KoviDesign::clampSidebarWidth(1e9), 320);
    EXPECT_EQ(KoviDesign::clampSidebarWidth(NAN), 220);
    EXPECT_NEAR(KoviDesign::Animation::spring.stiffness(), std::pow(2 * M_PI / 0.35, 2), 1e-9);
}

TEST(Design, MotionCurvesStartAtZeroEndAtOneAndSettle)
{
    for (const auto& motion : {KoviDesign::Animation::instant, KoviDesign::Animation::fast,
                               KoviDesign::Motion::easeInOut(0.3)}) {
        bool finished = false;
        EXPECT_DOUBLE_EQ(MotionValue::progressAt(motion, 0, finished), 0);
        EXPECT_FALSE(finished);
        double last = 0;
        for (double t = 0.01; t < motion.duration; t += 0.01) {
            const double p = MotionValue::progressAt(motion, t, finished);
            EXPECT_GE(p, last); // never goes back
            last = p;
        }
        EXPECT_DOUBLE_EQ(MotionValue::progressAt(motion, motion.duration, finished), 1);
        EXPECT_TRUE(finished);
    }
    for (const auto& spring : {KoviDesign::Animation::spring, KoviDesign::Animation::springSmooth}) {
        bool finished = false;
        EXPECT_NEAR(MotionValue::progressAt(spring, 0, finished), 0, 1e-9);
        // Underdamped: overshoots a little, then settles well within a few responses.
        double peak = 0;
        double t = 0;
        for (; t < 5 && !finished; t += 1.0 / 60)
            peak = std::max(peak, MotionValue::progressAt(spring, t, finished));
        EXPECT_TRUE(finished);
        EXPECT_LT(t, 4 * spring.response);
        EXPECT_GT(peak, 1.0);
        EXPECT_LT(peak, 1.05);
    }
}

// Symbols reach the views from stored data (space icons) and from the core's view models (command
// bar results, the default space); each must have a picture the running theme really draws.
TEST(Design, EverySymbolResolvesToAnIconTheThemeDraws)
{
    ensureGtk();
    auto theme = Gtk::IconTheme::get_for_display(Gdk::Display::get_default());
    std::set<std::string> ownIcons;
    for (std::string_view symbol : knownSymbols()) {
        const std::string icon = iconNameForSymbol(symbol);
        ASSERT_FALSE(icon.empty()) << symbol;
        EXPECT_TRUE(theme->has_icon(icon)) << symbol << " → " << icon;
        if (icon.starts_with("kovi-"))
            ownIcons.insert(icon);
    }

    std::vector<std::string> fromData = SpaceIcons::all();
    for (const char* symbol : {"clock", "square.on.square", "globe", "book", "star", "magnifyingglass", "sparkles",
                               "xmark", defaultSpaceIcon})
        fromData.emplace_back(symbol);
    for (const std::string& symbol : fromData)
        EXPECT_FALSE(iconNameForSymbol(symbol).empty()) << symbol;

    // Each space icon is told apart from the others in the editor's grid.
    std::map<std::string, std::string> spaceIconBySymbol;
    for (const std::string& symbol : SpaceIcons::all()) {
        for (const auto& [other, icon] : spaceIconBySymbol)
            EXPECT_NE(icon, iconNameForSymbol(symbol)) << symbol << " and " << other << " look the same";
        spaceIconBySymbol[symbol] = iconNameForSymbol(symbol);
    }

    // Our own icons: every bundled file is used, and each one is a drawable 16-pixel symbol.
    char** files =
        g_resources_enumerate_children("/app/kovi/Browser/icons/scalable/actions/", G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    ASSERT_NE(files, nullptr);
    std::set<std::string> bundled;
    for (char** f = files; *f; ++f) {
        const std::string name = *f;
        ASSERT_TRUE(name.ends_with(".svg")) << name;
        bundled.insert(name.substr(0, name.size() - 4));
        GError* error = nullptr;
        auto pixbuf = GObjectPtr<GdkPixbuf>::adopt(gdk_pixbuf_new_from_resource_at_scale(
            ("/app/kovi/Browser/icons/scalable/actions/" + name).c_str(), 16, 16, TRUE, &error));
        ASSERT_NE(pixbuf.get(), nullptr) << name << ": " << (error ? error->message : "");
        int inked = 0;
        const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf.get());
        const int stride = gdk_pixbuf_get_rowstride(pixbuf.get()), channels = gdk_pixbuf_get_n_channels(pixbuf.get());
        for (int y = 0; y < gdk_pixbuf_get_height(pixbuf.get()); ++y) {
            for (int x = 0; x < gdk_pixbuf_get_width(pixbuf.get()); ++x)
                inked += channels == 4 && pixels[y * stride + x * channels + 3] > 128;
        }
        EXPECT_GT(inked, 12) << name << " draws (almost) nothing";
    }
    g_strfreev(files);
    EXPECT_EQ(bundled, ownIcons);

    EXPECT_EQ(iconNameForSymbol("no.such.symbol"), "");
}

// The middle pixel of a widget as drawn (red, green, blue).
Rgb drawnColour(Gtk::Window& window, Gtk::Widget& widget)
{
    const int w = widget.get_width(), h = widget.get_height();
    auto paintable = GObjectPtr<GdkPaintable>::adopt(gtk_widget_paintable_new(widget.gobj()));
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable.get(), snapshot, w, h);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    Rgb result{-1, -1, -1};
    if (node) {
        graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(w), static_cast<float>(h));
        auto texture = GObjectPtr<GdkTexture>::adopt(
            gsk_renderer_render_texture(gtk_native_get_renderer(GTK_NATIVE(window.gobj())), node, &bounds));
        std::vector<guchar> pixels(static_cast<std::size_t>(w * h * 4));
        gdk_texture_download(texture.get(), pixels.data(), static_cast<gsize>(w * 4));
        const guchar* p = &pixels[static_cast<std::size_t>(((h / 2) * w + w / 2) * 4)]; // B, G, R, A
        result = {p[2], p[1], p[0]};
        gsk_render_node_unref(node);
    }
    return result;
}

// The space colours are one table; the stylesheet's classes are made from it at start-up, for
// the light and the dark appearance.
TEST(Design, SpaceColourClassesPaintTheTablesColoursInBothAppearances)
{
    ensureGtk();
    auto provider = Gtk::CssProvider::create();
    int errors = 0;
    provider->signal_parsing_error().connect([&](const Glib::RefPtr<const Gtk::CssSection>&, const Glib::Error& e) {
        ++errors;
        ADD_FAILURE() << e.what();
    });
    provider->load_from_data(spacePaletteCss());
    EXPECT_EQ(errors, 0);

    Gtk::Window window;
    Gtk::Box row;
    window.set_child(row);
    std::vector<std::pair<Gtk::Box*, Gtk::Label*>> samples;
    for (const SpacePaletteColor& entry : spacePalette()) {
        auto* fill = Gtk::make_managed<Gtk::Box>();
        fill->set_size_request(16, 16);
        setSpaceColorClass(*fill, SpaceColorRole::fill, entry.color);
        auto* text = Gtk::make_managed<Gtk::Label>("A");
        setSpaceColorClass(*text, SpaceColorRole::text, entry.color);
        row.append(*fill);
        row.append(*text);
        samples.emplace_back(fill, text);
    }
    window.present();
    ASSERT_TRUE(waitForWindow(window));
    auto near = [](Rgb a, Rgb b) {
        return std::abs(a.red - b.red) <= 2 && std::abs(a.green - b.green) <= 2 && std::abs(a.blue - b.blue) <= 2;
    };
    for (bool dark : {false, true}) {
        if (dark)
            window.add_css_class("kovi-dark");
        settle(50);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const SpacePaletteColor& entry = spacePalette()[i];
            const Rgb expected = dark ? entry.dark : entry.light;
            const Rgb drawn = drawnColour(window, *samples[i].first);
            EXPECT_TRUE(near(drawn, expected)) << rawValue(entry.color) << (dark ? " dark" : " light") << ": drawn "
                                               << drawn.red << "," << drawn.green << "," << drawn.blue;
            const Gdk::RGBA colour = samples[i].second->get_style_context()->get_color();
            EXPECT_TRUE(near(Rgb{int(std::lround(colour.get_red() * 255)), int(std::lround(colour.get_green() * 255)),
                                 int(std::lround(colour.get_blue() * 255))},
                             expected))
                << rawValue(entry.color) << " text";
        }
    }
}

// Relative luminance of an sRGB colour, as the contrast ratio defines it.
double luminance(Rgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

double contrastRatio(Rgb a, Rgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every text colour that is not the primary foreground, drawn on the surfaces it is used on, in
// both looks: the text is a run of full blocks, so the pixel at its middle is the text colour as
// drawn (with any fading of the colour or the widget), the pixel beside it the surface.
TEST(Design, TextColoursReachTheirContrastOnTheSurfacesTheyAreUsedOn)
{
    ensureGtk();
    TempDir dir;
    CoreObjects core(dir.path());
    struct Use {
        std::vector<std::vector<const char*>> surfaces; // outermost first, each a box with these classes
        std::vector<const char*> text;
    };
    std::vector<Use> uses = {
        // History panel: day headings, addresses, times; downloads: sizes and states.
        {{{"library-panel"}}, {"history-header"}},
        {{{"library-panel"}, {"history-visit"}}, {"history-subtitle"}},
        {{{"library-panel"}, {"history-visit"}}, {"history-time"}},
        {{{"library-panel"}, {"download-row", "hovered"}}, {"download-size"}},
        {{{"library-panel"}, {"download-row"}}, {"download-status", "secondary"}},
        {{{"library-panel"}, {"download-row"}}, {"download-status", "blue"}},
        {{{"library-panel"}, {"download-row"}}, {"download-status", "green"}},
        {{{"library-panel"}, {"download-row"}}, {"download-status", "orange"}},
        {{{"library-panel"}, {"download-row"}}, {"download-status", "red"}},
        {{{"library-panel"}}, {"downloads-empty-label"}},
        // Library sheet.
        {{{"library-sheet"}}, {"library-subtitle"}},
        {{{"library-sheet"}, {"library-row"}}, {"library-row-detail"}},
        // Settings window and account panel: captions in sections, the selected tab's title.
        {{{"kovi-settings-root"}, {"kovi-settings-section"}}, {"kovi-settings-description", "kovi-secondary"}},
        {{{"kovi-settings-root"}, {"kovi-settings-section"}}, {"kovi-settings-description", "kovi-tertiary"}},
        {{{"kovi-settings-root"}}, {"kovi-settings-12", "kovi-secondary"}},
        {{{"kovi-account-view"}, {"kovi-account-card"}}, {"kovi-account-guest-badge"}},
        {{{"kovi-account-view"}, {"kovi-account-card"}}, {"kovi-account-stat-label", "kovi-tertiary"}},
        // Sidebar on the window chrome: headings, inactive and hovered rows, the space name.
        {{{"kovi-chrome"}, {"sidebar"}}, {"sidebar-section-header"}},
        {{{"kovi-chrome"}, {"sidebar"}}, {"sidebar-space-name"}},
        {{{"kovi-chrome"}, {"sidebar"}, {"sidebar-tab-row"}}, {"sidebar-tab-title"}},
        {{{"kovi-chrome"}, {"sidebar"}, {"sidebar-tab-row", "hovered"}}, {"sidebar-tab-title"}},
        {{{"kovi-chrome"}, {"sidebar"}, {"sidebar-tab-row", "active"}}, {"kovi-secondary"}},
        // Command bar: result subtitles on a plain and on the selected row.
        {{{"kovi-commandbar-card"}, {"kovi-commandbar-row"}}, {"subtitle"}},
        {{{"kovi-commandbar-card"}, {"kovi-commandbar-row", "selected"}, {"highlight"}}, {"subtitle"}},
    };
    // The horizontal layout's space capsule, in every space colour.
    std::vector<std::string> fills;
    for (const SpacePaletteColor& entry : spacePalette())
        fills.push_back(spaceColorClass(SpaceColorRole::fill, entry.color));
    for (const std::string& fill : fills)
        uses.push_back({{{"kovi-space-capsule", fill.c_str()}}, {"kovi-space-menu-name"}});

    Gtk::Window window;
    core.theme.attach(window);
    Gtk::Box column(Gtk::Orientation::VERTICAL, 0);
    window.set_child(column);
    std::vector<std::pair<Gtk::Widget*, Gtk::Label*>> samples; // outermost surface, text
    for (const Use& use : uses) {
        Gtk::Box* parent = &column;
        Gtk::Widget* outer = nullptr;
        for (const auto& classes : use.surfaces) {
            auto* surface = Gtk::make_managed<Gtk::Box>();
            for (const char* name : classes)
                surface->add_css_class(name);
            parent->append(*surface);
            outer = outer ? outer : surface;
            parent = surface;
        }
        auto* text = Gtk::make_managed<Gtk::Label>("\u2588\u2588\u2588\u2588");
        for (const char* name : use.text)
            text->add_css_class(name);
        text->set_margin(12);
        parent->append(*text);
        samples.emplace_back(outer, text);
    }
    window.present();
    ASSERT_TRUE(waitForWindow(window));

    for (bool dark : {false, true}) {
        core.appearance.setIsDarkMode(dark);
        settle(100);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            auto [outer, text] = samples[i];
            const int w = outer->get_width(), h = outer->get_height();
            ASSERT_GT(w, 0);
            auto paintable = GObjectPtr<GdkPaintable>::adopt(gtk_widget_paintable_new(outer->gobj()));
            GtkSnapshot* snapshot = gtk_snapshot_new();
            gdk_paintable_snapshot(paintable.get(), snapshot, w, h);
            GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
            ASSERT_NE(node, nullptr);
            graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(w), static_cast<float>(h));
            auto texture = GObjectPtr<GdkTexture>::adopt(
                gsk_renderer_render_texture(gtk_native_get_renderer(GTK_NATIVE(window.gobj())), node, &bounds));
            std::vector<guchar> pixels(static_cast<std::size_t>(w * h * 4));
            gdk_texture_download(texture.get(), pixels.data(), static_cast<gsize>(w * 4));
            gsk_render_node_unref(node);
            auto pixelAt = [&](const graphene_point_t& local) {
                graphene_point_t p;
                EXPECT_TRUE(gtk_widget_compute_point(GTK_WIDGET(text->gobj()), outer->gobj(), &local, &p));
                const guchar* px = &pixels[static_cast<std::size_t>((int(p.y) * w + int(p.x)) * 4)]; // B, G, R, A
                return Rgb{px[2], px[1], px[0]};
            };
            const float middle = static_cast<float>(text->get_height()) / 2;
            const Rgb ink = pixelAt(GRAPHENE_POINT_INIT(static_cast<float>(text->get_width()) / 2, middle));
            const Rgb surface = pixelAt(GRAPHENE_POINT_INIT(-6, middle));
            std::string what;
            for (const char* name : uses[i].text)
                what += std::string(".") + name;
            what += " on ";
            for (const char* name : uses[i].surfaces.back())
                what += std::string(".") + name;
            EXPECT_GE(contrastRatio(ink, surface), 4.5)
                << what << (dark ? " (dark)" : " (light)") << ": "
                << ink.red << "," << ink.green << "," << ink.blue << " on " << surface.red << "," << surface.green
                << "," << surface.blue;
        }
    }
}

TEST(Design, EveryStylesheetParses)
{
    ensureGtk();
    // Our own stylesheets parse without a single error.
    char** files = g_resources_enumerate_children("/app/kovi/Browser/css/", G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    ASSERT_NE(files, nullptr);
    int checked = 0;
    for (char** f = files; *f; ++f) {
        const std::string name = *f;
        if (name != "10-design.css" && name != "15-first-run.css" && name != "20-shell.css")
            continue;
        auto provider = Gtk::CssProvider::create();
        int errors = 0;
        provider->signal_parsing_error().connect(
            [&](const Glib::RefPtr<const Gtk::CssSection>&, const Glib::Error& e) {
                ++errors;
                ADD_FAILURE() << name << ": " << e.what();
            });
        provider->load_from_resource("/app/kovi/Browser/css/" + name);
        EXPECT_EQ(errors, 0) << name;
        ++checked;
    }
    g_strfreev(files);
    EXPECT_EQ(checked, 3);
    EXPECT_NE(g_resources_get_info("/app/kovi/Browser/images/kovi-logo.svg", G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr,
                                   nullptr, nullptr),
              FALSE);
}

// On an X server without a compositor the see-through edge of a menu's window (its shadow, its
// rounded corners) showed as a black frame around every menu: there a menu's window is as large
// as the menu itself.
TEST(Design, WithoutACompositorAMenuHasNoSeeThroughEdge)
{
    ensureGtk();
    auto display = Gdk::Display::get_default();
    if (display->is_composited())
        GTEST_SKIP() << "the display has a compositor";
    Gtk::Window window;
    window.set_default_size(300, 200);
    Gtk::Box box;
    window.set_child(box);
    Gtk::Popover menu;
    menu.set_has_arrow(false);
    menu.set_child(*Gtk::make_managed<Gtk::Label>("Pin to Favorites"));
    menu.set_parent(box);
    window.present();
    ASSERT_TRUE(waitForWindow(window));
    menu.popup();
    ASSERT_TRUE(runUntilGtk(
        [&] { return menu.get_mapped() && menu.get_first_child() && menu.get_first_child()->get_width() > 0; }));
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(menu.gobj()));
    ASSERT_NE(surface, nullptr);
    // The menu's box, border included, fills its window.
    graphene_rect_t edge{};
    ASSERT_TRUE(gtk_widget_compute_bounds(menu.get_first_child()->gobj(), GTK_WIDGET(menu.gobj()), &edge));
    EXPECT_EQ(edge.origin.x, 0);
    EXPECT_EQ(edge.origin.y, 0);
    EXPECT_EQ(edge.size.width, gdk_surface_get_width(surface));
    EXPECT_EQ(edge.size.height, gdk_surface_get_height(surface));
    menu.popdown();
    menu.unparent();
}

} // namespace
} // namespace kovi::test
