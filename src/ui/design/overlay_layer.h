#pragma once

#include "core/support/gobject_ptr.h"
#include "ui/design/clicks_beside.h"
#include "ui/design/slide_bin.h"
#include "ui/design/motion.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

typedef struct _GtkWidget GtkWidget;
typedef struct _GdkPaintable GdkPaintable;

namespace kovi {

// One optional layer over a view: a panel that fades in when presented and fades out and is
// destroyed when dismissed, optionally above a black scrim whose single tap calls `onScrimTap`.
// Without a scrim the layer takes the content's own alignment, so it covers (and catches
// clicks on) only the content. While a scrim is up, the view it dims (the host overlay's own
// child) takes no pointer input and loses any hover it had, except the window's own buttons
// (minimise, maximise, close) in it: the scrim leaves them undimmed and within reach.
//
// Presenting a layer raises it over the other children of its host; where several layers share a
// host, their owner restacks them and says which one gets the keyboard (giveKeys). Dismissing one
// that has the keyboard lets go of it, so the window can hand it to what is below.
class OverlayLayer : public Gtk::Overlay {
public:
    // The content grows from `startScale` (1: no scaling) as it fades in, and shrinks back out.
    OverlayLayer(bool withScrim, std::function<void()> onScrimTap = {}, double startScale = 0.95,
                 const char* scrimClass = "kovi-scrim");
    ~OverlayLayer() override;

    // Moves the layer, as it is, over another host (nullptr: none), above the host's overlays.
    void setHost(Gtk::Overlay* host);
    // Shows `content` (a managed widget, replacing any earlier one). nullptr shows the scrim only.
    void present(Gtk::Widget* content);
    // Shows `content` over its scrim without a hold on the pointer, for a panel that opened by
    // itself: a click beside the content reaches the view under the scrim, and once it has,
    // counts as a tap on the scrim too. A click on the content acts on the content.
    void presentBeside(Gtk::Widget* content);
    void dismiss();
    bool isPresented() const { return m_presented; }
    // Gives the keyboard to the presented content once it is on screen, unless the content took
    // it while it appeared.
    void giveKeys();

    // Whether `widget` is inside the shown content.
    bool contains(const Gtk::Widget* widget) const;
    // Gives the keyboard to the content: to the widget in it that had the keyboard last, else (or
    // when `entering` says Tab came in from that side) to its first or last control, else to the
    // content as a whole. False when nothing is shown.
    bool takeFocus(std::optional<Gtk::DirectionType> entering = std::nullopt);
    // The widget inside the content that has the keyboard now, to return to it later.
    void rememberFocus(Gtk::Widget& widget);
    Gtk::Widget* content() const { return m_content; }
    Gtk::Box& scrim() { return m_scrim; }
    // Tests: act as a tap on the scrim.
    void tapScrim();

protected:
    bool contains_vfunc(double x, double y) const override;
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    // The dimming fill; the pointer goes through it where the window's buttons lie.
    class Scrim : public Gtk::Box {
    public:
        explicit Scrim(const OverlayLayer& layer) : m_layer(layer) {}

    protected:
        bool contains_vfunc(double x, double y) const override;

    private:
        const OverlayLayer& m_layer;
    };

    void show(Gtk::Widget* content, bool beside);
    void removeContent();
    // While a scrim is up, the host overlay's main child (the view it dims) takes no pointer
    // input, but for the window's buttons in it.
    void setCoversContent(bool covers);
    void releasePointer();
    // Where the window's shown buttons lie under the scrim, in the coordinates of `widget`, each
    // with its index in m_windowButtons.
    std::vector<std::pair<std::size_t, graphene_rect_t>> windowButtonAreas(const Gtk::Widget& widget) const;
    bool inWindowButtonArea(const Gtk::Widget& widget, double x, double y) const;
    void forgetFocus();

    bool m_withScrim;
    std::function<void()> m_onScrimTap;
    Scrim m_scrim{*this};
    Gtk::Widget* m_content = nullptr;
    SlideBin* m_bin = nullptr;
    double m_startScale = 0.95;
    bool m_presented = false;
    bool m_coversContent = false;
    // Shown beside: the scrim lets the pointer through, and the clicks beside the content are
    // watched for.
    bool m_beside = false;
    std::unique_ptr<ClicksBeside> m_clicksBeside;
    // While covering: the window's button groups under the scrim, their pictures drawn over it,
    // and the widgets it keeps from the pointer.
    std::vector<GObjectPtr<GtkWidget>> m_windowButtons;
    std::vector<GObjectPtr<GdkPaintable>> m_windowButtonPictures;
    std::vector<GObjectPtr<GtkWidget>> m_blocked;
    Gtk::Widget* m_lastFocus = nullptr;
    sigc::connection m_lastFocusGone;
    sigc::connection m_mapped;
    std::unique_ptr<MotionValue> m_opacity;
};

} // namespace kovi
