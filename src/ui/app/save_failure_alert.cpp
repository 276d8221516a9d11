#include "ui/app/save_failure_alert.h"

#include "ui/app/typing_hold.h"
#include "ui/library/message_alert.h"

namespace kovi {

SaveFailureAlert::SaveFailureAlert(BrowserState& state, Gtk::Window& window, TypingHold& hold)
    : m_state(state)
    , m_window(window)
    , m_hold(hold)
{
    m_connections += m_state.saveFailed.connect([this] { show(); });
    show();
}

SaveFailureAlert::~SaveFailureAlert()
{
    m_hold.cancel("save-failure");
}

std::string SaveFailureAlert::body(const std::vector<BrowserState::SaveFailure>& failures)
{
    std::string text;
    for (const auto& failure : failures) {
        switch (failure.data) {
        case BrowserState::SavedData::tabs: text += "Your tabs could not be saved: "; break;
        case BrowserState::SavedData::history: text += "Your history could not be saved: "; break;
        case BrowserState::SavedData::downloads: text += "Your downloads list could not be saved: "; break;
        }
        text += failure.reason;
        if (!failure.reason.empty() && failure.reason.back() != '.')
            text += '.';
        text += '\n';
    }
    return text + "\nWhat changes now may be missing when Kovi starts again.";
}

void SaveFailureAlert::show()
{
    if (m_state.saveFailures().empty())
        return;
    // One alert: a file that starts failing while it is up joins its list.
    if (m_alert && m_alert->isOpen())
        present();
    else
        m_hold.whenNotTyping("save-failure", [this] { present(); });
}

void SaveFailureAlert::present()
{
    // What fails when it comes: a save that worked again meanwhile is not told.
    const auto failures = m_state.saveFailures();
    if (failures.empty())
        return;
    if (m_alert && m_alert->isOpen())
        m_alert->setBody(body(failures));
    else
        m_alert = std::make_unique<MessageAlert>(m_window, "Changes could not be saved", body(failures));
}

} // namespace kovi
