// The score hand-over to the portal shell: the shell is a separate launcher that enters a finished game's
// score into its online list. The game posts to the shell's window; the shell's replies arrive in the
// front end's message loop, which copies each into `shellMessageLog`; the play field polls the log once
// per frame (PlayScene::updateScoreUpload). Where there is no shell (the normal case on this platform)
// the hand-over is never offered and an exchange that is started anyway fails at once.
#pragma once

#include <cstdint>

class Sprite;

// Messages agreed with the shell.
namespace ShellMessageId {
enum : unsigned {
    Request = 0x2B13,
    Ready = 0x2B14,
    Score = 0x2B15,
    Answer = 0x2B16,
    Failure = 0x2B19,
};
} // namespace ShellMessageId

// One received window message, as the front end's message loop copies it.
struct ShellMessage {
    std::uintptr_t window = 0;
    unsigned message = 0;
    long wParam = 0;
    long lParam = 0;
    std::uint32_t time = 0;
    int x = 0;
    int y = 0;
};

// The shell's messages since the log was last cleared, oldest first. The front end appends; the hand-over
// searches and clears. `count` is the number of messages logged, which may pass the room for them: a
// search covers only the stored entries.
struct ShellMessageLog {
    static constexpr int kCapacity = 16;
    ShellMessage entries[kCapacity];
    int count = 0;
    // Counts the message and stores a copy while the new count is below kCapacity: the first 15 are kept.
    void append(const ShellMessage& message);
};

// What the hand-over needs from the front end: the shell's window, learnt from the command line or the
// shell's greeting, and a way to post to it. Until the front end installs its link there is no shell.
class ShellLink {
public:
    virtual ~ShellLink() = default;
    static ShellLink& get();
    // Installs the link (not owned); null puts back the one without a shell.
    static void install(ShellLink* link);

    virtual bool hasShellWindow() = 0;
    virtual void postToShell(unsigned message, long wParam, long lParam) = 0;
};

extern ShellMessageLog shellMessageLog;
// The step of the running exchange, the clock when the current wait began, and the dialog that waits
// for the result (told through its listener when the exchange ends).
extern int scoreUploadStep;
extern std::uint32_t scoreUploadTime;
extern Sprite* scoreUploadDialog;

// Steps of the exchange.
namespace ScoreUploadStep {
enum : int { Start = 0, AwaitReady = 1, SendScore = 4, AwaitAnswer = 6, Accepted = 10, Failed = 11, Pause = 12 };
} // namespace ScoreUploadStep

namespace ScoreHandOver {
// Pause after the request before the shell's readiness counts, and how long it may then take.
constexpr std::uint32_t kRequestPauseMs = 500;
constexpr std::uint32_t kReadyTimeoutMs = 5000;
// How long the shell may take to answer the score before the hand-over is given up as failed.
constexpr std::uint32_t kAnswerTimeoutMs = 10000;
} // namespace ScoreHandOver
