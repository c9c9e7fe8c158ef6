// The game's side of the advertising SDK: the start-up the load screen runs, the default and chosen
// advertisement files, their registry copies and the logo package. The operations are members of the
// program-wide AdSdk object (runtime/AdSdk.h) and are defined in AdSdk.cpp beside this header.
#pragma once

#include "runtime/AdSdk.h"

#include <string>

// Shared by the load screen, the window procedure and the message loop.
struct AdMovieState {
    int originX = 115;
    int originY = 258;
    int shown = 0;
    int sdkFocus = 0;
    int currentIndex = 0;
    char path[256] = {};
    int sdkResult = 0;
    int sdkHandle = 0;
};

extern AdMovieState adMovieState;

// The SDK's installation folder from the registry, empty when it cannot be read.
std::string readAdInstallDir();
// Stores text under the value name of the index; a failure is ignored.
void writeAdRegistryValue(int index, const std::string& text);
// The movie area was clicked: the SDK takes the focus when it asked for it.
void adMovieClicked();
