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
    // its cairo renderer (GSK_RENDERER=cairo); on a real GPU it keeps GTK's choice. A GSK_RENDERER
    // already in the environment always wins. Returns the value set, or "" when nothing was set.
    static std::string chooseRenderer(GdkDisplay* display);

    // Every frame of a changing page copies the page's picture into freshly allocated buffers of a
    // few megabytes. With glibc's default limits the freed memory goes back to the kernel after each
    // frame and is faulted in again on the next, which costs more than the drawing itself. Raises the
    // limits to the largest values glibc would adapt to by itself.
    static void keepFrameBuffersAllocated();
};

} // namespace kovi
