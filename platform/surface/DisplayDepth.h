// Whether the display now runs in another bit depth than the screen's back buffer: then the whole
// display is being rebuilt and a failed blit must not restore single surfaces.
//
// The screen reports its own answer here while it exists.
#pragma once

#include <functional>

bool isDisplayDepthChanged();
// The screen (or a test) says how to tell; an empty function means "never changed".
void setDisplayDepthCheck(std::function<bool()> check);
