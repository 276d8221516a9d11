// Design tokens, motion curves, the symbol table and the bundled stylesheets.
#include "app_fixture.h"

#include "ui/design/kovi_design.h"
#include "ui/design/motion.h"
#include "ui/design/symbols.h"

#include <gio/gio.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/icontheme.h>

#include <cmath>

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

TEST(Design, EverySymbolHasAnIconAndEveryStylesheetParses)
{
    ensureGtk();
    auto theme = Gtk::IconTheme::get_for_display(Gdk::Display::get_default());
    for (const char* symbol : {"magnifyingglass", "books.vertical", "clock.arrow.circlepath", "arrow.down.circle",
                               "sidebar.left", "rectangle.split.1x2", "checkmark", "lock.shield.fill",
                               "xmark.shield.fill", "icloud.fill", "person.crop.circle.fill", "lock.fill",
                               "person.fill", "folder", "sparkles", "puzzlepiece.extension", "plus",
                               "chevron.left", "chevron.right"}) {
        const std::string icon = iconNameForSymbol(symbol);
        ASSERT_FALSE(icon.empty()) << symbol;
        EXPECT_TRUE(theme->has_icon(icon)) << symbol << " → " << icon;
    }
    EXPECT_EQ(iconNameForSymbol("no.such.symbol"), "");

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

} // namespace
} // namespace kovi::test
