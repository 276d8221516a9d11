#include "core/library/library_import.h"

#include "core/library/browser_library.h"
#include "core/support/files.h"

namespace kovi {

namespace {

// "10000" as "10,000".
std::string grouped(std::size_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string quoted(std::string_view fileName)
{
    return "“" + std::string(fileName) + "”";
}

// The file as the subject of a sentence, and inside one.
std::string subject(std::string_view fileName)
{
    return fileName.empty() ? "The file" : quoted(fileName);
}

std::string object(std::string_view fileName)
{
    return fileName.empty() ? "the file" : quoted(fileName);
}

Error refusal(ErrorCode code, std::string message)
{
    return Error{code, std::move(message)};
}

// A decoding failure's text with its first letter lower case, to follow a colon.
std::string continued(std::string text)
{
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// The system's description of a failed read, without the path the file layer puts first.
std::string readFailure(const Error& error)
{
    if (error.code == ErrorCode::NotRegular)
        return "it is not a regular file.";
    const std::size_t colon = error.message.rfind(": ");
    std::string reason = colon == std::string::npos ? error.message : error.message.substr(colon + 2);
    return continued(std::move(reason)) + ".";
}

} // namespace

ArchiveRefusal checkArchive(const LibraryArchive& archive)
{
    if (archive.version != 1)
        return ArchiveRefusal::invalid;
    if (archive.pages.size() > BrowserLibrary::maxPages)
        return ArchiveRefusal::tooManyPages;
    if (archive.workspaces.size() > BrowserLibrary::maxWorkspaces)
        return ArchiveRefusal::tooManyWorkspaces;
    for (const auto& page : archive.pages) {
        if (!BrowserLibrary::isWebURL(page.url) || page.title.empty()
            || (page.collection != kBookmarksCollection && page.collection != kReadingListCollection))
            return ArchiveRefusal::invalid;
    }
    for (const auto& workspace : archive.workspaces) {
        if (workspace.pages.empty())
            return ArchiveRefusal::invalid;
        if (workspace.pages.size() > BrowserLibrary::maxWorkspacePages)
            return ArchiveRefusal::tooManyWorkspacePages;
        for (const auto& page : workspace.pages)
            if (!BrowserLibrary::isWebURL(page.url))
                return ArchiveRefusal::invalid;
    }
    return ArchiveRefusal::none;
}

Result<LibraryArchive> readImportFile(const std::string& path)
{
    const std::string name = files::baseName(path);
    auto bytes = files::readBounded(path, BrowserLibrary::maxArchiveBytes);
    if (!bytes) {
        if (bytes.error().code == ErrorCode::TooLarge)
            return refusal(ErrorCode::TooLarge, subject(name) + " is too large to import: a library export holds at most "
                                                    + grouped(BrowserLibrary::maxArchiveBytes) + " bytes.");
        return refusal(bytes.error().code, subject(name) + " could not be read: " + readFailure(bytes.error()));
    }
    return decodeImport(*bytes, name);
}

Result<LibraryArchive> decodeImport(std::string_view data, std::string_view fileName)
{
    if (data.size() > BrowserLibrary::maxArchiveBytes)
        return refusal(ErrorCode::TooLarge, subject(fileName) + " is too large to import: a library export holds at most "
                                                + grouped(BrowserLibrary::maxArchiveBytes) + " bytes.");
    Json document;
    try {
        document = json::parse(data);
    } catch (const DecodeError& error) {
        return refusal(ErrorCode::CorruptData, subject(fileName) + " could not be read: " + continued(error.what()));
    }
    LibraryArchive archive;
    try {
        archive = LibraryArchive::fromJson(document);
    } catch (const std::exception& error) {
        return refusal(ErrorCode::CorruptData, subject(fileName) + " is not in the correct format. " + error.what());
    }
    switch (checkArchive(archive)) {
    case ArchiveRefusal::none:
        return archive;
    case ArchiveRefusal::invalid:
        return refusal(ErrorCode::InvalidInput, std::string(describe(LibraryError::invalidArchive)));
    case ArchiveRefusal::tooManyPages:
        return refusal(ErrorCode::TooLarge, subject(fileName) + " holds " + grouped(archive.pages.size())
                                                + " pages; a library holds at most " + grouped(BrowserLibrary::maxPages) + ".");
    case ArchiveRefusal::tooManyWorkspaces:
        return refusal(ErrorCode::TooLarge, subject(fileName) + " holds " + grouped(archive.workspaces.size())
                                                + " saved workspaces; a library holds at most "
                                                + grouped(BrowserLibrary::maxWorkspaces) + ".");
    case ArchiveRefusal::tooManyWorkspacePages:
        return refusal(ErrorCode::TooLarge, "A saved workspace in " + object(fileName) + " holds more than "
                                                + grouped(BrowserLibrary::maxWorkspacePages)
                                                + " pages, more than a workspace can hold.");
    }
    return refusal(ErrorCode::InvalidInput, std::string(describe(LibraryError::invalidArchive)));
}

Error importPassesLimit(std::string_view fileName, LibraryLimit limit)
{
    std::string what;
    switch (limit) {
    case LibraryLimit::pages:
        what = grouped(BrowserLibrary::maxPages) + " pages";
        break;
    case LibraryLimit::workspaces:
        what = grouped(BrowserLibrary::maxWorkspaces) + " saved workspaces";
        break;
    case LibraryLimit::bytes:
        what = grouped(BrowserLibrary::maxArchiveBytes) + " bytes";
        break;
    }
    return refusal(ErrorCode::TooLarge, "Importing " + object(fileName) + " would take the library past its limit of "
                                            + what + ". Nothing was imported.");
}

} // namespace kovi
