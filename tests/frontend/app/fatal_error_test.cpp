// An exception nothing catches ends in the fatal-error handler: the crash report is offered (the
// headless answer is No, so nothing is sent) and the process ends with status 1.
#include "frontend/app/GameMain.h"
#include "runtime/DebugLog.h"

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace {

TEST(FatalError, AnUncaughtExceptionEndsWithStatusOne)
{
    EXPECT_EXIT(
        {
            DebugLog::instance().setFileOutput(false);
            DebugLog::instance().setDebuggerOutput(false);
            DebugLog::instance().log(std::string(5000, 'x'));
            std::set_terminate(onTerminate);
            // What the language runtime does with an exception nothing catches.
            std::terminate();
        },
        ::testing::ExitedWithCode(1), "");
}

} // namespace
