// The score hand-over's exchange with the shell on the virtual clock: the replies that end it, the time
// limits, and the fields without a shell.
#include "FieldFixture.h"

#include "game/field/ScoreHandOver.h"
#include "toolkit/dialog/DialogListener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fieldtest::FieldFixture;

namespace {

class FakeShell : public ShellLink {
public:
    bool hasShellWindow() override { return window; }
    void postToShell(unsigned message, long wParam, long lParam) override
    {
        posts.push_back(std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
    }
    bool window = true;
    std::vector<std::string> posts;
};

class CountingListener : public DialogListener {
public:
    void onDialogClosed(Dialog*) override { ++closed; }
    int closed = 0;
};

ShellMessage reply(unsigned message, long wParam)
{
    ShellMessage record;
    record.message = message;
    record.wParam = wParam;
    return record;
}

class ScoreHandOverTest : public FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ShellLink::install(&shell);
        waiting = keep(new Dialog(0, 0, 40, 40));
        waiting->setListener(&listener);
        scoreUploadDialog = waiting;
        shellMessageLog.count = 0;
        scoreUploadStep = ScoreUploadStep::Start;
        scoreUploadResult = 0;
        uploadScore = 4321;
        field = makeScene();
    }
    void TearDown() override
    {
        scoreUploadDialog = nullptr;
        scoreUploadState = 0;
        ShellLink::install(nullptr);
        FieldFixture::TearDown();
    }

    // Requests the exchange and runs steps every 20 ms with the replies given at their step numbers
    // (the step they arrive in), until it ends or `limitMs` has passed; the milliseconds it took.
    int run(const std::vector<std::pair<int, ShellMessage>>& replies, int limitMs = 30000)
    {
        scoreUploadState = 1;
        std::vector<bool> sent(replies.size(), false);
        int elapsed = 0;
        while (scoreUploadState != 3 && elapsed < limitMs) {
            for (std::size_t i = 0; i < replies.size(); ++i)
                if (!sent[i] && replies[i].first == scoreUploadStep && scoreUploadState == 2) {
                    shellMessageLog.append(replies[i].second);
                    sent[i] = true;
                }
            field->updateScoreUpload();
            compat::testing::advanceClock(20);
            elapsed += 20;
        }
        return elapsed;
    }

    FakeShell shell;
    CountingListener listener;
    Dialog* waiting = nullptr;
    PlayScene* field = nullptr;
};

TEST_F(ScoreHandOverTest, TheShellsRepliesAndTheTimeLimitsDecideTheResult)
{
    const int ready = ScoreUploadStep::AwaitReady;
    const int answer = ScoreUploadStep::AwaitAnswer;
    const std::string request = "11027 0 0";
    const std::string score = "11029 0 4321";
    struct Case {
        const char* name;
        bool window;
        bool staleReady; // a readiness in the log from before the request
        std::vector<std::pair<int, ShellMessage>> replies;
        int result;
        std::vector<std::string> posts;
        int minMs;
        int maxMs;
    };
    const Case cases[] = {
        {"accepted", true, false, {{ready, reply(ShellMessageId::Ready, 0)}, {answer, reply(ShellMessageId::Answer, 1)}},
         1, {request, score}, 500, 1000},
        {"refused", true, false, {{ready, reply(ShellMessageId::Ready, 0)}, {answer, reply(ShellMessageId::Answer, 0)}},
         2, {request, score}, 500, 1000},
        // A restore request of the window does not end the exchange; the failure after it does.
        {"failure after a restore request", true, false,
         {{ready, reply(ShellMessageId::Ready, 0)},
          {answer, reply(ShellMessageId::Failure, 1)},
          {answer, reply(ShellMessageId::Failure, 3)}},
         2, {request, score}, 500, 1000},
        // Only replies after the request count: the shell never got ready.
        {"stale readiness", true, true, {}, 2, {request}, 5500, 6000},
        {"no answer to the score", true, false,
         {{ready, reply(ShellMessageId::Ready, 0)}, {answer, reply(ShellMessageId::Failure, 1)}}, 2, {request, score},
         10500, 11000},
        {"no shell", false, false, {}, 2, {}, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell.window = c.window;
        shell.posts.clear();
        listener.closed = 0;
        shellMessageLog.count = 0;
        if (c.staleReady)
            shellMessageLog.append(reply(ShellMessageId::Ready, 0));
        const int took = run(c.replies);
        EXPECT_EQ(scoreUploadState, 3);
        EXPECT_EQ(scoreUploadResult, c.result);
        EXPECT_EQ(shell.posts, c.posts);
        EXPECT_GE(took, c.minMs);
        EXPECT_LE(took, c.maxMs);
        EXPECT_EQ(listener.closed, 1) << "the waiting dialog hears the end once";
        // The next step tidies up: the log is emptied and the hand-over is idle, the result kept.
        shellMessageLog.append(reply(ShellMessageId::Ready, 0));
        field->updateScoreUpload();
        EXPECT_EQ(scoreUploadState, 0);
        EXPECT_EQ(shellMessageLog.count, 0);
        EXPECT_EQ(scoreUploadResult, c.result);
    }
}

TEST_F(ScoreHandOverTest, TakingAMessageOutOfTheLogKeepsTheOthersInOrder)
{
    for (int i = 0; i < 4; ++i) {
        ShellMessage record = reply(i == 2 ? ShellMessageId::Answer : ShellMessageId::Failure, i);
        shellMessageLog.append(record);
    }
    ShellMessage found;
    EXPECT_FALSE(PlayScene::peekShellMessage(shellMessageLog, ShellMessageId::Ready, &found, true));
    ASSERT_TRUE(PlayScene::peekShellMessage(shellMessageLog, ShellMessageId::Answer, &found, false));
    EXPECT_EQ(shellMessageLog.count, 4);
    ASSERT_TRUE(PlayScene::peekShellMessage(shellMessageLog, ShellMessageId::Answer, &found, true));
    EXPECT_EQ(found.wParam, 2);
    ASSERT_EQ(shellMessageLog.count, 3);
    EXPECT_EQ(shellMessageLog.entries[0].wParam, 0);
    EXPECT_EQ(shellMessageLog.entries[1].wParam, 1);
    EXPECT_EQ(shellMessageLog.entries[2].wParam, 3);
}

// The count is raised first and a message is stored only while the new count is below 16: 15 are kept,
// and the count goes on rising past the room, which the search never leaves.
TEST_F(ScoreHandOverTest, TheLogKeepsFifteenMessagesAndCountsOn)
{
    shellMessageLog.count = 0;
    for (int i = 0; i < 20; ++i)
        shellMessageLog.append(reply(i == 15 ? ShellMessageId::Answer : ShellMessageId::Failure, 100 + i));
    EXPECT_EQ(shellMessageLog.count, 20);
    EXPECT_EQ(shellMessageLog.entries[14].wParam, 114);
    ShellMessage found;
    // The sixteenth message was counted, not stored.
    EXPECT_FALSE(PlayScene::peekShellMessage(shellMessageLog, ShellMessageId::Answer, &found, false));
    ASSERT_TRUE(PlayScene::peekShellMessage(shellMessageLog, ShellMessageId::Failure, &found, false));
    EXPECT_EQ(found.wParam, 100);
    shellMessageLog.count = 0;
}

} // namespace
