#include "ui/sidebar/sidebar_support.h"

#include "ui/design/favicon_decoder.h"
#include "ui/design/symbols.h"

#include <gdkmm/contentprovider.h>
#include <gtkmm/dragsource.h>
#include <gtkmm/droptarget.h>
#include <gtkmm/widget.h>

#include <utility>
#include <vector>

namespace kovi {

// ---- Favicons ----------------------------------------------------------------------------------

Glib::RefPtr<Gdk::Texture> FaviconCache::texture(const std::optional<Bytes>& bytes)
{
    if (!bytes || bytes->empty())
        return {};
    // The size goes into the key too, so two icons share an entry only if hash and size match.
    const std::size_t key = std::hash<std::string_view>{}(
                                std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()))
                            ^ (bytes->size() * 0x9e3779b97f4a7c15ULL);
    if (auto it = m_textures.find(key); it != m_textures.end())
        return it->second;
    if (m_textures.size() >= maxEntries)
        m_textures.clear();

    // Not an image, or too large to be an icon: the globe stands in.
    Glib::RefPtr<Gdk::Texture> result = FaviconDecoder::decode(bytes->data(), bytes->size());
    m_textures.emplace(key, result);
    return result;
}

// ---- Symbols -----------------------------------------------------------------------------------

std::string sidebarIconName(std::string_view symbol)
{
    return iconNameForSymbol(symbol, "folder-symbolic");
}

// ---- Drag and drop -----------------------------------------------------------------------------

std::optional<DraggedItem> draggedItemFromText(std::string_view text)
{
    // Text from other programs often ends in a line break; a payload never does.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    auto parsed = DraggedItem::fromPlainText(text);
    if (auto* item = std::get_if<DraggedItem>(&parsed))
        return *item;
    return std::nullopt;
}

void attachDragSource(Gtk::Widget& widget, std::function<std::optional<DraggedItem>()> item,
                      std::function<Glib::RefPtr<Gdk::Paintable>()> icon, std::function<void(bool)> onDragState)
{
    auto source = Gtk::DragSource::create();
    source->set_actions(Gdk::DragAction::MOVE);
    source->signal_prepare().connect(
        [item](double, double) -> Glib::RefPtr<Gdk::ContentProvider> {
            auto payload = item();
            if (!payload)
                return {};
            const std::string json = payload->jsonData();
            auto bytes = Glib::Bytes::create(json.data(), json.size());
            Glib::Value<Glib::ustring> text;
            text.init(Glib::Value<Glib::ustring>::value_type());
            text.set(payload->encodedString());
            std::vector<Glib::RefPtr<Gdk::ContentProvider>> providers{
                Gdk::ContentProvider::create(DraggedItem::jsonMimeType, bytes),
                Gdk::ContentProvider::create(text),
            };
            return Gdk::ContentProvider::create(providers);
        },
        false);
    Gtk::DragSource* raw = source.get();
    source->signal_drag_begin().connect(
        [raw, icon, onDragState](const Glib::RefPtr<Gdk::Drag>&) {
            if (icon) {
                if (auto paintable = icon())
                    raw->set_icon(paintable, 24, 18);
            }
            if (onDragState)
                onDragState(true);
        },
        false);
    source->signal_drag_end().connect(
        [onDragState](const Glib::RefPtr<Gdk::Drag>&, bool) {
            if (onDragState)
                onDragState(false);
        },
        false);
    widget.add_controller(source);
}

Glib::RefPtr<Gtk::DropTarget> attachDropTarget(Gtk::Widget& widget,
                                               std::function<bool(const DraggedItem&, double, double)> onDrop,
                                               std::function<void(bool)> onTargeted)
{
    auto target = Gtk::DropTarget::create(Glib::Value<Glib::ustring>::value_type(),
                                          Gdk::DragAction::MOVE | Gdk::DragAction::COPY);
    target->signal_enter().connect(
        [onTargeted](double, double) {
            if (onTargeted)
                onTargeted(true);
            return Gdk::DragAction::MOVE;
        },
        false);
    target->signal_leave().connect([onTargeted] {
        if (onTargeted)
            onTargeted(false);
    });
    target->signal_drop().connect(
        [onDrop, onTargeted](const Glib::ValueBase& value, double x, double y) {
            if (onTargeted)
                onTargeted(false);
            if (!G_VALUE_HOLDS_STRING(value.gobj()))
                return false;
            const char* text = g_value_get_string(value.gobj());
            auto item = draggedItemFromText(text ? text : "");
            if (!item)
                return false; // other programs' text, malformed or unknown kinds
            return onDrop(*item, x, y);
        },
        false);
    widget.add_controller(target);
    return target;
}

} // namespace kovi
