#pragma once

#include "core/support/url.h"
#include "core/support/uuid.h"

#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <map>
#include <optional>
#include <string>
#include <variant>

namespace kovi {

// Values a notification may carry. A URL stays distinct from a string so receivers can refuse
// a string where they expect an address.
using NotificationValue = std::variant<bool, double, std::string, Url, Uuid>;
using UserInfo = std::map<std::string, NotificationValue>;

struct Notification {
    std::string name;
    std::optional<Uuid> object; // the target tab for page commands; nullopt for window-level ones
    UserInfo userInfo;

    // Typed lookups: nullopt when the key is missing or holds another type.
    template <class T>
    std::optional<T> value(const std::string& key) const
    {
        auto it = userInfo.find(key);
        if (it == userInfo.end())
            return std::nullopt;
        if (const T* v = std::get_if<T>(&it->second))
            return *v;
        return std::nullopt;
    }
};

// The app-wide notification bus. Delivery is synchronous, in order of registration, on the main
// thread. Observers keep the returned connection and disconnect it when they go away (or connect
// a slot bound to a sigc::trackable object).
class NotificationCenter {
public:
    using Slot = sigc::slot<void(const Notification&)>;

    sigc::connection observe(const std::string& name, Slot slot);
    void post(const std::string& name, std::optional<Uuid> object = std::nullopt, UserInfo userInfo = {});

private:
    std::map<std::string, sigc::signal<void(const Notification&)>> m_signals;
};

} // namespace kovi
