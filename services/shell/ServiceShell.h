#pragma once

#include "runtime/ServiceShellDefaults.h"
#include "services/http/HttpExchange.h"
#include "services/shell/ServiceSettings.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

class UpdateCheckService;

namespace services {

// What the update dialog shows: the game identifier, the result code (0 none, 1 offered, 3 failed),
// the version line and the description.
struct UpdateResult {
    int gameId = 0;
    int code = 3;
    std::string versionLine;
    std::string description;
};

// The one object through which the game reaches the online services. The front end configures it at
// start-up (loadServiceSettings, setInstanceHandle, setIcon, setLogoBitmap, setTextRecord) and calls
// sendDebugReport from its fatal-error handler. No network, file or registry failure reaches the user.
class ServiceShell {
public:
    // The program's shell. It is never destroyed: a check the player left behind may still be finishing
    // on its worker thread while the program's own objects go away.
    static ServiceShell& instance();

    ServiceShell();
    // Ends the work still under way first (finishBackgroundWork).
    virtual ~ServiceShell();
    ServiceShell(const ServiceShell&) = delete;
    ServiceShell& operator=(const ServiceShell&) = delete;

    virtual ServiceShellDefaults* getParameters() { return parameters.get(); }
    virtual ServiceSettings* getSettings() { return settings.get(); }
    virtual void* getInstanceHandle() const { return instanceHandle; }
    virtual void setInstanceHandle(void* handle) { instanceHandle = handle; }
    virtual void* getIcon() const { return icon; }
    virtual void setIcon(void* handle) { icon = handle; }
    virtual void* getLogoBitmap() const { return logoBitmap; }
    virtual void setLogoBitmap(void* handle) { logoBitmap = handle; }
    virtual const char* getTitleText() const { return titleText.empty() ? nullptr : titleText.c_str(); }
    virtual bool isForced() const { return forced; }
    // Word i of the text record, or null when there is no record or no such word.
    virtual const char* getText(int i) const;
    virtual void setTextRecord(const char* const* record);
    virtual void setReportTexts(const char* caption, const char* question);
    virtual int getFirstNumber() const { return 5; }
    virtual int getSecondNumber() const { return 5; }
    virtual int getGameId() const { return gameId; }
    virtual void loadServiceSettings(int gameIdentifier);

    // Shows the update dialog, which runs the check, when forced or when the periodic check is due;
    // blocks until the dialog ends. True without a dialog otherwise.
    virtual bool forceUpdateDialog();
    virtual bool showUpdateDialog();
    virtual bool isUpdateCheckDue();
    virtual void runUpdateCheck(UpdateResult& result, bool merge);
    virtual void checkForUpdate(bool merge, const std::string& updateUrl, int gameSetId,
                                const std::string& version, UpdateResult& result);

    // The report text, then (when ask) the Yes/No question; only Yes posts it, and only with settings.
    virtual void sendDebugReport(bool systemException, const char* customText, bool ask);
    virtual std::string buildDebugReport(bool systemException, const char* customText);
    virtual void openDownloadPage();
    virtual void openMoreGamesPage();
    // Opens url in the desktop's browser. Size and window flags are hints the desktop opener ignores.
    virtual void openUrl(const char* url, int width, int height, bool plainWindow, bool wait);
    // Brings the installed packages in line with the offered ones within the time budget.
    virtual void mergeAds(const std::vector<OfferedPackage>& offered);
    virtual bool httpPost(const std::string& text, const std::string& url);

    // For the program's exit: asks every check still running on another thread (a dialog's detached
    // worker) to end at its next wait, and waits for them, never longer than one exchange's deadline.
    // True when none is left running. Later checks fail at once without sending anything.
    bool finishBackgroundWork();
    // How many update checks are under way.
    int runningChecks() const;
    // The update dialog's link to this shell. It lives as long as the shell, since the dialog's worker
    // may still call it after the dialog has gone.
    UpdateCheckService& dialogAdapter();

    // Bounds of every exchange; tests shorten them.
    HttpLimits limits;

private:
    // The limits with this shell's closing flag, so an exchange under way ends when the program closes.
    HttpLimits exchangeLimits() const;

    std::atomic<bool> closing{false};
    mutable std::mutex activityLock;
    std::condition_variable activityEnded;
    int activeChecks = 0;
    std::unique_ptr<UpdateCheckService> adapter;

    int gameId = 0;
    std::unique_ptr<ServiceShellDefaults> parameters;
    void* instanceHandle = nullptr;
    std::unique_ptr<ServiceSettings> settings;
    bool forced = false;
    std::string titleText;
    void* logoBitmap = nullptr;
    void* icon = nullptr;
    const char* const* textRecord = nullptr;
    std::unique_ptr<const char*[]> reportTexts;
    std::string reportCaption;
    std::string reportQuestion;
};

} // namespace services
