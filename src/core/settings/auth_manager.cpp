#include "core/settings/auth_manager.h"

#include "core/settings/preferences.h"
#include "core/support/uuid.h"

namespace kovi {

Json toJson(const KoviUser& user)
{
    Json object = Json::object();
    object["id"] = user.id;
    object["email"] = user.email;
    object["displayName"] = user.displayName;
    object["createdAt"] = json::date(user.createdAt);
    object["isGuest"] = user.isGuest;
    return object;
}

KoviUser KoviUser::fromJson(const Json& value)
{
    json::requireObject(value, "account");
    KoviUser user;
    user.id = json::requireString(value, "id");
    user.email = json::requireString(value, "email");
    user.displayName = json::requireString(value, "displayName");
    user.createdAt = json::requireDate(value, "createdAt");
    user.isGuest = json::requireBool(value, "isGuest");
    return user;
}

AuthManager::AuthManager(Preferences& preferences)
    : m_preferences(preferences)
{
    loadSavedUser();
}

void AuthManager::loadSavedUser()
{
    if (auto user = loadUserFromDefaults()) {
        // Only guest accounts exist on this computer, whatever the record says.
        user->isGuest = true;
        setCurrentUser(std::move(user));
        setAuthState(AuthState::guest);
    } else {
        setAuthState(AuthState::signedOut);
    }
}

std::optional<KoviUser> AuthManager::loadUserFromDefaults() const
{
    auto data = m_preferences.get(userDefaultsKey);
    if (!data)
        return std::nullopt;
    try {
        return KoviUser::fromJson(json::parse(std::string_view(reinterpret_cast<const char*>(data->data()), data->size())));
    } catch (const std::exception&) {
        // An unreadable record means no account; it stays stored until replaced or removed.
        return std::nullopt;
    }
}

void AuthManager::saveUser(const KoviUser& user)
{
    std::string encoded;
    try {
        encoded = json::dump(toJson(user));
    } catch (const std::exception&) {
        return;
    }
    m_preferences.set(userDefaultsKey, Defaults::Bytes(encoded.begin(), encoded.end()));
}

void AuthManager::setCurrentUser(std::optional<KoviUser> user)
{
    m_currentUser = std::move(user);
    currentUserChanged.emit();
}

void AuthManager::setAuthState(AuthState state)
{
    m_authState = state;
    authStateChanged.emit();
}

void AuthManager::continueAsGuest()
{
    KoviUser user{"guest-" + Uuid::random().toString(), "", "Guest", Date::now(), true};
    saveUser(user);
    setCurrentUser(user);
    setAuthState(AuthState::guest);
    m_preferences.set(hasLaunchedKey, true);
}

void AuthManager::signOut()
{
    setCurrentUser(std::nullopt);
    setAuthState(AuthState::signedOut);
    m_preferences.remove(userDefaultsKey);
}

} // namespace kovi
