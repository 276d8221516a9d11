#include "core/web/page_extension_store.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kovi {
namespace {

using test::TempDir;

PageExtension sample(std::string name = "Sample")
{
    PageExtension extension;
    extension.name = std::move(name);
    extension.version = "2.1";
    extension.description = "Adds a thing.";
    PageExtension::Script script;
    script.matches = {"https://example.com/*"};
    script.excludes = {"https://example.com/private/*"};
    script.javascript = "window.sample = 1;";
    script.css = "body { color: red; }";
    script.runAt = "document_start";
    extension.scripts = {script};
    return extension;
}

struct Observed {
    int extensions = 0, revisions = 0, errors = 0;
    explicit Observed(PageExtensionStore& store)
    {
        store.extensionsChanged().connect([this] { ++extensions; });
        store.revisionChanged().connect([this] { ++revisions; });
        store.errorMessageChanged().connect([this] { ++errors; });
    }
};

TEST(PageExtensionStoreTest, FirstStartOffersTheBuiltInExtensionWithoutWriting)
{
    TempDir dir;
    PageExtensionStore store(dir.path());
    ASSERT_EQ(store.extensions().size(), 1u);
    const auto& builtIn = store.extensions()[0];
    EXPECT_EQ(builtIn.name, "Focus Reading");
    EXPECT_EQ(builtIn.version, "1.0");
    EXPECT_FALSE(builtIn.enabled);
    EXPECT_TRUE(builtIn.isBuiltIn);
    ASSERT_EQ(builtIn.scripts.size(), 1u);
    EXPECT_EQ(builtIn.scripts[0].matches, (std::vector<std::string>{"https://*/*", "http://*/*"}));
    EXPECT_EQ(builtIn.scripts[0].runAt, "document_end");
    EXPECT_EQ(builtIn.scripts[0].css.size(), 230u);
    EXPECT_TRUE(builtIn.scripts[0].javascript.empty());
    EXPECT_EQ(store.revision(), 0);
    EXPECT_FALSE(store.errorMessage());
    EXPECT_TRUE(store.canWrite());
    EXPECT_FALSE(dir.exists("page_extensions.json"));

    PageExtensionStore second(dir.path());
    EXPECT_NE(second.extensions()[0].id, builtIn.id);
}

TEST(PageExtensionStoreTest, ChangesAreWrittenAndSurviveARestart)
{
    TempDir dir;
    const std::string folder = dir.file("nested/KoviBrowser");
    Uuid builtInId, installedId;
    {
        PageExtensionStore store(folder);
        Observed observed(store);
        builtInId = store.extensions()[0].id;
        store.setEnabled(builtInId, true);
        EXPECT_EQ(store.revision(), 1);
        EXPECT_TRUE(store.extensions()[0].enabled);

        PageExtension disabled = sample();
        disabled.enabled = false;
        store.install(disabled);
        installedId = disabled.id;
        EXPECT_EQ(store.revision(), 2);
        ASSERT_EQ(store.extensions().size(), 2u);
        EXPECT_TRUE(store.extensions()[1].enabled);
        EXPECT_EQ(observed.extensions, 2);
        EXPECT_EQ(observed.revisions, 2);
        EXPECT_EQ(observed.errors, 0);
    }
    PageExtensionStore reopened(folder);
    ASSERT_EQ(reopened.extensions().size(), 2u);
    EXPECT_EQ(reopened.extensions()[0].id, builtInId);
    EXPECT_TRUE(reopened.extensions()[0].enabled);
    EXPECT_TRUE(reopened.extensions()[0].isBuiltIn);
    PageExtension expected = sample();
    expected.id = installedId;
    expected.enabled = true;
    EXPECT_EQ(reopened.extensions()[1], expected);
    EXPECT_EQ(reopened.revision(), 0);
}

TEST(PageExtensionStoreTest, FileHoldsCompactArrayWithFieldNames)
{
    TempDir dir;
    PageExtensionStore store(dir.path());
    PageExtension extension = sample();
    store.install(extension);
    const std::string text = dir.read("page_extensions.json");
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const auto parsed = nlohmann::json::parse(text);
    ASSERT_TRUE(parsed.is_array());
    ASSERT_EQ(parsed.size(), 2u);
    const auto& stored = parsed[1];
    EXPECT_EQ(stored["id"], extension.id.toString());
    EXPECT_EQ(stored["name"], "Sample");
    EXPECT_EQ(stored["enabled"], true);
    EXPECT_EQ(stored["isBuiltIn"], false);
    EXPECT_EQ(stored["scripts"][0]["excludes"][0], "https://example.com/private/*");
    EXPECT_EQ(stored["scripts"][0]["runAt"], "document_start");
    EXPECT_EQ(stored.size(), 7u);
    EXPECT_EQ(stored["scripts"][0].size(), 5u);
}

TEST(PageExtensionStoreTest, ReadsFilesOfOtherWritersInAnyKeyOrderAndCase)
{
    TempDir dir;
    dir.write("page_extensions.json",
              R"j([{"isBuiltIn":false,"enabled":true,"scripts":[{"runAt":"document_idle","css":"","javascript":"x()",)j"
              R"("excludes":[],"matches":["https:\/\/a.com\/*"]}],"description":"d","version":"1","name":"A",)"
              R"("id":"0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d","extra":1}])");
    PageExtensionStore store(dir.path());
    ASSERT_EQ(store.extensions().size(), 1u);
    EXPECT_TRUE(store.canWrite());
    EXPECT_EQ(store.extensions()[0].id.toString(), "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    EXPECT_EQ(store.extensions()[0].scripts[0].matches[0], "https://a.com/*");
}

TEST(PageExtensionStoreTest, EmptyListStaysEmpty)
{
    TempDir dir;
    dir.write("page_extensions.json", "[]");
    PageExtensionStore store(dir.path());
    EXPECT_TRUE(store.extensions().empty());
    EXPECT_TRUE(store.canWrite());
    EXPECT_FALSE(store.errorMessage());
}

// Every damaged file is left byte for byte as it was and blocks all writes for the run.
TEST(PageExtensionStoreTest, DamagedFileIsPreservedAndNeverOverwritten)
{
    const std::string valid =
        R"({"id":"0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D","name":"A","version":"1","description":"d",)"
        R"("scripts":[],"enabled":true)";
    const std::vector<std::string> damaged = {
        "[" + valid + "}]",                          // lacks isBuiltIn
        "[" + valid + ",\"isBuiltIn\":null}]",        // null counts as missing
        "[" + valid + ",\"isBuiltIn\":\"no\"}]",      // wrong type
        R"([{"id":"not-a-uuid","name":"A","version":"1","description":"d","scripts":[],"enabled":true,"isBuiltIn":false}])",
        "[" + valid + ",\"isBuiltIn\":false,\"scripts\":[{\"matches\":[1]}]}]",
        "{}",
        "",
        "[{\"name\":",
        "[\"\xff\"]",
    };
    for (const auto& contents : damaged) {
        SCOPED_TRACE(contents);
        TempDir dir;
        dir.write("page_extensions.json", contents);
        PageExtensionStore store(dir.path());
        Observed observed(store);
        EXPECT_TRUE(store.extensions().empty());
        EXPECT_FALSE(store.canWrite());
        EXPECT_EQ(store.errorMessage(), "Extensions could not be loaded. The saved file has been preserved.");

        store.setErrorMessage(std::nullopt);
        store.install(sample());
        EXPECT_EQ(store.errorMessage(), "Repair the saved extensions file before making changes.");
        store.remove(Uuid::random());
        store.setEnabled(Uuid::random(), true);
        EXPECT_TRUE(store.extensions().empty());
        EXPECT_EQ(store.revision(), 0);
        EXPECT_EQ(observed.extensions, 0);
        EXPECT_EQ(dir.read("page_extensions.json"), contents);
    }
}

TEST(PageExtensionStoreTest, FolderInPlaceOfTheFileCountsAsUnreadable)
{
    TempDir dir;
    dir.write("page_extensions.json/keep", "x");
    PageExtensionStore store(dir.path());
    EXPECT_FALSE(store.canWrite());
    store.install(sample());
    EXPECT_EQ(store.errorMessage(), "Repair the saved extensions file before making changes.");
    EXPECT_EQ(dir.read("page_extensions.json/keep"), "x");
}

TEST(PageExtensionStoreTest, MissingFolderRefusesEveryWrite)
{
    PageExtensionStore store(std::string{});
    EXPECT_TRUE(store.extensions().empty());
    EXPECT_FALSE(store.canWrite());
    ASSERT_TRUE(store.errorMessage());
    store.setErrorMessage(std::nullopt);
    store.install(sample());
    EXPECT_EQ(store.errorMessage(), PageExtensionStore::noFolderMessage);
    EXPECT_TRUE(store.extensions().empty());
    EXPECT_EQ(store.revision(), 0);
}

TEST(PageExtensionStoreTest, UnknownIdentifiersAndBuiltInRemoval)
{
    TempDir dir;
    PageExtensionStore store(dir.path());
    const auto builtIn = store.extensions()[0];

    store.setEnabled(Uuid::random(), true);
    EXPECT_EQ(store.revision(), 0);
    EXPECT_FALSE(dir.exists("page_extensions.json"));

    store.remove(Uuid::random());
    EXPECT_EQ(store.revision(), 1);
    EXPECT_TRUE(dir.exists("page_extensions.json"));

    store.remove(builtIn.id);
    EXPECT_EQ(store.revision(), 2);
    ASSERT_EQ(store.extensions().size(), 1u);
    EXPECT_EQ(store.extensions()[0], builtIn);
}

TEST(PageExtensionStoreTest, RemoveDropsEveryCopyWithTheIdentifier)
{
    TempDir dir;
    PageExtensionStore store(dir.path());
    const PageExtension extension = sample();
    store.install(extension);
    store.install(extension); // same id twice: no duplicate check on install
    store.install(sample("Other"));
    ASSERT_EQ(store.extensions().size(), 4u);
    store.remove(extension.id);
    ASSERT_EQ(store.extensions().size(), 2u);
    EXPECT_EQ(store.extensions()[1].name, "Other");
}

TEST(PageExtensionStoreTest, FailedWriteKeepsListAndLaterSuccessKeepsTheMessage)
{
    TempDir dir;
    dir.write("blocker", "a file where the folder should be");
    const std::string folder = dir.file("blocker/KoviBrowser");
    PageExtensionStore store(folder);
    Observed observed(store);
    const auto before = store.extensions();

    store.setEnabled(before[0].id, true);
    ASSERT_TRUE(store.errorMessage());
    EXPECT_NE(store.errorMessage()->find("could not be saved"), std::string::npos);
    EXPECT_EQ(store.extensions(), before);
    EXPECT_EQ(store.revision(), 0);
    EXPECT_EQ(observed.errors, 1);
    EXPECT_EQ(observed.extensions, 0);
    const auto failure = store.errorMessage();

    // The obstacle goes away; the next write succeeds and the old message stays until cleared.
    ASSERT_EQ(std::remove(dir.file("blocker").c_str()), 0);
    store.setEnabled(before[0].id, true);
    EXPECT_EQ(store.revision(), 1);
    EXPECT_TRUE(store.extensions()[0].enabled);
    EXPECT_EQ(store.errorMessage(), failure);
    store.setErrorMessage(std::nullopt);
    EXPECT_FALSE(store.errorMessage());
    EXPECT_EQ(observed.errors, 2);
}

// A list too large to be read back at the next start must not replace the saved one.
TEST(PageExtensionStoreTest, ListTooLargeToReadBackIsNotWritten)
{
    TempDir dir;
    PageExtensionStore store(dir.path());
    store.install(sample());
    const std::string saved = dir.read("page_extensions.json");

    PageExtension huge = sample("Huge");
    huge.scripts[0].javascript.assign(PageExtensionStore::maxFileBytes, 'x');
    store.install(huge);
    EXPECT_EQ(store.errorMessage(), "The extensions could not be saved because they are too large.");
    EXPECT_EQ(store.extensions().size(), 2u);
    EXPECT_EQ(store.revision(), 1);
    EXPECT_EQ(dir.read("page_extensions.json"), saved);
}

TEST(PageExtensionStoreTest, ScriptsForTheWebLayerFollowTheList)
{
    TempDir dir;
    PageExtensionStore store(dir.path());
    EXPECT_TRUE(store.userScripts().empty());
    store.setEnabled(store.extensions()[0].id, true);
    ASSERT_EQ(store.userScripts().size(), 1u);
    EXPECT_EQ(store.userScripts()[0].world, "kovi.extension." + store.extensions()[0].id.toString());
}

} // namespace
} // namespace kovi
