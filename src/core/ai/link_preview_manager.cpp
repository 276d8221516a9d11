#include "core/ai/link_preview_manager.h"

namespace kovi {

void LinkPreviewManager::showPreview(const Url&, Point at)
{
    m_position = at;
    changed.emit();
}

void LinkPreviewManager::hidePreview()
{
    m_isShowing = false;
    m_currentPreview.reset();
    changed.emit();
}

} // namespace kovi
