#include "platform/app/InputManager.h"

#include "compat/win32/window/messages.h"
#include "platform/app/Application.h"

#include <vector>

namespace {

int lowWord(int value) { return value & 0xFFFF; }
int highWord(int value) { return (value >> 16) & 0xFFFF; }

} // namespace

InputManager::~InputManager()
{
    // The list would free its values on destruction; the listeners belong to others.
    listeners.clear();
}

void InputManager::addListener(InputListener* listener)
{
    if (listener != nullptr && !listeners.contains(listener))
        listeners.pushFront(listener);
}

void InputManager::removeListener(InputListener* listener) { listeners.remove(listener); }

int InputManager::getKeyState(int key) { return keyDown[key & 0xFF]; }

void InputManager::queueInput(int message, int wParam, int lParam) { queue.push_back({message, wParam, lParam}); }

void InputManager::handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const int w = static_cast<int>(wParam);
    const int l = static_cast<int>(lParam);
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        // Only 256 keys are kept; a larger code is masked as the reading side does.
        keyDown[w & 0xFF] = message == WM_KEYDOWN ? 1 : 0;
        queueInput(static_cast<int>(message), w, l);
    } else if (message == WM_CHAR) {
        queueInput(static_cast<int>(message), w, l);
    } else if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) {
        mouseX = lowWord(l);
        mouseY = highWord(l);
        buttons = static_cast<unsigned>(w);
        queueInput(static_cast<int>(message), w, l);
    }
}

template <typename Call>
void InputManager::fire(Call call)
{
    std::vector<InputListener*> walk;
    walk.reserve(static_cast<std::size_t>(listeners.size()));
    for (PointerList::Node* node = listeners.getHead(); node != nullptr; node = node->next)
        walk.push_back(static_cast<InputListener*>(node->value));
    for (InputListener* listener : walk)
        if (listeners.contains(listener))
            call(listener);
}

void InputManager::fireKeyPressed(int key)
{
    fire([&](InputListener* l) { l->keyPressed(key); });
}

void InputManager::fireKeyReleased(int key)
{
    fire([&](InputListener* l) { l->keyReleased(key); });
}

void InputManager::fireKeyTyped(char character)
{
    fire([&](InputListener* l) { l->keyTyped(character); });
}

void InputManager::fireMouseMoved(int x, int y, int flags)
{
    if (moveSeen && x == lastMoveX && y == lastMoveY)
        return;
    moveSeen = true;
    lastMoveX = x;
    lastMoveY = y;
    fire([&](InputListener* l) { l->mouseMoved(x, y, flags); });
}

void InputManager::fireMousePressed(int x, int y, int flags, int doubleClick)
{
    fire([&](InputListener* l) { l->mousePressed(x, y, flags, doubleClick); });
}

void InputManager::fireMouseReleased(int x, int y, int flags)
{
    fire([&](InputListener* l) { l->mouseReleased(x, y, flags); });
}

void InputManager::fireMiddlePressed(int x, int y, int flags, int doubleClick)
{
    fire([&](InputListener* l) { l->middlePressed(x, y, flags, doubleClick); });
}

void InputManager::fireMiddleReleased(int x, int y, int flags)
{
    fire([&](InputListener* l) { l->middleReleased(x, y, flags); });
}

void InputManager::fireRightPressed(int x, int y, int flags, int doubleClick)
{
    fire([&](InputListener* l) { l->rightPressed(x, y, flags, doubleClick); });
}

void InputManager::fireRightReleased(int x, int y, int flags)
{
    fire([&](InputListener* l) { l->rightReleased(x, y, flags); });
}

void InputManager::dispatch()
{
    while (!queue.empty()) {
        const InputRecord r = queue.front();
        queue.pop_front();
        const int x = lowWord(r.lParam), y = highWord(r.lParam);
        switch (static_cast<unsigned>(r.message)) {
        case WM_KEYDOWN: fireKeyPressed(r.wParam); break;
        case WM_KEYUP: fireKeyReleased(r.wParam); break;
        case WM_CHAR: fireKeyTyped(static_cast<char>(r.wParam & 0xFF)); break;
        case WM_MOUSEMOVE: fireMouseMoved(x, y, r.wParam); break;
        case WM_LBUTTONDOWN: fireMousePressed(x, y, r.wParam, 0); break;
        case WM_LBUTTONUP: fireMouseReleased(x, y, r.wParam); break;
        case WM_LBUTTONDBLCLK: fireMousePressed(x, y, r.wParam, 1); break;
        case WM_RBUTTONDOWN: fireRightPressed(x, y, r.wParam, 0); break;
        case WM_RBUTTONUP: fireRightReleased(x, y, r.wParam); break;
        case WM_RBUTTONDBLCLK: fireRightPressed(x, y, r.wParam, 1); break;
        case WM_MBUTTONDOWN: fireMiddlePressed(x, y, r.wParam, 0); break;
        case WM_MBUTTONUP: fireMiddleReleased(x, y, r.wParam); break;
        case WM_MBUTTONDBLCLK: fireMiddlePressed(x, y, r.wParam, 1); break;
        default: break;
        }
    }
}

void InputListener::registerInput()
{
    if (registered != 0)
        return;
    Application* app = Application::instance();
    if (app == nullptr || app->getInputManager() == nullptr)
        return;
    app->getInputManager()->addListener(this);
    registered = 1;
}

void InputListener::unregisterInput()
{
    if (registered == 0)
        return;
    Application* app = Application::instance();
    if (app != nullptr && app->getInputManager() != nullptr)
        app->getInputManager()->removeListener(this);
    registered = 0;
}
