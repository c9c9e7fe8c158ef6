#include "services/shell/ServiceShell.h"

#include "compat/win32/system/notify/messagebox.h"
#include "compat/win32/system/process/shell.h"
#include "compat/win32/system/machine/sysinfo.h"
#include "compat/win32/window/window.h"
#include "platform/native/UiWorker.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <sys/utsname.h>

namespace services {

namespace {

constexpr int reportRecordWords = 33;
constexpr int fullRecordWords = 35;

const char* const defaultCaption = "Fatal exception.";
const char* const defaultQuestion =
    "Something went wrong with the program.\nAn error report has been created and can be sent to Vantrel.\n"
    "This report will help us to find the cause of the problem.\nSending the report requires an active "
    "Internet connection.\n\nWould you like to send the error report?";

std::string number(std::uintptr_t value)
{
    return std::to_string(value);
}

} // namespace

ServiceShell& ServiceShell::instance()
{
    static ServiceShell* shell = new ServiceShell();
    return *shell;
}

ServiceShell::ServiceShell() : parameters(new ServiceShellDefaults()) {}

ServiceShell::~ServiceShell()
{
    finishBackgroundWork();
}

bool ServiceShell::finishBackgroundWork()
{
    closing = true;
    std::unique_lock<std::mutex> guard(activityLock);
    return activityEnded.wait_for(guard, std::chrono::milliseconds(limits.exchangeDeadlineMs()),
                                  [this] { return activeChecks == 0; });
}

int ServiceShell::runningChecks() const
{
    std::lock_guard<std::mutex> guard(activityLock);
    return activeChecks;
}

HttpLimits ServiceShell::exchangeLimits() const
{
    HttpLimits bounded = limits;
    bounded.cancelled = &closing;
    return bounded;
}

const char* ServiceShell::getText(int i) const
{
    if (!textRecord || i < 0)
        return nullptr;
    // A record made by setReportTexts has 33 words; the start-up record has 35.
    int words = textRecord == reportTexts.get() ? reportRecordWords : fullRecordWords;
    return i < words ? textRecord[i] : nullptr;
}

void ServiceShell::setTextRecord(const char* const* record)
{
    textRecord = record;
    if (record && titleText.empty()) {
        titleText = std::string(record[1] ? record[1] : "") + (record[0] ? record[0] : "");
    }
}

void ServiceShell::setReportTexts(const char* caption, const char* question)
{
    reportCaption = caption ? caption : "";
    reportQuestion = question ? question : "";
    reportTexts.reset(new const char*[reportRecordWords]());
    reportTexts[31] = caption ? reportCaption.c_str() : nullptr;
    reportTexts[32] = question ? reportQuestion.c_str() : nullptr;
    textRecord = reportTexts.get();
}

void ServiceShell::loadServiceSettings(int gameIdentifier)
{
    gameId = gameIdentifier;
    settings.reset();
    settings.reset(new ServiceSettings(this));
}

bool ServiceShell::forceUpdateDialog()
{
    forced = true;
    return showUpdateDialog();
}

bool ServiceShell::isUpdateCheckDue()
{
    return settings && settings->isCheckDue();
}

void ServiceShell::runUpdateCheck(UpdateResult& result, bool merge)
{
    result.code = 3;
    result.versionLine.clear();
    result.description.clear();
    if (settings)
        checkForUpdate(merge, settings->getUpdateUrl(), settings->getGameSetId(), settings->getVersion(), result);
}

void ServiceShell::checkForUpdate(bool merge, const std::string& updateUrl, int gameSetId,
                                  const std::string& version, UpdateResult& result)
{
    // Counted while under way, so the program's exit knows to wait for it.
    struct Running {
        explicit Running(ServiceShell& shell) : shell(shell)
        {
            std::lock_guard<std::mutex> guard(shell.activityLock);
            ++shell.activeChecks;
        }
        ~Running()
        {
            std::lock_guard<std::mutex> guard(shell.activityLock);
            if (--shell.activeChecks == 0)
                shell.activityEnded.notify_all();
        }
        ServiceShell& shell;
    } running(*this);

    UpdateReply reply;
    reply.description = " ";
    if (!closing)
        reply = fetchUpdateReply(updateUrl, settings ? settings->getSkinnedGameId() : 0, gameSetId, version,
                                 exchangeLimits());
    if (reply.code != 3 && merge && !closing)
        mergeAds(reply.packages);
    result.gameId = gameId;
    result.code = reply.code;
    result.versionLine = reply.versionLine;
    result.description = reply.description;
}

void ServiceShell::mergeAds(const std::vector<OfferedPackage>& offered)
{
    if (offered.empty())
        return;
    std::vector<OfferedPackage> pending = offered;
    if (settings) {
        auto& table = settings->getAdTable();
        for (auto it = table.begin(); it != table.end();) {
            auto match = std::find_if(pending.begin(), pending.end(),
                                      [&](const OfferedPackage& p) { return p.id == it->first; });
            if (match != pending.end()) {
                pending.erase(match);
                ++it;
                continue;
            }
            // No longer offered: its registry key, its files and its place in the table all go.
            it->second->deleteEntry();
            it->second->deleteFiles();
            it = table.erase(it);
        }
    }
    std::time_t deadline = ServiceSettings::clock() + parameters->getValue1();
    std::string directory = settings ? settings->getAdsDirectory() : std::string();
    std::string key = settings ? settings->adsKeyPath() : std::string("Software\\Vantrel\\games\\0\\zevuzuded\\ads");
    for (const OfferedPackage& package : pending) {
        auto updater = std::make_shared<AdUpdater>(package.id, directory, key);
        updater->setGameIds(package.gameIds);
        updater->setFileNameUrl(package.fileUrl);
        if (updater->update(exchangeLimits())) {
            updater->saveEntry();
            if (settings)
                settings->getAdTable()[package.id] = updater;
        }
        // The budget is checked between packages only: at least one offered package is always tried.
        // A closing program takes no more.
        if (ServiceSettings::clock() > deadline || closing)
            break;
    }
}

bool ServiceShell::httpPost(const std::string& text, const std::string& url)
{
    return services::httpPost(text, url, limits);
}

std::string ServiceShell::buildDebugReport(bool systemException, const char* customText)
{
    std::string report = "Vantrel debug report\nproduct: ";
    report += settings ? std::to_string(settings->getGameSetId()) : "Unknown";
    report += "\nSkinnedGameID: ";
    report += settings ? std::to_string(settings->getSkinnedGameId()) : "Unknown";
    // This system keeps no version number per process.
    report += "\nProcessVersion: 0";
    report += "\nSystemException: ";
    report += systemException ? "true" : "false";
    // The kernel release stands for the system version: major.minor, then the rest as the build text.
    utsname names{};
    int major = 0;
    int minor = 0;
    if (uname(&names) == 0)
        std::sscanf(names.release, "%d.%d", &major, &minor);
    report += "\nOS version: " + std::to_string(major) + "." + std::to_string(minor) + " 0 2 ";
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    report += "\nSystem Info: " + number(info.dwPageSize) + " " +
              number(reinterpret_cast<std::uintptr_t>(info.lpMinimumApplicationAddress)) + " " +
              number(reinterpret_cast<std::uintptr_t>(info.lpMaximumApplicationAddress)) + " " +
              number(info.dwActiveProcessorMask) + " " + number(info.dwNumberOfProcessors) + " " +
              number(info.dwProcessorType) + " " + number(info.dwAllocationGranularity) + " " +
              number(info.wProcessorLevel) + " " + number(info.wProcessorRevision);
    // No start-up information exists here: an empty title and nine zeros.
    report += "\nStartup Info:  0 0 0 0 0 0 0 0 0";
    report += "\nCustom text:\n";
    report += customText ? customText : "";
    return report;
}

void ServiceShell::sendDebugReport(bool systemException, const char* customText, bool ask)
{
    std::string report = buildDebugReport(systemException, customText);
    const char* caption = defaultCaption;
    const char* question = defaultQuestion;
    if (textRecord) {
        if (getText(31))
            caption = getText(31);
        if (getText(32))
            question = getText(32);
    }
    // No is the default button: a box closed unanswered, or one that cannot be shown, sends nothing.
    if (ask && MessageBoxA(nullptr, question, caption, MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2) != IDYES)
        return;
    if (settings)
        httpPost(report, settings->getDebugUrl());
}

void ServiceShell::openDownloadPage()
{
    if (!settings)
        return;
    std::string url = settings->getDownloadUrl() + "?s=" + std::to_string(settings->getSkinnedGameId()) +
                      "&g=" + std::to_string(settings->getGameSetId());
    openUrl(url.c_str(), 0, 0, false, false);
}

void ServiceShell::openMoreGamesPage()
{
    if (!settings)
        return;
    std::string url = settings->getMoreGamesUrl() + "?g=" + std::to_string(settings->getGameSetId());
    openUrl(url.c_str(), 0, 0, false, false);
}

void ServiceShell::openUrl(const char* url, int /*width*/, int /*height*/, bool /*plainWindow*/, bool /*wait*/)
{
    if (!url)
        return;
    ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOW);
}

} // namespace services
