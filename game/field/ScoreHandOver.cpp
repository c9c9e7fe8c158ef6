// The score hand-over's exchange with the shell, one step per frame.
#include "game/field/ScoreHandOver.h"

#include "compat/win32/system/machine/timer.h"
#include "game/field/PlayScene.h"
#include "toolkit/dialog/Dialog.h"

#include <climits>

ShellMessageLog shellMessageLog;
int scoreUploadStep = ScoreUploadStep::Start;
std::uint32_t scoreUploadTime = 0;
Sprite* scoreUploadDialog = nullptr;

namespace {

class NoShell : public ShellLink {
public:
    bool hasShellWindow() override { return false; }
    void postToShell(unsigned, long, long) override {}
};

ShellLink* installedLink = nullptr;

std::uint32_t clockNow()
{
    return static_cast<std::uint32_t>(timeGetTime());
}

// Ends the exchange with the result and tells the waiting dialog's listener.
void finishUpload(int result)
{
    scoreUploadResult = result;
    scoreUploadStep = ScoreUploadStep::Start;
    scoreUploadState = 3;
    if (auto* dialog = dynamic_cast<Dialog*>(scoreUploadDialog))
        dialog->notifyListener();
}

} // namespace

void ShellMessageLog::append(const ShellMessage& message)
{
    if (count < 0)
        count = 0;
    // The count is raised first and keeps rising; a message is stored only while the new count is below
    // the capacity, so 15 are kept until the log is cleared.
    if (count < INT_MAX)
        ++count;
    if (count < kCapacity)
        entries[count - 1] = message;
}

ShellLink& ShellLink::get()
{
    static NoShell none;
    return installedLink ? *installedLink : none;
}

void ShellLink::install(ShellLink* link)
{
    installedLink = link;
}

bool PlayScene::peekShellMessage(ShellMessageLog& log, unsigned message, ShellMessage* found, bool remove)
{
    const int count = log.count < 0 ? 0 : (log.count > ShellMessageLog::kCapacity ? ShellMessageLog::kCapacity
                                                                                   : log.count);
    for (int i = 0; i < count; ++i) {
        if (log.entries[i].message != message)
            continue;
        if (found)
            *found = log.entries[i];
        if (remove) {
            for (int j = i + 1; j < count; ++j)
                log.entries[j - 1] = log.entries[j];
            log.count = count - 1;
        }
        return true;
    }
    return false;
}

void PlayScene::updateScoreUpload()
{
    switch (scoreUploadState) {
    case 1:
        scoreUploadState = 2;
        return;
    case 3:
        shellMessageLog.count = 0;
        scoreUploadState = 0;
        return;
    case 2:
        break;
    default:
        return;
    }

    ShellLink& shell = ShellLink::get();
    ShellMessage reply;
    const std::uint32_t now = clockNow();
    switch (scoreUploadStep) {
    case ScoreUploadStep::Start:
        shellMessageLog.count = 0;
        // Nobody to hand the score to: fail at once rather than wait out the time limits.
        if (!shell.hasShellWindow()) {
            scoreUploadStep = ScoreUploadStep::Failed;
            return;
        }
        shell.postToShell(ShellMessageId::Request, 0, 0);
        scoreUploadStep = ScoreUploadStep::Pause;
        scoreUploadTime = now;
        return;
    case ScoreUploadStep::Pause:
        if (now - scoreUploadTime > ScoreHandOver::kRequestPauseMs) {
            scoreUploadStep = ScoreUploadStep::AwaitReady;
            scoreUploadTime = now;
        }
        return;
    case ScoreUploadStep::AwaitReady:
        if (peekShellMessage(shellMessageLog, ShellMessageId::Ready, &reply, true))
            scoreUploadStep = ScoreUploadStep::SendScore;
        else if (now - scoreUploadTime > ScoreHandOver::kReadyTimeoutMs)
            scoreUploadStep = ScoreUploadStep::Failed;
        return;
    case ScoreUploadStep::SendScore:
        shell.postToShell(ShellMessageId::Score, 0, uploadScore);
        scoreUploadStep = ScoreUploadStep::AwaitAnswer;
        scoreUploadTime = now;
        return;
    case ScoreUploadStep::AwaitAnswer:
        if (peekShellMessage(shellMessageLog, ShellMessageId::Answer, &reply, true)) {
            scoreUploadStep = reply.wParam == 1 ? ScoreUploadStep::Accepted : ScoreUploadStep::Failed;
            return;
        }
        // Other values of the failure message are the window's own restore requests.
        if (peekShellMessage(shellMessageLog, ShellMessageId::Failure, &reply, true) && reply.wParam == 3) {
            scoreUploadStep = ScoreUploadStep::Failed;
            return;
        }
        // A shell that never answers must not hold the game-over screen for ever.
        if (now - scoreUploadTime > ScoreHandOver::kAnswerTimeoutMs)
            scoreUploadStep = ScoreUploadStep::Failed;
        return;
    case ScoreUploadStep::Accepted:
        finishUpload(1);
        return;
    case ScoreUploadStep::Failed:
        finishUpload(2);
        return;
    default:
        scoreUploadStep = ScoreUploadStep::Start;
        return;
    }
}
