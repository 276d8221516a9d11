#include "ui/commandbar/command_bar_view.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/commandbar/command_bar_result_row.h"
#include "ui/design/symbols.h"

#include <gdk/gdkkeysyms.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/root.h>
#include <gtkmm/viewport.h>

#include <algorithm>
#include <cmath>

namespace kovi {

namespace {

constexpr KoviDesign::Motion panelAnimation = KoviDesign::Motion::easeInOut(0.16);
constexpr KoviDesign::Motion scrollAnimation = KoviDesign::Motion::easeOut(0.14);
constexpr double insertionScale = 0.96;
constexpr double removalScale = 0.98;
constexpr int listPadding = 8;

Gtk::Label* makeLabel(const char* text, const char* cssClass)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->add_css_class(cssClass);
    return label;
}

} // namespace

CommandBarView::CommandBarView(BrowserState& state, BrowserLibrary& library)
    : m_state(state), m_model(std::make_unique<CommandBarPanelModel>(state, library))
{
    add_css_class("kovi-commandbar");
    set_hexpand(true);
    set_vexpand(true);
    set_halign(Gtk::Align::FILL);
    set_valign(Gtk::Align::FILL);

    m_scrim.add_css_class("kovi-commandbar-scrim");
    m_scrim.set_parent(*this);
    auto scrimClick = Gtk::GestureClick::create();
    scrimClick->signal_released().connect([this](int count, double, double) {
        if (count != 1 || m_closing)
            return;
        m_closing = true;
        m_model->dismiss();
    });
    m_scrim.add_controller(scrimClick);

    buildCard();
    m_card.set_parent(*this);

    // Capture phase: the arrows and escape reach the panel before the field can use them.
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(sigc::mem_fun(*this, &CommandBarView::onKeyPressed), false);
    add_controller(keys);

    m_scaleMotion = std::make_unique<MotionValue>(*this, 1.0, [this](double scale) {
        m_cardScale = scale;
        queue_allocate();
    });
    m_scrollMotion = std::make_unique<MotionValue>(m_scroller, 0.0, [this](double value) {
        m_scroller.get_vadjustment()->set_value(value);
    });

    m_connections.add(m_model->changed.connect(sigc::mem_fun(*this, &CommandBarView::refresh)));
    m_connections.add(m_state.isCommandBarVisibleChanged.connect(
        sigc::mem_fun(*this, &CommandBarView::onVisibilityChanged)));
    m_connections.add(signal_map().connect(sigc::mem_fun(*this, &CommandBarView::onAppear)));
    // The toolkit finalises a widget before its C++ destructor runs; by then it must have let go
    // of its children and stopped animating.
    m_connections.add(signal_destroy().connect(sigc::mem_fun(*this, &CommandBarView::releaseChildren)));

    refresh();
}

CommandBarView::~CommandBarView()
{
    m_connections.clear();
    releaseChildren();
}

void CommandBarView::releaseChildren()
{
    m_scaleMotion.reset();
    m_scrollMotion.reset();
    if (m_scrim.get_parent())
        m_scrim.unparent();
    if (m_card.get_parent())
        m_card.unparent();
}

