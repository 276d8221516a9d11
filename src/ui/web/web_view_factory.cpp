#include "ui/web/web_view_factory.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

namespace kovi {

BuiltWebView buildWebView(SpaceWebSessionManager::Session& session, const std::vector<UserScriptSpec>& scripts)
{
    auto settings = GObjectPtr<WebKitSettings>::adopt(webkit_settings_new());
    webkit_settings_set_enable_javascript(settings.get(), TRUE);
    webkit_settings_set_media_playback_requires_user_gesture(settings.get(), FALSE);
    webkit_settings_set_user_agent(settings.get(), SpaceWebSessionManager::userAgent);
    // Scripts may not open windows on their own; links and gestures still can.
    webkit_settings_set_javascript_can_open_windows_automatically(settings.get(), FALSE);

    // The content manager is fixed at construction, so the page scripts go in first and are
    // there for the first load.
    auto manager = GObjectPtr<WebKitUserContentManager>::adopt(webkit_user_content_manager_new());
    auto installer = std::make_unique<UserScriptInstaller>(manager.get());
    installer->apply(scripts);

    auto* view = static_cast<WebKitWebView*>(g_object_new(WEBKIT_TYPE_WEB_VIEW,
        "web-context", session.context.get(),
        "network-session", session.network.get(),
        "user-content-manager", manager.get(),
        "settings", settings.get(),
        nullptr));
    gtk_widget_set_hexpand(GTK_WIDGET(view), TRUE);
    gtk_widget_set_vexpand(GTK_WIDGET(view), TRUE);
    // Swipes go back and forward only while the view is in a window: with the gesture on, the
    // engine pictures the page at each navigation through the view's window, and a view that
    // has none (a hidden tab whose page moves on by itself or by a command) crashes the
    // program.
    g_signal_connect(view, "notify::root", G_CALLBACK(+[](GObject* object, GParamSpec*, gpointer) {
        auto* webView = WEBKIT_WEB_VIEW(object);
        webkit_settings_set_enable_back_forward_navigation_gestures(
            webkit_web_view_get_settings(webView), gtk_widget_get_root(GTK_WIDGET(webView)) != nullptr);
    }), nullptr);
    return BuiltWebView{GObjectPtr<WebKitWebView>::ref(view), std::move(installer)};
}

} // namespace kovi
