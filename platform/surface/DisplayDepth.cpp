#include "platform/surface/DisplayDepth.h"

#include <utility>

namespace {
std::function<bool()>& depthCheck()
{
    static std::function<bool()> check;
    return check;
}
} // namespace

bool isDisplayDepthChanged()
{
    return depthCheck() && depthCheck()();
}

void setDisplayDepthCheck(std::function<bool()> check)
{
    depthCheck() = std::move(check);
}
