#include "ui/web/user_script_installer.h"

#include <webkit/webkit.h>

namespace kovi {

UserScriptInstaller::UserScriptInstaller(WebKitUserContentManager* manager)
    : m_manager(GObjectPtr<WebKitUserContentManager>::ref(manager))
{
}

UserScriptInstaller::~UserScriptInstaller()
{
    for (auto* script : m_scripts)
        webkit_user_script_unref(script);
}

void UserScriptInstaller::apply(const std::vector<UserScriptSpec>& scripts)
{
    for (auto* script : m_scripts) {
        webkit_user_content_manager_remove_script(m_manager.get(), script);
        webkit_user_script_unref(script);
    }
    m_scripts.clear();
    for (const auto& spec : scripts) {
        WebKitUserScript* script = webkit_user_script_new_for_world(
            spec.source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
            spec.atDocumentStart ? WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START : WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END,
            spec.world.c_str(), nullptr, nullptr);
        webkit_user_content_manager_add_script(m_manager.get(), script);
        m_scripts.push_back(script);
    }
    m_specs = scripts;
}

} // namespace kovi
