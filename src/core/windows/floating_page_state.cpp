#include "core/windows/floating_page_state.h"

namespace kovi {

void FloatingPageState::titleReported(const std::optional<std::string>& title)
{
    pageTitle = title ? *title : "Untitled";
}

void FloatingPageState::addressReported(const std::optional<std::string>& address)
{
    if (!address)
        return;
    if (auto url = Url::parse(*address))
        currentUrl = *url;
}

} // namespace kovi
