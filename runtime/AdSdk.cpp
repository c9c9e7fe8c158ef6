#include "runtime/AdSdk.h"

namespace {
// Constructed by the static initialisation of this file, before the program entry.
AdSdk theAdSdk;
} // namespace

AdSdk& AdSdk::instance()
{
    return theAdSdk;
}
