#pragma once

#include "ui/design/slide_bin.h"
#include "ui/design/motion.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>

#include <functional>
#include <memory>

namespace kovi {

// One optional layer over a view: a panel that fades in when presented and fades out and is
// destroyed when dismissed, optionally above a black scrim whose single tap calls `onScrimTap`.
// Without a scrim the layer takes the content's own alignment, so it covers (and catches
// clicks on) only the content. While a scrim is up, the view it dims (the host overlay's own
// child) takes no pointer input and loses any hover it had.
class OverlayLayer : public Gtk::Overlay {
public:
    // The content grows from `startScale` (1: no scaling) as it fades in, and shrinks back out.
    OverlayLayer(bool withScrim, std::function<void()> onScrimTap = {}, double startScale = 0.95,
                 const char* scrimClass = "kovi-scrim");
    ~OverlayLayer() override;

    // Shows `content` (a managed widget, replacing any earlier one). nullptr shows the scrim only.
    void present(Gtk::Widget* content);
    void dismiss();
    bool isPresented() const { return m_presented; }
    Gtk::Widget* content() const { return m_content; }
    Gtk::Box& scrim() { return m_scrim; }
    // Tests: act as a tap on the scrim.
    void tapScrim();

private:
    void removeContent();
    // While a scrim is up, the host overlay's main child (the view it dims) takes no pointer input.
    void setCoversContent(bool covers);

    bool m_withScrim;
    std::function<void()> m_onScrimTap;
    Gtk::Box m_scrim;
    Gtk::Widget* m_content = nullptr;
    SlideBin* m_bin = nullptr;
    double m_startScale = 0.95;
    bool m_presented = false;
    bool m_coversContent = false;
    std::unique_ptr<MotionValue> m_opacity;
};

} // namespace kovi
