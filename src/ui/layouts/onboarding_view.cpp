#include "ui/layouts/onboarding_view.h"

#include "core/settings/preferences.h"
#include "ui/design/logo.h"
#include "ui/design/styles.h"

#include <glibmm/main.h>
#include <gtkmm/overlay.h>
#include <gtkmm/scrolledwindow.h>

#include <algorithm>

namespace kovi {

OnboardingMetrics OnboardingMetrics::forSize(int width, int height)
{
    OnboardingMetrics m;
    m.compact = height < 550;
    m.wide = width > 500;
    if (m.compact) {
        m.columnSpacing = 16;
        m.spacerMinimum = 10;
        m.logoSize = 60;
        m.titleSize = 24;
        m.subtitleSize = 14;
        m.previewHeight = 120;
    }
    m.previewMaxWidth = std::max(0, std::min(width - 80, 600));
    return m;
}

OnboardingView::OnboardingView(BrowserState& state, Preferences& preferences, std::function<void()> onCompleted)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_state(state), m_preferences(preferences),
      m_onCompleted(std::move(onCompleted))
{
    add_css_class("kovi-onboarding");
    set_size_request(400, 400);
    set_hexpand(true);
    set_vexpand(true);

    // Only the middle of the page scrolls, and only at sizes where nothing else fits: "Skip"
    // above it and "Get Started" below it stay in sight at every size the window allows. The
    // width it asks for never holds the window wider than the space the arrangement was chosen
    // for (the arrangement never needs more).
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::AUTOMATIC);
    scroller->set_propagate_natural_height(true);
    scroller->set_hexpand(true);
    // A cut card says little: while the middle scrolls, its scroll bar stays shown.
    scroller->set_overlay_scrolling(false);
    // The arrangement depends on the space offered: an empty drawing area under the content
    // reports it, without taking part in the content's own size.
    auto* layers = Gtk::make_managed<Gtk::Overlay>();
    layers->set_hexpand(true);
    layers->set_vexpand(true);
    m_sizeProbe.set_hexpand(true);
    m_sizeProbe.set_vexpand(true);
    m_sizeProbe.set_can_target(false);
    m_sizeProbe.signal_resize().connect([this](int width, int height) {
        if ((width == m_fittedWidth && height == m_fittedHeight) || m_metricsIdle.connected())
            return;
        // Sizes may not change inside an allocation; apply them right after it.
        m_metricsIdle = Glib::signal_idle().connect([this] {
            fitTo(m_sizeProbe.get_width(), m_sizeProbe.get_height());
            return false;
        });
    });
    layers->set_child(m_sizeProbe);
    m_page = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    m_page->set_vexpand(true);
    layers->add_overlay(*m_page);
    append(*layers);

    // "Skip", top right.
    auto* top = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    m_skip.set_label("Skip");
    m_skip.set_has_frame(false);
    m_skip.add_css_class("kovi-onboarding-skip");
    m_skip.set_hexpand(true);
    m_skip.set_halign(Gtk::Align::END);
    m_skip.set_margin(6);
    m_skip.signal_clicked().connect([this] { completeOnboarding(); });
    top->append(m_skip);
    m_page->append(*top);

    m_topSpacer.set_vexpand(true);
    m_page->append(m_topSpacer);

    m_column.set_halign(Gtk::Align::CENTER);
    m_column.set_margin_start(20);
    m_column.set_margin_end(20);
    m_logo = makeLogoImage(100);
    m_logo->set_halign(Gtk::Align::CENTER);
    m_column.append(*m_logo);

    auto* titles = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    m_title.add_css_class("kovi-onboarding-title");
    m_subtitle.add_css_class("kovi-onboarding-subtitle");
    m_subtitle.add_css_class("kovi-secondary");
    m_subtitle.set_wrap(true);
    m_subtitle.set_justify(Gtk::Justification::CENTER);
    titles->append(m_title);
    titles->append(m_subtitle);
    m_column.append(*titles);

    m_cards.set_halign(Gtk::Align::CENTER);
    m_verticalCard = Gtk::make_managed<LayoutOptionCard>(
        BrowserLayoutMode::vertical, true, "Vertical Tabs", "Modern sidebar layout with spaces and organized tabs",
        "sidebar.left", [this] { selectMode(BrowserLayoutMode::vertical); });
    m_traditionalCard = Gtk::make_managed<LayoutOptionCard>(
        BrowserLayoutMode::traditional, false, "Horizontal Tabs", "Tabs arranged across the top of your window",
        "rectangle.split.1x2", [this] { selectMode(BrowserLayoutMode::traditional); });
    m_cards.append(*m_verticalCard);
    m_cards.append(*m_traditionalCard);
    m_column.append(m_cards);

