#pragma once

#include <string>

namespace kovi::paths {

inline constexpr const char* appFolderName = "KoviBrowser";

// $XDG_DATA_HOME/KoviBrowser: the browser state, history, downloads, library and extensions.
std::string defaultStorageDirectory();
// $XDG_CONFIG_HOME/KoviBrowser: the settings file.
std::string configDirectory();
// Web data and cache of one space's session.
std::string sessionDataDirectory(const std::string& spaceId);
std::string sessionCacheDirectory(const std::string& spaceId);
// The user's Downloads folder, else ~/Downloads.
std::string downloadsDirectory();

} // namespace kovi::paths
