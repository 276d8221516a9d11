#include "core/support/storage_paths.h"

#include "core/support/files.h"

#include <glib.h>

namespace kovi::paths {

std::string defaultStorageDirectory()
{
    return files::join(g_get_user_data_dir(), appFolderName);
}

std::string configDirectory()
{
    return files::join(g_get_user_config_dir(), appFolderName);
}

std::string sessionDataDirectory(const std::string& spaceId)
{
    return files::join(files::join(defaultStorageDirectory(), "sessions"), spaceId);
}

std::string sessionCacheDirectory(const std::string& spaceId)
{
    return files::join(files::join(files::join(g_get_user_cache_dir(), appFolderName), "sessions"), spaceId);
}

std::string downloadsDirectory()
{
    if (const char* dir = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD))
        return dir;
    return files::join(g_get_home_dir(), "Downloads");
}

} // namespace kovi::paths
