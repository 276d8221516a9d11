#include "ui/app/drawing_setup.h"

#include <epoxy/gl.h>
#include <gdk/gdk.h>
#include <glib.h>

#include <malloc.h>

#include <algorithm>
#include <cctype>

namespace kovi {

namespace {

// The renderer string of the display's OpenGL, or "" when it has none.
std::string glRendererOf(GdkDisplay* display)
{
    GError* error = nullptr;
    if (!gdk_display_prepare_gl(display, &error)) {
        g_clear_error(&error);
        return {};
    }
    GdkGLContext* context = gdk_display_create_gl_context(display, &error);
    if (!context) {
        g_clear_error(&error);
        return {};
    }
    std::string name;
    if (gdk_gl_context_realize(context, &error)) {
        gdk_gl_context_make_current(context);
        if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER)))
            name = text;
        gdk_gl_context_clear_current();
    }
    g_clear_error(&error);
    g_object_unref(context);
    return name;
}

} // namespace

bool DrawingSetup::isSoftwareGl(std::string_view glRenderer)
{
    std::string lower(glRenderer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* word : {"llvmpipe", "softpipe", "swrast", "software rasterizer"}) {
        if (lower.find(word) != std::string::npos)
            return true;
    }
    return false;
}

std::string DrawingSetup::chooseRenderer(GdkDisplay* display)
{
    const char* explicitChoice = g_getenv("GSK_RENDERER");
    if ((explicitChoice && *explicitChoice) || !display)
        return {};
    const std::string gl = glRendererOf(display);
    if (!gl.empty() && !isSoftwareGl(gl))
        return {};
    g_setenv("GSK_RENDERER", "cairo", TRUE);
    return "cairo";
}

void DrawingSetup::keepFrameBuffersAllocated()
{
    constexpr int largestMappedThreshold = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, largestMappedThreshold);
    mallopt(M_TRIM_THRESHOLD, 2 * largestMappedThreshold);
}

} // namespace kovi
