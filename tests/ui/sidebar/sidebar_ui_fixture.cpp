#include "sidebar_ui_fixture.h"

#include "core/support/files.h"
#include "core/support/gobject_ptr.h"

#include <gdk/gdk.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>

namespace kovi::test {

bool emitTextDrop(Gtk::Widget& widget, const std::string& text, double x, double y)
{
    auto controllers = GObjectPtr<GListModel>::adopt(gtk_widget_observe_controllers(widget.gobj()));
    bool result = false;
    bool found = false;
    for (guint i = 0; i < g_list_model_get_n_items(controllers.get()) && !found; ++i) {
        auto controller =
            GObjectPtr<GtkEventController>::adopt(GTK_EVENT_CONTROLLER(g_list_model_get_item(controllers.get(), i)));
        if (GTK_IS_DROP_TARGET(controller.get())) {
            GValue value = G_VALUE_INIT;
            g_value_init(&value, G_TYPE_STRING);
            g_value_set_string(&value, text.c_str());
            gboolean taken = FALSE;
            g_signal_emit_by_name(controller.get(), "drop", &value, x, y, &taken);
            g_value_unset(&value);
            result = taken;
            found = true;
        }
    }
    EXPECT_TRUE(found) << "the widget takes no drops";
    return result;
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
    destroyState();
}

void SidebarWindowTest::buildState()
{
    core = std::make_unique<BrowserCore>(BrowserCore::Options{.dataDirectory = dir.path(),
                                                              .defaultsPath = dir.file("defaults.json"),
                                                              .updateFeedUrl = "http://127.0.0.1:9/"});
    state = &core->state();
    appearance = &core->appearance();
    theme = std::make_unique<Theme>(*appearance);
}

void SidebarWindowTest::destroyState()
{
    theme.reset();
    state = nullptr;
    appearance = nullptr;
    core.reset();
}

void SidebarWindowTest::buildWindow()
{
    window = std::make_unique<Gtk::Window>();
    window->set_decorated(false);
    window->set_default_size(1000, 860);
    commands = std::make_unique<WindowCommands>(
        CommandTable::Services{*state, *appearance, core->library(), notifications(), core->preferences()});
    commands->attach(*window);
    auto* root = Gtk::make_managed<Gtk::Overlay>();
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    SidebarServices services{*state, *appearance, core->notifications(), core->http()};
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
    ASSERT_TRUE(runUntilGtk([&] { return window->get_mapped() && m_view->get_width() > 0; }));
    catchUp(150);
}

void SidebarWindowTest::destroyWindow()
{
    if (!window)
        return;
    m_view = nullptr;
    window->destroy();
    window.reset();
    commands.reset();
    settle(30);
}

void SidebarWindowTest::restartState()
{
    destroyWindow();
    destroyState();
    buildState();
    buildWindow();
}

void SidebarWindowTest::catchUp(int ms)
{
    m_view->flushRefresh();
    settle(ms);
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
    // Both ends laid out first: a row just added may not be yet on a busy machine.
    runUntilGtk([&] { return from.get_mapped() && from.get_width() > 0 && to.get_mapped() && to.get_width() > 0; });
    if (!widgetPoint(from, from.get_width() * 0.3, from.get_height() * 0.5, x0, y0))
        return false;
    const double ty = toYPixels >= 0 ? toYPixels : to.get_height() * toY;
    if (!widgetPoint(to, to.get_width() * toX, ty, x1, y1))
        return false;
    xdo({"mousemove", std::to_string(x0), std::to_string(y0)});
    settle(40);
    xdo({"mousedown", "1"});
    settle(40);
    const int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / steps;
        const int y = y0 + (y1 - y0) * i / steps;
        xdo({"mousemove", std::to_string(x), std::to_string(y)});
        settle(25);
    }
    xdo({"mousemove", std::to_string(x1), std::to_string(y1)});
    settle(60);
    xdo({"mouseup", "1"});
    settle(150);
    catchUp();
    return true;
}

bool SidebarWindowTest::click(Gtk::Widget& widget, int button)
{
    const bool ok = xdoClickWidget(widget, button);
    settle(80);
    return ok;
}

bool SidebarWindowTest::hover(Gtk::Widget& widget)
{
    const bool ok = xdoMoveToWidget(widget);
    settle(40);
    return ok;
}

} // namespace kovi::test
