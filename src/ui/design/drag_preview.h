#pragma once

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>

#include <string>

namespace kovi {

// The card that follows the pointer while a tab or folder is dragged: icon (the favicon, else
// the globe or the folder symbol) and title on a dark card, 220 px wide.
Glib::RefPtr<Gdk::Texture> renderDragPreview(const std::string& title, const Glib::RefPtr<Gdk::Texture>& favicon,
                                             bool isFolder, int scale = 1);

} // namespace kovi