void CommandBarView::buildCard()
{
    m_card.add_css_class("kovi-commandbar-card");
    m_card.set_overflow(Gtk::Overflow::HIDDEN);

    // Search row.
    m_searchRow.add_css_class("kovi-commandbar-search");
    m_searchRow.set_spacing(10);
    m_searchIcon.add_css_class("search-icon");
    setSymbol(m_searchIcon, "magnifyingglass", 15);
    m_searchRow.append(m_searchIcon);
    m_field.add_css_class("kovi-commandbar-field");
    m_field.set_hexpand(true);
    m_field.signal_changed().connect(sigc::mem_fun(*this, &CommandBarView::onFieldChanged));
    m_field.signal_activate().connect([this] {
        if (m_closing || !m_state.isCommandBarVisible())
            return;
        // With nothing to run the panel stays open with its text.
        if (m_model->selectedIndex() >= m_model->results().size())
            return;
        m_closing = true;
        m_model->executeSelectedResult();
    });
    m_searchRow.append(m_field);
    m_clear.add_css_class("kovi-commandbar-clear");
    m_clear.add_css_class("flat");
    m_clear.set_focusable(false);
    m_clear.set_focus_on_click(false);
    m_clear.set_valign(Gtk::Align::CENTER);
    // A cross on a filled circle: the circle is the button's own background.
    m_clear.set_child(*makeSymbolImage("xmark", 10));
    m_clear.signal_clicked().connect([this] { m_field.set_text(""); });
    m_searchRow.append(m_clear);
    m_card.append(m_searchRow);

    m_divider.add_css_class("kovi-commandbar-divider");
    m_card.append(m_divider);

    // Empty state.
    m_empty.add_css_class("kovi-commandbar-empty");
    m_empty.set_spacing(10);
    m_empty.append(*makeSymbolImage("sparkles", 13));
    auto* emptyText = makeLabel("Type a URL, search query, tab title, or space name", "text");
    emptyText->set_xalign(0);
    emptyText->set_wrap(true);
    emptyText->set_hexpand(true);
    m_empty.append(*emptyText);
    m_card.append(m_empty);

    // Result list.
    m_scroller.add_css_class("kovi-commandbar-list");
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_propagate_natural_height(false);
    m_rowsBox.set_margin_top(listPadding);
    m_rowsBox.set_margin_bottom(listPadding);
    m_scroller.set_child(m_rowsBox);
    if (auto* viewport = dynamic_cast<Gtk::Viewport*>(m_scroller.get_child()))
        viewport->set_scroll_to_focus(false);
    m_card.append(m_scroller);

    // Footer.
    m_footer.add_css_class("kovi-commandbar-footer");
    m_footer.set_spacing(6);
    m_footer.set_halign(Gtk::Align::FILL);
    auto* hints = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    hints->set_hexpand(true);
    hints->set_halign(Gtk::Align::CENTER);
    hints->append(*makeLabel("\u2191\u2193 Navigate", "hint"));
    hints->append(*makeLabel("\u2022", "hint"));
    m_footerAction.add_css_class("hint");
    hints->append(m_footerAction);
    hints->append(*makeLabel("\u2022", "hint"));
    hints->append(*makeLabel("esc Close", "hint"));
    m_footer.append(*hints);
    m_card.append(m_footer);
}

std::vector<CommandBarResultRow*> CommandBarView::rows() const
{
    std::vector<CommandBarResultRow*> out;
    for (auto* child = m_rowsBox.get_first_child(); child; child = child->get_next_sibling()) {
        if (auto* row = dynamic_cast<CommandBarResultRow*>(const_cast<Gtk::Widget*>(child)))
            out.push_back(row);
    }
    return out;
}

Gtk::SizeRequestMode CommandBarView::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void CommandBarView::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural, int& minimumBaseline,
                                   int& naturalBaseline) const
{
    // An overlay: it takes whatever area the host gives and asks for none.
    minimum = 0;
    natural = 0;
    minimumBaseline = -1;
    naturalBaseline = -1;
}

void CommandBarView::size_allocate_vfunc(int width, int height, int)
{
    int minimum = 0, natural = 0, minimumBaseline = -1, naturalBaseline = -1;
    m_scrim.measure(Gtk::Orientation::VERTICAL, width, minimum, natural, minimumBaseline, naturalBaseline);
    m_scrim.size_allocate(Gtk::Allocation(0, 0, width, height), -1);

    if (height != m_areaHeight) {
        m_areaHeight = height;
        applyListHeight();
    }

    int cardWidth = static_cast<int>(std::lround(CommandBarPanelModel::cardWidth(width)));
    m_card.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, minimumBaseline, naturalBaseline);
    cardWidth = std::max(cardWidth, minimum);
    m_card.measure(Gtk::Orientation::VERTICAL, cardWidth, minimum, natural, minimumBaseline, naturalBaseline);
    const int cardHeight = std::max(minimum, natural);
    const float x = static_cast<float>((width - cardWidth) / 2);
    const float y = static_cast<float>(std::lround(CommandBarPanelModel::cardTopGap(height)));

    // The card scales about its centre while it comes and goes.
    const float halfW = cardWidth / 2.0f, halfH = cardHeight / 2.0f;
    graphene_point_t toCentre = GRAPHENE_POINT_INIT(x + halfW, y + halfH);
    graphene_point_t back = GRAPHENE_POINT_INIT(-halfW, -halfH);
    GskTransform* transform = gsk_transform_translate(nullptr, &toCentre);
    if (m_cardScale != 1.0)
        transform = gsk_transform_scale(transform, static_cast<float>(m_cardScale), static_cast<float>(m_cardScale));
    transform = gsk_transform_translate(transform, &back);
    gtk_widget_allocate(GTK_WIDGET(m_card.gobj()), cardWidth, cardHeight, -1, transform);
}

void CommandBarView::applyListHeight()
{
    if (m_areaHeight < 0)
        return;
    const int height = static_cast<int>(
        std::lround(CommandBarPanelModel::listHeight(m_areaHeight, m_model->results().size())));
    if (height == m_listHeight)
        return;
    m_listHeight = height;
    m_scroller.set_size_request(-1, height);
}

void CommandBarView::onAppear()
{
    if (m_closing || !m_scaleMotion)
        return;
    m_field.grab_focus();
    m_model->appear();
    m_scaleMotion->jumpTo(insertionScale);
    m_scaleMotion->animateTo(1.0, panelAnimation);
}

