// The chat panel on screen: the empty state, bubbles on their sides as plain text, the thinking
// row, the scroll to the newest message, the error strip, and a panel closed while it waits.
#include "ai_ui_fixture.h"

#include "core/support/gobject_ptr.h"
#include "core/support/text.h"
#include "ui/ai/quick_action_button.h"

#include <gtkmm/adjustment.h>

#include <ctime>
#include <functional>

namespace kovi::test {
namespace {

class AIChatPanelTest : public AIPanelTest {
protected:
    bool waitIdle(AIChatPanel& panel, double seconds = 10)
    {
        return runUntilGtk([&] { return !panel.controller().isLoading(); }, seconds);
    }

    // The bubble's place in the message list, and whether it is laid out.
    static graphene_rect_t boundsIn(Gtk::Widget& widget, Gtk::Widget& ancestor)
    {
        graphene_rect_t bounds{};
        if (!gtk_widget_compute_bounds(widget.gobj(), ancestor.gobj(), &bounds))
            ADD_FAILURE() << "not laid out";
        return bounds;
    }
};

TEST_F(AIChatPanelTest, AFreshPanelShowsTheEmptyStateAndTakesTheKeyboard)
{
    AIChatPanel& panel = showChat();
    EXPECT_EQ(panel.get_width(), AIChatPanel::width);
    EXPECT_EQ(panel.get_height(), AIChatPanel::height);
    EXPECT_TRUE(panel.emptyState().get_visible());
    ASSERT_EQ(panel.quickActions().size(), 3u);
    EXPECT_FALSE(panel.thinkingRow().get_visible());
    EXPECT_FALSE(panel.errorStrip().get_visible());
    EXPECT_FALSE(panel.sendButton().get_sensitive());
    EXPECT_TRUE(panel.input().placeholder().get_visible());
    EXPECT_TRUE(runUntilGtk([&] { return panel.input().textView().has_focus(); }));
}

TEST_F(AIChatPanelTest, TheFieldGrowsFromOneLineToFourThenScrolls)
{
    AIChatPanel& panel = showChat();
    auto heightWith = [&](const std::string& text) {
        panel.input().setText(text);
        settle(100);
        return panel.input().get_height();
    };
    const int one = heightWith("");
    const int two = heightWith("a\nb");
    const int four = heightWith("a\nb\nc\nd");
    const int six = heightWith("a\nb\nc\nd\ne\nf");
    EXPECT_LT(one, 30);
    EXPECT_GT(two, one);
    EXPECT_GT(four, two);
    EXPECT_EQ(six, four);
}

TEST_F(AIChatPanelTest, ASendShowsTheQuestionTheThinkingRowThenTheAnswer)
{
    server.on(openAIPath, answerReply("An answer.", 300));
    AIChatPanel& panel = showChat();
    panel.input().setText("  What is open?  ");
    EXPECT_TRUE(panel.sendButton().get_sensitive());
    EXPECT_TRUE(panel.sendButton().has_css_class("ready"));
    EXPECT_FALSE(panel.input().placeholder().get_visible());
    press(panel.sendButton());

    ASSERT_EQ(panel.bubbles().size(), 1u);
    EXPECT_EQ(panel.bubbles()[0]->text().text(), "What is open?");
    EXPECT_FALSE(panel.emptyState().get_visible());
    EXPECT_TRUE(panel.thinkingRow().get_visible());
    EXPECT_TRUE(runUntilGtk([&] { return panel.thinkingIndicator().isTicking(); }));
    EXPECT_EQ(panel.input().text(), "");
    EXPECT_FALSE(panel.sendButton().get_sensitive());
    // The field stays editable while waiting, but Return sends nothing.
    panel.input().setText("next");
    panel.controller().submit();
    EXPECT_EQ(panel.bubbles().size(), 1u);

    ASSERT_TRUE(waitIdle(panel));
    ASSERT_EQ(panel.bubbles().size(), 2u);
    EXPECT_EQ(panel.bubbles()[1]->role(), ChatRole::assistant);
    EXPECT_EQ(panel.bubbles()[1]->text().text(), "An answer.");
    EXPECT_FALSE(panel.thinkingRow().get_visible());
    EXPECT_FALSE(panel.thinkingIndicator().isTicking()) << "nothing keeps repainting once the answer is in";
    EXPECT_TRUE(panel.sendButton().get_sensitive());
    EXPECT_FALSE(panel.emptyState().get_visible()) << "the empty state never returns";
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(AIChatPanelTest, BubblesArePlainTextOnTheirOwnSidesAndAtMost280Wide)
{
    const std::string markup = "<b>not bold</b> &amp; <span foreground='red'>x</span>";
    const std::string rtl = "שלום עולם, مرحبا بالعالم — a mixed line that is long enough to wrap inside the bubble";
    server.on(openAIPath, answerReply(markup + "\n" + rtl));
    AIChatPanel& panel = showChat();
    typeAndSubmit(panel, markup);
    ASSERT_TRUE(waitIdle(panel));
    settle(100);
    ASSERT_EQ(panel.bubbles().size(), 2u);
    ChatBubble& user = *panel.bubbles()[0];
    ChatBubble& assistant = *panel.bubbles()[1];
    EXPECT_EQ(user.text().text(), markup);
    EXPECT_EQ(assistant.text().text(), markup + "\n" + rtl);
    EXPECT_EQ(user.text().shownText(), markup);
    EXPECT_EQ(assistant.text().shownText(), markup + "\n" + rtl);

    const auto userBox = boundsIn(user.text(), user);
    const auto assistantBox = boundsIn(assistant.text(), assistant);
    EXPECT_LE(userBox.size.width, ChatBubble::maxBubbleWidth);
    EXPECT_LE(assistantBox.size.width, ChatBubble::maxBubbleWidth);
    EXPECT_GE(assistantBox.size.width, ChatBubble::maxBubbleWidth - 1) << "a long answer wraps at the limit";
    EXPECT_NEAR(userBox.origin.x + userBox.size.width, user.get_width() - ChatBubble::sideInset, 1);
    EXPECT_NEAR(assistantBox.origin.x, ChatBubble::sideInset, 1);
    EXPECT_GT(assistantBox.size.height, userBox.size.height);
    EXPECT_TRUE(user.text().has_css_class("user"));
    EXPECT_TRUE(assistant.text().has_css_class("assistant"));
}

TEST_F(AIChatPanelTest, ALongRightToLeftLineKeepsItsDirectionInEveryPiece)
{
    // Right to left from its first word; every later piece starts with a Latin word.
    std::string line = "مرحبا";
    while (line.size() < 4 * BubbleText::pieceBytes)
        line += " API key";
    const std::string text = line + "\nA second line, left to right.";
    BubbleText bubble(text, 256);
    ASSERT_GT(bubble.pieces().size(), 3u);
    for (std::size_t i = 0; i < bubble.pieces().size(); ++i)
        EXPECT_TRUE(bubble.pieces()[i]->startsRightToLeft()) << "piece " << i;
    EXPECT_TRUE(bubble.shownText() == text);
    // A line that begins a piece sets its own direction.
    BubbleText english("A line, left to right.\nمرحبا", 256);
    EXPECT_FALSE(english.pieces().front()->startsRightToLeft());
}

TEST_F(AIChatPanelTest, EachNewMessageIsScrolledIntoViewAtTheBottom)
{
    server.on(openAIPath, answerReply("A reply that takes a couple of lines, so that the list grows quickly "
                                      "past the height of the panel."));
    AIChatPanel& panel = showChat();
    auto adjustment = panel.messageList().get_vadjustment();
    for (int i = 0; i < 8; ++i) {
        typeAndSubmit(panel, "Question " + std::to_string(i));
        ASSERT_TRUE(waitIdle(panel));
        ASSERT_TRUE(runUntilGtk([&] { return panel.isScrollSettled(); }));
    }
    ASSERT_GT(adjustment->get_upper(), adjustment->get_page_size() * 2) << "the conversation is longer than the list";
    Gtk::Widget& last = *panel.bubbles().back();
    const auto bounds = boundsIn(last, panel.messageList());
    EXPECT_NEAR(bounds.origin.y + bounds.size.height, adjustment->get_page_size(), 2)
        << "the newest message's bottom edge sits at the bottom of the list";
}

TEST_F(AIChatPanelTest, FailuresShowTheirStripAndThePanelStaysUsable)
{
    struct Case {
        const char* name;
        LoopbackServer::Reply reply;
        std::string message;
    };
    const Case cases[] = {
        {"wrong key", {401, R"({"error":"bad key"})", "application/json"}, "Failed to get response from AI service."},
        {"rate limited", {429, "{}", "application/json"}, "Failed to get response from AI service."},
        {"server error page", {500, "<html><h1>Down</h1></html>", "text/html"}, "Failed to get response from AI service."},
        {"not JSON", {200, "plain words", "text/plain"}, "The AI service's answer could not be read."},
        {"wrong shape", {200, R"({"choices":[{"text":"x"}]})", "application/json"}, "Failed to parse AI response."},
        {"no choices", {200, R"({"choices":[]})", "application/json"}, "Failed to parse AI response."},
        {"never answers", {.neverAnswer = true}, "The request timed out."},
    };
    AIChatPanel& panel = showChat(2);
    std::size_t messages = 0;
    for (const auto& c : cases) {
        server.on(openAIPath, c.reply);
        typeAndSubmit(panel, c.name);
        ASSERT_TRUE(waitIdle(panel)) << c.name;
        ++messages;
        EXPECT_EQ(panel.bubbles().size(), messages) << c.name << ": the question stays, no answer is added";
        EXPECT_TRUE(panel.errorStrip().get_visible()) << c.name;
        EXPECT_EQ(panel.errorLabel().get_text().raw(), c.message) << c.name;
    }
    press(panel.dismissButton());
    EXPECT_FALSE(panel.errorStrip().get_visible());

    // Without a key the strip tells where to add one.
    core.ai.setApiKey("");
    typeAndSubmit(panel, "no key");
    ASSERT_TRUE(waitIdle(panel));
    EXPECT_EQ(panel.errorLabel().get_text().raw(), "No API key configured. Go to Settings to add your API key.");
    // The next send clears the strip as it starts.
    core.ai.setApiKey("sk-test");
    server.on(openAIPath, answerReply("back"));
    typeAndSubmit(panel, "again");
    EXPECT_FALSE(panel.errorStrip().get_visible());
    ASSERT_TRUE(waitIdle(panel));
    EXPECT_EQ(panel.bubbles().back()->text().text(), "back");
}

TEST_F(AIChatPanelTest, QuickActionsSendOrFillTheField)
{
    server.on(openAIPath, answerReply("summary"));
    AIChatPanel& panel = showChat();
    press(*panel.quickActions()[1]);
    EXPECT_EQ(panel.input().text(), "Help me research ");
    EXPECT_TRUE(panel.bubbles().empty());
    EXPECT_TRUE(runUntilGtk([&] { return panel.input().textView().has_focus(); }));
    auto buffer = panel.input().textView().get_buffer();
    EXPECT_EQ(buffer->get_insert()->get_iter().get_offset(), buffer->end().get_offset()) << "cursor at the end";

    press(*panel.quickActions()[2]);
    EXPECT_EQ(panel.input().text(), "Compare the pros and cons of ");
    press(*panel.quickActions()[0]);
    ASSERT_EQ(panel.bubbles().size(), 1u);
    EXPECT_EQ(panel.bubbles()[0]->text().text(), "Summarize what I'm working on based on my open tabs");
    ASSERT_TRUE(waitIdle(panel));
    settle(50);
    EXPECT_EQ(panel.bubbles().size(), 2u);
}

// How long the main loop went without turning while it lived: a timer asks to run every 5 ms,
// and a frame that takes long holds it back. Counted in the main thread's own working time as
// well as on the clock: on a busy machine the clock also counts the time others had the CPU.
class StallMeter {
public:
    StallMeter()
        : m_lastTime(g_get_monotonic_time()), m_lastWork(threadWork()),
          m_timer(g_timeout_add_full(G_PRIORITY_HIGH, 5, &StallMeter::tick, this, nullptr))
    {
    }
    ~StallMeter() { g_source_remove(m_timer); }
    double longestWorkSeconds() const { return std::max(m_longestWork, threadWork() - m_lastWork) / 1e6; }
    double longestSeconds() const { return std::max(m_longest, g_get_monotonic_time() - m_lastTime) / 1e6; }

private:
    static gint64 threadWork()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<gint64>(now.tv_sec) * G_USEC_PER_SEC + now.tv_nsec / 1000;
    }
    static gboolean tick(gpointer data)
    {
        auto* self = static_cast<StallMeter*>(data);
        const gint64 now = g_get_monotonic_time();
        const gint64 work = threadWork();
        self->m_longest = std::max(self->m_longest, now - self->m_lastTime);
        self->m_longestWork = std::max(self->m_longestWork, work - self->m_lastWork);
        self->m_lastTime = now;
        self->m_lastWork = work;
        return G_SOURCE_CONTINUE;
    }

    gint64 m_lastTime;
    gint64 m_lastWork;
    gint64 m_longest = 0;
    gint64 m_longestWork = 0;
    guint m_timer;
};

// The glyphs of every text the widget hands to the renderer, which goes through all of them on
// every frame the window draws (a caret's blink included), whatever the frame shows.
std::size_t glyphsHandedToTheRenderer(Gtk::Widget& widget)
{
    auto paintable = GObjectPtr<GdkPaintable>::adopt(gtk_widget_paintable_new(widget.gobj()));
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable.get(), snapshot, widget.get_width(), widget.get_height());
    GskRenderNode* root = gtk_snapshot_free_to_node(snapshot);
    std::size_t glyphs = 0;
    std::function<void(GskRenderNode*)> visit = [&](GskRenderNode* node) {
        if (!node)
            return;
        switch (gsk_render_node_get_node_type(node)) {
        case GSK_TEXT_NODE:
            glyphs += gsk_text_node_get_num_glyphs(node);
            break;
        case GSK_CONTAINER_NODE:
            for (guint i = 0; i < gsk_container_node_get_n_children(node); ++i)
                visit(gsk_container_node_get_child(node, i));
            break;
        case GSK_TRANSFORM_NODE: visit(gsk_transform_node_get_child(node)); break;
        case GSK_CLIP_NODE: visit(gsk_clip_node_get_child(node)); break;
        case GSK_ROUNDED_CLIP_NODE: visit(gsk_rounded_clip_node_get_child(node)); break;
        case GSK_OPACITY_NODE: visit(gsk_opacity_node_get_child(node)); break;
        case GSK_COLOR_MATRIX_NODE: visit(gsk_color_matrix_node_get_child(node)); break;
        case GSK_SHADOW_NODE: visit(gsk_shadow_node_get_child(node)); break;
        case GSK_DEBUG_NODE: visit(gsk_debug_node_get_child(node)); break;
        default: break;
        }
    };
    visit(root);
    if (root)
        gsk_render_node_unref(root);
    return glyphs;
}

TEST_F(AIChatPanelTest, TheLargestAnswersAndALongQuestionKeepTheWindowResponsive)
{
    const std::size_t cap = AIChatClient::maxAnswerTextBytes;
    auto fill = [cap](const std::string& unit) {
        std::string text;
        while (text.size() + unit.size() <= cap)
            text += unit;
        return text;
    };
    auto repeated = [](const std::string& unit, std::size_t times) {
        std::string text;
        for (std::size_t i = 0; i < times; ++i)
            text += unit;
        return text;
    };
    struct Case {
        const char* name;
        std::string answer;
        std::optional<std::string> shown; // when not the answer itself
    };
    const Case cases[] = {
        {"one line without a space", std::string(cap, 'x')},
        {"words in three scripts", fill("Words with <tags> & ampersands, عربي, 中文. ")},
        {"a line each", fill("line\n")},
        {"Chinese", fill("中文字符")},
        // Each one character cluster, which took seconds to lay out whole.
        {"a letter under 32,000 combining marks", "a" + repeated("\u0301", 32000), "a" + repeated("\u0301", 30)},
        {"chained Devanagari conjuncts", fill("\u0915\u094D")},
    };
    std::string question;
    while (question.size() < 100000)
        question += "A long question of many words, <b>tags</b> & مرحبا. ";

    AIChatPanel& panel = showChat();
    bool first = true;
    for (const auto& c : cases) {
        server.on(openAIPath, answerReply(c.answer));
        const std::size_t before = panel.bubbles().size();
        StallMeter stalls;
        typeAndSubmit(panel, first ? question : std::string(c.name));
        ASSERT_TRUE(waitIdle(panel, 30)) << c.name;
        ASSERT_EQ(panel.bubbles().size(), before + 2) << c.name << ": " << panel.errorLabel().get_text().raw();
        ASSERT_TRUE(runUntilGtk([&] { return panel.isScrollSettled(); })) << c.name;
        settle(100);
        // Seconds of work in one go before the pieces; tens of milliseconds with them.
        EXPECT_LT(stalls.longestWorkSeconds(), 1.0) << c.name << " (" << stalls.longestSeconds() << " s on the clock)";

        ChatBubble& answer = *panel.bubbles().back();
        // (Compared whole, not printed: a failure would print 64 KB.)
        EXPECT_TRUE(answer.text().text() == c.answer) << c.name;
        const bool lineEnd = c.answer.back() == '\n';
        EXPECT_TRUE(answer.text().shownText() == c.shown.value_or(c.answer.substr(0, c.answer.size() - lineEnd)))
            << c.name << ": shown whole";
        screenshotIfAsked(std::string("ai-chat-largest-") + (first ? "first" : c.name));
        if (first) {
            const std::string asked = text::trimWhitespaceAndNewlines(question);
            const auto sent = nlohmann::json::parse(server.requests().back().body);
            EXPECT_TRUE(sent["messages"][1]["content"] == asked);
            EXPECT_TRUE(panel.bubbles()[before]->text().shownText() == asked);
            first = false;
        }

        // Scrolling the whole conversation back and forth. Wherever it stands, the renderer is
        // handed what is in sight (a few screens' worth at most), not the whole conversation.
        StallMeter scrolling;
        auto adjustment = panel.messageList().get_vadjustment();
        for (double to : {0.0, adjustment->get_upper() / 2, adjustment->get_upper()}) {
            adjustment->set_value(to);
            // The pieces in sight are laid out on the frames after the move.
            std::size_t glyphs = 0;
            EXPECT_TRUE(runUntilGtk([&] { return (glyphs = glyphsHandedToTheRenderer(panel)) > 50; }))
                << c.name << " at " << to << ": the text in sight is drawn";
            EXPECT_LT(glyphs, 20000u) << c.name << " at " << to;
        }
        EXPECT_LT(scrolling.longestWorkSeconds(), 1.0) << c.name;
    }
}

TEST_F(AIChatPanelTest, TheCardKeepsItsWidthAndABubbleIsAsWideAsItsText)
{
    // The no-key message is wider than the card: it wraps inside it.
    core.ai.setApiKey("");
    AIChatPanel& panel = showChat();
    typeAndSubmit(panel, "no key");
    ASSERT_TRUE(waitIdle(panel));
    settle(100);
    ASSERT_TRUE(panel.errorStrip().get_visible());
    screenshotIfAsked("ai-chat-no-key");
    EXPECT_EQ(panel.get_width(), AIChatPanel::width);
    EXPECT_EQ(panel.get_height(), AIChatPanel::height);
    const auto strip = boundsIn(panel.errorStrip(), panel);
    EXPECT_LE(strip.origin.x + strip.size.width, AIChatPanel::width);
    const auto dismiss = boundsIn(panel.dismissButton(), panel);
    EXPECT_LE(dismiss.origin.x + dismiss.size.width, AIChatPanel::width) << "Dismiss stays on the card";

    core.ai.setApiKey("sk-test");
    const std::string answers[] = {"Short answer.", "Short answer.\n", "Short answer.\r\n\n", "Yes.\nNo.",
                                   std::string("Shown \0 whole", 13)};
    std::vector<int> widths;
    for (const auto& answer : answers) {
        server.on(openAIPath, answerReply(answer));
        typeAndSubmit(panel, "q");
        ASSERT_TRUE(waitIdle(panel));
        settle(100);
        widths.push_back(static_cast<int>(boundsIn(panel.bubbles().back()->text(), panel).size.width));
    }
    screenshotIfAsked("ai-chat-short-answers");
    EXPECT_EQ(widths[1], widths[0]) << "a trailing line break takes no room";
    EXPECT_EQ(widths[2], widths[0]);
    EXPECT_LT(widths[3], widths[0]) << "two short lines are as wide as the longer";
    EXPECT_LT(widths[0], ChatBubble::maxBubbleWidth / 2);
    EXPECT_EQ(panel.bubbles().back()->text().shownText(), "Shown \xEF\xBF\xBD whole");
}

// Closing the panel while its request runs: no crash, nothing added to a panel that is gone,
// nothing shown in the next one.
TEST(AIChatPanelClosing, AnAnswerArrivingAfterThePanelClosedIsDropped)
{
    TempDir dir;
    LoopbackServer server;
    server.on(openAIPath, answerReply("late answer", 400));
    ViewSlots slots = defaultViewSlots();
    slots.aiChatPanel = [&](AppContext& ctx) {
        return makeAIChatPanel(ctx, {server.baseUrl(), server.baseUrl(), 60});
    };
    AppHarness h(dir.path(), std::nullopt, false, slots);
    ASSERT_TRUE(h.showBrowser());
    h.ctx().ai.setApiKey("sk-test");

    h.ctx().state.setIsAIChatVisible(true);
    auto* panel = dynamic_cast<AIChatPanel*>(h.root().aiChatLayer().content());
    ASSERT_NE(panel, nullptr);
    typeAndSubmit(*panel, "hello");
    ASSERT_TRUE(runUntilGtk([&] { return !server.requests().empty(); }));
    h.ctx().state.setIsAIChatVisible(false);
    // The closing fade ends and the panel is destroyed before the answer comes.
    ASSERT_TRUE(runUntilGtk([&] { return h.root().aiChatLayer().content() == nullptr; }));
    settle(600);

    h.ctx().state.setIsAIChatVisible(true);
    auto* next = dynamic_cast<AIChatPanel*>(h.root().aiChatLayer().content());
    ASSERT_NE(next, nullptr);
    settle(200);
    EXPECT_TRUE(next->bubbles().empty());
    EXPECT_TRUE(next->emptyState().get_visible());
    EXPECT_FALSE(next->controller().isLoading());
}

} // namespace
} // namespace kovi::test
