// Whether the display now runs in another bit depth than the screen's back buffer: then the whole
// display is being rebuilt and a failed blit must not restore single surfaces.
//
// Stand-in until the screen exists: it will report its own answer here.
#pragma once

#include <functional>

bool isDisplayDepthChanged();
// The screen (or a test) says how to tell; an empty function means "never changed".
void setDisplayDepthCheck(std::function<bool()> check);
