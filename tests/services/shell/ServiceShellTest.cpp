#include "services/shell/ServiceShell.h"

#include "tests/services/LoopbackServer.h"

#include "platform/native/UiRecord.h"
#include "platform/native/UiWorker.h"

#include "compat/win32/system/notify/messagebox.h"
#include "compat/win32/registry/registry.h"
#include "compat/win32/system/process/shell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>

using services::ServiceSettings;
using services::ServiceShell;
using services::testing::LoopbackServer;
using services::testing::StreamingServer;

namespace {

std::time_t fakeNow = 0;
std::time_t fakeClock()
{
    return fakeNow;
}

// A private registry file and a fixed clock for each test.
class ServiceShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = std::filesystem::temp_directory_path() /
                   ("quarry-services-" + std::to_string(::getpid()) + ".reg");
        std::filesystem::remove(registry);
        compat::testing::setRegistryFile(registry.string());
        ServiceSettings::clock = fakeClock;
        fakeNow = 1000000000;
        shell.limits.connectTimeoutMs = 1000;
        shell.limits.readTimeoutMs = 500;
    }
    void TearDown() override
    {
        ServiceSettings::clock = [] { return std::time(nullptr); };
        compat::testing::setRegistryFile("");
        std::filesystem::remove(registry);
    }
    static void putDword(HKEY key, const char* name, DWORD value)
    {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    static void putString(HKEY key, const char* name, const std::string& value)
    {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    // Writes every value of game 42's key.
    void installGame(const std::string& baseUrl, DWORD lastCheck)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Vantrel\\games\\42\\zevuzuded", &key), ERROR_SUCCESS);
        putDword(key, "adinterval", 9);
        putDword(key, "adminseconds", 11);
        putString(key, "updateurl", baseUrl + "/check.php");
        putString(key, "downloadurl", baseUrl + "/download");
        putString(key, "debugurl", baseUrl + "/debug");
        putString(key, "moregamesurl", baseUrl + "/more");
        putDword(key, "gamesetid", 6);
        putDword(key, "skinnedgameid", 5);
        putString(key, "version", "1.2");
        putDword(key, "lastcheckdate", lastCheck);
        RegCloseKey(key);
    }

    std::filesystem::path registry;
    ServiceShell shell;
};

} // namespace

TEST_F(ServiceShellTest, NoKeyLeavesDefaultsAndTheCheckIsDue)
{
    shell.loadServiceSettings(42);
    ServiceSettings* settings = shell.getSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(settings->load());
    EXPECT_EQ(settings->getGameSetId(), 0);
    EXPECT_EQ(settings->getVersion(), "0.0.0");
    EXPECT_EQ(settings->getUpdateUrl(), "");
    EXPECT_EQ(settings->getLastCheckDate(), 0);
    EXPECT_TRUE(shell.isUpdateCheckDue());
    EXPECT_EQ(settings->getLastCheckDate(), fakeNow);
    // The date was written back: a second call in the same second is never due.
    EXPECT_FALSE(shell.isUpdateCheckDue());
}

TEST_F(ServiceShellTest, ReadsEveryValueAndCountsWholeDays)
{
    installGame("http://h.test", 0);
    shell.loadServiceSettings(42);
    ServiceSettings* settings = shell.getSettings();
    EXPECT_TRUE(settings->load());
    EXPECT_EQ(shell.getParameters()->getValue1(), 11);
    EXPECT_EQ(shell.getParameters()->getValue5(), 9);
    EXPECT_EQ(settings->getSkinnedGameId(), 5);
    EXPECT_EQ(settings->getVersion(), "1.2");
    EXPECT_EQ(settings->getDebugUrl(), "http://h.test/debug");

    struct Case {
        long lastCheck;
        bool due;
    } cases[] = {
        {static_cast<long>(fakeNow) - 8 * 86400, true},
        {static_cast<long>(fakeNow) - 8 * 86400 + 1, false},
        {static_cast<long>(fakeNow) + 100, false},
    };
    for (const Case& c : cases) {
        installGame("http://h.test", static_cast<DWORD>(c.lastCheck));
        EXPECT_EQ(shell.isUpdateCheckDue(), c.due) << c.lastCheck;
        EXPECT_EQ(settings->getLastCheckDate(), fakeNow);
    }
}

TEST_F(ServiceShellTest, NoDialogWhenTheCheckIsNotDueButTheDateIsStored)
{
    installGame("http://h.test", static_cast<DWORD>(fakeNow - 86400));
    shell.loadServiceSettings(42);
    fakeNow += 10;
    EXPECT_TRUE(shell.showUpdateDialog());
    EXPECT_EQ(shell.getSettings()->getLastCheckDate(), fakeNow);
}

TEST_F(ServiceShellTest, TitleTextAndReportTexts)
{
    const char* first[35] = {"Tide", "Quarry"};
    const char* second[35] = {"Other", "Title"};
    shell.setTextRecord(first);
    shell.setTextRecord(second);
    EXPECT_STREQ(shell.getTitleText(), "QuarryTide");
    EXPECT_STREQ(shell.getText(1), "Title");
    shell.setReportTexts("Oops", "Send?");
    EXPECT_STREQ(shell.getText(31), "Oops");
    EXPECT_EQ(shell.getText(0), nullptr);
    EXPECT_STREQ(shell.getTitleText(), "QuarryTide");
}

TEST_F(ServiceShellTest, UpdateCheckWithoutSettingsSendsNothing)
{
    services::UpdateResult result;
    result.code = 0;
    shell.runUpdateCheck(result, true);
    EXPECT_EQ(result.code, 3);
}

