#include "platform/native/FrameWindow.h"

#include "compat/win32/system/machine/timer.h"
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

// ---- controls -----------------------------------------------------------------------------------

NativeControl::NativeControl(FrameWindow* frame, int controlId)
{
    parent = frame;
    id = controlId;
    if (frame != nullptr) {
        parentHandle = frame->handle;
        instance = frame->instance;
    }
}

void NativeControl::create(DWORD exStyle, const char* className, DWORD style)
{
    // Children belong to the frame's thread: they are made there.
    NativeWindow* frame = parent;
    auto make = [&] {
        compat::win32::registerControlClasses();
        handle = CreateWindowExA(exStyle, className, nullptr, style, 0, 0, 0, 0, parentHandle,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), instance, nullptr);
    };
    if (frame != nullptr)
        frame->onWindowThread(make);
}

NativeButton::NativeButton(FrameWindow* frame, int controlId, const std::string& text)
    : NativeControl(frame, controlId)
{
    create(0, "button", WS_CHILD | WS_TABSTOP);
    setFont(nullptr);
    setText(text);
}

void NativeButton::makeDefault()
{
    if (parent == nullptr)
        return;
    parent->onWindowThread([&] {
        if (NativeButton* old = parent->defaultButton)
            SendDlgItemMessageA(parentHandle, old->id, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        parent->defaultButton = this;
        SendMessageA(handle, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SendMessageA(parentHandle, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    });
}

NativeEdit::NativeEdit(FrameWindow* frame, int controlId, DWORD style) : NativeControl(frame, controlId)
{
    create(WS_EX_CLIENTEDGE, "edit", style | WS_CHILD | WS_BORDER | WS_TABSTOP);
    if (handle != nullptr)
        setFont(nullptr);
}

void NativeEdit::activate()
{
    onWindowThread([&] { SetFocus(handle); });
}

void NativeEdit::setTextLimit(int limit)
{
    onWindowThread([&] { SendMessageA(handle, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0); });
}

NativeLabel::NativeLabel(FrameWindow* frame, int controlId, const std::string& text, DWORD style)
    : NativeControl(frame, controlId)
{
    create(WS_EX_TRANSPARENT, "static", style | WS_CHILD);
    if (handle != nullptr) {
        setFont(nullptr);
        setText(text);
    }
}

NativeAnimation::NativeAnimation(FrameWindow* frame, int controlId, int resourceId, const std::string& moduleName)
    : NativeControl(frame, controlId)
{
    create(0, ANIMATE_CLASSA, WS_CHILD | ACS_CENTER | ACS_TRANSPARENT);
    if (handle == nullptr)
        return;
    // The module stays loaded: it is a data file the clip reads from while it plays.
    HMODULE module = LoadLibraryExA(moduleName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module != nullptr)
        onWindowThread([&] {
            SendMessageA(handle, ACM_OPENA, reinterpret_cast<WPARAM>(module), static_cast<LPARAM>(resourceId & 0xFFFF));
        });
}

NativeAnimation::~NativeAnimation()
{
    stop();
    onWindowThread([&] { SendMessageA(handle, ACM_OPENA, 0, 0); });
}

void NativeAnimation::play(int repeat)
{
    onWindowThread([&] {
        SendMessageA(handle, ACM_PLAY, static_cast<WPARAM>(static_cast<std::intptr_t>(repeat)),
                     MAKELONG(0, static_cast<WORD>(0xFFFF)));
    });
}

void NativeAnimation::stop()
{
    onWindowThread([&] { SendMessageA(handle, ACM_STOP, 0, 0); });
}

NativeSeparator::NativeSeparator(FrameWindow* frame, int controlId) : NativeControl(frame, controlId)
{
    create(0, "static", WS_CHILD | SS_ETCHEDFRAME);
}

NativeStatusBar::NativeStatusBar(FrameWindow* frame, int controlId, const std::string& text)
    : NativeControl(frame, controlId)
{
    if (frame == nullptr)
        return;
    frame->onWindowThread([&] {
        handle = CreateStatusWindowA(static_cast<LONG>(WS_CHILD), text.c_str(), parentHandle,
                                     static_cast<UINT>(id));
    });
}

void NativeStatusBar::setPlacement(int x, int y, int width, int height) {}

// ---- GdiObjectHolder ----------------------------------------------------------------------------

GdiObjectHolder::GdiObjectHolder(FrameWindow* frame, HBITMAP image) : owner(frame), bitmap(image)
{
    if (owner != nullptr && owner->getImages() != nullptr)
        owner->getImages()->addElement(this);
}

GdiObjectHolder::~GdiObjectHolder()
{
    if (owner != nullptr && owner->getImages() != nullptr)
        owner->getImages()->removeElement(this);
    if (bitmap != nullptr)
        DeleteObject(bitmap);
}

void GdiObjectHolder::draw(HDC dc, PAINTSTRUCT paint, RECT client)
{
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, x, y, 0, 0, DST_BITMAP);
}

void GdiObjectHolder::setPosition(int newX, int newY)
{
    x = newX;
    y = newY;
}
