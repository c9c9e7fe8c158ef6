#include "platform/native/NativeDialog.h"

#include "compat/win32/system/machine/timer.h"
#include "platform/native/UiRecord.h"
#include "runtime/java/Thread.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int entryCount = 35;

// Page labels share one rectangle.
constexpr int pageX = 10;
constexpr int pageY = 110;
constexpr int pageWidth = 450;
constexpr int pageHeight = 130;

const char* captionOf(UpdateDialogShell* shell)
{
    const char* caption = shell != nullptr ? shell->caption() : nullptr;
    return caption != nullptr ? caption : "";
}

} // namespace

NativeDialog::NativeDialog(UpdateDialogShell* dialogShell)
    : FrameWindow(dialogShell != nullptr ? dialogShell->instanceHandle() : nullptr,
                  dialogShell != nullptr ? dialogShell->icon() : nullptr, FrameId, captionOf(dialogShell), "Frame"),
      shell(dialogShell)
{
    worker = new UiWorker(shell);
    // Without a window (or a shell) nothing would ever end the dialog: the game may start.
    if (getHandle() == nullptr || shell == nullptr) {
        result = true;
        done = true;
    }
    java::Thread::yield();
}

NativeDialog::~NativeDialog()
{
    // No report arrives once the worker is stopped; then the frame thread ends. Only then is what they
    // use freed.
    worker->stop(false);
    detachWindow();
    delete worker;
    delete laterButton;
    delete downloadButton;
    delete checkButton;
    delete cancelButton;
    delete continueButton;
    delete statusBar;
    delete offerLabel;
    delete checkingLabel;
    delete updateFoundLabel;
    delete noUpdateLabel;
    delete checkFailedLabel;
    delete titleLabel;
    delete versionLabel;
    delete separator;
    delete animation;
    delete logo;
    if (titleFont != nullptr)
        DeleteObject(titleFont);
}

std::string NativeDialog::entry(int index)
{
    const char* text = shell != nullptr && index >= 0 && index < entryCount ? shell->text(index) : nullptr;
    return text != nullptr ? text : "";
}

const char* NativeDialog::format(const char* formatText, ...)
{
    va_list arguments;
    va_start(arguments, formatText);
    const int n = std::vsnprintf(textBuffer, sizeof textBuffer, formatText != nullptr ? formatText : "", arguments);
    va_end(arguments);
    if (n < 0)
        textBuffer[0] = '\0';
    return textBuffer;
}

bool NativeDialog::waitResult()
{
    while (!done.load()) {
        Sleep(300);
        java::Thread::yield();
    }
    return result.load();
}

void NativeDialog::build()
{
    if (shell == nullptr)
        return;
    const bool forced = shell->isForced();
    setPlacement(10, 10, 480, 300);
    centerOnScreen();

    RECT client{};
    GetClientRect(getHandle(), &client);
    TEXTMETRICA metrics{};
    if (HDC dc = GetDC(getHandle())) {
        HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        if (!GetTextMetricsA(dc, &metrics))
            metrics = TEXTMETRICA{};
        SelectObject(dc, old);
        ReleaseDC(getHandle(), dc);
    }
    const int buttonHeight = (metrics.tmHeight + metrics.tmExternalLeading) * 7 / 4;
    const int minButtonWidth = 10 * metrics.tmAveCharWidth;
    const int rowTop = client.bottom - buttonHeight - 30;

    auto makeButton = [&](int buttonId, int text, bool left, bool visible) {
        auto* button = new NativeButton(this, buttonId, entry(text));
        const int width = std::max(button->textWidth() + 15, minButtonWidth);
        button->setPlacement(left ? 10 : client.right - width - 10, rowTop, width, buttonHeight);
        button->show(visible);
        return button;
    };
    laterButton = makeButton(LaterId, 12, true, false);
    downloadButton = makeButton(DownloadId, 13, true, false);
    checkButton = makeButton(CheckId, 15, false, false);
    cancelButton = makeButton(CancelId, 16, false, false);
    continueButton = makeButton(ContinueId, 17, false, true);

    statusBar = new NativeStatusBar(this, StatusBarId, format(entry(5).c_str(), ".", ""));
    statusBar->show(true);

    logo = new GdiObjectHolder(this, shell->logoBitmap());
    logo->setPosition(10, 10);

    auto makePage = [&](int labelId, const std::string& text) {
        auto* label = new NativeLabel(this, labelId, text, 0);
        label->setPlacement(pageX, pageY, pageWidth, pageHeight);
        label->show(false);
        return label;
    };
    offerLabel = makePage(OfferId, forced ? entry(23)
                                          : std::string(format(entry(22).c_str(), shell->checkIntervalDays())));
    checkingLabel = makePage(CheckingId, entry(24));
    updateFoundLabel = makePage(UpdateFoundId, "");
    noUpdateLabel = makePage(NoUpdateId, entry(forced ? 26 : 25));
    checkFailedLabel = makePage(CheckFailedId, entry(forced ? 28 : 27));

    const int titleHeight = std::atoi(entry(34).c_str());
    titleLabel = new NativeLabel(this, TitleId, entry(0), 0);
    titleFont = createPointFont("Arial", std::atoi(entry(33).c_str()), 1);
    titleLabel->setFont(titleFont);
    titleLabel->setPlacement(135, 10, 335, titleHeight);
    titleLabel->show(true);

    versionLabel = new NativeLabel(this, VersionId, format(entry(5).c_str(), " ", shell->version().c_str()), 0);
    versionLabel->setPlacement(135, 10 + titleHeight + 5, 335, 20);
    versionLabel->show(true);

    separator = new NativeSeparator(this, SeparatorId);
    separator->setPlacement(10, 105, 460, 2);
    separator->show(true);

    animation = new NativeAnimation(this, AnimationId, 150, "shell32.dll");
    animation->setPlacement(200, 170, 80, 50);
    animation->show(false);

    if (autoStart)
        showCheckOffer();
}

