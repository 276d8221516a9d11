#include "ui/sidebar/favourites_grid.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <utility>
#include <unordered_set>

namespace kovi {

namespace {

void place(Gtk::Widget& widget, double x, double y, int width, int height)
{
    graphene_point_t at = GRAPHENE_POINT_INIT(static_cast<float>(x), static_cast<float>(y));
    gtk_widget_allocate(widget.gobj(), width, height, -1, gsk_transform_translate(nullptr, &at));
}

} // namespace

FavouritesGrid::FavouritesGrid(const KoviDesign::Motion& motion)
    : Glib::ObjectBase("KoviFavouritesGrid"), m_motion(motion)
{
    set_visible(false); // until it has tiles
    m_progress = std::make_unique<MotionValue>(*this, 0.0, [this](double p) { onProgress(p); });
    // A grid its container drops is disposed before this object is deleted: the tiles must be
    // let go while the grid is still whole.
    signal_destroy().connect([this] { releaseAll(); });
}

FavouritesGrid::~FavouritesGrid()
{
    m_startOnMap.disconnect();
    m_progress.reset();
    releaseAll();
}

void FavouritesGrid::releaseAll()
{
    auto cells = std::move(m_cells);
    m_cells.clear();
    for (Cell& cell : cells)
        cell.widget->unparent();
}

void FavouritesGrid::setTiles(const std::vector<Gtk::Widget*>& tiles, bool animate)
{
    // Tiles on screen can glide or fade where they are; a new tile can also fade in on a grid
    // that is only now coming into view.
    const bool onScreen = animate && get_mapped();
    const std::unordered_set<Gtk::Widget*> listed(tiles.begin(), tiles.end());
    std::vector<Cell> next;
    next.reserve(tiles.size() + m_cells.size());
    for (Gtk::Widget* widget : tiles) {
        auto it = std::find_if(m_cells.begin(), m_cells.end(), [&](const Cell& c) { return c.widget == widget; });
        Cell cell;
        if (it != m_cells.end()) {
            cell = *it;
            // A tile still coming or going from the last change is simply shown.
            if (cell.leaving)
                widget->set_can_target(true);
            cell.leaving = cell.entering = false;
            widget->set_opacity(1.0);
        } else {
            cell.widget = widget;
            cell.entering = animate;
            widget->set_parent(*this);
        }
        cell.moving = onScreen && cell.placed;
        next.push_back(cell);
    }
    for (Cell& cell : m_cells) {
        if (listed.contains(cell.widget))
            continue;
        if (onScreen && cell.placed) {
            cell.leaving = true;
            cell.moving = false;
            cell.widget->set_can_target(false);
            next.push_back(cell);
        } else {
            cell.widget->unparent();
        }
    }
    m_fromHeight = get_height();
    m_cells = std::move(next);
    set_visible(!m_cells.empty());
    m_startOnMap.disconnect();
    if (animate) {
        m_progress->jumpTo(1.0);
        auto start = [this] { m_progress->animateTo(0.0, m_motion, [this] { settle(); }); };
        if (get_mapped())
            start();
        else
            m_startOnMap = signal_map().connect([this, start] {
                m_startOnMap.disconnect();
                start();
            });
    } else {
        m_progress->jumpTo(0.0);
        settle();
    }
    queue_resize();
}

std::vector<Gtk::Widget*> FavouritesGrid::tilesWhere(bool leaving) const
{
    std::vector<Gtk::Widget*> result;
    for (const Cell& cell : m_cells) {
        if (cell.leaving == leaving)
            result.push_back(cell.widget);
    }
    return result;
}

void FavouritesGrid::onProgress(double progress)
{
    // The spring overshoots a little past the end; a fading tile stays within clear and opaque.
    const double left = std::clamp(progress, 0.0, 1.0);
    for (Cell& cell : m_cells) {
        if (cell.leaving)
            cell.widget->set_opacity(left);
        else if (cell.entering)
            cell.widget->set_opacity(1 - left);
    }
    queue_resize();
}

void FavouritesGrid::settle()
{
    auto gone = std::partition(m_cells.begin(), m_cells.end(), [](const Cell& c) { return !c.leaving; });
    for (auto it = gone; it != m_cells.end(); ++it)
        it->widget->unparent();
    m_cells.erase(gone, m_cells.end());
    for (Cell& cell : m_cells) {
        if (std::exchange(cell.entering, false))
            cell.widget->set_opacity(1.0);
    }
    set_visible(!m_cells.empty());
    queue_resize();
}

int FavouritesGrid::columnWidth(int width) const
{
    return std::max(0, (width - spacing * (columns - 1)) / columns);
}

int FavouritesGrid::rowHeight(int columnWidth) const
{
    int height = 0;
    for (const Cell& cell : m_cells) {
        if (cell.leaving)
            continue;
        int minimum = 0, natural = 0, baseline = -1;
        cell.widget->measure(Gtk::Orientation::VERTICAL, columnWidth, minimum, natural, baseline, baseline);
        height = std::max(height, std::max(minimum, natural));
    }
    return height;
}

Gtk::SizeRequestMode FavouritesGrid::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void FavouritesGrid::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                   int& minimumBaseline, int& naturalBaseline) const
{
    minimum = natural = 0;
    minimumBaseline = naturalBaseline = -1;
    const int count = static_cast<int>(std::count_if(m_cells.begin(), m_cells.end(), [](const Cell& c) { return !c.leaving; }));
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        int tileMinimum = 0, tileNatural = 0;
        for (const Cell& cell : m_cells) {
            int m = 0, n = 0, b = -1;
            cell.widget->measure(orientation, -1, m, n, b, b);
            tileMinimum = std::max(tileMinimum, m);
            tileNatural = std::max(tileNatural, n);
        }
        minimum = tileMinimum * columns + spacing * (columns - 1);
        natural = tileNatural * columns + spacing * (columns - 1);
        return;
    }
    const int rows = (count + columns - 1) / columns;
    int height = rows == 0 ? 0 : rows * rowHeight(forSize < 0 ? -1 : columnWidth(forSize)) + (rows - 1) * spacing;
    // While tiles rearrange, the grid's height follows the same spring.
    const double p = std::clamp(m_progress->value(), 0.0, 1.0);
    if (p > 0)
        height = static_cast<int>(height + (m_fromHeight - height) * p + 0.5);
    minimum = natural = height;
}

void FavouritesGrid::size_allocate_vfunc(int width, int, int)
{
    const int cellWidth = columnWidth(width);
    const int cellHeight = rowHeight(cellWidth);
    const double p = m_progress->value();
    int index = 0;
    for (Cell& cell : m_cells) {
        if (cell.leaving) {
            place(*cell.widget, cell.x, cell.y, cell.width, cell.height);
            continue;
        }
        const double slotX = (index % columns) * (cellWidth + spacing);
        const double slotY = (index / columns) * (cellHeight + spacing);
        ++index;
        if (cell.moving) {
            cell.fromX = cell.x - slotX;
            cell.fromY = cell.y - slotY;
            cell.moving = false;
        } else if (!m_progress->isRunning()) {
            cell.fromX = cell.fromY = 0;
        }
        cell.x = slotX + cell.fromX * p;
        cell.y = slotY + cell.fromY * p;
        cell.width = cellWidth;
        cell.height = cellHeight;
        cell.placed = true;
        place(*cell.widget, cell.x, cell.y, cellWidth, cellHeight);
    }
}

} // namespace kovi
