#pragma once

#include "core/support/url.h"

namespace kovi::desktop {

// Opens a local file with its default application. Failures are ignored.
void openFile(const Url& file);
// Shows the file selected in the desktop's file manager (org.freedesktop.FileManager1), or
// opens its folder when no file manager answers. Asynchronous; failures are ignored.
void showInFolder(const Url& file);

} // namespace kovi::desktop
