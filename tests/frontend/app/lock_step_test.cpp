#include "frontend/app/LockStep.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The two ends of a local socket that keeps the bounds of what each send wrote, so a receive takes one
// send's bytes at the most and a number sent in parts arrives in parts. Closed when the test ends.
struct SocketPair {
    SocketPair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0); }
    ~SocketPair()
    {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int which)
    {
        if (ends[which] >= 0)
            ::close(ends[which]);
        ends[which] = -1;
    }
    int ends[2] = {-1, -1};
};

const std::uint32_t kNumber = 0x01020304;
const unsigned char* const kBytes = reinterpret_cast<const unsigned char*>(&kNumber);

TEST(LockStepTransfer, ANumberSentInPartsArrivesWhole)
{
    SocketPair pair;
    ASSERT_TRUE(LockStep::sendWhole(pair.ends[0], kBytes, 1));
    ASSERT_TRUE(LockStep::sendWhole(pair.ends[0], kBytes + 1, 3));
    std::uint32_t received = 0;
    EXPECT_TRUE(LockStep::receiveWhole(pair.ends[1], &received, sizeof received, -1));
    EXPECT_EQ(received, kNumber);
}

TEST(LockStepTransfer, AReceiveEndsWithoutTheRestWhenItDoesNotComeOrTheOtherEndWentAway)
{
    for (bool away : {false, true}) {
        SocketPair pair;
        ASSERT_TRUE(LockStep::sendWhole(pair.ends[0], kBytes, 2));
        if (away)
            pair.closeEnd(0);
        std::uint32_t received = 0;
        // Waiting for ever is safe once the other end is gone; else the receive may not wait at all.
        EXPECT_FALSE(LockStep::receiveWhole(pair.ends[1], &received, sizeof received, away ? -1 : 0)) << away;
    }
}

TEST(LockStepTransfer, ASendToAnEndThatWentAwayFailsWithoutASignal)
{
    SocketPair pair;
    pair.closeEnd(1);
    // A send that raised SIGPIPE would end the test program here.
    EXPECT_FALSE(LockStep::sendWhole(pair.ends[0], kBytes, sizeof kNumber));
}

} // namespace
