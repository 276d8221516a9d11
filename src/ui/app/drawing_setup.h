#pragma once

#include <string>
#include <string_view>

typedef struct _GdkDisplay GdkDisplay;

namespace kovi {

// How the process draws its windows, settled once at start-up, before the first window exists.
class DrawingSetup {
public:
    // Whether an OpenGL renderer string names a software rasteriser (Mesa's llvmpipe, softpipe…).
    static bool isSoftwareGl(std::string_view glRenderer);

    // GTK draws with OpenGL wherever it can, and on a software rasteriser that costs several cores
    // for every frame of a changing page. There, and where there is no GL at all, this asks GTK for
    // its cairo renderer (GSK_RENDERER=cairo); on a real GPU it keeps GTK's choice. The GL driver
    // is asked only where a GPU render node exists. A GSK_RENDERER already in the environment
    // always wins. Returns the value set, or "" when nothing was set.
    static std::string chooseRenderer(GdkDisplay* display);

    // Run before GTK opens the display. Where there is no GPU render node and no GSK_RENDERER was
    // chosen, GDK would still load Mesa's GL driver twice (EGL, then GLX) while opening the
    // display, only for the cairo renderer to be chosen later: this turns GDK's GL off
    // (GDK_DEBUG=gl-disable) and picks cairo up front. displayOpened() takes the debug flag back
    // out of the environment, so that programs started later do not inherit it.
    static void beforeDisplayOpens();
    static void displayOpened();

    // Every frame of a changing page copies the page's picture into freshly allocated buffers of a
    // few megabytes. With glibc's default limits the freed memory goes back to the kernel after each
    // frame and is faulted in again on the next, which costs more than the drawing itself. Raises the
    // limits to the largest values glibc would adapt to by itself.
    static void keepFrameBuffersAllocated();
};

} // namespace kovi
