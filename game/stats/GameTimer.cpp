#include "game/stats/GameTimer.h"

#include "compat/win32/system/machine/timer.h"

#include <tinyxml.h>

#include <climits>
#include <cstdlib>

namespace {

uint32_t now()
{
    return static_cast<uint32_t>(timeGetTime());
}

// The C library's decimal reading of a saved time; absent, empty or out-of-range text is cut to what an
// int holds rather than left undefined.
int32_t savedMilliseconds(const TiXmlElement* element, const char* name)
{
    const char* text = element->Attribute(name);
    if (text == nullptr)
        return 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// A saved flag: non-zero is true; a missing or unreadable one keeps `fallback`.
bool savedFlag(const TiXmlElement* element, const char* name, bool fallback)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) != TIXML_SUCCESS)
        return fallback;
    return value != 0;
}

} // namespace

GameTimer::GameTimer()
{
    restart(now());
}

void GameTimer::restart(uint32_t start)
{
    startTime = start;
    pausedTotal = 0;
    markTime = 0;
    paused = false;
    enabled = true;
}

void GameTimer::stop()
{
    if (!enabled)
        return;
    uint32_t clock = now();
    if (paused)
        pausedTotal = static_cast<int32_t>(static_cast<uint32_t>(pausedTotal) + (clock - markTime));
    markTime = clock;
    enabled = false;
}

void GameTimer::setPaused(bool flag)
{
    if (enabled) {
        if (flag && !paused)
            markTime = now();
        else if (!flag && paused)
            pausedTotal = static_cast<int32_t>(static_cast<uint32_t>(pausedTotal) + (now() - markTime));
    }
    paused = flag;
}

int32_t GameTimer::getElapsed() const
{
    uint32_t end = enabled && !paused ? now() : markTime;
    return static_cast<int32_t>(end - startTime - static_cast<uint32_t>(pausedTotal));
}

int GameTimer::getElapsedScaled(double frameRate) const
{
    if (!(frameRate > 0.0))
        return 0;
    return static_cast<int>(getElapsed() / frameRate);
}

void GameTimer::saveXML(TiXmlElement* element) const
{
    if (element == nullptr)
        return;
    uint32_t pause = static_cast<uint32_t>(pausedTotal);
    if (paused)
        pause += now() - markTime;
    element->SetAttribute("ispaused", paused ? 1 : 0);
    element->SetAttribute("isenabled", enabled ? 1 : 0);
    element->SetAttribute("elapsedtime", getElapsed());
    element->SetAttribute("elapsedpause", static_cast<int32_t>(pause));
}

void GameTimer::loadXML(const TiXmlElement* element)
{
    if (element == nullptr)
        return;
    enabled = savedFlag(element, "isenabled", true);
    paused = savedFlag(element, "ispaused", false);
    int32_t elapsed = savedMilliseconds(element, "elapsedtime");
    pausedTotal = savedMilliseconds(element, "elapsedpause");
    uint32_t clock = now();
    startTime = clock - (static_cast<uint32_t>(elapsed) + static_cast<uint32_t>(pausedTotal));
    markTime = clock;
}
