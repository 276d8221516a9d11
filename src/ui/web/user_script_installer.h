#pragma once

#include "core/web/page_extension_injector.h"
#include "core/support/gobject_ptr.h"

#include <vector>

typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitUserScript WebKitUserScript;

namespace kovi {

// The page-extension scripts installed in one view's user content manager. The engine cannot
// list a manager's scripts, so this keeps its own record and replaces exactly what it added;
// scripts added by anyone else stay, ahead of ours.
class UserScriptInstaller {
public:
    explicit UserScriptInstaller(WebKitUserContentManager* manager);
    ~UserScriptInstaller();
    UserScriptInstaller(const UserScriptInstaller&) = delete;
    UserScriptInstaller& operator=(const UserScriptInstaller&) = delete;

    void apply(const std::vector<UserScriptSpec>& scripts);
    const std::vector<UserScriptSpec>& installed() const { return m_specs; }

private:
    GObjectPtr<WebKitUserContentManager> m_manager;
    std::vector<WebKitUserScript*> m_scripts; // one reference each
    std::vector<UserScriptSpec> m_specs;
};

} // namespace kovi
