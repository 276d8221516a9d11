#pragma once

// The library's value records and their JSON form, shared by library.json and the export file.

#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <string>
#include <string_view>
#include <vector>

namespace kovi {

inline constexpr const char* kBookmarksCollection = "Bookmarks";
inline constexpr const char* kReadingListCollection = "Reading List";

struct SavedPage {
    Uuid id;
    Url url;
    std::string title;
    std::string collection;
    bool isRead = false;
    Date createdAt;

    static SavedPage fromJson(const Json& object);
    bool operator==(const SavedPage&) const = default;
};

struct WorkspaceSnapshot {
    struct Page {
        Url url;
        std::string title;
        bool isPinned = false;

        static Page fromJson(const Json& object);
        bool operator==(const Page&) const = default;
    };

    Uuid id;
    std::string name;
    std::vector<Page> pages;
    Date createdAt;

    static WorkspaceSnapshot fromJson(const Json& object);
    bool operator==(const WorkspaceSnapshot&) const = default;
};

struct LibraryArchive {
    int version = 1;
    std::vector<SavedPage> pages;
    std::vector<WorkspaceSnapshot> workspaces;

    static LibraryArchive fromJson(const Json& value);
    bool operator==(const LibraryArchive&) const = default;
};

// Failures the user is told about in the library's own words.
enum class LibraryError {
    invalidArchive,
    unreadableFile,
};

std::string_view describe(LibraryError error);

// JSON coding with the field names as keys. Decoding (the records' fromJson) is strict: every
// key required, exact types; it throws DecodeError and does not apply the library's limits.
Json toJson(const SavedPage& page);
Json toJson(const WorkspaceSnapshot::Page& page);
Json toJson(const WorkspaceSnapshot& workspace);
Json toJson(const LibraryArchive& archive);

} // namespace kovi
