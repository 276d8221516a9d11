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

namespace {

Json pageToJson(const SavedPage& page)
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

SavedPage pageFromJson(const Json& object)
{
    json::requireObject(object, "saved page");
    SavedPage page{json::requireUuid(object, "id"), json::requireUrl(object, "url")};
    page.title = json::requireString(object, "title");
    page.collection = json::requireString(object, "collection");
    page.isRead = json::requireBool(object, "isRead");
    page.createdAt = json::requireDate(object, "createdAt");
    return page;
}

Json workspacePageToJson(const WorkspaceSnapshot::Page& page)
{
    Json object = Json::object();
    object["url"] = page.url.string();
    object["title"] = page.title;
    object["isPinned"] = page.isPinned;
    return object;
}

WorkspaceSnapshot::Page workspacePageFromJson(const Json& object)
{
    json::requireObject(object, "workspace page");
    return WorkspaceSnapshot::Page{json::requireUrl(object, "url"), json::requireString(object, "title"),
                                   json::requireBool(object, "isPinned")};
}

Json workspaceToJson(const WorkspaceSnapshot& workspace)
{
    Json pages = Json::array();
    for (const auto& page : workspace.pages)
        pages.push_back(workspacePageToJson(page));
    Json object = Json::object();
    object["id"] = json::uuid(workspace.id);
    object["name"] = workspace.name;
    object["pages"] = std::move(pages);
    object["createdAt"] = json::date(workspace.createdAt);
    return object;
}

WorkspaceSnapshot workspaceFromJson(const Json& object)
{
    json::requireObject(object, "workspace");
    WorkspaceSnapshot workspace;
    workspace.id = json::requireUuid(object, "id");
    workspace.name = json::requireString(object, "name");
    for (const auto& page : json::requireArrayMember(object, "pages"))
        workspace.pages.push_back(workspacePageFromJson(page));
    workspace.createdAt = json::requireDate(object, "createdAt");
    return workspace;
}

} // namespace

Json toJson(const LibraryArchive& archive)
{
    Json pages = Json::array();
    for (const auto& page : archive.pages)
        pages.push_back(pageToJson(page));
    Json workspaces = Json::array();
    for (const auto& workspace : archive.workspaces)
        workspaces.push_back(workspaceToJson(workspace));
    Json object = Json::object();
    object["version"] = archive.version;
    object["pages"] = std::move(pages);
    object["workspaces"] = std::move(workspaces);
    return object;
}

LibraryArchive libraryArchiveFromJson(const Json& value)
{
    json::requireObject(value, "library");
    LibraryArchive archive;
    std::int64_t version = json::requireInt64(value, "version");
    if (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max())
        throw DecodeError("The version number does not fit an integer.");
    archive.version = static_cast<int>(version);
    for (const auto& page : json::requireArrayMember(value, "pages"))
        archive.pages.push_back(pageFromJson(page));
    for (const auto& workspace : json::requireArrayMember(value, "workspaces"))
        archive.workspaces.push_back(workspaceFromJson(workspace));
    return archive;
}

} // namespace kovi
