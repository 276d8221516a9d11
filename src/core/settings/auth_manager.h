#pragma once

#include "core/settings/preference_keys.h"
#include "core/support/date.h"
#include "core/support/json_coding.h"

#include <sigc++/signal.h>

#include <optional>
#include <string>

namespace kovi {

class Preferences;

// The one local account. Stored in the settings store as the bytes of its JSON.
struct KoviUser {
    std::string id;
    std::string email;
    std::string displayName;
    Date createdAt;
    bool isGuest = false;

    static KoviUser fromJson(const Json& value); // strict: all five keys, exact types; throws DecodeError
    bool operator==(const KoviUser&) const = default;
};

Json toJson(const KoviUser& user);

enum class AuthState {
    unknown,
    signedOut,
    signedIn,
    guest,
};

// Who is using the browser: nobody (the welcome screen) or the local guest account, which a
// later launch finds again in the settings store. Main thread only.
class AuthManager {
public:
    static constexpr const BytesKey& userDefaultsKey = prefs::koviCurrentUser;
    static constexpr const BoolKey& hasLaunchedKey = prefs::hasLaunchedBefore;

    explicit AuthManager(Preferences& preferences);

    AuthManager(const AuthManager&) = delete;
    AuthManager& operator=(const AuthManager&) = delete;

    AuthState authState() const { return m_authState; }
    sigc::signal<void()> authStateChanged;

    const std::optional<KoviUser>& currentUser() const { return m_currentUser; }
    sigc::signal<void()> currentUserChanged;

    // Reserved for account operations this browser does not have; always false and empty.
    bool isLoading() const { return m_isLoading; }
    const std::optional<std::string>& errorMessage() const { return m_errorMessage; }

    bool isAuthenticated() const { return m_authState == AuthState::signedIn || m_authState == AuthState::guest; }

    // Makes, stores and signs in a new guest account, replacing any stored one.
    void continueAsGuest();
    // Forgets the account; the next launch starts at the welcome screen.
    void signOut();

private:
    void loadSavedUser();
    std::optional<KoviUser> loadUserFromDefaults() const;
    void saveUser(const KoviUser& user);
    void setCurrentUser(std::optional<KoviUser> user);
    void setAuthState(AuthState state);

    Preferences& m_preferences;
    AuthState m_authState = AuthState::unknown;
    std::optional<KoviUser> m_currentUser;
    bool m_isLoading = false;
    std::optional<std::string> m_errorMessage;
};

} // namespace kovi
