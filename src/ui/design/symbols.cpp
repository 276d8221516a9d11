#include "ui/design/symbols.h"

#include <gtkmm/image.h>

#include <array>
#include <utility>

namespace kovi {

namespace {

// Symbol name → icon name. "kovi-" icons are ours (data/icons).
constexpr std::array<std::pair<std::string_view, std::string_view>, 56> symbolTable{{
    {"magnifyingglass", "system-search-symbolic"},
    {"books.vertical", "kovi-books-vertical-symbolic"},
    {"clock.arrow.circlepath", "kovi-clock-arrow-circlepath-symbolic"},
    {"arrow.down.circle", "kovi-arrow-down-circle-symbolic"},
    {"sidebar.left", "sidebar-show-symbolic"},
    {"rectangle.split.1x2", "kovi-rectangle-split-1x2-symbolic"},
    {"checkmark", "object-select-symbolic"},
    {"plus", "list-add-symbolic"},
    {"minus", "list-remove-symbolic"},
    {"xmark", "window-close-symbolic"},
    {"chevron.left", "go-previous-symbolic"},
    {"chevron.right", "go-next-symbolic"},
    {"chevron.down", "pan-down-symbolic"},
    {"chevron.up", "pan-up-symbolic"},
    {"arrow.clockwise", "view-refresh-symbolic"},
    {"lock.shield.fill", "kovi-lock-shield-fill-symbolic"},
    {"xmark.shield.fill", "kovi-xmark-shield-fill-symbolic"},
    {"icloud.fill", "kovi-icloud-fill-symbolic"},
    {"person.crop.circle.fill", "avatar-default-symbolic"},
    {"person.fill", "avatar-default-symbolic"},
    {"person.circle", "avatar-default-symbolic"},
    {"lock.fill", "changes-prevent-symbolic"},
    {"folder", "folder-symbolic"},
    {"folder.fill", "folder-symbolic"},
    {"star", "non-starred-symbolic"},
    {"star.fill", "starred-symbolic"},
    {"globe", "web-browser-symbolic"},
    {"gearshape", "emblem-system-symbolic"},
    {"gearshape.fill", "emblem-system-symbolic"},
    {"trash", "user-trash-symbolic"},
    {"sparkles", "kovi-sparkles-symbolic"},
    {"puzzlepiece.extension", "kovi-puzzlepiece-extension-symbolic"},
    {"pin", "view-pin-symbolic"},
    {"pin.fill", "view-pin-symbolic"},
    {"house", "user-home-symbolic"},
    {"house.fill", "user-home-symbolic"},
    {"briefcase", "kovi-briefcase-symbolic"},
    {"briefcase.fill", "kovi-briefcase-symbolic"},
    {"book", "user-bookmarks-symbolic"},
    {"bookmark", "user-bookmarks-symbolic"},
    {"bookmark.fill", "user-bookmarks-symbolic"},
    {"music.note", "emblem-music-symbolic"},
    {"gamecontroller", "applications-games-symbolic"},
    {"heart", "kovi-heart-symbolic"},
    {"heart.fill", "kovi-heart-symbolic"},
    {"doc.text", "x-office-document-symbolic"},
    {"square.and.arrow.up", "send-to-symbolic"},
    {"ellipsis", "view-more-horizontal-symbolic"},
    {"line.3.horizontal", "open-menu-symbolic"},
    {"square.grid.2x2", "view-grid-symbolic"},
    {"rectangle.split.2x1", "view-dual-symbolic"},
    {"list.bullet", "view-list-bullet-symbolic"},
    {"info.circle", "dialog-information-symbolic"},
    {"exclamationmark.triangle", "dialog-warning-symbolic"},
    {"paintpalette", "preferences-color-symbolic"},
    {"keyboard", "preferences-desktop-keyboard-symbolic"},
}};

} // namespace

std::string iconNameForSymbol(std::string_view symbol)
{
    for (const auto& [name, icon] : symbolTable) {
        if (name == symbol)
            return std::string(icon);
    }
    return {};
}

Gtk::Image* makeSymbolImage(std::string_view symbol, int pixelSize)
{
    std::string icon = iconNameForSymbol(symbol);
    auto* image = Gtk::make_managed<Gtk::Image>();
    image->set_from_icon_name(icon.empty() ? "image-missing-symbolic" : icon);
    image->set_pixel_size(pixelSize);
    return image;
}

} // namespace kovi
