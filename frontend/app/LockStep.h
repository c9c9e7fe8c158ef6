// Lock-step running, for a test that plays the game and must get the same game on every run: with
// QUARRYTIDE_TEST_LOCKSTEP naming an open socket (a file descriptor the test passed down), the game's
// clock moves by exactly one frame period per frame and the message loop runs a frame only when the
// test has asked for it. The test writes a frame count (4 bytes, native order) and reads back the frame
// counter (4 bytes) once that many frames have run; the game waits, taking no time and no processor,
// while the test looks at the screen and decides. Before each frame the window system is synchronised,
// so input the test sent before asking is handled in the first frame it asked for, and before answering
// it is synchronised again, so the test's picture of the screen shows the frames that ran. Nothing else
// changes: the real window, its presents and its input are those of every run. Read only by tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace LockStep {

// Reads the switch and starts the stepped clock on the calling thread (the frame loop's); false when
// the switch is off or names no usable descriptor. Call once, before the application object is made.
bool start();
bool active();

// Asked by the message loop when it finds no message: true when a frame may run now. False while the
// loop is to take the messages that arrived first; blocks (the game idles) while the test decides.
bool frameAllowed();
// Told by the message loop after each frame it ran.
void frameRan(std::uint32_t frameCounter);

// The transfers both ends make on the socket: all of `size` bytes, or false when the other end went
// away. A send to an end that went away raises no signal. A receive waits at most `waitMs`
// milliseconds for each part of the bytes (-1: for ever; the game idles while the test decides).
bool sendWhole(int socket, const void* data, std::size_t size);
bool receiveWhole(int socket, void* data, std::size_t size, int waitMs);

} // namespace LockStep
