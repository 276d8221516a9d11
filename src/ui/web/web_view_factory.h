#pragma once

#include "core/support/gobject_ptr.h"
#include "ui/web/space_web_session_manager.h"
#include "ui/web/user_script_installer.h"

#include <memory>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;

namespace kovi {

// A page view as every part of the browser makes it: in a space's session (its web processes,
// cookies and storage), with the page-extension scripts installed before the first load,
// JavaScript on, the fixed user agent, back and forward swipes while it is in a window, and no
// windows opened by scripts on their own. It loads nothing yet. Main thread only.
struct BuiltWebView {
    GObjectPtr<WebKitWebView> view;
    std::unique_ptr<UserScriptInstaller> scripts;
};

BuiltWebView buildWebView(SpaceWebSessionManager::Session& session, const std::vector<UserScriptSpec>& scripts);

} // namespace kovi