void CommandBarView::onVisibilityChanged()
{
    if (m_state.isCommandBarVisible())
        return;
    // Closed by us or by anyone else: freeze what is shown while the host fades it out, and hand
    // the keyboard back to the window.
    m_closing = true;
    if (m_scaleMotion)
        m_scaleMotion->animateTo(removalScale, panelAnimation);
    if (auto* root = get_root()) {
        for (auto* focus = root->get_focus(); focus; focus = focus->get_parent()) {
            if (focus == this) {
                root->unset_focus();
                break;
            }
        }
    }
}

bool CommandBarView::onKeyPressed(guint keyval, guint, Gdk::ModifierType)
{
    if (m_closing || !m_state.isCommandBarVisible())
        return false;
    switch (keyval) {
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
        return m_model->handleKey(CommandBarPanelModel::Key::up);
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
        return m_model->handleKey(CommandBarPanelModel::Key::down);
    case GDK_KEY_Escape:
        m_closing = true;
        return m_model->handleKey(CommandBarPanelModel::Key::escape);
    default:
        return false;
    }
}

void CommandBarView::onFieldChanged()
{
    if (m_settingField || m_closing)
        return;
    m_model->setSearchText(m_field.get_text());
}

void CommandBarView::refresh()
{
    // Once closing, the panel keeps showing what it showed while the host fades it out.
    if (m_closing)
        return;
    const std::string& text = m_model->searchText();
    if (m_field.get_text().raw() != text) {
        m_settingField = true;
        m_field.set_text(text);
        m_settingField = false;
    }
    m_field.set_placeholder_text(m_model->placeholderText());
    m_clear.set_visible(!text.empty());
    refreshRows();
    m_footerAction.set_text(m_model->actionText());
}

void CommandBarView::refreshRows()
{
    const auto& results = m_model->results();
    m_empty.set_visible(results.empty());
    m_scroller.set_visible(!results.empty());

    // Every computation makes new ids, so equal ids mean the very same list.
    std::vector<Uuid> ids;
    ids.reserve(results.size());
    for (const auto& result : results)
        ids.push_back(result.id);
    const bool newList = ids != m_shownIds;
    auto shown = rows();
    if (newList) {
        while (shown.size() > results.size()) {
            m_rowsBox.remove(*shown.back());
            shown.pop_back();
        }
        while (shown.size() < results.size()) {
            auto* row = Gtk::make_managed<CommandBarResultRow>();
            auto click = Gtk::GestureClick::create();
            click->signal_released().connect([this, row](int count, double, double) {
                if (count != 1)
                    return;
                const auto all = rows();
                const auto it = std::find(all.begin(), all.end(), row);
                if (it != all.end())
                    runRow(static_cast<std::size_t>(it - all.begin()));
            });
            row->add_controller(click);
            m_rowsBox.append(*row);
            shown.push_back(row);
        }
        for (std::size_t i = 0; i < results.size(); ++i)
            shown[i]->setResult(results[i]);
        m_shownIds = std::move(ids);
        applyListHeight();
    }

    const std::size_t selected = m_model->selectedIndex();
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i]->setSelected(i == selected);
    const bool selectionMoved = m_shownSelection != selected;
    if (newList || selectionMoved)
        scrollToSelection(selectionMoved && !newList);
    m_shownSelection = selected;
}

void CommandBarView::scrollToSelection(bool animated)
{
    const std::size_t count = m_model->results().size();
    if (count == 0 || !m_scrollMotion)
        return;
    auto adjustment = m_scroller.get_vadjustment();
    const double page = m_listHeight > 0 ? m_listHeight : adjustment->get_page_size();
    const double content = CommandBarResultRow::height * static_cast<double>(count) + 2 * listPadding;
    const double rowCentre = listPadding + CommandBarResultRow::height * (m_model->selectedIndex() + 0.5);
    const double target = std::clamp(rowCentre - page / 2, 0.0, std::max(0.0, content - page));
    // Start from where the list is now (the wheel may have moved it).
    m_scrollMotion->jumpTo(adjustment->get_value());
    if (animated)
        m_scrollMotion->animateTo(target, scrollAnimation);
    else
        m_scrollMotion->jumpTo(target);
}

void CommandBarView::runRow(std::size_t index)
{
    if (m_closing || !m_state.isCommandBarVisible() || index >= m_model->results().size())
        return;
    const CommandBarResult result = m_model->results()[index];
    m_closing = true;
    m_model->execute(result);
}

Gtk::Widget* makeCommandBarView(AppContext& ctx)
{
    return Gtk::make_managed<CommandBarView>(ctx.state, ctx.library);
}

} // namespace kovi
