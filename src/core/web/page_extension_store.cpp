#include "core/web/page_extension_store.h"

#include "core/support/files.h"
#include "core/support/storage_paths.h"

#include <glib.h>

#include <algorithm>
#include <utility>

namespace kovi {

namespace {

constexpr const char* tooLargeToSaveMessage =
    "The extensions could not be saved because they are too large.";

std::string saveFailedMessage(const std::string& detail)
{
    std::string message = "The extensions could not be saved.";
    if (!detail.empty())
        message += " " + detail;
    return message;
}

} // namespace

PageExtensionStore::PageExtensionStore(std::optional<std::string> directory)
{
    std::string folder = directory ? std::move(*directory) : paths::defaultStorageDirectory();
    // Never fall back to the working directory: without a folder nothing is read or written.
    if (folder.empty() || (!directory && !g_path_is_absolute(folder.c_str()))) {
        m_canWrite = false;
        m_errorMessage = noFolderMessage;
        return;
    }
    m_folder = std::move(folder);
    m_filePath = files::join(m_folder, fileName);
    load();
}

void PageExtensionStore::load()
{
    if (!files::exists(m_filePath)) {
        m_extensions = {focusReading()};
        return;
    }
    if (auto bytes = files::readBounded(m_filePath, maxFileBytes)) {
        try {
            m_extensions = json::arrayFromJson<PageExtension>(json::parse(*bytes), "page extensions");
            return;
        } catch (const std::exception&) {
            // Refused below, like an unreadable file.
        }
    }
    m_extensions.clear();
    m_canWrite = false;
    m_errorMessage = loadFailedMessage;
}

void PageExtensionStore::setErrorMessage(std::optional<std::string> message)
{
    if (message == m_errorMessage)
        return;
    m_errorMessage = std::move(message);
    m_errorMessageChanged.emit();
}

void PageExtensionStore::commit(std::vector<PageExtension> proposed)
{
    if (!m_canWrite) {
        setErrorMessage(m_folder.empty() ? noFolderMessage : repairFirstMessage);
        return;
    }
    std::string data;
    try {
        data = json::dump(json::arrayToJson(proposed));
    } catch (const std::exception& error) {
        setErrorMessage(saveFailedMessage(error.what()));
        return;
    }
    // A file this store would refuse to read back must not replace a good one.
    if (data.size() > maxFileBytes) {
        setErrorMessage(tooLargeToSaveMessage);
        return;
    }
    if (auto made = files::ensureDirectory(m_folder); !made) {
        setErrorMessage(saveFailedMessage(made.error().message));
        return;
    }
    if (auto written = files::writeAtomically(m_filePath, data); !written) {
        setErrorMessage(saveFailedMessage(written.error().message));
        return;
    }
    m_extensions = std::move(proposed);
    ++m_revision;
    m_extensionsChanged.emit();
    m_revisionChanged.emit();
}

void PageExtensionStore::setEnabled(const Uuid& id, bool enabled)
{
    auto proposed = m_extensions;
    auto found = std::find_if(proposed.begin(), proposed.end(),
                              [&](const PageExtension& extension) { return extension.id == id; });
    if (found == proposed.end())
        return;
    found->enabled = enabled;
    commit(std::move(proposed));
}

void PageExtensionStore::install(const PageExtension& extension)
{
    auto proposed = m_extensions;
    proposed.push_back(extension);
    proposed.back().enabled = true;
    commit(std::move(proposed));
}

void PageExtensionStore::remove(const Uuid& id)
{
    auto proposed = m_extensions;
    std::erase_if(proposed, [&](const PageExtension& extension) {
        return extension.id == id && !extension.isBuiltIn;
    });
    commit(std::move(proposed));
}

PageExtension PageExtensionStore::focusReading()
{
    PageExtension extension;
    extension.id = Uuid::random();
    extension.name = "Focus Reading";
    extension.version = "1.0";
    extension.description = "Gives article pages comfortable line spacing and a quieter layout. "
                            "Works on sites using an article element.";
    PageExtension::Script script;
    script.matches = {"https://*/*", "http://*/*"};
    script.runAt = "document_end";
    script.css = "body:has(article) article { max-width: 76ch !important; margin-inline: auto "
                 "!important; line-height: 1.8 !important; } body:has(article) > header, "
                 "body:has(article) > aside, body:has(article) > footer { display: none !important; }";
    extension.scripts.push_back(std::move(script));
    extension.enabled = false;
    extension.isBuiltIn = true;
    return extension;
}

} // namespace kovi
