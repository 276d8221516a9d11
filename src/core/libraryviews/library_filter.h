#pragma once

#include "core/library/library_archive.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// Which saved pages and workspaces the library sheet lists. A page matches when its collection
// is the section's exactly and the search text is empty or found in its title or URL, ignoring
// case; a workspace matches by name only. The text is used as typed (not trimmed) and matched
// literally, so quotes and pattern characters mean themselves.
//
// The case-folded texts are computed once per archive and kept until invalidate(), so one
// keystroke over 10,000 pages is a plain substring scan.
class LibraryFilter {
public:
    // Drops the folded texts; call when the archive changes.
    void invalidate();

    // Indexes into archive.pages / archive.workspaces, in the archive's order.
    std::vector<std::size_t> pages(const LibraryArchive& archive, std::string_view collection,
                                   std::string_view query);
    std::vector<std::size_t> workspaces(const LibraryArchive& archive, std::string_view query);

private:
    void fold(const LibraryArchive& archive);

    bool m_folded = false;
    std::vector<std::string> m_pageTitles;
    std::vector<std::string> m_pageUrls;
    std::vector<std::string> m_workspaceNames;
};

} // namespace kovi
