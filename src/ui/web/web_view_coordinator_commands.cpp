// The page commands each coordinator carries out for its own tab.
#include "ui/web/web_view_coordinator.h"

#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/notification_names.h"
#include "core/web/find_counter.h"
#include "core/web/page_zoom.h"
#include "ui/web/web_content.h"

#include <webkit/webkit.h>

#include <algorithm>

namespace kovi {

namespace {

constexpr auto maxCountedMatches = static_cast<guint>(FindCounter::matchLimit);
constexpr auto findOptions =
    static_cast<guint32>(WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND);

} // namespace

void WebViewCoordinator::observe(const char* name, void (WebViewCoordinator::*action)(const Notification&))
{
    m_navigationObservers.add(m_web.notifications().observe(name, [this, action](const Notification& note) {
        if (!note.object || *note.object != m_tabId)
            return;
        if (!m_view)
            return;
        (this->*action)(note);
    }));
}

void WebViewCoordinator::setupNavigationNotifications()
{
    namespace n = notifications;
    observe(n::webViewGoBack, &WebViewCoordinator::goBack);
    observe(n::webViewGoForward, &WebViewCoordinator::goForward);
    observe(n::webViewReload, &WebViewCoordinator::reload);
    observe(n::webViewZoomIn, &WebViewCoordinator::zoomIn);
    observe(n::webViewZoomOut, &WebViewCoordinator::zoomOut);
    observe(n::webViewZoomReset, &WebViewCoordinator::zoomReset);
    observe(n::findInPage, &WebViewCoordinator::findInPage);
    observe(n::findInPageNext, &WebViewCoordinator::findNext);
    observe(n::findInPagePrevious, &WebViewCoordinator::findPrevious);
    observe(n::toggleDevTools, &WebViewCoordinator::toggleDevTools);
    observe(n::enterPictureInPicture, &WebViewCoordinator::enterPictureInPicture);
    observe(n::checkAndEnterPiP, &WebViewCoordinator::checkAndEnterPiP);
    observe(n::webViewNavigate, &WebViewCoordinator::navigate);
}

void WebViewCoordinator::goBack(const Notification&)
{
    webkit_web_view_go_back(m_view);
}

void WebViewCoordinator::goForward(const Notification&)
{
    webkit_web_view_go_forward(m_view);
}

void WebViewCoordinator::reload(const Notification&)
{
    if (webkit_web_view_is_loading(m_view))
        webkit_web_view_stop_loading(m_view);
    else
        webkit_web_view_reload(m_view);
}

void WebViewCoordinator::zoomIn(const Notification&)
{
    adjustZoom(PageZoom::step);
}

void WebViewCoordinator::zoomOut(const Notification&)
{
    adjustZoom(-PageZoom::step);
}

void WebViewCoordinator::zoomReset(const Notification&)
{
    webkit_web_view_set_zoom_level(m_view, 1.0);
    postZoomChanged(webkit_web_view_get_zoom_level(m_view));
}

void WebViewCoordinator::adjustZoom(double delta)
{
    double zoom = PageZoom::adjusted(webkit_web_view_get_zoom_level(m_view), delta);
    webkit_web_view_set_zoom_level(m_view, zoom);
    postZoomChanged(zoom);
}

void WebViewCoordinator::postZoomChanged(double zoom)
{
    m_web.notifications().post(notifications::webViewZoomChanged, m_tabId, {{"zoom", zoom}});
}

void WebViewCoordinator::findInPage(const Notification& note)
{
    auto query = note.value<std::string>("query");
    if (!query)
        return;
    const bool again = *query == m_findText;
    m_findText = *query;
    if (query->empty()) {
        // What is still owed was asked before the clear: its answer belongs to no text now.
        for (FindRequest& owed : m_findOwed)
            owed.text.clear();
        webkit_find_controller_search_finish(m_findController);
        runScript("window.getSelection().removeAllRanges()");
        m_web.matchesCounted.emit(m_tabId, "", 0);
        return;
    }
    if (isSearchOwed())
        return; // its answer is of this text, or this text is searched when it comes
    // The text found already, asked again as the tab is shown again: the engine would go on from
    // its match, and the count starts at the first.
    if (again)
        runScript("window.getSelection().removeAllRanges()");
    askFind();
}

bool WebViewCoordinator::isSearchOwed() const
{
    return std::any_of(m_findOwed.begin(), m_findOwed.end(), [](const FindRequest& owed) { return !owed.isStep; });
}

void WebViewCoordinator::askFind()
{
    m_findOwed.push_back({m_findText, false});
    // The engine searches the text as given: nothing of the query ever becomes script. Its
    // answer carries the count, so no separate count is asked for.
    webkit_find_controller_search(m_findController, m_findText.c_str(), findOptions, maxCountedMatches);
}

void WebViewCoordinator::findNext(const Notification&)
{
    findStep(true);
}

void WebViewCoordinator::findPrevious(const Notification&)
{
    findStep(false);
}

void WebViewCoordinator::findStep(bool forward)
{
    // Until the latest text is searched a step would move through an older text's matches.
    if (m_findText.empty() || isSearchOwed())
        return;
    m_findOwed.push_back({m_findText, true});
    if (forward)
        webkit_find_controller_search_next(m_findController);
    else
        webkit_find_controller_search_previous(m_findController);
}

void WebViewCoordinator::onFoundText(WebKitFindController*, guint count, gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->findAnswered(count);
}

void WebViewCoordinator::onFailedToFindText(WebKitFindController*, gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->findAnswered(0);
}

void WebViewCoordinator::findAnswered(guint count)
{
    if (m_findOwed.empty())
        return;
    FindRequest answered = std::move(m_findOwed.front());
    m_findOwed.pop_front();
    // Past its limit the engine reports the largest unsigned number rather than a count.
    int reported = count > maxCountedMatches ? FindCounter::matchLimit + 1 : static_cast<int>(count);
    if (answered.isStep) {
        // A step that finds nothing: the text has gone from the page.
        if (reported == 0 && !answered.text.empty())
            m_web.matchesCounted.emit(m_tabId, answered.text, 0);
        return;
    }
    if (!answered.text.empty())
        m_web.matchesCounted.emit(m_tabId, answered.text, reported);
    if (answered.text != m_findText && !m_findText.empty())
        askFind();
}

void WebViewCoordinator::forgetFind()
{
    // What is owed still gets its answer, of the page that is gone: kept in the list, so later
    // answers meet their own requests, it shows nothing.
    for (FindRequest& owed : m_findOwed)
        owed.text.clear();
    m_findText.clear();
    m_web.pageReplaced.emit(m_tabId);
}

void WebViewCoordinator::findInLoadedPage()
{
    // The page answers after it has said it is loaded, in order: a search still owed is answered
    // of the whole page. One answered already may have met a document still being read (an
    // empty one as the page committed), and its count would stand for good: the text is
    // searched again, from its first match.
    if (m_findText.empty() || isSearchOwed())
        return;
    runScript("window.getSelection().removeAllRanges()");
    askFind();
}

void WebViewCoordinator::toggleDevTools(const Notification&)
{
    WebKitSettings* settings = webkit_web_view_get_settings(m_view);
    webkit_settings_set_enable_developer_extras(settings, TRUE);
    webkit_web_inspector_show(webkit_web_view_get_inspector(m_view));
}

std::string WebViewCoordinator::pictureInPictureScript(const std::string& candidate)
{
    return "(function() {\n"
           "    const videos = Array.from(document.querySelectorAll('video')).filter(v => v.readyState > 0);\n"
           "    if (!videos.length || !document.pictureInPictureEnabled) return { ok: false, reason: \"no_video\" };\n"
           "    const playing = videos.find(v => !v.paused && !v.ended && v.readyState > 2);\n"
           "    const candidate = " + candidate + ";\n"
           "    if (!candidate) return { ok: false, reason: \"not_playing\" };\n"
           "    candidate.requestPictureInPicture();\n"
           "    return { ok: true };\n"
           "})();";
}

void WebViewCoordinator::enterPictureInPicture(const Notification&)
{
    runScript(pictureInPictureScript("playing || videos[0]"));
}

void WebViewCoordinator::checkAndEnterPiP(const Notification&)
{
    if (!m_web.preferences().get(prefs::autoPiPEnabled))
        return;
    runScript(pictureInPictureScript("playing"));
}

void WebViewCoordinator::navigate(const Notification& note)
{
    auto url = note.value<Url>("url");
    if (!url)
        return;
    auto tab = m_web.state().tab(m_tabId);
    if (!tab || tab->url != *url)
        m_sentElsewhere = true;
    m_web.state().endFirstNavigation(m_tabId); // sent there by the user, it is the user's tab now
    const char* loading = webkit_back_forward_list_get_current_item(m_backForwardList) ? nullptr
                                                                                       : webkit_web_view_get_uri(m_view);
    m_loadingBeforeNavigate = loading && *loading ? Url::parse(loading) : std::nullopt;
    webkit_web_view_load_uri(m_view, url->string().c_str());
}

void WebViewCoordinator::runScript(const std::string& script)
{
    webkit_web_view_evaluate_javascript(m_view, script.c_str(), static_cast<gssize>(script.size()), nullptr, nullptr,
                                        nullptr, nullptr, nullptr);
}

} // namespace kovi
