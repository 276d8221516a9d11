#include "ui/library/library_rows.h"

#include "core/support/text.h"
#include "ui/design/kovi_design.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"

namespace kovi {

namespace {

// The icon-button look by style classes alone (data/css/50-library.css has the row sizes): a
// list builds many rows, and a style provider per widget makes each one costly to build and to
// drop.
void makeIconButton(Gtk::Button& button, const char* symbol, const char* tooltip)
{
    constexpr int size = static_cast<int>(KoviDesign::ButtonSize::md);
    button.set_child(*makeSymbolImage(symbol, static_cast<int>(size * 0.4)));
    button.set_tooltip_text(tooltip);
    button.set_focus_on_click(false);
    button.add_css_class("kovi-icon-button");
    button.add_css_class("library-row-button");
    button.set_size_request(size, size);
    button.set_valign(Gtk::Align::CENTER);
}

void setupTexts(Gtk::Label& title, Gtk::Label& detail)
{
    for (Gtk::Label* label : {&title, &detail}) {
        label->set_xalign(0);
        label->set_single_line_mode(true);
        label->set_ellipsize(Pango::EllipsizeMode::END);
    }
    title.add_css_class("library-row-title");
    detail.add_css_class("library-row-detail");
}

} // namespace

SavedPageRow::SavedPageRow(LibrarySheetModel& model, std::function<void(const Uuid&)> onEdit)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12), m_model(model)
{
    add_css_class("library-row");
    add_css_class("kovi-card");
    m_symbol.set_pixel_size(16);
    m_symbol.add_css_class("library-row-symbol");
    append(m_symbol);

    setupTexts(m_title, m_host);
    m_texts.append(m_title);
    m_texts.append(m_host);
    m_texts.set_halign(Gtk::Align::FILL);
    m_open.set_child(m_texts);
    m_open.set_has_frame(false);
    m_open.set_hexpand(true);
    m_open.set_focus_on_click(false);
    m_open.add_css_class("library-row-open");
    m_open.signal_clicked().connect([this] {
        if (m_pageId)
            m_model.open(*m_pageId);
    });
    append(m_open);

    makeIconButton(m_read, "checkmark", "Mark read");
    m_read.signal_clicked().connect([this] {
        if (m_pageId)
            m_model.toggleRead(*m_pageId);
    });
    append(m_read);
    makeIconButton(m_edit, "pencil", "Edit saved page");
    m_edit.signal_clicked().connect([this, onEdit = std::move(onEdit)] {
        if (m_pageId && onEdit)
            onEdit(*m_pageId);
    });
    append(m_edit);
    makeIconButton(m_remove, "trash", "Remove saved page");
    m_remove.signal_clicked().connect([this] {
        if (m_pageId)
            m_model.removePage(*m_pageId);
    });
    append(m_remove);
}

void SavedPageRow::bind(const SavedPage& page, LibrarySection section)
{
    m_pageId = page.id;
    m_symbol.set_from_icon_name(iconNameForSymbol(savedPageSymbol(page, section)));
    m_title.set_text(text::shownText(page.title));
    m_host.set_text(savedPageSubtitle(page));
    const bool readingList = section == LibrarySection::readingList;
    m_read.set_visible(readingList);
    if (readingList) {
        setSymbol(m_read, page.isRead ? "arrow.uturn.backward" : "checkmark");
        m_read.set_tooltip_text(page.isRead ? "Mark unread" : "Mark read");
    }
}

WorkspaceRow::WorkspaceRow(LibrarySheetModel& model) : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8), m_model(model)
{
    add_css_class("library-row");
    add_css_class("kovi-card");
    m_symbol.set_from_icon_name(iconNameForSymbol("square.stack.3d.up"));
    m_symbol.set_pixel_size(16);
    m_symbol.add_css_class("library-row-symbol");
    append(m_symbol);
    setupTexts(m_name, m_detail);
    m_texts.append(m_name);
    m_texts.append(m_detail);
    m_texts.set_hexpand(true);
    m_texts.set_valign(Gtk::Align::CENTER);
    append(m_texts);

    m_restore.set_label("Open as Space");
    m_restore.set_valign(Gtk::Align::CENTER);
    applyButtonStyle(m_restore, ButtonVariant::secondary, ButtonSize::sm);
    m_restore.signal_clicked().connect([this] {
        if (m_workspaceId)
            m_model.restore(*m_workspaceId);
    });
    append(m_restore);
    makeIconButton(m_remove, "trash", "Delete saved workspace");
    m_remove.signal_clicked().connect([this] {
        if (m_workspaceId)
            m_model.removeWorkspace(*m_workspaceId);
    });
    append(m_remove);
}

void WorkspaceRow::bind(const WorkspaceSnapshot& workspace)
{
    m_workspaceId = workspace.id;
    m_name.set_text(text::displayable(workspace.name));
    m_detail.set_text(workspaceSubtitle(workspace));
}

} // namespace kovi
