// The play field's link to the portal shell, as the command line and the shell's messages set it up.
#pragma once

#include "game/field/ScoreHandOver.h"

#include <cstdint>
#include <string>

class EntryShellLink : public ShellLink {
public:
    static EntryShellLink& instance();

    bool hasShellWindow() override { return shellWindow != 0; }
    // Posts to the shell's window; with no shell window nothing is sent.
    void postToShell(unsigned message, long wParam, long lParam) override;

    std::uintptr_t shellWindow = 0;
    bool signedOut = true;
    std::string userName;
};
