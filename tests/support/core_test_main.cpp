// Core test programs start with their own empty HOME and XDG folders, so nothing a test does can
// reach the user's data; GLib reads these once, so they are set before anything uses GLib.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    kovi::test::TempDir home;
    home.useAsHome();
    return RUN_ALL_TESTS();
}
