#include "runtime/DebugLog.h"
#include "runtime/GameException.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(GameTextException, FormatsOneArgumentAndCopiesOwnText)
{
    GameTextException original(0, "Invalid color value: %s\n", "x");
    EXPECT_STREQ(original.getText(), "Invalid color value: x\n");
    EXPECT_EQ(original.getCode(), 0);

    GameTextException copy(original);
    EXPECT_STREQ(copy.getText(), original.getText());
    EXPECT_NE(copy.getText(), original.getText());

    try {
        throw GameTextException(0, "ERROR reading properties\n");
    } catch (const GameException& caught) {
        EXPECT_STREQ(dynamic_cast<const GameTextException&>(caught).getText(), "ERROR reading properties\n");
    }
}

TEST(DebugLog, KeepsTextInMemoryAndWritesNoFileByDefault)
{
    testsupport::TempDir dir(true);
    DebugLog log;
    log.setDebuggerOutput(false);
    log.log("a\n");
    EXPECT_EQ(log.getText(), "a\n");
    EXPECT_FALSE(std::filesystem::exists("game.log"));
}

TEST(DebugLog, KeepsABoundedTailOfALongRun)
{
    DebugLog log;
    log.setDebuggerOutput(false);
    const std::string line(1000, 'x');
    for (std::size_t written = 0; written < 3 * DebugLog::kKeptText; written += line.size() + 1)
        log.log(line + "\n");
    log.log("last words\n");
    EXPECT_LE(log.getText().size(), DebugLog::kKeptText);
    EXPECT_GE(log.getText().size(), DebugLog::kKeptText / 2);
    const std::string tail = "\nlast words\n";
    EXPECT_EQ(log.getText().substr(log.getText().size() - tail.size()), tail);
}

TEST(DebugLog, FirstWriteAfterStartTruncatesThenAppendsUntilClosed)
{
    testsupport::TempDir dir(true);
    testsupport::writeFile("game.log", "old run\n");
    DebugLog log;
    log.setDebuggerOutput(false);
    log.setTruncateOnOpen(true);
    log.setFileOutput(true);
    log.log("first\n");
    EXPECT_EQ(testsupport::readFile("game.log"), "first\n");
    log.log("second\n");
    EXPECT_EQ(testsupport::readFile("game.log"), "first\nsecond\n");
    log.close();
    log.log("after close\n");
    EXPECT_EQ(testsupport::readFile("game.log"), "first\nsecond\n");
    EXPECT_EQ(log.getText(), "first\nsecond\nafter close\n");
}
