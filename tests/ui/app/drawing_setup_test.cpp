// The renderer chosen for the display before the first window is realized. GTK reads the choice
// once per process, so the test that looks at a window's renderer must realize the process's
// first window (CTest runs each test in a process of its own).
#include "app_fixture.h"

#include "ui/app/drawing_setup.h"

#include <gtk/gtk.h>

namespace kovi::test {
namespace {

// Puts GSK_RENDERER back as the test found it.
class SavedRendererVariable {
public:
    SavedRendererVariable()
    {
        if (const char* value = g_getenv("GSK_RENDERER"))
            m_value = value;
    }
    ~SavedRendererVariable()
    {
        if (m_value)
            g_setenv("GSK_RENDERER", m_value->c_str(), TRUE);
        else
            g_unsetenv("GSK_RENDERER");
    }

private:
    std::optional<std::string> m_value;
};

TEST(DrawingSetup, SoftwareRasterisersAreToldApartFromGpus)
{
    EXPECT_TRUE(DrawingSetup::isSoftwareGl("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(DrawingSetup::isSoftwareGl("softpipe"));
    EXPECT_TRUE(DrawingSetup::isSoftwareGl("Mesa X11 Software Rasterizer"));
    // A GPU driver that names its LLVM shader compiler is still a GPU.
    EXPECT_FALSE(DrawingSetup::isSoftwareGl("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)"));
    EXPECT_FALSE(DrawingSetup::isSoftwareGl("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(DrawingSetup::isSoftwareGl("NVIDIA GeForce RTX 3060/PCIe/SSE2"));
}

TEST(DrawingSetup, WindowsAreDrawnWithCairoWhereGlIsSoftware)
{
    // The test display is Xvfb: its GL, when there is one, is Mesa's software rasteriser.
    SavedRendererVariable saved;
    g_unsetenv("GSK_RENDERER");
    TempDir dir;
    AppHarness harness(dir.path());
    ASSERT_TRUE(waitForWindow(harness.window()));
    GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(harness.window().gobj()));
    ASSERT_NE(renderer, nullptr);
    EXPECT_STREQ(G_OBJECT_TYPE_NAME(renderer), "GskCairoRenderer");
}

TEST(DrawingSetup, ARendererNamedInTheEnvironmentIsKept)
{
    SavedRendererVariable saved;
    ensureGtk();
    g_setenv("GSK_RENDERER", "gl", TRUE);
    EXPECT_EQ(DrawingSetup::chooseRenderer(gdk_display_get_default()), "");
    EXPECT_STREQ(g_getenv("GSK_RENDERER"), "gl");
}

TEST(DrawingSetup, WithoutAGpuGdkLoadsNoGlOnlyWhileTheDisplayOpens)
{
    if (g_file_test("/dev/dri", G_FILE_TEST_EXISTS))
        GTEST_SKIP() << "this machine has a GPU device";
    SavedRendererVariable saved;
    g_unsetenv("GSK_RENDERER");
    g_setenv("GDK_DEBUG", "misc", TRUE);
    DrawingSetup::beforeDisplayOpens();
    EXPECT_STREQ(g_getenv("GSK_RENDERER"), "cairo");
    EXPECT_STREQ(g_getenv("GDK_DEBUG"), "misc,gl-disable");
    DrawingSetup::displayOpened();
    // Programs started later get the variable as it was.
    EXPECT_STREQ(g_getenv("GDK_DEBUG"), "misc");

    // A renderer named in the environment: GL stays as GDK has it.
    g_setenv("GSK_RENDERER", "gl", TRUE);
    DrawingSetup::beforeDisplayOpens();
    EXPECT_STREQ(g_getenv("GDK_DEBUG"), "misc");
    DrawingSetup::displayOpened();
    EXPECT_STREQ(g_getenv("GDK_DEBUG"), "misc");
    g_unsetenv("GDK_DEBUG");
}

} // namespace
} // namespace kovi::test
