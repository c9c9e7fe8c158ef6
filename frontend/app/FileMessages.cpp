#include "frontend/app/FileMessages.h"

#include "compat/win32/system/notify/messagebox.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/DebugLog.h"
#include "runtime/streams/XMLDocumentFile.h"

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::mutex waitingMutex;
std::thread::id gameThread;
bool installed = false;
std::vector<std::pair<std::string, std::string>> waiting;

// The caption's property string; the game's name while the store lacks it.
std::string captionText(const std::string& captionId)
{
    PropertyManager* store = LayoutDocument::propertyStore();
    if (store != nullptr && store->hasString(captionId))
        return store->getString(captionId);
    return "Quarrytide";
}

void show(const std::string& text, const std::string& captionId)
{
    const std::string caption = captionText(captionId);
    DebugLog::instance().log(caption + ": " + text + "\n");
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

void onFileMessage(const std::string& text, const char* captionId)
{
    const std::string id = captionId != nullptr ? captionId : "";
    if (std::this_thread::get_id() != gameThread) {
        std::lock_guard<std::mutex> lock(waitingMutex);
        waiting.emplace_back(text, id);
        return;
    }
    show(text, id);
}

} // namespace

void installFileMessages()
{
    gameThread = std::this_thread::get_id();
    setXMLMessageHandler(onFileMessage);
    installed = true;
}

void uninstallFileMessages()
{
    // Only ours: a program part that never installed it leaves another handler alone.
    if (!installed)
        return;
    installed = false;
    setXMLMessageHandler(nullptr);
}

void showWaitingFileMessages()
{
    std::vector<std::pair<std::string, std::string>> taken;
    {
        std::lock_guard<std::mutex> lock(waitingMutex);
        if (waiting.empty())
            return;
        taken.swap(waiting);
    }
    for (const auto& [text, captionId] : taken)
        show(text, captionId);
}
