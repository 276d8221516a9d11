#pragma once

#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace kovi::test {

// Runs JavaScript in the view's page and returns the result as text ("error: …" when it
// failed), waiting on the main loop for at most `seconds`.
std::string evaluateScript(WebKitWebView* view, const std::string& script, double seconds = 10);

} // namespace kovi::test
