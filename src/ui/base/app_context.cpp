#include "ui/base/app_context.h"

#include "core/app/browser_core.h"

namespace kovi {

AppContext AppContext::of(BrowserCore& core, Theme& theme, WebContent* web)
{
    return AppContext{core.defaults(), core.preferences(), core.notifications(), core.library(), core.state(),
                      core.appearance(), core.ai(), core.auth(), core.http(), theme, &core.updates(),
                      &core.extensions(), web};
}

} // namespace kovi
