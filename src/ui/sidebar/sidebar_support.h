#pragma once

#include "core/model/dragged_item.h"
#include "core/model/space.h"
#include "core/support/json_coding.h"

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>
#include <gtkmm/image.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Gtk {
class DragSource;
class DropTarget;
class Widget;
} // namespace Gtk

namespace kovi {

// Decoded favicons, cached by the bytes' hash so the rows of a long list decode each icon once.
// Bytes that are no image, or an image too large for an icon, give nullptr (the rows then show
// the globe); see FaviconDecoder. Main thread only.
class FaviconCache {
public:
    static constexpr std::size_t maxEntries = 512;
    Glib::RefPtr<Gdk::Texture> texture(const std::optional<Bytes>& bytes);

private:
    std::unordered_map<std::size_t, Glib::RefPtr<Gdk::Texture>> m_textures;
};

// The icon name for a symbol name; an unknown symbol (a damaged state file can hold any) gets a
// plain folder rather than nothing.
std::string sidebarIconName(std::string_view symbol);

// Drag and drop of sidebar items. The source offers the JSON payload type and the "tab:"/
// "folder:" text; targets read the text and accept only a valid payload.
void attachDragSource(Gtk::Widget& widget, std::function<std::optional<DraggedItem>()> item,
                      std::function<Glib::RefPtr<Gdk::Paintable>()> icon,
                      std::function<void(bool dragging)> onDragState = {});
// `onDrop(item, x, y)` returns whether the drop was taken; `onTargeted` follows the drag.
Glib::RefPtr<Gtk::DropTarget> attachDropTarget(Gtk::Widget& widget,
                                               std::function<bool(const DraggedItem&, double x, double y)> onDrop,
                                               std::function<void(bool)> onTargeted);
// The text a drop carried, as a payload (nothing for foreign or malformed text).
std::optional<DraggedItem> draggedItemFromText(std::string_view text);

} // namespace kovi
