#include "sidebar_ui_fixture.h"

#include "core/support/files.h"

#include <adwaita.h>
#include <gdk/gdk.h>
#include <glib.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>

#include <cstdlib>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace kovi::sidebartest {

namespace {

// Each test program gets an X server of its own: the tests move the real pointer and keyboard,
// and other programs' windows on a shared display (all at 0,0 without a window manager) would
// catch that input. The server goes when the program exits.
struct PrivateDisplay {
    GPid pid = 0;
    ~PrivateDisplay()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

void startPrivateDisplay()
{
    static PrivateDisplay server;
    if (server.pid > 0 || std::getenv("KOVI_SIDEBAR_SHARED_DISPLAY"))
        return;
    const char* argv[] = {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr};
    int out = -1;
    GError* error = nullptr;
    if (!g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr,
                                  GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL),
                                  nullptr, nullptr, &server.pid, nullptr, &out, nullptr, &error)) {
        g_clear_error(&error);
        return; // keep whatever display the environment gives
    }
    std::string number;
    char c = 0;
    while (read(out, &c, 1) == 1 && c != '\n')
        number += c;
    close(out);
    if (number.empty())
        return;
    setenv("DISPLAY", (":" + number).c_str(), 1);
}

} // namespace

void ensureGtk()
{
    static bool ready = false;
    if (ready)
        return;
    startPrivateDisplay();
    if (!gtk_init_check()) {
        FAIL() << "No display: run the sidebar UI tests under scripts/headless";
    }
    Gtk::init_gtkmm_internals();
    adw_init();
    Theme::installResources();
    ready = true;
}

bool runUntil(const std::function<bool()>& done, double seconds)
{
    const gint64 end = g_get_monotonic_time() + static_cast<gint64>(seconds * 1e6);
    while (!done()) {
        if (g_get_monotonic_time() > end)
            return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(1000);
    }
    return true;
}

void pump(int ms)
{
    const gint64 end = g_get_monotonic_time() + gint64(ms) * 1000;
    while (g_get_monotonic_time() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(1000);
    }
}

bool xdo(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (auto& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    GPid pid = 0;
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, raw.data(), nullptr,
                       GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr, &pid, &error)) {
        ADD_FAILURE() << "xdotool: " << (error ? error->message : "");
        g_clear_error(&error);
        return false;
    }
    struct Wait {
        bool finished = false;
        int status = 0;
    };
    // Left behind if xdotool hangs, so a late exit never writes into a finished frame.
    auto* wait = new Wait;
    g_child_watch_add(
        pid,
        [](GPid child, gint status, gpointer data) {
            auto* w = static_cast<Wait*>(data);
            w->finished = true;
            w->status = status;
            g_spawn_close_pid(child);
        },
        wait);
    // The main loop keeps turning meanwhile, so drags are answered as they happen.
    if (!runUntil([&] { return wait->finished; }, 10))
        return false;
    const bool ok = g_spawn_check_wait_status(wait->status, nullptr);
    delete wait;
    return ok;
}

// Declared here: the X11 header's macros clash with the test framework's names.
extern "C" unsigned long gdk_x11_surface_get_xid(GdkSurface* surface);

bool focusWindow(Gtk::Window& window)
{
    auto surface = window.get_surface();
    if (!surface || std::string(G_OBJECT_TYPE_NAME(surface->gobj())).find("X11") == std::string::npos)
        return false;
    const auto xid = gdk_x11_surface_get_xid(surface->gobj());
    const bool ok = xdo({"windowfocus", "--sync", std::to_string(xid)});
    pump(50);
    return ok;
}

bool screenPoint(Gtk::Widget& widget, double x, double y, int& sx, int& sy)
{
    auto* root = widget.get_root();
    if (!root || widget.get_width() <= 0)
        return false;
    graphene_point_t in{static_cast<float>(x), static_cast<float>(y)};
    graphene_point_t out;
    if (!gtk_widget_compute_point(widget.gobj(), GTK_WIDGET(root->gobj()), &in, &out))
        return false;
    double tx = 0, ty = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(root->gobj()), &tx, &ty);
    sx = static_cast<int>(out.x + tx);
    sy = static_cast<int>(out.y + ty);
    return true;
}

bool emitTextDrop(Gtk::Widget& widget, const std::string& text, double x, double y)
{
    GListModel* controllers = gtk_widget_observe_controllers(widget.gobj());
    bool result = false;
    bool found = false;
    for (guint i = 0; i < g_list_model_get_n_items(controllers) && !found; ++i) {
        auto* controller = static_cast<GtkEventController*>(g_list_model_get_item(controllers, i));
        if (GTK_IS_DROP_TARGET(controller)) {
            GValue value = G_VALUE_INIT;
            g_value_init(&value, G_TYPE_STRING);
            g_value_set_string(&value, text.c_str());
            gboolean taken = FALSE;
            g_signal_emit_by_name(controller, "drop", &value, x, y, &taken);
            g_value_unset(&value);
            result = taken;
            found = true;
        }
        g_object_unref(controller);
    }
    g_object_unref(controllers);
    EXPECT_TRUE(found) << "the widget takes no drops";
    return result;
}

void screenshot(const std::string& name)
{
    const char* folder = std::getenv("KOVI_SCREENSHOT_DIR");
    if (!folder)
        return;
    pump(150);
    std::string command = "import -window root '" + std::string(folder) + "/" + name + ".png'";
    if (std::system(command.c_str()) != 0)
        ADD_FAILURE() << "screen capture failed";
}

