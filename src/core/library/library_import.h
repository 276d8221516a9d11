#pragma once

#include "core/library/library_archive.h"
#include "core/support/result.h"

#include <string>
#include <string_view>

namespace kovi {

// What keeps an archive out of the library beyond its JSON form: the library's rules
// (`invalid`: version, web URLs, titles, collections, empty workspaces) and its limits.
enum class ArchiveRefusal { none, invalid, tooManyPages, tooManyWorkspaces, tooManyWorkspacePages };
ArchiveRefusal checkArchive(const LibraryArchive& archive);

// Reading a file the user chose to import, with messages that name the file and say what is
// wrong. These touch no library and no shared state, so they may run on any thread.
Result<LibraryArchive> readImportFile(const std::string& path);
// `fileName` as shown to the user; empty for data that came from no file.
Result<LibraryArchive> decodeImport(std::string_view data, std::string_view fileName);

// Why merging the import named `fileName` into the library would pass one of its limits.
enum class LibraryLimit { pages, workspaces, bytes };
Error importPassesLimit(std::string_view fileName, LibraryLimit limit);

} // namespace kovi
