// Each thread's message queue: posting, sending across threads, taking messages in order (posted ones,
// then the quit request, then a window that waits to be painted), and the key state they leave behind.
#include "compat/win32/window/window_internal.h"
#include "compat/win32/system/machine/timer.h"

#include "compat/host/Host.h"
#include "compat/host/dialog/NativePresenter.h"

#include <algorithm>
#include <chrono>

using namespace compat::win32::detail;

namespace {

std::atomic<DWORD> nextThreadId{1};
// A thread may still end after the program's static objects are gone (a worker or frame thread that
// outlives main), and its queue leaves this table when it does: the table is never destroyed.
std::mutex& queuesMutex = *new std::mutex;
std::map<DWORD, std::weak_ptr<ThreadQueue>>& queues = *new std::map<DWORD, std::weak_ptr<ThreadQueue>>;

struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder()
    {
        if (!queue)
            return;
        std::lock_guard<std::mutex> lock(queuesMutex);
        queues.erase(queue->id);
    }
};

} // namespace

namespace compat::win32::detail {

std::shared_ptr<ThreadQueue>& ownQueue()
{
    thread_local QueueHolder holder;
    if (!holder.queue) {
        holder.queue = std::make_shared<ThreadQueue>();
        holder.queue->id = nextThreadId++;
        std::lock_guard<std::mutex> lock(queuesMutex);
        queues[holder.queue->id] = holder.queue;
    }
    return holder.queue;
}

std::shared_ptr<ThreadQueue> queueOf(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(queuesMutex);
    auto found = queues.find(threadId);
    return found != queues.end() ? found->second.lock() : nullptr;
}

std::atomic<std::uint8_t> keyStates[256];

void wakeThread(DWORD thread)
{
    if (auto queue = queueOf(thread)) {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->wake.notify_all();
    }
    compat::host::wakeNativePresenter();
}

bool isDescendant(HWND window, HWND ancestor)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    for (HWND h = window; h != nullptr;) {
        if (h == ancestor)
            return true;
        Window* w = findAny(h);
        h = w != nullptr ? w->parent : nullptr;
    }
    return false;
}

} // namespace compat::win32::detail

namespace {

void noteKey(const MSG& m)
{
    const bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    if (!down && m.message != WM_KEYUP && m.message != WM_SYSKEYUP)
        return;
    auto set = [down](std::size_t key) {
        std::uint8_t state = keyStates[key].load();
        if (down && (state & 0x80) == 0)
            state ^= 1;
        state = down ? (state | 0x80) : (state & 0x7F);
        keyStates[key].store(state);
    };
    const std::size_t key = m.wParam & 0xFF;
    set(key);
    // The left and right keys of Shift, Control and Alt (0xA0-0xA5) also move the shared one.
    if (key >= 0xA0 && key <= 0xA5)
        set(VK_SHIFT + (key - 0xA0) / 2);
}

// Handles messages sent to this thread's windows by other threads.
void handleSentMessages()
{
    auto& queue = ownQueue();
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard<std::mutex> lock(queue->mutex);
            if (queue->sent.empty())
                return;
            sent = queue->sent.front();
            queue->sent.pop_front();
        }
        const WNDPROC procedure = procedureOf(sent->window);
        const LRESULT result =
            procedure != nullptr ? procedure(sent->window, sent->message, sent->wParam, sent->lParam) : 0;
        {
            std::lock_guard<std::mutex> lock(queue->mutex);
            sent->result = result;
            sent->done = true;
        }
        queue->wake.notify_all();
    }
}

void postTo(DWORD thread, const MSG& message)
{
    auto queue = queueOf(thread);
    if (!queue)
        return;
    {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->posted.push_back(message);
        queue->wake.notify_all();
    }
    compat::host::wakeNativePresenter();
}

bool matches(const MSG& m, HWND window, UINT filterMin, UINT filterMax)
{
    if (window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
        if (m.hwnd != nullptr)
            return false;
    } else if (window != nullptr && !isDescendant(m.hwnd, window)) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0)
        return true;
    return m.message >= filterMin && m.message <= filterMax;
}

bool alive(HWND window)
{
    if (window == nullptr)
        return true;
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return find(window) != nullptr;
}

