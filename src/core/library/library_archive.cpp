#include "core/library/library_archive.h"

#include <limits>

namespace kovi {

std::string_view describe(LibraryError error)
{
    switch (error) {
    case LibraryError::invalidArchive:
        return "Choose a valid Kovi library export containing web URLs.";
    case LibraryError::unreadableFile:
        return "The existing library is unreadable. Back it up and repair it before saving new items.";
    }
    return {};
}

Json toJson(const SavedPage& page)
{
    Json object = Json::object();
    object["id"] = json::uuid(page.id);
    object["url"] = page.url.string();
    object["title"] = page.title;
    object["collection"] = page.collection;
    object["isRead"] = page.isRead;
    object["createdAt"] = json::date(page.createdAt);
    return object;
}

SavedPage SavedPage::fromJson(const Json& object)
{
    json::requireObject(object, "saved page");
    SavedPage page{json::requireUuid(object, "id"), json::requireUrl(object, "url")};
    page.title = json::requireString(object, "title");
    page.collection = json::requireString(object, "collection");
    page.isRead = json::requireBool(object, "isRead");
    page.createdAt = json::requireDate(object, "createdAt");
    return page;
}

Json toJson(const WorkspaceSnapshot::Page& page)
{
    Json object = Json::object();
    object["url"] = page.url.string();
    object["title"] = page.title;
    object["isPinned"] = page.isPinned;
    return object;
}

WorkspaceSnapshot::Page WorkspaceSnapshot::Page::fromJson(const Json& object)
{
    json::requireObject(object, "workspace page");
    return Page{json::requireUrl(object, "url"), json::requireString(object, "title"),
                json::requireBool(object, "isPinned")};
}

Json toJson(const WorkspaceSnapshot& workspace)
{
    Json object = Json::object();
    object["id"] = json::uuid(workspace.id);
    object["name"] = workspace.name;
    object["pages"] = json::arrayToJson(workspace.pages);
    object["createdAt"] = json::date(workspace.createdAt);
    return object;
}

WorkspaceSnapshot WorkspaceSnapshot::fromJson(const Json& object)
{
    json::requireObject(object, "workspace");
    WorkspaceSnapshot workspace;
    workspace.id = json::requireUuid(object, "id");
    workspace.name = json::requireString(object, "name");
    workspace.pages = json::arrayFromJson<Page>(json::requireArrayMember(object, "pages"));
    workspace.createdAt = json::requireDate(object, "createdAt");
    return workspace;
}

Json toJson(const LibraryArchive& archive)
{
    Json object = Json::object();
    object["version"] = archive.version;
    object["pages"] = json::arrayToJson(archive.pages);
    object["workspaces"] = json::arrayToJson(archive.workspaces);
    return object;
}

LibraryArchive LibraryArchive::fromJson(const Json& value)
{
    json::requireObject(value, "library");
    LibraryArchive archive;
    std::int64_t version = json::requireInt64(value, "version");
    if (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max())
        throw DecodeError("The version number does not fit an integer.");
    archive.version = static_cast<int>(version);
    archive.pages = json::arrayFromJson<SavedPage>(json::requireArrayMember(value, "pages"));
    archive.workspaces = json::arrayFromJson<WorkspaceSnapshot>(json::requireArrayMember(value, "workspaces"));
    return archive;
}

} // namespace kovi
