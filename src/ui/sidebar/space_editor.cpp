#include "ui/sidebar/space_editor.h"

#include "core/state/browser_state.h"
#include "ui/design/dialogs.h"
#include "ui/design/space_palette.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/sidebar/sidebar_support.h"

#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

namespace kovi {

namespace {

// The sheet opens on this spring.
constexpr KoviDesign::Motion openingAnimation = KoviDesign::Motion::springOf(0.25, 0.85);

Gtk::Label* fieldLabel(const char* text)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->set_xalign(0);
    label->add_css_class("space-editor-label");
    return label;
}

Gtk::Box* field(const char* title, Gtk::Widget& body)
{
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
    box->append(*fieldLabel(title));
    box->append(body);
    return box;
}

} // namespace

SpaceEditorWindow::SpaceEditorWindow(BrowserState& state, std::optional<Space> editing)
    : m_state(state), m_editing(std::move(editing)), m_draft(spaceDraftDefaults(m_editing, state.spaces().size()))
{
    joinApplication(*this);
    set_title(m_editing ? "Edit Space" : "New Space");
    set_modal(true);
    set_resizable(false);
    set_decorated(false);
    set_default_size(280, -1);
    add_css_class("space-editor-window");

    m_content.set_orientation(Gtk::Orientation::VERTICAL);
    m_content.set_spacing(16);
    m_content.add_css_class("space-editor");
    m_content.set_size_request(280, -1);
    set_child(m_content);
    // The window itself appears at once (a window's own opacity needs a compositor); its
    // content comes in on the sheet's spring.
    m_appear = std::make_unique<MotionValue>(m_content, 1.0, [this](double v) { m_content.set_opacity(v); });
    m_appear->jumpTo(0.0);
    signal_map().connect([this] { m_appear->animateTo(1.0, openingAnimation); });

    // Title row.
    auto* titleRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    auto* title = Gtk::make_managed<Gtk::Label>(m_editing ? "Edit Space" : "New Space");
    title->add_css_class("space-editor-title");
    title->set_hexpand(true);
    title->set_xalign(0);
    titleRow->append(*title);
    m_close.set_icon_name(sidebarIconName("xmark"));
    m_close.set_has_frame(false);
    m_close.add_css_class("space-editor-close");
    m_close.signal_clicked().connect([this] { dismiss(); });
    titleRow->append(m_close);
    m_content.append(*titleRow);

    // Preview.
    m_preview.add_css_class("space-editor-preview");
    m_preview.set_size_request(56, 56);
    m_preview.set_halign(Gtk::Align::CENTER);
    m_previewIcon.set_halign(Gtk::Align::CENTER);
    m_preview.set_homogeneous(true);
    m_preview.append(m_previewIcon);
    m_content.append(m_preview);

    // Name.
    m_name.set_placeholder_text("Space name");
    m_name.set_text(m_draft.name);
    m_name.add_css_class("space-editor-name");
    m_name.signal_changed().connect([this] {
        m_draft.name = m_name.get_text();
        refresh();
    });
    m_content.append(*field("Name", m_name));

    // Colours.
    m_colors.set_column_homogeneous(true);
    m_colors.set_column_spacing(8);
    m_colors.set_row_spacing(8);
    int column = 0;
    for (SpaceColor color : allSpaceColors) {
        auto* swatch = Gtk::make_managed<Gtk::Button>();
        swatch->set_has_frame(false);
        swatch->add_css_class("space-editor-swatch");
        swatch->set_halign(Gtk::Align::CENTER);
        swatch->set_tooltip_text(std::string(rawValue(color)));
        setSpaceColorClass(*swatch, SpaceColorRole::fill, color);
        swatch->signal_clicked().connect([this, color] { selectColor(color); });
        m_colors.attach(*swatch, column++, 0);
        m_swatches[color] = swatch;
    }
    m_content.append(*field("Color", m_colors));

    // Icons.
    m_icons.set_column_homogeneous(true);
    m_icons.set_column_spacing(6);
    m_icons.set_row_spacing(6);
    int index = 0;
    for (const std::string& symbol : SpaceIcons::all()) {
        auto* cell = Gtk::make_managed<Gtk::Button>();
        cell->set_has_frame(false);
        cell->add_css_class("space-editor-icon");
        cell->set_tooltip_text(symbol);
        auto* image = Gtk::make_managed<Gtk::Image>();
        setSymbol(*image, symbol, 14, "folder-symbolic");
        cell->set_child(*image);
        cell->signal_clicked().connect([this, symbol] { selectIcon(symbol); });
        m_icons.attach(*cell, index % 8, index / 8);
        m_iconCells[symbol] = cell;
        ++index;
    }
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller->set_size_request(-1, 140);
    scroller->set_child(m_icons);
    m_content.append(*field("Icon", *scroller));

    // Buttons.
    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 10);
    buttons->set_homogeneous(true);
    m_delete.set_label("Delete");
    m_delete.set_has_frame(false);
    m_delete.add_css_class("space-editor-delete");
    m_delete.set_hexpand(true);
    m_delete.signal_clicked().connect([this] { deleteSpace(); });
    if (m_editing)
        buttons->append(m_delete);
    m_save.set_label(m_editing ? "Save" : "Create");
    m_save.set_has_frame(false);
    m_save.add_css_class("space-editor-save");
    m_save.set_hexpand(true);
    m_save.signal_clicked().connect([this] { save(); });
    buttons->append(m_save);
    m_content.append(*buttons);

    signal_close_request().connect(
        [this] {
            dismiss();
            return true;
        },
        false);
    refresh();
}