bool takeMessage(MSG* out, HWND window, UINT filterMin, UINT filterMax, UINT remove)
{
    handleSentMessages();
    pumpHost();
    if (presentingHere)
        presentWindows(true);
    auto& queue = ownQueue();
    {
        std::unique_lock<std::mutex> lock(queue->mutex);
        for (auto it = queue->posted.begin(); it != queue->posted.end();) {
            if (!alive(it->hwnd)) {
                it = queue->posted.erase(it); // its window is gone
                continue;
            }
            if (matches(*it, window, filterMin, filterMax)) {
                *out = *it;
                if ((remove & PM_REMOVE) != 0) {
                    queue->posted.erase(it);
                    noteKey(*out);
                }
                return true;
            }
            ++it;
        }
        const bool quitWanted = window == nullptr && ((filterMin == 0 && filterMax == 0) ||
                                                      (WM_QUIT >= filterMin && WM_QUIT <= filterMax));
        if (queue->quit && quitWanted) {
            *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue->quitCode), 0, 0, {0, 0}};
            if ((remove & PM_REMOVE) != 0)
                queue->quit = false;
            return true;
        }
    }
    const bool paintWanted = (filterMin == 0 && filterMax == 0) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax);
    if (paintWanted) {
        if (HWND paint = windowToPaint(window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)) ? nullptr
                                                                                                        : window)) {
            *out = MSG{paint, WM_PAINT, 0, 0, 0, {0, 0}};
            return true;
        }
    }
    const bool timerWanted = (filterMin == 0 && filterMax == 0) || (WM_TIMER >= filterMin && WM_TIMER <= filterMax);
    if (timerWanted && takeDueTimer(out, window, (remove & PM_REMOVE) != 0))
        return true;
    return false;
}

} // namespace

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT remove)
{
    if (message == nullptr)
        return FALSE;
    return takeMessage(message, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    if (message == nullptr)
        return -1;
    const bool threadFilter = window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
    for (;;) {
        if (window != nullptr && !threadFilter && !IsWindow(window))
            return -1;
        if (takeMessage(message, window, filterMin, filterMax, PM_REMOVE))
            return message->message == WM_QUIT ? 0 : 1;
        if (ownsHostedWindow()) {
            compat::host::current().waitEvents(10);
        } else if (presentingHere) {
            compat::host::nativePresenter().wait(10);
        } else {
            auto& queue = ownQueue();
            std::unique_lock<std::mutex> lock(queue->mutex);
            queue->wake.wait_for(lock, std::chrono::milliseconds(20));
        }
    }
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD thread;
    if (window == nullptr) {
        thread = ownQueue()->id;
    } else {
        thread = threadOf(window);
        if (thread == 0 || !IsWindow(window))
            return FALSE;
    }
    postTo(thread, MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto queue = queueOf(threadId);
    if (!queue)
        return FALSE;
    postTo(threadId, MSG{nullptr, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const DWORD thread = threadOf(window);
    if (thread == 0 || !IsWindow(window))
        return 0;
    if (thread == ownQueue()->id)
        return sendDirect(window, message, wParam, lParam);

    auto target = queueOf(thread);
    if (!target)
        return 0;
    auto sent = std::make_shared<SentMessage>();
    sent->window = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    {
        std::lock_guard<std::mutex> lock(target->mutex);
        target->sent.push_back(sent);
        target->wake.notify_all();
    }
    compat::host::wakeNativePresenter();
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(target->mutex);
            if (target->wake.wait_for(lock, std::chrono::milliseconds(5), [&] { return sent->done; }))
                return sent->result;
        }
        // Messages sent to this thread meanwhile are handled, so two threads sending to each
        // other do not wait for ever.
        handleSentMessages();
        if (!IsWindow(window)) {
            std::lock_guard<std::mutex> lock(target->mutex);
            if (sent->done)
                return sent->result;
            auto& pending = target->sent;
            pending.erase(std::remove(pending.begin(), pending.end(), sent), pending.end());
            return 0;
        }
    }
}

void PostQuitMessage(int exitCode)
{
    auto& queue = ownQueue();
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->quit = true;
    queue->quitCode = exitCode;
    queue->wake.notify_all();
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message == nullptr || message->hwnd == nullptr)
        return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam, timeGetTime());
        return 0;
    }
    return sendDirect(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL TranslateMessage(const MSG* message)
{
    if (message == nullptr)
        return FALSE;
    switch (message->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
    }
}

int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message) { return 0; }

DWORD GetCurrentThreadId() { return ownQueue()->id; }

SHORT GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 0xFF)
        return 0;
    const std::uint8_t state = keyStates[virtualKey].load();
    return static_cast<SHORT>(((state & 0x80) != 0 ? 0xFF80 : 0) | (state & 1));
}

namespace compat::testing {

void setKeyState(int virtualKey, bool down)
{
    if (virtualKey < 0 || virtualKey > 0xFF)
        return;
    MSG m{nullptr, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), 0, 0, {0, 0}};
    noteKey(m);
}

} // namespace compat::testing
