#pragma once

#include "core/support/result.h"
#include "core/web/page_extension.h"
#include "core/web/page_extension_injector.h"

#include <sigc++/signal.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kovi {

// Owns the installed page extensions and page_extensions.json. Every change writes the whole
// list; a file that could not be read at start is never written over. Main thread only.
class PageExtensionStore {
public:
    static constexpr const char* fileName = "page_extensions.json";
    // Far above any real list (one import is at most 2 MB). A larger file is not read whole on
    // the main thread but treated as unreadable, so no list larger than this is ever written.
    static constexpr std::size_t maxFileBytes = 64 * 1024 * 1024;

    static constexpr const char* loadFailedMessage =
        "Extensions could not be loaded. The saved file has been preserved.";
    static constexpr const char* repairFirstMessage =
        "Repair the saved extensions file before making changes.";
    static constexpr const char* noFolderMessage =
        "Extensions are unavailable because the folder for saved data could not be found.";

    // `directory` holds page_extensions.json; nullopt means the application's storage folder.
    explicit PageExtensionStore(std::optional<std::string> directory);

    PageExtensionStore(const PageExtensionStore&) = delete;
    PageExtensionStore& operator=(const PageExtensionStore&) = delete;

    // In display and injection order.
    const std::vector<PageExtension>& extensions() const { return m_extensions; }
    // Successful writes since start; web views re-apply their scripts when it differs.
    int revision() const { return m_revision; }
    // The last load or save failure; the extensions sheet clears it.
    const std::optional<std::string>& errorMessage() const { return m_errorMessage; }
    void setErrorMessage(std::optional<std::string> message);
    // False for the whole run when the saved file could not be read at start.
    bool canWrite() const { return m_canWrite; }

    void setEnabled(const Uuid& id, bool enabled);
    // Appends a copy switched on; no duplicate check.
    void install(const PageExtension& extension);
    // Drops every extension with this id except built-in ones; writes even when none matched.
    void remove(const Uuid& id);

    // Reads an unpacked extension folder into a new, disabled extension, or refuses it with a
    // message for the user (Error::message). Reads nothing outside the folder; installs nothing.
    static Result<PageExtension> readFolder(const std::string& folder);

    // The built-in extension, with a fresh id each time.
    static PageExtension focusReading();

    // The page scripts of the current list, for the web layer to install.
    std::vector<UserScriptSpec> userScripts() const { return PageExtensionInjector::userScripts(m_extensions); }

    sigc::signal<void()>& extensionsChanged() { return m_extensionsChanged; }
    sigc::signal<void()>& revisionChanged() { return m_revisionChanged; }
    sigc::signal<void()>& errorMessageChanged() { return m_errorMessageChanged; }

private:
    void load();
    void commit(std::vector<PageExtension> proposed);

    std::vector<PageExtension> m_extensions;
    int m_revision = 0;
    std::optional<std::string> m_errorMessage;
    std::string m_folder;   // empty when no folder could be determined
    std::string m_filePath;
    bool m_canWrite = true;

    sigc::signal<void()> m_extensionsChanged;
    sigc::signal<void()> m_revisionChanged;
    sigc::signal<void()> m_errorMessageChanged;
};

} // namespace kovi
