// The image layer's trace: texts go to a trace file when one is named and their level is at most the
// trace level. Nothing is traced unless configured.
#pragma once

namespace PLTrace {

void configure(int level, const char* fileName);
void trace(int level, const char* text);
// trace(level, format with one argument), formatted with printf rules.
void tracef(int level, const char* format, const char* argument);
void tracef(int level, const char* format, int argument);
void tracef(int level, const char* format, const void* argument);

// Traces "Decoder error: <text>" and throws PLTextException(code, text).
[[noreturn]] void raise(int code, const char* text);

} // namespace PLTrace
