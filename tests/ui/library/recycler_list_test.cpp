// The lazy list behind the library sheet and the history panel: only the rows in view exist,
// and scrolling or a new count binds them again.
#include "support/gtk_test_support.h"
#include "ui/library/recycler_list.h"

#include <gtest/gtest.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <string>

namespace kovi::test {
namespace {

struct Rows {
    std::vector<std::string> texts;
    int built = 0;
    RecyclerList::Rows source()
    {
        return {[this](std::size_t index) { return texts.at(index).empty() ? 0 : 1; },
                [this](int kind) -> Gtk::Widget* {
                    ++built;
                    auto* label = Gtk::make_managed<Gtk::Label>();
                    // Headers (kind 0) are shorter than the other rows.
                    label->set_size_request(-1, kind == 0 ? 20 : 40);
                    return label;
                },
                [this](Gtk::Widget& row, std::size_t index) {
                    static_cast<Gtk::Label&>(row).set_text(texts.at(index).empty() ? "header" : texts.at(index));
                }};
    }
};

std::vector<std::string> shownTexts(const RecyclerList& list)
{
    std::vector<std::string> texts;
    for (Gtk::Widget* row : list.shownRows())
        texts.push_back(static_cast<Gtk::Label*>(row)->get_text());
    return texts;
}

TEST(RecyclerList, OnlyTheRowsInViewAreBuiltAndScrollingRebindsThem)
{
    ensureGtk();
    Rows rows;
    for (int i = 0; i < 10'000; ++i)
        rows.texts.push_back(i % 100 == 0 ? "" : "row " + std::to_string(i));
    Gtk::Window window;
    window.set_default_size(300, 400);
    RecyclerList list(rows.source(), 4, 8);
    window.set_child(list);
    list.setCount(rows.texts.size());
    window.present();
    ASSERT_TRUE(waitForWindow(window));
    ASSERT_TRUE(runUntilGtk([&] { return list.get_vadjustment()->get_page_size() > 0 && !list.shownRows().empty(); }));
    settle(50);

    EXPECT_LT(rows.built, 30);
    auto shown = shownTexts(list);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "header");
    EXPECT_EQ(shown[1], "row 1");
    // 99 rows of 44 and one header of 24 per hundred, plus the padding.
    EXPECT_DOUBLE_EQ(list.get_vadjustment()->get_upper(), 8 + 100 * (99 * 44 + 24) + 8);

    auto adjustment = list.get_vadjustment();
    adjustment->set_value(adjustment->get_upper() - adjustment->get_page_size());
    ASSERT_TRUE(runUntilGtk([&] { return !shownTexts(list).empty() && shownTexts(list).back() == "row 9999"; }));
    EXPECT_LT(rows.built, 40); // the rows that left the view were used again

    // A shorter list binds the rows again and scrolls back within it.
    rows.texts = {"", "alpha", "beta"};
    list.setCount(3);
    ASSERT_TRUE(runUntilGtk([&] { return shownTexts(list) == std::vector<std::string>{"header", "alpha", "beta"}; }));
    list.setCount(0);
    ASSERT_TRUE(runUntilGtk([&] { return list.shownRows().empty(); }));
    window.hide();
}

} // namespace
} // namespace kovi::test
