#include "ui/web/web_view_styles.h"

#include "ui/design/styles.h"

namespace kovi {

void applyWebButtonStyle(Gtk::Widget& button)
{
    applyButtonStyle(button, ButtonVariant::primary, ButtonSize::md);
}

} // namespace kovi
