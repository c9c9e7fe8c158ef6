// The advertising SDK's program-wide state object. It lives in the runtime because it is built by a
// static initializer before the program entry, like the rest of the start-up objects; the online
// services add the SDK operations to it. Its one word, a tick value, starts at 0.
#pragma once

#include <cstdint>

class AdSdk {
public:
    constexpr AdSdk() : tick(0) {}
    AdSdk(const AdSdk&) = delete;
    AdSdk& operator=(const AdSdk&) = delete;

    static AdSdk& instance();

    std::uint32_t tick;
};
