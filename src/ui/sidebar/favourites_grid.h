#pragma once

#include "ui/design/motion.h"

#include <gtkmm/widget.h>

#include <memory>
#include <vector>

namespace kovi {

// The favourites' tiles in four equal columns, 8 apart both ways. When the set or order of
// tiles changes with `animate`, tiles that joined fade in (once the grid is on screen), tiles
// that stay glide from where they were to their new cells and tiles that left fade out where
// they stood, all on one spring. The grid shows only while it holds tiles.
class FavouritesGrid : public Gtk::Widget {
public:
    static constexpr int columns = 4;
    static constexpr int spacing = 8;

    explicit FavouritesGrid(const KoviDesign::Motion& motion);
    ~FavouritesGrid() override;

    // Shows exactly `tiles`, in this order; widgets no longer listed go (at once, or played out
    // when `animate`). New widgets must have no parent.
    void setTiles(const std::vector<Gtk::Widget*>& tiles, bool animate);
    // The tiles shown, in order (tiles on their way out are not among them).
    std::vector<Gtk::Widget*> tiles() const { return tilesWhere(false); }
    // Tiles that left and are still fading out.
    std::vector<Gtk::Widget*> leavingTiles() const { return tilesWhere(true); }
    bool isAnimating() const { return m_progress->isRunning(); }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    struct Cell {
        Gtk::Widget* widget = nullptr;
        bool placed = false;  // allocated at least once
        bool leaving = false; // gone from the list, fading out where it stood
        bool entering = false; // joined with `animate`, fading in
        bool moving = false;   // glides from `from` to its new cell on the next allocation
        // Where the tile was last drawn (its cell plus any offset), and its size there.
        double x = 0, y = 0;
        int width = 0, height = 0;
        // The offset from its cell at the start of the glide.
        double fromX = 0, fromY = 0;
    };

    std::vector<Gtk::Widget*> tilesWhere(bool leaving) const;
    int rowHeight(int columnWidth) const;
    int columnWidth(int width) const;
    void onProgress(double progress);
    // The change is over: tiles that left go, tiles that joined are fully shown.
    void settle();
    void releaseAll();

    KoviDesign::Motion m_motion;
    std::vector<Cell> m_cells; // listed tiles in order, then the leaving ones
    int m_fromHeight = 0;      // the grid's height when the change began
    std::unique_ptr<MotionValue> m_progress; // 1 at the start of a change, 0 once settled
    sigc::connection m_startOnMap;
};

} // namespace kovi