TEST_F(ServiceShellTest, UpdateCheckUsesTheRegistryValues)
{
    LoopbackServer server("HTTP/1.1 200 OK\r\n\r\nCheckDownloadableUpdate\ntrue\n2.0\n1\nNew levels\n0\n");
    installGame("http://127.0.0.1:" + std::to_string(server.port()), 0);
    shell.loadServiceSettings(42);
    services::UpdateResult result;
    shell.runUpdateCheck(result, false);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.gameId, 42);
    EXPECT_EQ(result.versionLine, "2.0");
    EXPECT_EQ(result.description, "New levels");
    EXPECT_EQ(server.requests().at(0).rfind("GET /check.php?s=5&g=6&v=1.2&pid=1 HTTP/1.1\r\n", 0), 0u);
}

TEST_F(ServiceShellTest, CrashReportIsPostedOnlyAfterYes)
{
    LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    installGame("http://127.0.0.1:" + std::to_string(server.port()), 0);
    shell.loadServiceSettings(42);

    // No answer (the headless default) is No: nothing is sent.
    shell.sendDebugReport(true, "log tail", true);
    auto boxes = compat::testing::takeShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Fatal exception.");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2));

    compat::testing::scriptMessageBoxAnswers({IDYES});
    shell.sendDebugReport(true, "log tail", true);
    compat::testing::takeShownMessageBoxes();
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, 20), "POST /debug HTTP/1.1");
    EXPECT_NE(requests[0].find("data=Vantrel+debug+report%0Aproduct%3A+6%0ASkinnedGameID%3A+5%0A"), std::string::npos);
    EXPECT_NE(requests[0].find("SystemException%3A+true"), std::string::npos);
    EXPECT_NE(requests[0].find("Custom+text%3A%0Alog+tail"), std::string::npos);
}

TEST_F(ServiceShellTest, CrashReportWithoutSettingsSaysUnknownAndIsNotPosted)
{
    std::string report = shell.buildDebugReport(false, "x");
    EXPECT_EQ(report.rfind("Vantrel debug report\nproduct: Unknown\nSkinnedGameID: Unknown\n", 0), 0u);
    EXPECT_NE(report.find("\nStartup Info:  0 0 0 0 0 0 0 0 0\nCustom text:\nx"), std::string::npos);
    compat::testing::scriptMessageBoxAnswers({IDYES});
    shell.sendDebugReport(false, "x", true); // would hang or fail loudly only if it tried to post
    compat::testing::takeShownMessageBoxes();
}

TEST_F(ServiceShellTest, WebPagesCarryTheIds)
{
    installGame("http://h.test", 0);
    compat::testing::recordShellOpens(true);
    shell.openMoreGamesPage();
    shell.loadServiceSettings(42);
    shell.openDownloadPage();
    shell.openMoreGamesPage();
    auto opens = compat::testing::recordedShellOpens();
    compat::testing::recordShellOpens(false);
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].back(), "http://h.test/download?s=5&g=6");
    EXPECT_EQ(opens[1].back(), "http://h.test/more?g=6");
}

namespace {

class CountingListener : public UpdateResultListener {
public:
    void onUpdateResult(UiRecord*) override { ++reports; }
    std::atomic<int> reports{0};
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// The player closed the update dialog while its check was still talking to a server that sends a byte
// every 100 ms (for a minute). When the program closes, the shell asks the check to end and waits for
// it, so nothing the check uses is freed under it (under the address sanitizer this shows as well); a
// check started after that fails at once.
TEST_F(ServiceShellTest, ACheckLeftRunningEndsWhenTheProgramCloses)
{
    StreamingServer server("HTTP/1.1 200 OK\r\n", [](long) { return std::string("a"); }, 600, 100);
    installGame(server.url(""), 0);
    auto closing = std::make_unique<ServiceShell>();
    // Neither bound would end this drip soon: the close must.
    closing->limits.readTimeoutMs = 5000;
    closing->limits.deadlineMs = 120000;
    closing->loadServiceSettings(42);
    CountingListener listener;
    auto worker = std::make_unique<UiWorker>(&closing->dialogAdapter());
    worker->start(&listener);
    for (int i = 0; i < 1000 && closing->runningChecks() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(closing->runningChecks(), 1);
    // What the dialog does when it goes: the worker is detached and deleted, its run goes on.
    worker->stop(false);
    worker.reset();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(closing->finishBackgroundWork());
    EXPECT_EQ(closing->runningChecks(), 0);
    // Well before the drip would have ended.
    EXPECT_LT(secondsSince(start), 20.0);
    std::printf("[ measure ] check left running: ended %.2f s after the close\n", secondsSince(start));

    services::UpdateResult result;
    closing->runUpdateCheck(result, true);
    EXPECT_EQ(result.code, 3);
    closing.reset();
    EXPECT_EQ(listener.reports, 0);
}

// The crash report holds the closing program no longer than one exchange's deadline, even against a
// server that keeps it busy with a byte now and then.
TEST_F(ServiceShellTest, CrashReportToADrippingServerEndsByTheDeadline)
{
    StreamingServer server("HTTP/1.1 200 OK\r\nX-Drip: ", [](long) { return std::string("a"); }, 600, 100);
    installGame(server.url(""), 0);
    shell.loadServiceSettings(42);
    shell.limits.readTimeoutMs = 5000;
    shell.limits.deadlineMs = 1000;
    const auto start = std::chrono::steady_clock::now();
    shell.sendDebugReport(false, "tail", false);
    EXPECT_LT(secondsSince(start), 20.0);
}
