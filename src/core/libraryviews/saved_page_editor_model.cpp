#include "core/libraryviews/saved_page_editor_model.h"

#include "core/library/browser_library.h"
#include "core/support/text.h"

namespace kovi {

bool SavedPageEditorModel::canSave() const
{
    return !text::isBlank(m_page.title);
}

void SavedPageEditorModel::save()
{
    if (canSave())
        m_library.update(m_page);
}

} // namespace kovi
