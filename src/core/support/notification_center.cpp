#include "core/support/notification_center.h"

namespace kovi {

sigc::connection NotificationCenter::observe(const std::string& name, Slot slot)
{
    return m_signals[name].connect(std::move(slot));
}

void NotificationCenter::post(const std::string& name, std::optional<Uuid> object, UserInfo userInfo)
{
    auto it = m_signals.find(name);
    if (it == m_signals.end())
        return;
    // Observers may connect or disconnect while the notification is delivered; sigc handles both.
    // The notification is a local copy, so an observer can't change what later observers see.
    const Notification notification{name, object, std::move(userInfo)};
    auto signal = it->second; // keeps the slot list alive even if an observer clears m_signals
    signal.emit(notification);
}

} // namespace kovi
