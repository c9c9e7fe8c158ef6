// What the update dialog needs of the online services' shell: its handles, texts and settings, the
// download page, and the update check itself (through UpdateCheckService, for the worker).
#pragma once

#include "compat/win32/window/controls.h"
#include "compat/win32/window/window.h"
#include "platform/native/UiWorker.h"

#include <cstdint>
#include <string>

class UpdateDialogShell : public UpdateCheckService {
public:
    ~UpdateDialogShell() override = default;

    virtual HINSTANCE instanceHandle() = 0;
    // Null when none was stored.
    virtual HICON icon() = 0;
    // The logo bitmap, or null; the dialog takes it over and deletes it.
    virtual HBITMAP logoBitmap() = 0;
    // The window caption (entry 1 followed by entry 0).
    virtual const char* caption() = 0;
    // The game was started only to check for updates.
    virtual bool isForced() = 0;
    // Entry `index` (0 to 34) of the localized texts; null or "" for an entry that does not exist.
    virtual const char* text(int32_t index) = 0;
    // From the service settings (7 and "0.0.0" before they are loaded).
    virtual int32_t checkIntervalDays() = 0;
    virtual std::string version() = 0;
    // Opens the download page in the browser.
    virtual void openDownloadPage() = 0;
};
