#pragma once

#include "core/app/browser_core.h"
#include "core/state/browser_state.h"
#include "core/support/date.h"
#include "support/manual_delayed_task.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kovi::test {

inline Url testUrl(const std::string& text)
{
    return *Url::parse(text);
}

// A tab record for the pure builders, created `ageSeconds` before `now`.
inline Tab makeTab(const Uuid& space, Date now, double ageSeconds, bool keep = false, bool pinned = false,
                   std::optional<Uuid> folder = std::nullopt)
{
    Tab tab(Uuid::random(), testUrl("https://example.com/"), std::string("t"), pinned, keep, space, folder);
    tab.createdAt = now.adding(-ageSeconds);
    return tab;
}

// The browser's core on its own folders and clock; restart() rebuilds it on the same folders.
class SidebarStateTest : public ::testing::Test {
protected:
    BrowserState& start()
    {
        BrowserCore::Options options;
        options.dataDirectory = dir.path();
        options.defaultsPath = configDir.file("defaults.json");
        options.updateFeedUrl = "http://127.0.0.1:9/"; // nothing listens
        core = std::make_unique<BrowserCore>(std::move(options));
        state = &core->state();
        return *state;
    }
    BrowserState& restart()
    {
        state = nullptr;
        core.reset();
        return start();
    }
    Uuid open(const std::string& address)
    {
        clock.advance(1);
        Tab tab(Uuid::random(), testUrl(address), std::nullopt, false, false, state->currentSpaceId(), std::nullopt);
        state->addTab(tab);
        return tab.id;
    }
    std::vector<SidebarItem> order() const { return state->sidebarItemsForCurrentSpace(); }

    TempDir dir;
    TempDir configDir;
    ManualClock clock{Date(725760000)};
    Clock::Override useClock{clock};
    std::unique_ptr<BrowserCore> core;
    BrowserState* state = nullptr; // the core's
};

} // namespace kovi::test
