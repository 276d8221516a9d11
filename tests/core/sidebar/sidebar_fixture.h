#pragma once

#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "core/support/date.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
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

// A browser state on its own folder and clock; restart() rebuilds it on the same folder.
class SidebarStateTest : public ::testing::Test {
protected:
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
    Uuid open(const std::string& address)
    {
        clock.advance(1);
        Tab tab(Uuid::random(), testUrl(address), std::nullopt, false, false, state->currentSpaceId(), std::nullopt);
        state->addTab(tab);
        return tab.id;
    }
    std::vector<SidebarItem> order() const { return state->sidebarItemsForCurrentSpace(); }

    TempDir dir;
    TempDir libraryDir;
    ManualClock clock{Date(725760000)};
    Clock::Override useClock{clock};
    Defaults defaults;
    NotificationCenter notifications;
    BrowserLibrary library{libraryDir.path()};
    std::unique_ptr<BrowserState> state;
};

} // namespace kovi::test
