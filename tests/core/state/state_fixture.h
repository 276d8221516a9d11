#pragma once

#include "core/app/browser_core.h"
#include "core/library/browser_library.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/date.h"
#include "core/support/defaults.h"
#include "core/support/files.h"
#include "core/support/json_coding.h"
#include "core/support/notification_center.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovi {

inline void PrintTo(const Url& url, std::ostream* out)
{
    *out << url.string();
}

inline void PrintTo(const Uuid& id, std::ostream* out)
{
    *out << id.toString();
}

inline void PrintTo(const SidebarItem& item, std::ostream* out)
{
    *out << item.id();
}

} // namespace kovi

namespace kovi::test {

// The browser's core on its own temp folders and clock; restart() destroys it and builds a new
// one on the same folders, as a relaunch does.
class StateTest : public ::testing::Test {
protected:
    StateTest() = default;

    BrowserState& start()
    {
        core = coreAt(dir.path());
        state = &core->state();
        return *state;
    }

    // Another core on `folder`, sharing the settings file.
    std::unique_ptr<BrowserCore> coreAt(const std::string& folder) const
    {
        BrowserCore::Options options;
        options.dataDirectory = folder;
        options.defaultsPath = configDir.file("defaults.json");
        options.updateFeedUrl = "http://127.0.0.1:9/"; // nothing listens
        return std::make_unique<BrowserCore>(std::move(options));
    }

    BrowserState& restart()
    {
        state = nullptr;
        core.reset();
        return start();
    }

    // Before start(): settings as an earlier run left them.
    void storeSettings(const std::function<void(Defaults&)>& write) const
    {
        Defaults stored(configDir.file("defaults.json"));
        write(stored);
    }

    Defaults& defaults() { return core->defaults(); }
    Preferences& preferences() { return core->preferences(); }
    NotificationCenter& notifications() { return core->notifications(); }
    BrowserLibrary& library() { return core->library(); }

    std::string stateFile() const { return dir.file(BrowserState::stateFileName); }
    std::string historyFile() const { return dir.file(BrowserState::historyFileName); }
    std::string downloadsFile() const { return dir.file(BrowserState::downloadsFileName); }
    std::string canvasesFile() const { return dir.file(BrowserState::canvasesFileName); }

    // Removes a file so a test can tell whether an operation writes it again.
    void forget(const std::string& path) const { std::remove(path.c_str()); }
    bool written(const std::string& path) const { return files::exists(path); }

    Json storedState() const { return json::parse(dir.read(BrowserState::stateFileName)); }

    static Url url(const std::string& text) { return *Url::parse(text); }

    // A new tab in the current space, added and activated.
    Uuid open(const std::string& address, bool pinned = false)
    {
        clock.advance(1);
        Tab tab(Uuid::random(), url(address), std::nullopt, pinned, false, state->currentSpaceId(), std::nullopt);
        state->addTab(tab);
        return tab.id;
    }

    Uuid currentSpace() const { return *state->currentSpaceId(); }
    const Space& space(const Uuid& id) const
    {
        for (const Space& s : state->spaces())
            if (s.id == id)
                return s;
        throw std::runtime_error("no such space");
    }
    const Space& shownSpace() const { return space(currentSpace()); }

    static std::vector<Uuid> ids(const std::vector<Tab>& tabs)
    {
        std::vector<Uuid> result;
        for (const Tab& tab : tabs)
            result.push_back(tab.id);
        return result;
    }

    TempDir dir;
    TempDir configDir;
    ManualClock clock{Date(725760000)};
    Clock::Override useClock{clock};
    std::unique_ptr<BrowserCore> core;
    BrowserState* state = nullptr; // the core's
};

} // namespace kovi::test