void NativeDialog::showCheckOffer()
{
    autoStart = false;
    if (checkButton == nullptr)
        return; // not built
    continueButton->show(false);
    offerLabel->show(true);
    if (!shell->isForced())
        laterButton->show(true);
    checkButton->show(true);
    checkButton->activate();
    checkButton->makeDefault();
}

void NativeDialog::finish(bool answer)
{
    result = answer;
    done = true;
    show(false);
    DestroyWindow(getHandle());
    java::Thread::yield();
}

bool NativeDialog::onCommand(int code, int commandId)
{
    if (checkButton == nullptr)
        return true; // not built: nothing to act on
    const bool forced = shell->isForced();
    switch (commandId) {
    case CheckId:
        offerLabel->show(false);
        laterButton->show(false);
        checkButton->show(false);
        checkingLabel->show(true);
        animation->show(true);
        animation->play(-1);
        cancelButton->show(true);
        cancelButton->makeDefault();
        redraw();
        ++checkRun;
        worker->start(this);
        break;
    case LaterId:
    case ContinueId: finish(!forced); break;
    case DownloadId:
        shell->openDownloadPage();
        result = false;
        DestroyWindow(getHandle());
        java::Thread::yield();
        break;
    case CancelId:
        if (forced) {
            result = false;
            DestroyWindow(getHandle());
            worker->stop(false);
            java::Thread::yield();
        } else {
            worker->stop(false);
            ++checkRun; // a report already on its way belongs to the cancelled check
            onUpdateResult(nullptr);
        }
        break;
    default: break;
    }
    return true;
}

void NativeDialog::onUpdateResult(UiRecord* record)
{
    const int32_t code = record != nullptr ? record->getCode() : 0;
    std::string text1 = record != nullptr ? record->getText1() : std::string();
    std::string text2 = record != nullptr ? record->getText2() : std::string();
    HWND window = getHandle();
    if (window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        showResult(code, text1, text2);
        return;
    }
    // The worker's thread: never wait for the frame thread here (the worker holds its lock).
    {
        std::lock_guard<std::mutex> lock(pendingMutex);
        pending.run = checkRun.load();
        pending.code = code;
        pending.text1 = std::move(text1);
        pending.text2 = std::move(text2);
    }
    if (window == nullptr)
        return;
    if (UiWorker::isReportingThread())
        PostMessageA(window, resultMessage, 0, 0);
    else
        SendMessageA(window, resultMessage, 0, 0);
}

bool NativeDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != resultMessage)
        return false;
    Pending report;
    {
        std::lock_guard<std::mutex> lock(pendingMutex);
        report = pending;
    }
    if (report.run == checkRun.load())
        showResult(report.code, report.text1, report.text2);
    return true;
}

void NativeDialog::showResult(int32_t code, const std::string& text1, const std::string& text2)
{
    if (checkButton == nullptr)
        return;
    const bool forced = shell->isForced();
    checkingLabel->show(false);
    animation->stop();
    animation->show(false);
    cancelButton->show(false);
    if (code == 1) {
        std::string message = format(entry(2).c_str(), text1.c_str());
        message += text2;
        message += entry(forced ? 4 : 3);
        updateFoundLabel->setText(message);
        updateFoundLabel->show(true);
        if (forced)
            cancelButton->show(true);
        else
            continueButton->show(true);
        downloadButton->show(true);
        downloadButton->makeDefault();
        return;
    }
    (code == 0 ? noUpdateLabel : checkFailedLabel)->show(true);
    if (forced)
        continueButton->setText(entry(10));
    continueButton->show(true);
    continueButton->makeDefault();
}

void NativeDialog::onDestroy()
{
    done = true;
    show(false);
}
