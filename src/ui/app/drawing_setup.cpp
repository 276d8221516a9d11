#include "ui/app/drawing_setup.h"

#include "core/support/gobject_ptr.h"

#include <epoxy/gl.h>
#include <gdk/gdk.h>
#include <glib.h>

#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace kovi {

namespace {

// Without a render node (/dev/dri/renderD*) Mesa can only rasterise in software. Telling so
// spares loading the GL driver at start-up, which costs more than the rest of the first frame.
bool hasRenderNode()
{
    bool found = false;
    if (GDir* dir = g_dir_open("/dev/dri", 0, nullptr)) {
        while (const char* name = g_dir_read_name(dir)) {
            if (g_str_has_prefix(name, "renderD"))
                found = true;
        }
        g_dir_close(dir);
    }
    return found;
}

// The renderer string of the display's OpenGL, or "" when it has none.
std::string glRendererOf(GdkDisplay* display)
{
    GError* error = nullptr;
    if (!gdk_display_prepare_gl(display, &error)) {
        g_clear_error(&error);
        return {};
    }
    auto context = GObjectPtr<GdkGLContext>::adopt(gdk_display_create_gl_context(display, &error));
    if (!context) {
        g_clear_error(&error);
        return {};
    }
    std::string name;
    if (gdk_gl_context_realize(context.get(), &error)) {
        gdk_gl_context_make_current(context.get());
        if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER)))
            name = text;
        gdk_gl_context_clear_current();
    }
    g_clear_error(&error);
    return name;
}

// GDK_DEBUG as it was before beforeDisplayOpens() changed it.
struct SavedDebugFlags {
    bool changed = false;
    std::optional<std::string> value;
};

SavedDebugFlags& savedDebugFlags()
{
    static SavedDebugFlags saved;
    return saved;
}

} // namespace

void DrawingSetup::beforeDisplayOpens()
{
    const char* explicitChoice = g_getenv("GSK_RENDERER");
    if ((explicitChoice && *explicitChoice) || hasRenderNode())
        return;
    g_setenv("GSK_RENDERER", "cairo", TRUE);
    auto& saved = savedDebugFlags();
    const char* flags = g_getenv("GDK_DEBUG");
    saved.changed = true;
    saved.value = flags ? std::optional<std::string>(flags) : std::nullopt;
    const std::string value = flags && *flags ? std::string(flags) + ",gl-disable" : std::string("gl-disable");
    g_setenv("GDK_DEBUG", value.c_str(), TRUE);
}

void DrawingSetup::displayOpened()
{
    auto& saved = savedDebugFlags();
    if (!saved.changed)
        return;
    saved.changed = false;
    if (saved.value)
        g_setenv("GDK_DEBUG", saved.value->c_str(), TRUE);
    else
        g_unsetenv("GDK_DEBUG");
}

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
    if (hasRenderNode()) {
        const std::string gl = glRendererOf(display);
        if (!gl.empty() && !isSoftwareGl(gl))
            return {};
    }
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
