#include "core/libraryviews/library_filter.h"

#include "core/support/text.h"

namespace kovi {

void LibraryFilter::invalidate()
{
    m_folded = false;
    m_pageTitles.clear();
    m_pageUrls.clear();
    m_workspaceNames.clear();
}

void LibraryFilter::fold(const LibraryArchive& archive)
{
    if (m_folded && m_pageTitles.size() == archive.pages.size() && m_workspaceNames.size() == archive.workspaces.size())
        return;
    invalidate();
    m_pageTitles.reserve(archive.pages.size());
    m_pageUrls.reserve(archive.pages.size());
    for (const SavedPage& page : archive.pages) {
        m_pageTitles.push_back(text::caseFolded(page.title));
        m_pageUrls.push_back(text::caseFolded(page.url.string()));
    }
    m_workspaceNames.reserve(archive.workspaces.size());
    for (const WorkspaceSnapshot& workspace : archive.workspaces)
        m_workspaceNames.push_back(text::caseFolded(workspace.name));
    m_folded = true;
}

std::vector<std::size_t> LibraryFilter::pages(const LibraryArchive& archive, std::string_view collection,
                                              std::string_view query)
{
    std::vector<std::size_t> out;
    const std::size_t count = archive.pages.size();
    if (query.empty()) {
        for (std::size_t i = 0; i < count; ++i) {
            if (archive.pages[i].collection == collection)
                out.push_back(i);
        }
        return out;
    }
    fold(archive);
    const std::string needle = text::caseFolded(query);
    for (std::size_t i = 0; i < count; ++i) {
        if (archive.pages[i].collection != collection)
            continue;
        if (m_pageTitles[i].find(needle) != std::string::npos || m_pageUrls[i].find(needle) != std::string::npos)
            out.push_back(i);
    }
    return out;
}

std::vector<std::size_t> LibraryFilter::workspaces(const LibraryArchive& archive, std::string_view query)
{
    std::vector<std::size_t> out;
    const std::size_t count = archive.workspaces.size();
    if (query.empty()) {
        for (std::size_t i = 0; i < count; ++i)
            out.push_back(i);
        return out;
    }
    fold(archive);
    const std::string needle = text::caseFolded(query);
    for (std::size_t i = 0; i < count; ++i) {
        if (m_workspaceNames[i].find(needle) != std::string::npos)
            out.push_back(i);
    }
    return out;
}

} // namespace kovi