void FakeSnapshots::snapshot(const Uuid& tabId, std::function<void(Glib::RefPtr<Gdk::Texture>)> done)
{
    requests.push_back(tabId);
    Glib::RefPtr<Gdk::Texture> texture;
    if (live[tabId]) {
        const int w = 520, h = 340;
        std::vector<guint8> pixels(static_cast<std::size_t>(w * h * 4));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                guint8* p = &pixels[static_cast<std::size_t>((y * w + x) * 4)];
                p[0] = static_cast<guint8>(60 + x / 4);
                p[1] = static_cast<guint8>(120 + y / 4);
                p[2] = 200;
                p[3] = 255;
            }
        }
        auto bytes = Glib::Bytes::create(pixels.data(), pixels.size());
        texture = Glib::wrap(gdk_memory_texture_new(w, h, GDK_MEMORY_R8G8B8A8, bytes->gobj(), w * 4));
    }
    // Like the web layer: the answer comes on a later turn of the loop.
    Glib::signal_idle().connect_once([done, texture] { done(texture); });
}

SidebarWindowTest::SidebarWindowTest() = default;
SidebarWindowTest::~SidebarWindowTest() = default;

void SidebarWindowTest::SetUp()
{
    ensureGtk();
    buildState();
    host.onSpaceSwipe = [this](int step) { swipes.push_back(step); };
    buildWindow();
}

void SidebarWindowTest::TearDown()
{
    destroyWindow();
    state.reset();
}

void SidebarWindowTest::buildState()
{
    defaults = std::make_unique<Defaults>(dir.file("defaults.json"));
    library = std::make_unique<BrowserLibrary>(libraryDir.path());
    state = std::make_unique<BrowserState>(dir.path(), *defaults, notifications, *library);
    if (!appearance) {
        appearance = std::make_unique<AppearanceManager>(*defaults);
        theme = std::make_unique<Theme>(*appearance);
    }
}

void SidebarWindowTest::buildWindow()
{
    window = std::make_unique<Gtk::Window>();
    window->set_decorated(false);
    window->set_default_size(1000, 860);
    auto* root = Gtk::make_managed<Gtk::Overlay>();
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    SidebarServices services{*state, *appearance, notifications};
    services.snapshots = &snapshots;
    services.suggestionBaseUrl = "http://127.0.0.1:9"; // nothing listens: suggestions fail at once
    m_view = Gtk::make_managed<SidebarView>(std::move(services), host);
    m_view->set_size_request(280, -1);
    m_view->add_css_class("kovi-chrome");
    row->append(*m_view);
    page = Gtk::make_managed<Gtk::Box>();
    page->set_hexpand(true);
    page->add_css_class("kovi-content-bg");
    row->append(*page);
    root->set_child(*row);
    overlay = root;
    window->set_child(*root);
    theme->attach(*window);
    window->present();
    ASSERT_TRUE(runUntil([&] { return window->get_mapped() && m_view->get_width() > 0; }));
    settle(150);
}

void SidebarWindowTest::destroyWindow()
{
    if (!window)
        return;
    m_view = nullptr;
    window->destroy();
    window.reset();
    pump(30);
}

void SidebarWindowTest::restartState()
{
    destroyWindow();
    state.reset();
    buildState();
    buildWindow();
}

void SidebarWindowTest::settle(int ms)
{
    m_view->flushRefresh();
    pump(ms);
}

Uuid SidebarWindowTest::open(const std::string& url, const std::string& title)
{
    Tab tab(Uuid::random(), *Url::parse(url), title.empty() ? std::nullopt : std::optional<std::string>(title), false,
            false, state->currentSpaceId(), std::nullopt);
    state->addTab(tab);
    return tab.id;
}

std::string SidebarWindowTest::stateFileText() const
{
    return dir.read(BrowserState::stateFileName);
}

bool SidebarWindowTest::drag(Gtk::Widget& from, Gtk::Widget& to, double toX, double toY, double toYPixels)
{
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!screenPoint(from, from.get_width() * 0.3, from.get_height() * 0.5, x0, y0))
        return false;
    const double ty = toYPixels >= 0 ? toYPixels : to.get_height() * toY;
    if (!screenPoint(to, to.get_width() * toX, ty, x1, y1))
        return false;
    xdo({"mousemove", std::to_string(x0), std::to_string(y0)});
    pump(40);
    xdo({"mousedown", "1"});
    pump(40);
    const int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / steps;
        const int y = y0 + (y1 - y0) * i / steps;
        xdo({"mousemove", std::to_string(x), std::to_string(y)});
        pump(25);
    }
    xdo({"mousemove", std::to_string(x1), std::to_string(y1)});
    pump(60);
    xdo({"mouseup", "1"});
    pump(150);
    settle();
    return true;
}

bool SidebarWindowTest::click(Gtk::Widget& widget, int button)
{
    int x = 0, y = 0;
    if (!screenPoint(widget, widget.get_width() / 2.0, widget.get_height() / 2.0, x, y))
        return false;
    bool ok = xdo({"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
    pump(80);
    return ok;
}

bool SidebarWindowTest::hover(Gtk::Widget& widget)
{
    int x = 0, y = 0;
    if (!screenPoint(widget, widget.get_width() / 2.0, widget.get_height() / 2.0, x, y))
        return false;
    bool ok = xdo({"mousemove", std::to_string(x), std::to_string(y)});
    pump(40);
    return ok;
}

} // namespace kovi::sidebartest
