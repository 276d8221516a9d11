#pragma once

#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "core/settings/preferences.h"
#include "core/support/date.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <glib.h>
#include <unicode/locid.h>

#include <memory>
#include <string>

namespace kovi::test {

// A library and a browser state on temp folders with a manual clock. Dates and times are
// formatted in English so the expected texts hold on any machine.
class LibraryViewsTest : public ::testing::Test {
protected:
    LibraryViewsTest()
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US"), status);
        library = std::make_unique<BrowserLibrary>(libraryDir.path());
        state = std::make_unique<BrowserState>(stateDir.path(), preferences, notifications, *library);
    }

    static Url url(const std::string& text) { return *Url::parse(text); }

    // A new active tab in the current space.
    Uuid open(const std::string& address, const std::string& title = "", bool pinned = false)
    {
        clock.advance(1);
        Tab tab(Uuid::random(), url(address), title.empty() ? std::nullopt : std::optional<std::string>(title), pinned,
                false, state->currentSpaceId(), std::nullopt);
        state->addTab(tab);
        return tab.id;
    }

    // The local moment of that calendar day and time.
    static Date localDate(int year, int month, int day, int hour, int minute)
    {
        GDateTime* time = g_date_time_new_local(year, month, day, hour, minute, 0);
        Date date = Date::fromUnix(static_cast<double>(g_date_time_to_unix(time)));
        g_date_time_unref(time);
        return date;
    }

    std::string libraryFileBytes() const
    {
        return libraryDir.exists(BrowserLibrary::fileName) ? libraryDir.read(BrowserLibrary::fileName) : "";
    }

    TempDir libraryDir;
    TempDir stateDir;
    TempDir files;
    ManualClock clock{localDate(2024, 3, 14, 15, 0)};
    Clock::Override useClock{clock};
    Defaults defaults; // in memory
    Preferences preferences{defaults};
    NotificationCenter notifications;
    std::unique_ptr<BrowserLibrary> library;
    std::unique_ptr<BrowserState> state;
};

} // namespace kovi::test
