#pragma once

#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "core/support/date.h"
#include "core/support/defaults.h"
#include "core/support/files.h"
#include "core/support/json_coding.h"
#include "core/support/notification_center.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

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

// A browser state on its own temp folder, clock and settings; restart() destroys it and builds
// a new one on the same folder, as a relaunch does.
class StateTest : public ::testing::Test {
protected:
    StateTest() = default;

    BrowserState& start()
    {
        state = std::make_unique<BrowserState>(dir.path(), defaults, notifications, library);
        return *state;
    }

    BrowserState& restart()
    {
        state.reset();
        return start();
    }

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
    TempDir libraryDir;
    ManualClock clock{Date(725760000)};
    Clock::Override useClock{clock};
    Defaults defaults; // in memory
    NotificationCenter notifications;
    BrowserLibrary library{libraryDir.path()};
    std::unique_ptr<BrowserState> state;
};

} // namespace kovi::test
