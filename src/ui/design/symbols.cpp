#include "ui/design/symbols.h"

#include <gtkmm/button.h>
#include <gtkmm/image.h>

#include <algorithm>
#include <array>
#include <utility>

namespace kovi {

namespace {

// Symbol name → icon name. "kovi-" icons are ours (data/icons).
constexpr auto symbolTable = std::to_array<std::pair<std::string_view, std::string_view>>({
    // Controls and views
    {"magnifyingglass", "system-search-symbolic"},
    {"books.vertical", "kovi-books-vertical-symbolic"},
    {"clock", "document-open-recent-symbolic"},
    {"clock.arrow.circlepath", "kovi-clock-arrow-circlepath-symbolic"},
    {"arrow.down.circle", "kovi-arrow-down-circle-symbolic"},
    {"arrow.clockwise", "view-refresh-symbolic"},
    {"arrow.left.arrow.right", "kovi-arrow-left-arrow-right-symbolic"},
    {"arrow.up.forward.square", "kovi-arrow-up-forward-square-symbolic"},
    {"sidebar.left", "sidebar-show-symbolic"},
    {"rectangle", "kovi-rectangle-symbolic"},
    {"rectangle.split.1x2", "kovi-rectangle-split-1x2-symbolic"},
    {"rectangle.split.2x1", "view-dual-symbolic"},
    {"square.split.2x1", "kovi-square-split-2x1-symbolic"},
    {"square.grid.2x2", "view-grid-symbolic"},
    {"square.on.square", "kovi-square-on-square-symbolic"},
    {"doc.on.doc", "edit-copy-symbolic"},
    {"doc.text", "x-office-document-symbolic"},
    {"square.and.arrow.up", "send-to-symbolic"},
    {"list.bullet", "view-list-bullet-symbolic"},
    {"ellipsis", "view-more-horizontal-symbolic"},
    {"line.3.horizontal", "open-menu-symbolic"},
    {"checkmark", "object-select-symbolic"},
    {"plus", "list-add-symbolic"},
    {"minus", "list-remove-symbolic"},
    {"xmark", "window-close-symbolic"},
    {"chevron.left", "go-previous-symbolic"},
    {"chevron.right", "go-next-symbolic"},
    {"chevron.down", "pan-down-symbolic"},
    {"chevron.up", "pan-up-symbolic"},
    {"lock.fill", "changes-prevent-symbolic"},
    {"lock.shield.fill", "kovi-lock-shield-fill-symbolic"},
    {"xmark.shield.fill", "kovi-xmark-shield-fill-symbolic"},
    {"icloud.fill", "kovi-icloud-fill-symbolic"},
    {"person.crop.circle.fill", "avatar-default-symbolic"},
    {"person.circle", "avatar-default-symbolic"},
    {"folder", "folder-symbolic"},
    {"star", "non-starred-symbolic"},
    {"gearshape", "emblem-system-symbolic"},
    {"gearshape.fill", "emblem-system-symbolic"},
    {"trash", "user-trash-symbolic"},
    {"sparkles", "kovi-sparkles-symbolic"},
    {"puzzlepiece.extension", "kovi-puzzlepiece-extension-symbolic"},
    {"pin", "view-pin-symbolic"},
    {"house", "user-home-symbolic"},
    {"briefcase", "kovi-briefcase-symbolic"},
    {"book", "accessories-dictionary-symbolic"},
    {"bookmark", "user-bookmarks-symbolic"},
    {"gamecontroller", "input-gaming-symbolic"},
    {"heart", "kovi-heart-symbolic"},
    {"info.circle", "kovi-info-circle-symbolic"},
    {"exclamationmark.triangle", "dialog-warning-symbolic"},
    {"wifi.exclamationmark", "kovi-wifi-exclamationmark-symbolic"},
    {"paintpalette", "preferences-color-symbolic"},
    {"keyboard", "preferences-desktop-keyboard-symbolic"},
    {"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
    {"arrow.right", "kovi-arrow-right-symbolic"},
    {"arrow.up.circle.fill", "kovi-arrow-up-circle-fill-symbolic"},
    {"arrow.left.arrow.right", "kovi-arrow-left-arrow-right-symbolic"},
    {"power", "system-shutdown-symbolic"},
    {"eye", "view-reveal-symbolic"},
    {"eye.slash", "view-conceal-symbolic"},
    {"eye.fill", "view-reveal-symbolic"},
    {"textformat.size", "kovi-textformat-size-symbolic"},
    {"arrow.down.doc.fill", "kovi-arrow-down-doc-fill-symbolic"},
    {"square.stack.3d.up", "kovi-square-stack-3d-up-symbolic"},
    {"checkmark.circle.fill", "emblem-ok-symbolic"},
    {"arrow.uturn.backward", "edit-undo-symbolic"},

    // File types of downloads
    {"doc", "text-x-generic-symbolic"},
    {"doc.zipper", "kovi-doc-zipper-symbolic"},
    {"film", "video-x-generic-symbolic"},
    {"photo", "image-x-generic-symbolic"},
    {"shippingbox", "package-x-generic-symbolic"},
    {"app", "application-x-executable-symbolic"},

    // Settings window and account
    {"person.crop.square.fill", "avatar-default-symbolic"},
    {"person.2", "system-users-symbolic"},
    {"app.gift", "kovi-gift-fill-symbolic"},
    {"gift", "kovi-gift-fill-symbolic"},
    {"slider.horizontal.3", "kovi-slider-horizontal-3-symbolic"},
    {"person.crop.circle.badge.questionmark", "kovi-person-crop-circle-badge-questionmark-symbolic"},
    {"rectangle.portrait.and.arrow.right", "system-log-out-symbolic"},
    {"hand.raised.fill", "preferences-system-privacy-symbolic"},
    {"internaldrive", "drive-harddisk-symbolic"},
    {"qrcode", "kovi-qrcode-symbolic"},
    {"hand.thumbsup", "kovi-hand-thumbsup-symbolic"},

    // Space icons, in the order the space editor offers them
    {"person.fill", "avatar-default-symbolic"},
    {"person.2.fill", "system-users-symbolic"},
    {"figure.stand", "kovi-figure-stand-symbolic"},
    {"heart.fill", "kovi-heart-symbolic"},
    {"star.fill", "starred-symbolic"},
    {"house.fill", "user-home-symbolic"},
    {"briefcase.fill", "kovi-briefcase-symbolic"},
    {"building.2.fill", "kovi-building-2-fill-symbolic"},
    {"doc.fill", "text-x-generic-symbolic"},
    {"folder.fill", "folder-symbolic"},
    {"tray.fill", "kovi-tray-fill-symbolic"},
    {"archivebox.fill", "kovi-archivebox-fill-symbolic"},
    {"envelope.fill", "mail-unread-symbolic"},
    {"message.fill", "kovi-message-fill-symbolic"},
    {"bubble.left.fill", "kovi-bubble-left-fill-symbolic"},
    {"phone.fill", "call-start-symbolic"},
    {"video.fill", "video-x-generic-symbolic"},
    {"paintbrush.fill", "kovi-paintbrush-fill-symbolic"},
    {"pencil", "document-edit-symbolic"},
    {"photo.fill", "image-x-generic-symbolic"},
    {"camera.fill", "camera-photo-symbolic"},
    {"film.fill", "kovi-film-fill-symbolic"},
    {"music.note", "audio-x-generic-symbolic"},
    {"laptopcomputer", "kovi-laptopcomputer-symbolic"},
    {"desktopcomputer", "video-display-symbolic"},
    {"keyboard.fill", "input-keyboard-symbolic"},
    {"terminal.fill", "utilities-terminal-symbolic"},
    {"cpu.fill", "kovi-cpu-fill-symbolic"},
    {"memorychip.fill", "kovi-memorychip-fill-symbolic"},
    {"book.fill", "accessories-dictionary-symbolic"},
    {"graduationcap.fill", "kovi-graduationcap-fill-symbolic"},
    {"lightbulb.fill", "kovi-lightbulb-fill-symbolic"},
    {"brain.head.profile", "kovi-brain-head-profile-symbolic"},
    {"text.book.closed.fill", "kovi-text-book-closed-fill-symbolic"},
    {"dollarsign.circle.fill", "kovi-dollarsign-circle-fill-symbolic"},
    {"creditcard.fill", "kovi-creditcard-fill-symbolic"},
    {"chart.line.uptrend.xyaxis", "kovi-chart-line-uptrend-xyaxis-symbolic"},
    {"banknote.fill", "kovi-banknote-fill-symbolic"},
    {"airplane", "airplane-mode-symbolic"},
    {"car.fill", "emoji-travel-symbolic"},
    {"map.fill", "kovi-map-fill-symbolic"},
    {"globe", "kovi-globe-symbolic"},
    {"suitcase.fill", "kovi-suitcase-fill-symbolic"},
    {"heart.text.square.fill", "kovi-heart-text-square-fill-symbolic"},
    {"cross.fill", "kovi-cross-fill-symbolic"},
    {"pill.fill", "kovi-pill-fill-symbolic"},
    {"gamecontroller.fill", "input-gaming-symbolic"},
    {"puzzlepiece.fill", "kovi-puzzlepiece-fill-symbolic"},
    {"dice.fill", "kovi-dice-fill-symbolic"},
    {"party.popper.fill", "kovi-party-popper-fill-symbolic"},
    {"leaf.fill", "kovi-leaf-fill-symbolic"},
    {"sun.max.fill", "weather-clear-symbolic"},
    {"moon.fill", "weather-clear-night-symbolic"},
    {"cloud.fill", "kovi-icloud-fill-symbolic"},
    {"bolt.fill", "kovi-bolt-fill-symbolic"},
    {"cart.fill", "kovi-cart-fill-symbolic"},
    {"bag.fill", "kovi-bag-fill-symbolic"},
    {"gift.fill", "kovi-gift-fill-symbolic"},
    {"tag.fill", "kovi-tag-fill-symbolic"},
    {"flag.fill", "emoji-flags-symbolic"},
    {"bookmark.fill", "user-bookmarks-symbolic"},
    {"pin.fill", "view-pin-symbolic"},
    {"bell.fill", "preferences-system-notifications-symbolic"},
    {"clock.fill", "preferences-system-time-symbolic"},
    {"calendar", "x-office-calendar-symbolic"},
    {"link", "kovi-link-symbolic"},
    {"gear", "emblem-system-symbolic"},
    {"wrench.and.screwdriver.fill", "kovi-wrench-and-screwdriver-fill-symbolic"},
});

std::vector<std::string>& unknownSymbols()
{
    static std::vector<std::string> names;
    return names;
}

} // namespace

std::string iconNameForSymbol(std::string_view symbol)
{
    for (const auto& [name, icon] : symbolTable) {
        if (name == symbol)
            return std::string(icon);
    }
    return {};
}

std::string iconNameForSymbol(std::string_view symbol, std::string_view fallback)
{
    std::string icon = iconNameForSymbol(symbol);
    if (!icon.empty())
        return icon;
    auto& unknown = unknownSymbols();
    // Bounded: the names come from the program and the state file, not from pages.
    if (unknown.size() < 256 && std::find(unknown.begin(), unknown.end(), symbol) == unknown.end())
        unknown.emplace_back(symbol);
    return std::string(fallback);
}

Gtk::Image* makeSymbolImage(std::string_view symbol, int pixelSize)
{
    auto* image = Gtk::make_managed<Gtk::Image>();
    setSymbol(*image, symbol, pixelSize);
    return image;
}

void setSymbol(Gtk::Image& image, std::string_view symbol, int pixelSize, std::string_view fallback)
{
    image.set_from_icon_name(iconNameForSymbol(symbol, fallback));
    image.set_pixel_size(pixelSize);
}

void setSymbol(Gtk::Button& button, std::string_view symbol)
{
    if (auto* image = dynamic_cast<Gtk::Image*>(button.get_child()))
        setSymbol(*image, symbol, image->get_pixel_size());
}

std::vector<std::string_view> knownSymbols()
{
    std::vector<std::string_view> names;
    names.reserve(symbolTable.size());
    for (const auto& [name, icon] : symbolTable)
        names.push_back(name);
    return names;
}

std::vector<std::string> unknownSymbolsRequested()
{
    return unknownSymbols();
}

} // namespace kovi
