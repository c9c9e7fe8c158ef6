#include "compat/win32/system/process/mutex.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class MutexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        previous = old != nullptr ? old : "";
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    }
    void TearDown() override
    {
        if (previous.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    }
    // What GetLastError says after CreateMutexA of `name` in a child process.
    static int childSees(const char* name)
    {
        pid_t child = fork();
        if (child == 0) {
            HANDLE handle = CreateMutexA(nullptr, 1, name);
            _exit(handle != nullptr && GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WEXITSTATUS(status);
    }
    // Whether OpenMutexA of `name` opens in a child process.
    static int childOpens(const char* name)
    {
        pid_t child = fork();
        if (child == 0) {
            HANDLE handle = OpenMutexA(MUTEX_ALL_ACCESS, 1, name);
            _exit(handle != nullptr && GetLastError() == ERROR_SUCCESS ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WEXITSTATUS(status);
    }
    testsupport::TempDir dir;
    std::string previous;
};

TEST_F(MutexTest, ASecondProcessSeesTheHeldNameUntilItIsReleased)
{
    EXPECT_EQ(childSees("Quarrytide"), 0);
    HANDLE held = CreateMutexA(nullptr, 1, "Quarrytide");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(childSees("Quarrytide"), 1);
    EXPECT_EQ(childSees("Other/name"), 0);
    CloseHandle(held);
    EXPECT_EQ(childSees("Quarrytide"), 0);
}

TEST_F(MutexTest, TheLockDiesWithItsHolder)
{
    pid_t holder = fork();
    if (holder == 0) {
        CreateMutexA(nullptr, 1, "Quarrytide");
        _exit(0); // dies holding the lock, never closing it
    }
    int status = 0;
    waitpid(holder, &status, 0);
    HANDLE handle = CreateMutexA(nullptr, 1, "Quarrytide");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(handle);
}

// Opening finds only a mutex some process holds now; the file a dead or finished holder left is none.
TEST_F(MutexTest, OpeningFindsOnlyAHeldName)
{
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, 1, "Everyone"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE held = CreateMutexA(nullptr, 1, "Everyone");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(childOpens("Everyone"), 1);
    CloseHandle(held);
    EXPECT_EQ(childOpens("Everyone"), 0);
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, 1, ""), nullptr);
}

} // namespace
