#include "ui/windows/floating_windows.h"

namespace kovi {

FloatingWindows::FloatingWindows(AppContext& ctx, std::function<Gtk::Window*()> mainWindow)
    : m_smallWindow(FloatingWindowKind::smallWindow, ctx, mainWindow),
      m_quickView(FloatingWindowKind::quickView, ctx, mainWindow)
{
}

void FloatingWindows::closeAll()
{
    m_quickView.closeAll();
    m_smallWindow.closeAll();
}

} // namespace kovi