    m_preview.set_halign(Gtk::Align::CENTER);
    m_column.append(m_preview);

    auto* label = Gtk::make_managed<Gtk::Label>("Get Started");
    m_getStarted.set_child(*label);
    applyButtonStyle(m_getStarted, ButtonVariant::secondary, ButtonSize::md);
    m_getStarted.add_css_class("kovi-get-started");
    m_getStarted.set_halign(Gtk::Align::CENTER);
    m_getStarted.signal_clicked().connect([this] { completeOnboarding(); });
    m_finish.append(m_getStarted);

    auto* footnote = Gtk::make_managed<Gtk::Label>("You can change this anytime in Settings");
    footnote->add_css_class("kovi-onboarding-footnote");
    footnote->add_css_class("kovi-tertiary");
    m_finish.append(*footnote);
    scroller->set_child(m_column);
    m_page->append(*scroller);
    m_page->append(m_finish);

    m_bottomSpacer.set_vexpand(true);
    m_page->append(m_bottomSpacer);

    applyMetrics(OnboardingMetrics::forSize(800, 700));
}

void OnboardingView::fitTo(int width, int height)
{
    m_fittedWidth = width;
    m_fittedHeight = height;
    OnboardingMetrics m = OnboardingMetrics::forSize(width, height);
    // Side by side only where both cards fit, with the column's margins.
    int cardMin = 0, cardWidth = 0, b1 = -1, b2 = -1;
    m_verticalCard->measure(Gtk::Orientation::HORIZONTAL, -1, cardMin, cardWidth, b1, b2);
    m.wide = m.wide && width >= 2 * cardWidth + 24 + m_column.get_margin_start() + m_column.get_margin_end();
    applyMetrics(m);
    if (!m.compact && contentHeight(width) > height) {
        OnboardingMetrics compact = OnboardingMetrics::forSize(width, 0);
        compact.wide = m.wide;
        m = compact;
        applyMetrics(m);
    }
    // Then the miniature gives way; too small to read, it goes.
    const int excess = contentHeight(width) - height;
    if (excess > 0) {
        m.previewHeight = std::max(0, m.previewHeight - excess);
        if (m.previewHeight < 60)
            m.previewHeight = 0;
        applyMetrics(m);
    }
}

int OnboardingView::contentHeight(int width)
{
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    m_page->measure(Gtk::Orientation::VERTICAL, width, minimum, natural, b1, b2);
    return natural;
}

OnboardingView::~OnboardingView()
{
    m_metricsIdle.disconnect();
}

void OnboardingView::applyMetrics(const OnboardingMetrics& m)
{
    m_metrics = m;
    setClass(*this, "compact", m.compact);
    m_column.set_spacing(m.columnSpacing);
    m_finish.set_spacing(m.columnSpacing);
    m_finish.set_margin_top(m.columnSpacing);
    m_topSpacer.set_size_request(-1, m.spacerMinimum);
    m_bottomSpacer.set_size_request(-1, m.spacerMinimum);
    m_logo->set_pixel_size(m.logoSize);
    m_logo->set_size_request(m.logoSize, m.logoSize);
    m_cards.set_orientation(m.wide ? Gtk::Orientation::HORIZONTAL : Gtk::Orientation::VERTICAL);
    m_cards.set_spacing(m.wide ? 24 : 16);
    m_preview.set_size_request(m.previewMaxWidth, m.previewHeight);
    m_preview.set_visible(m.previewHeight > 0);
}

void OnboardingView::selectMode(BrowserLayoutMode mode)
{
    m_selectedMode = mode;
    m_verticalCard->setSelected(mode == BrowserLayoutMode::vertical);
    m_traditionalCard->setSelected(mode == BrowserLayoutMode::traditional);
    m_preview.setMode(mode);
}

void OnboardingView::completeOnboarding()
{
    // Always assigned, even when unchanged: the setter stores the key again.
    m_state.setLayoutMode(m_selectedMode);
    // The callback may replace this screen; keep what the later steps need.
    Preferences& preferences = m_preferences;
    auto onCompleted = m_onCompleted;
    if (onCompleted)
        onCompleted();
    preferences.set(prefs::hasCompletedOnboarding, true);
}

} // namespace kovi
