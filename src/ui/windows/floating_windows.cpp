#include "ui/windows/floating_windows.h"

namespace kovi {

FloatingWindows::FloatingWindows(AppContext& ctx, std::function<Gtk::Window*()> mainWindow)
    : m_littleSkiv(FloatingWindowKind::littleSkiv, ctx, mainWindow),
      m_quickView(FloatingWindowKind::quickView, ctx, mainWindow)
{
}

void FloatingWindows::closeAll()
{
    m_quickView.closeAll();
    m_littleSkiv.closeAll();
}

} // namespace kovi
