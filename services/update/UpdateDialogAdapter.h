#pragma once

#include "platform/native/UpdateDialogShell.h"
#include "services/shell/ServiceShell.h"

namespace services {

// What the native update dialog asks of the service shell: its texts, images and the check itself,
// which the dialog runs on its worker thread.
class UpdateDialogAdapter : public UpdateDialogShell {
public:
    explicit UpdateDialogAdapter(ServiceShell& shell) : shell(shell) {}

    bool updateQuery(Query& query) override;
    void checkForUpdate(bool mergeAds, const std::string& url, int32_t gameSetId, const std::string& version,
                        UiRecord* result) override;
    HINSTANCE instanceHandle() override { return reinterpret_cast<HINSTANCE>(shell.getInstanceHandle()); }
    HICON icon() override { return reinterpret_cast<HICON>(shell.getIcon()); }
    HBITMAP logoBitmap() override { return reinterpret_cast<HBITMAP>(shell.getLogoBitmap()); }
    const char* caption() override { return shell.getTitleText(); }
    bool isForced() override { return shell.isForced(); }
    const char* text(int32_t index) override { return shell.getText(index); }
    int32_t checkIntervalDays() override;
    std::string version() override;
    void openDownloadPage() override { shell.openDownloadPage(); }

private:
    ServiceShell& shell;
};

} // namespace services
