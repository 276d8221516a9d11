// Core test programs start with their own empty HOME and XDG folders, so nothing a test does can
// reach the user's data; GLib reads these once, so they are set before anything uses GLib.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    kovi::test::TempDir home;
    setenv("HOME", home.path().c_str(), 1);
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        std::string dir = home.path() + "/" + name;
        setenv(name, dir.c_str(), 1);
    }
    return RUN_ALL_TESTS();
}