SpaceEditorWindow::~SpaceEditorWindow() = default;

Gtk::Button* SpaceEditorWindow::colorSwatch(SpaceColor color) const
{
    auto it = m_swatches.find(color);
    return it == m_swatches.end() ? nullptr : it->second;
}

Gtk::Button* SpaceEditorWindow::iconCell(const std::string& symbol) const
{
    auto it = m_iconCells.find(symbol);
    return it == m_iconCells.end() ? nullptr : it->second;
}

void SpaceEditorWindow::selectColor(SpaceColor color)
{
    m_draft.color = color;
    refresh();
}

void SpaceEditorWindow::selectIcon(const std::string& symbol)
{
    m_draft.icon = symbol;
    refresh();
}

void SpaceEditorWindow::refresh()
{
    setSpaceColorClass(m_preview, SpaceColorRole::fill, m_draft.color);
    setSymbol(m_previewIcon, m_draft.icon, 24, "folder-symbolic");
    for (auto& [color, swatch] : m_swatches)
        setClass(*swatch, "selected", color == m_draft.color);
    for (auto& [symbol, cell] : m_iconCells) {
        const bool selected = symbol == m_draft.icon;
        setClass(*cell, "selected", selected);
        if (selected)
            setSpaceColorClass(*cell, SpaceColorRole::fill, m_draft.color);
        else
            for (SpaceColor c : allSpaceColors)
                cell->remove_css_class(spaceColorClass(SpaceColorRole::fill, c));
    }
    setSpaceColorClass(m_save, SpaceColorRole::fill, m_draft.color);
    const bool canSave = canSaveSpaceName(m_draft.name);
    m_save.set_sensitive(canSave);
    m_save.set_opacity(canSave ? 1.0 : 0.5);
}

void SpaceEditorWindow::save()
{
    if (saveSpaceDraft(m_state, m_editing, m_draft))
        dismiss();
}

void SpaceEditorWindow::deleteSpace()
{
    if (deleteEditedSpace(m_state, m_editing))
        dismiss();
}

void SpaceEditorWindow::dismiss()
{
    if (m_closing)
        return;
    m_closing = true;
    set_visible(false);
    closed.emit();
}

} // namespace kovi
