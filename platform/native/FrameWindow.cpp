#include "platform/native/FrameWindow.h"

#include "compat/win32/timer.h"
#include "runtime/java/Thread.h"
#include "runtime/java/Vector.h"

FrameWindow::FrameWindow(HINSTANCE moduleInstance, HICON classIcon, int frameId, const std::string& caption,
                         const std::string& base)
    : title(caption), classBase(base), icon(classIcon)
{
    instance = moduleInstance;
    id = frameId;
    parentHandle = nullptr;
    images = new java::Vector();
    thread = new java::Thread(static_cast<java::Runnable*>(this));
    thread->start();
    // A thread that could not be started never sets ready.
    while (!ready.load() && thread->isRunning())
        Sleep(100);
}

FrameWindow::~FrameWindow()
{
    detachWindow();
    java::releaseAndDelete(images);
    images = nullptr;
}

void FrameWindow::detachWindow()
{
    if (detached)
        return;
    detached = true;
    java::Thread* frameThread = thread;
    thread = nullptr;
    icon = nullptr;
    if (handle != nullptr) {
        // The window procedure stops reaching this object; the frame thread destroys the window and
        // its loop ends. When the window is gone already, the loop has ended or is about to.
        SetWindowLongPtrA(handle, 0, 0);
        PostMessageA(handle, privateQuit, 0, 0);
    }
    java::Thread::join(frameThread);
    java::releaseAndDelete(frameThread);
    handle = nullptr;
    defaultButton = nullptr;
}

std::string FrameWindow::className() const { return classBase + ".Frame" + std::to_string(id); }

void FrameWindow::bringToFront()
{
    onWindowThread([&] {
        BringWindowToTop(handle);
        SetActiveWindow(handle);
        SetForegroundWindow(handle);
    });
}

void FrameWindow::centerOnScreen()
{
    onWindowThread([&] {
        RECT rect{};
        if (!GetWindowRect(handle, &rect))
            return;
        int width = rect.right - rect.left + 2 * GetSystemMetrics(SM_CXDLGFRAME);
        int height = rect.bottom - rect.top + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
        HDC dc = GetDC(nullptr);
        if (dc == nullptr)
            return;
        const int screenWidth = GetDeviceCaps(dc, HORZRES);
        const int screenHeight = GetDeviceCaps(dc, VERTRES);
        ReleaseDC(nullptr, dc);
        setPlacement(screenWidth / 2 - width / 2, screenHeight / 2 - height / 2, width, height);
    });
}

void FrameWindow::run()
{
    const std::string name = className();
    // The frame is presented by the native toolkit, never by the game's own screen host.
    compat::win32::keepClassOffHost(name.c_str());

    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = CALLBACK_Frame;
    windowClass.cbClsExtra = 0;
    // Room for the object pointer at any pointer size.
    windowClass.cbWndExtra = static_cast<int>(sizeof(LONG_PTR));
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_3DFACE + 1));
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassA(&windowClass) == 0) {
        ready = true;
        return;
    }
    HWND window = CreateWindowExA(0, name.c_str(), title.c_str(), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                                  0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        ready = true;
        return;
    }
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(this));
    handle = window;
    ready = true;

    // The loop ends when the window is gone (GetMessageA fails for it) or when the owner asks.
    MSG message;
    while (GetMessageA(&message, window, 0, 0) > 0) {
        if (message.message == privateQuit && message.hwnd == window) {
            DestroyWindow(window);
            break;
        }
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

LRESULT FrameWindow::CALLBACK_Frame(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* frame = reinterpret_cast<FrameWindow*>(GetWindowLongPtrA(window, 0));
    if (frame == nullptr || frame->handle != window) {
        // Calls carried over from other threads still run while the frame is being taken down.
        if (message == privateCall && lParam != 0) {
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!frame->built) {
        frame->built = true;
        frame->onCreate();
    }
    switch (message) {
    case privateCall:
        if (lParam != 0)
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    case WM_DESTROY: frame->onDestroy(); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        if (dc != nullptr && GetClientRect(window, &client)) {
            for (int i = 0; i < frame->images->size(); ++i) {
                java::Object* element = frame->images->elementAt(i);
                if (auto* holder = dynamic_cast<GdiObjectHolder*>(element))
                    holder->draw(dc, paint, client);
                java::releaseAndDelete(element);
            }
            frame->onPaint(dc, paint, client);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        if (wParam == IDOK) {
            if (frame->defaultButton != nullptr)
                frame->onCommand(1, frame->defaultButton->getId());
            return 0;
        }
        if (wParam == IDCANCEL)
            return 0; // Escape does nothing
        if (frame->onCommand(HIWORD(wParam), LOWORD(wParam)))
            return 0;
        break;
    default:
        if (frame->onMessage(message, wParam, lParam))
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
