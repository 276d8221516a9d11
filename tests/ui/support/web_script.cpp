#include "support/web_script.h"

#include "core/support/gobject_ptr.h"
#include "support/main_loop.h"

#include <webkit/webkit.h>

#include <memory>

namespace kovi::test {

std::string evaluateScript(WebKitWebView* view, const std::string& script, double seconds)
{
    if (!view)
        return "error: no view";
    struct Call {
        bool done = false;
        std::string result;
    };
    // Shared with the callback, which may come after a timed-out wait.
    auto call = std::make_shared<Call>();
    webkit_web_view_evaluate_javascript(
        view, script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::shared_ptr<Call>> c(static_cast<std::shared_ptr<Call>*>(data));
            GError* error = nullptr;
            auto value = GObjectPtr<JSCValue>::adopt(
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error));
            if (value) {
                char* text = jsc_value_to_string(value.get());
                (*c)->result = text ? text : "";
                g_free(text);
            } else {
                (*c)->result = std::string("error: ") + (error ? error->message : "");
            }
            g_clear_error(&error);
            (*c)->done = true;
        },
        new std::shared_ptr<Call>(call));
    runUntil([&] { return call->done; }, seconds);
    return call->done ? call->result : "error: timed out";
}

} // namespace kovi::test
