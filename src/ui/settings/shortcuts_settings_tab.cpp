#include "ui/settings/shortcuts_settings_tab.h"

#include "core/settings/shortcut_rows.h"
#include "ui/settings/settings_section.h"

namespace kovi {

using namespace settings_ui;

ShortcutsSettingsTab::ShortcutsSettingsTab() : Gtk::Box(Gtk::Orientation::VERTICAL, 20)
{
    add_css_class("kovi-settings-page");
    set_margin(24);
    auto* section = Gtk::make_managed<SettingsSection>();
    addHeading(*section, "Keyboard Shortcuts");
    for (const ShortcutRowEntry& row : shortcutRows) {
        auto* keys = makeLabel(shortcutText(row.accelerator), {"kovi-shortcut-keys"});
        section->add(*makeRow(std::string(row.action), *keys));
    }
    append(*section);
}

} // namespace kovi
