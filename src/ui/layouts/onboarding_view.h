#pragma once

#include "core/state/browser_state.h"
#include "ui/layouts/layout_option_card.h"
#include "ui/layouts/layout_preview.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>

#include <functional>

namespace kovi {

class Preferences;

// Sizes of the onboarding screen for the space it is offered: compact below 550 px of height,
// wide above 500 px of width. The screen itself may go further so that everything fits (see
// OnboardingView).
struct OnboardingMetrics {
    bool compact = false;
    bool wide = false;
    int columnSpacing = 32;
    int spacerMinimum = 20;
    int logoSize = 100;
    int titleSize = 32;
    int subtitleSize = 16;
    int previewHeight = 180;
    int previewMaxWidth = 600;

    static OnboardingMetrics forSize(int width, int height);
    bool operator==(const OnboardingMetrics&) const = default;
};

// The first-run screen: pick the sidebar or the horizontal-tab layout, see a miniature of it, and
// finish with "Get Started" or "Skip". Both store the pick in BrowserState::layoutMode and mark
// the onboarding done ("hasCompletedOnboarding") through `onCompleted` and the settings. The pick
// starts at the sidebar layout whatever is stored.
//
// Every control stays in sight: the cards stand side by side only where both fit; when the
// content is taller than the space, the compact sizes apply, then a smaller miniature, then
// none; only below that does the middle of the page scroll, between "Skip" and "Get Started".
class OnboardingView : public Gtk::Box {
public:
    OnboardingView(BrowserState& state, Preferences& preferences, std::function<void()> onCompleted);
    ~OnboardingView() override;

    BrowserLayoutMode selectedMode() const { return m_selectedMode; }
    void selectMode(BrowserLayoutMode mode);
    void completeOnboarding();

    const OnboardingMetrics& metrics() const { return m_metrics; }
    // The metrics that fit an offered size, applied (normally done after every change of size).
    void fitTo(int width, int height);
    bool isFittedTo(int width, int height) const { return width == m_fittedWidth && height == m_fittedHeight; }

    LayoutOptionCard& verticalCard() { return *m_verticalCard; }
    LayoutOptionCard& traditionalCard() { return *m_traditionalCard; }
    LayoutPreview& preview() { return m_preview; }
    Gtk::Button& skipButton() { return m_skip; }
    Gtk::Button& getStartedButton() { return m_getStarted; }
    Gtk::Box& cardsBox() { return m_cards; }

private:
    void applyMetrics(const OnboardingMetrics& metrics);
    int contentHeight(int width);

    BrowserState& m_state;
    Preferences& m_preferences;
    std::function<void()> m_onCompleted;
    BrowserLayoutMode m_selectedMode = BrowserLayoutMode::vertical;
    int currentStep = 0; // one step only; kept for the flow's shape

    OnboardingMetrics m_metrics;
    int m_fittedWidth = -1;
    int m_fittedHeight = -1;
    Gtk::DrawingArea m_sizeProbe;
    Gtk::Box* m_page = nullptr; // managed by the view
    Gtk::Box m_column{Gtk::Orientation::VERTICAL}; // what scrolls when nothing else fits
    Gtk::Box m_finish{Gtk::Orientation::VERTICAL}; // "Get Started" and its footnote
    Gtk::Box m_topSpacer;
    Gtk::Box m_bottomSpacer;
    Gtk::Image* m_logo = nullptr;
    Gtk::Label m_title{"Welcome to Kovi"};
    Gtk::Label m_subtitle{"Choose your browsing experience"};
    Gtk::Box m_cards{Gtk::Orientation::HORIZONTAL};
    LayoutOptionCard* m_verticalCard = nullptr;
    LayoutOptionCard* m_traditionalCard = nullptr;
    LayoutPreview m_preview{BrowserLayoutMode::vertical};
    Gtk::Button m_skip;
    Gtk::Button m_getStarted;
    sigc::connection m_metricsIdle;
};

} // namespace kovi
