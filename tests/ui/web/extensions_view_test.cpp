// The page extensions sheet: cards from the store, import with confirmation, and one alert for
// import and store failures.
#include "web_test_fixture.h"

#include "ui/web/extensions_view.h"

#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/switch.h>

#include <filesystem>
#include <fstream>

namespace kovi::test {
namespace {

// Every label text and button label inside a widget, in order.
void collect(Gtk::Widget& widget, std::vector<std::string>& texts, std::vector<Gtk::Switch*>* switches = nullptr)
{
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget))
        texts.push_back(label->get_text());
    if (auto* toggle = dynamic_cast<Gtk::Switch*>(&widget); toggle && switches)
        switches->push_back(toggle);
    for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
        collect(*child, texts, switches);
}

bool contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ExtensionsViewTest : public WebFixture {
protected:
    void SetUp() override
    {
        sheet = std::make_unique<ExtensionsView>(*window, *extensions, *appearance, [this] { ++dismissed; });
        sheet->present();
        drainMainLoop();
    }
    void TearDown() override { sheet.reset(); }

    std::string makeFolder(const std::string& name, const std::string& manifest, const std::string& js = "void 0;")
    {
        std::string folder = dir.file(name);
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/manifest.json") << manifest;
        std::ofstream(folder + "/a.js") << js;
        return folder;
    }

    std::vector<std::string> cardTexts(std::size_t index, std::vector<Gtk::Switch*>* switches = nullptr)
    {
        std::vector<std::string> texts;
        auto cards = sheet->cards();
        if (index < cards.size())
            collect(*cards[index], texts, switches);
        return texts;
    }

    std::unique_ptr<ExtensionsView> sheet;
    int dismissed = 0;
};

const char* demoManifest = R"({"name": "Demo", "version": "2.1", "description": "Makes pages calm.",
  "manifest_version": 3, "content_scripts": [
    {"matches": ["https://b.example/*", "https://A.example/*"], "js": ["a.js"]},
    {"matches": ["https://b.example/*"], "js": ["a.js"]}]})";

TEST_F(ExtensionsViewTest, TheBuiltInExtensionHasNoRemoveButtonAndItsSwitchWorks)
{
    ASSERT_EQ(sheet->cards().size(), 1u);
    std::vector<Gtk::Switch*> switches;
    auto texts = cardTexts(0, &switches);
    EXPECT_TRUE(contains(texts, "Focus Reading"));
    EXPECT_TRUE(contains(texts, "BUILT IN"));
    EXPECT_FALSE(contains(texts, "Remove"));
    ASSERT_EQ(switches.size(), 1u);
    EXPECT_FALSE(switches[0]->get_active());

    switches[0]->set_active(true);
    drainMainLoop();
    EXPECT_TRUE(extensions->extensions().front().enabled);
    switches.clear();
    cardTexts(0, &switches);
    EXPECT_TRUE(switches[0]->get_active());
}

TEST_F(ExtensionsViewTest, ImportAsksFirstAndInstallsSwitchedOnWithSortedSites)
{
    std::string folder = makeFolder("demo", demoManifest);
    sheet->importFolder(folder);
    ASSERT_TRUE(sheet->pending().has_value());
    ASSERT_NE(sheet->confirmation(), nullptr);
    // Each shows one title bar, its own: the desktop adds none above the heading.
    ASSERT_TRUE(waitForWindow(*sheet->confirmation()));
    EXPECT_FALSE(getsDesktopTitleBar(*sheet));
    EXPECT_FALSE(getsDesktopTitleBar(*sheet->confirmation()));
    std::vector<std::string> texts;
    collect(*sheet->confirmation(), texts);
    EXPECT_TRUE(contains(texts, "Install Demo?"));
    EXPECT_TRUE(contains(texts, "https://A.example/*\nhttps://b.example/*"));

    sheet->cancelInstall();
    drainMainLoop();
    EXPECT_EQ(extensions->extensions().size(), 1u);
    EXPECT_FALSE(sheet->alertMessage().has_value());

    sheet->importFolder(folder);
    sheet->confirmInstall();
    sheet->importFolder(folder);
    sheet->confirmInstall();
    drainMainLoop();
    ASSERT_EQ(extensions->extensions().size(), 3u);
    EXPECT_TRUE(extensions->extensions()[1].enabled);
    EXPECT_NE(extensions->extensions()[1].id, extensions->extensions()[2].id);
    ASSERT_EQ(sheet->cards().size(), 3u);
    auto card = cardTexts(1);
    EXPECT_TRUE(contains(card, "2.1"));
    EXPECT_TRUE(contains(card, "Site access: https://A.example/*, https://b.example/*"));
    EXPECT_TRUE(contains(card, "Remove"));
}

TEST_F(ExtensionsViewTest, RemoveTakesTheCardAwayAtOnce)
{
    sheet->importFolder(makeFolder("demo", demoManifest));
    sheet->confirmInstall();
    drainMainLoop();
    ASSERT_EQ(sheet->cards().size(), 2u);
    Gtk::Button* remove = nullptr;
    std::function<void(Gtk::Widget&)> find = [&](Gtk::Widget& w) {
        if (auto* b = dynamic_cast<Gtk::Button*>(&w); b && b->get_label() == "Remove")
            remove = b;
        for (auto* c = w.get_first_child(); c; c = c->get_next_sibling())
            find(*c);
    };
    find(*sheet->cards()[1]);
    ASSERT_NE(remove, nullptr);
    g_signal_emit_by_name(remove->gobj(), "clicked");
    drainMainLoop();
    EXPECT_EQ(sheet->cards().size(), 1u);
    EXPECT_EQ(extensions->extensions().size(), 1u);
}

TEST_F(ExtensionsViewTest, AFailedImportShowsItsMessageAndOkClearsBothErrors)
{
    sheet->importFolder(makeFolder("broken", "{ not json"));
    EXPECT_FALSE(sheet->pending().has_value());
    ASSERT_TRUE(sheet->alertMessage().has_value());
    std::string importMessage = *sheet->alertMessage();
    EXPECT_FALSE(importMessage.empty());

    extensions->setErrorMessage("store trouble");
    EXPECT_EQ(*sheet->alertMessage(), importMessage); // the import error wins
    sheet->dismissAlert();
    EXPECT_FALSE(sheet->alertMessage().has_value());
    EXPECT_FALSE(extensions->errorMessage().has_value());
    EXPECT_EQ(extensions->extensions().size(), 1u);
}

TEST_F(ExtensionsViewTest, CloseButtonAndWindowCloseDismissTheSheet)
{
    sheet->close();
    drainMainLoop();
    EXPECT_EQ(dismissed, 1);
}

} // namespace
} // namespace kovi::test
