#include "core/windows/floating_window_kind.h"

#include "core/support/notification_names.h"

namespace kovi {

namespace n = notifications;

const FloatingWindowKind FloatingWindowKind::smallWindow{
    "Little Kovi", 480, 400, false, Placement::centred,
    n::smallWindowGoBack, n::smallWindowGoForward, n::smallWindowReload, n::smallWindowOpenInMain};

const FloatingWindowKind FloatingWindowKind::quickView{
    "Quick View", 500, 420, true, Placement::atPointer,
    n::quickViewGoBack, n::quickViewGoForward, n::quickViewReload, n::quickViewOpenInMain};

} // namespace kovi
