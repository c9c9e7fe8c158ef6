#include "compat/host/window/SdlHost.h"

#include "compat/host/dialog/BoxPlacement.h"
#include "compat/host/dialog/NativePresenter.h"
#include "compat/win32/window/messages.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

namespace compat::host {

namespace {

// Without a kernel graphics device every OpenGL renderer draws on the processor, and merely trying one
// loads a software rasteriser that costs half a second and tens of megabytes for nothing.
bool graphicsDeviceNode()
{
    std::error_code ignored;
    return std::filesystem::exists("/dev/dri", ignored);
}

} // namespace

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int vk;
};

// SDL key -> Windows virtual-key code; letters and digits are handled apart.
const KeyPair keyTable[] = {
    {SDLK_BACKSPACE, VK_BACK},     {SDLK_TAB, VK_TAB},           {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},    {SDLK_LSHIFT, VK_SHIFT},      {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},      {SDLK_RCTRL, VK_CONTROL},     {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},          {SDLK_PAUSE, VK_PAUSE},       {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},      {SDLK_SPACE, VK_SPACE},       {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},      {SDLK_END, VK_END},           {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},          {SDLK_UP, VK_UP},             {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},          {SDLK_INSERT, VK_INSERT},     {SDLK_DELETE, VK_DELETE},
    {SDLK_KP_0, VK_NUMPAD0},       {SDLK_KP_1, VK_NUMPAD0 + 1},  {SDLK_KP_2, VK_NUMPAD0 + 2},
    {SDLK_KP_3, VK_NUMPAD0 + 3},   {SDLK_KP_4, VK_NUMPAD0 + 4},  {SDLK_KP_5, VK_NUMPAD0 + 5},
    {SDLK_KP_6, VK_NUMPAD0 + 6},   {SDLK_KP_7, VK_NUMPAD0 + 7},  {SDLK_KP_8, VK_NUMPAD0 + 8},
    {SDLK_KP_9, VK_NUMPAD0 + 9},   {SDLK_KP_MULTIPLY, VK_MULTIPLY}, {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},  {SDLK_KP_PERIOD, VK_DECIMAL}, {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_F1, VK_F1},              {SDLK_F2, VK_F1 + 1},         {SDLK_F3, VK_F1 + 2},
    {SDLK_F4, VK_F1 + 3},          {SDLK_F5, VK_F1 + 4},         {SDLK_F6, VK_F1 + 5},
    {SDLK_F7, VK_F1 + 6},          {SDLK_F8, VK_F1 + 7},         {SDLK_F9, VK_F1 + 8},
    {SDLK_F10, VK_F1 + 9},         {SDLK_F11, VK_F1 + 10},       {SDLK_F12, VK_F1 + 11},
    {SDLK_SEMICOLON, VK_OEM_1},    {SDLK_EQUALS, VK_OEM_PLUS},   {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},    {SDLK_PERIOD, VK_OEM_PERIOD}, {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},    {SDLK_LEFTBRACKET, VK_OEM_4}, {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6}, {SDLK_QUOTE, VK_OEM_7},
};

int virtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    for (const KeyPair& pair : keyTable)
        if (pair.sdl == key)
            return pair.vk;
    return 0;
}

SDL_Keycode sdlKeyOf(int vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return SDLK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return SDLK_0 + (vk - '0');
    for (const KeyPair& pair : keyTable)
        if (pair.vk == vk)
            return pair.sdl;
    return SDLK_UNKNOWN;
}

std::intptr_t pointParam(int x, int y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}

class SdlWindowHost final : public SdlHost {
public:
    ~SdlWindowHost() override
    {
        closeWindow();
        if (shadow != nullptr)
            SDL_FreeSurface(shadow);
        for (auto& entry : cursors)
            SDL_FreeCursor(entry.second);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    const char* name() const override { return "sdl"; }

    Capabilities capabilities() const override
    {
        Capabilities caps;
        caps.window = true;
        caps.fullScreen = true;
        return caps;
    }

    void desktopSize(int& width, int& height) const override
    {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
            width = mode.w;
            height = mode.h;
        } else {
            width = 1024;
            height = 768;
        }
    }

    bool openWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen) override
    {
        closeWindow();
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
        if (fullScreen)
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
        if (window == nullptr)
            return false;
        // A graphics card scales and shows a texture for next to nothing. Without one, a renderer only
        // adds a full-window software pass to every present, so the frame goes straight into the
        // window's own pixels instead, and only the part that changed is sent to the desktop.
        if (gpu != Gpu::Absent) {
            SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
            if (renderer != nullptr && !drawsOnGraphicsCard(renderer)) {
                SDL_DestroyRenderer(renderer);
                renderer = nullptr;
            }
            gpu = renderer != nullptr ? Gpu::Present : Gpu::Absent;
        }
        // A video driver without pixels of its own for the window shows it through a renderer after all.
        if (renderer == nullptr && SDL_GetWindowSurface(window) == nullptr) {
            renderer = SDL_CreateRenderer(window, -1, 0);
            if (renderer == nullptr)
                renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
            if (renderer == nullptr) {
                SDL_DestroyWindow(window);
                window = nullptr;
                return false;
            }
        }
        logicalWidth = width;
        logicalHeight = height;
        return true;
    }

    void closeWindow() override
    {
        if (texture != nullptr)
            SDL_DestroyTexture(texture);
        if (renderer != nullptr)
            SDL_DestroyRenderer(renderer);
        if (window != nullptr)
            SDL_DestroyWindow(window);
        texture = nullptr;
        renderer = nullptr;
        window = nullptr;
        textureWidth = textureHeight = textureBits = 0;
        painted = nullptr;
    }

    void setTitle(const std::string& title) override
    {
        if (window != nullptr)
            SDL_SetWindowTitle(window, title.c_str());
    }

    void placeWindow(int x, int y, int width, int height) override
    {
        if (window == nullptr)
            return;
        if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
            SDL_SetWindowPosition(window, x, y);
            SDL_SetWindowSize(window, width, height);
        }
    }

    void showWindow(Show how) override
    {
        if (window == nullptr)
            return;
        switch (how) {
        case Show::Hidden: SDL_HideWindow(window); break;
        case Show::Normal:
            SDL_ShowWindow(window);
            SDL_RestoreWindow(window);
            break;
        case Show::Minimized: SDL_MinimizeWindow(window); break;
        case Show::Maximized:
            SDL_ShowWindow(window);
            SDL_MaximizeWindow(window);
            break;
        }
    }

    void setFullScreen(bool on) override
    {
        if (window != nullptr)
            SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    }

    void raiseWindow() override
    {
        if (window != nullptr)
            SDL_RaiseWindow(window);
    }

    void setCursor(int systemCursor) override
    {
        SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
        switch (systemCursor) {
        case IDC_IBEAM_ID: id = SDL_SYSTEM_CURSOR_IBEAM; break;
        case IDC_WAIT_ID: id = SDL_SYSTEM_CURSOR_WAIT; break;
        case IDC_CROSS_ID: id = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
        case IDC_HAND_ID: id = SDL_SYSTEM_CURSOR_HAND; break;
        case IDC_APPSTARTING_ID: id = SDL_SYSTEM_CURSOR_WAITARROW; break;
        default: break;
        }
        SDL_Cursor*& cursor = cursors[id];
        if (cursor == nullptr)
            cursor = SDL_CreateSystemCursor(id);
        if (cursor != nullptr)
            SDL_SetCursor(cursor);
    }

    // The box lies on the screen, centred on the game's window. The toolkit's box is placed where it
    // should be before it shows. SDL's own box is the fallback, and it gets no parent: SDL places a box
    // with a parent from the parent's position counted twice (on X11 both the window's offset and its
    // translation to the screen), which sends it past the screen's edge for a window away from the top
    // left corner; without one it is centred on the screen.
    int showMessageBox(const MessageBox& box) override
    {
        Rect screen, game;
        boxSurroundings(screen, game);
        if (const std::optional<int> answer = showToolkitMessageBox(box, screen, game, ownerWindowId()))
            return *answer;
        std::vector<SDL_MessageBoxButtonData> buttons;
        for (std::size_t i = 0; i < box.buttons.size(); ++i) {
            Uint32 flags = 0;
            if (static_cast<int>(i) == box.defaultButton)
                flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            if (static_cast<int>(i) == box.escapeButton)
                flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            buttons.push_back({flags, box.buttons[i].id, box.buttons[i].text.c_str()});
        }
        SDL_MessageBoxData data{};
        data.flags = box.icon == MessageBox::Icon::Error     ? SDL_MESSAGEBOX_ERROR
                     : box.icon == MessageBox::Icon::Warning ? SDL_MESSAGEBOX_WARNING
                                                             : SDL_MESSAGEBOX_INFORMATION;
        data.window = nullptr;
        data.title = box.caption.c_str();
        data.message = box.text.c_str();
        data.numbuttons = static_cast<int>(buttons.size());
        data.buttons = buttons.data();
        int answer = -1;
        if (SDL_ShowMessageBox(&data, &answer) != 0)
            return -1;
        return answer;
    }

    // The screen the game's window is on (its part free of panels) and the window's client area, in
    // desktop pixels; without a window shown, the game counts as the whole screen.
    void boxSurroundings(Rect& screen, Rect& game) const
    {
        const int display = window != nullptr ? std::max(SDL_GetWindowDisplayIndex(window), 0) : 0;
        SDL_Rect bounds{0, 0, 0, 0};
        if (SDL_GetDisplayUsableBounds(display, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0)
            SDL_GetDisplayBounds(display, &bounds);
        if (bounds.w <= 0 || bounds.h <= 0)
            desktopSize(bounds.w, bounds.h);
        screen = {bounds.x, bounds.y, bounds.w, bounds.h};
        game = screen;
        if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) == 0)
            return;
        SDL_GetWindowPosition(window, &game.x, &game.y);
        SDL_GetWindowSize(window, &game.width, &game.height);
    }

    // The X window of the game's window, 0 on another window system or without one.
    unsigned long ownerWindowId() const
    {
        if (window == nullptr)
            return 0;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
            return 0;
        return static_cast<unsigned long>(info.info.x11.window);
    }

    void present(const Frame& frame) override
    {
        if (window == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0)
            return;
        Area changed = changedArea(frame);
        if (changed.width <= 0 || changed.height <= 0)
            return;
        if (renderer != nullptr) {
            if (!ensureTexture(frame))
                return;
            const SDL_Rect part = {changed.x, changed.y, changed.width, changed.height};
            SDL_UpdateTexture(texture, &part, pixelAt(frame, changed.x, changed.y), frame.pitch);
            draw();
            SDL_RenderPresent(renderer);
            return;
        }
        SDL_Surface* target = SDL_GetWindowSurface(window);
        bool fresh = false;
        if (target == nullptr || ensureShadow(frame, target->format->format, fresh) == nullptr)
            return;
        if (fresh)
            changed = Area{0, 0, frame.width, frame.height};
        const SDL_Rect part = {changed.x, changed.y, changed.width, changed.height};
        SDL_ConvertPixels(part.w, part.h, frameFormat(frame), pixelAt(frame, part.x, part.y), frame.pitch,
                          shadow->format->format,
                          static_cast<std::uint8_t*>(shadow->pixels) + static_cast<std::ptrdiff_t>(part.y) * shadow->pitch +
                              part.x * shadow->format->BytesPerPixel,
                          shadow->pitch);
        paintWindow(target, part);
    }

    void pumpEvents(std::vector<Message>& out) override
    {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0)
            translate(event, out);
    }

    void waitEvents(int milliseconds) override
    {
        if (milliseconds <= 0)
            return;
        SDL_WaitEventTimeout(nullptr, milliseconds); // looks, takes nothing: the next pump translates
    }

    void synchronize() override
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE)
            return;
#if defined(SDL_VIDEO_DRIVER_X11)
        if (info.subsystem == SDL_SYSWM_X11 && info.info.x11.display != nullptr)
            XSync(info.info.x11.display, False);
#endif
    }

    // Window pixels -> the game's client coordinates, through the letterbox of the scaled frame.
    void toLogical(int wx, int wy, int& x, int& y) const
    {
        const SDL_Rect area = destination();
        if (area.w <= 0 || area.h <= 0) {
            x = wx;
            y = wy;
            return;
        }
        x = static_cast<int>((static_cast<long long>(wx) - area.x) * logicalWidth / area.w);
        y = static_cast<int>((static_cast<long long>(wy) - area.y) * logicalHeight / area.h);
    }

    void toWindow(int x, int y, int& wx, int& wy) const
    {
        const SDL_Rect area = destination();
        wx = area.x + (logicalWidth > 0 ? x * area.w / logicalWidth : x);
        wy = area.y + (logicalHeight > 0 ? y * area.h / logicalHeight : y);
    }

    bool readBack(int& width, int& height, std::vector<std::uint32_t>& pixels)
    {
        if (renderer == nullptr) {
            SDL_Surface* target = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
            if (target == nullptr || shadow == nullptr)
                return false;
            width = target->w;
            height = target->h;
            pixels.assign(static_cast<std::size_t>(width) * height, 0);
            if (SDL_ConvertPixels(width, height, target->format->format, target->pixels, target->pitch,
                                  SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4) != 0)
                return false;
            for (std::uint32_t& p : pixels)
                p &= 0x00FFFFFF;
            return true;
        }
        if (texture == nullptr)
            return false;
        draw();
        if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0)
            return false;
        pixels.assign(static_cast<std::size_t>(width) * height, 0);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4) != 0)
            return false;
        for (std::uint32_t& p : pixels)
            p &= 0x00FFFFFF;
        return true;
    }

    Uint32 windowId() const { return window != nullptr ? SDL_GetWindowID(window) : 0; }

    void resize(int width, int height)
    {
        if (window != nullptr)
            SDL_SetWindowSize(window, width, height);
    }

private:
    // The Win32 cursor numbers, kept here so this file needs no window declarations beyond messages.
    enum {
        IDC_IBEAM_ID = 32513,
        IDC_WAIT_ID = 32514,
        IDC_CROSS_ID = 32515,
        IDC_HAND_ID = 32649,
        IDC_APPSTARTING_ID = 32650,
    };

    enum class Gpu { Unknown, Present, Absent };

    static const void* pixelAt(const Frame& frame, int x, int y)
    {
        return static_cast<const std::uint8_t*>(frame.pixels) + static_cast<std::ptrdiff_t>(y) * frame.pitch +
               x * (frame.bitsPerPixel / 8);
    }

    static Uint32 frameFormat(const Frame& frame)
    {
        return frame.bitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    }

    // An accelerated renderer may still be drawn by the processor: OpenGL on a software rasterizer,
    // as on a virtual X server or a machine without a working driver.
    static bool drawsOnGraphicsCard(SDL_Renderer* renderer)
    {
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_ACCELERATED) == 0)
            return false;
        if (SDL_GL_GetCurrentContext() == nullptr)
            return true;
        using GetString = const unsigned char* (*)(unsigned);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* name = getString != nullptr ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
        if (name == nullptr)
            return false;
        const std::string text(reinterpret_cast<const char*>(name));
        for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast", "SwiftShader"})
            if (text.find(software) != std::string::npos)
                return false;
        return true;
    }

    // The frame as last presented, in the window's own pixel format: what the window is painted
    // from when it is exposed or resized. Null when it cannot be made; `fresh` when it was made now
    // and so must take the whole frame.
    SDL_Surface* ensureShadow(const Frame& frame, Uint32 format, bool& fresh)
    {
        logicalWidth = frame.width;
        logicalHeight = frame.height;
        fresh = false;
        if (shadow != nullptr && shadow->w == frame.width && shadow->h == frame.height &&
            shadow->format->format == format && shadowBits == frame.bitsPerPixel)
            return shadow;
        if (shadow != nullptr)
            SDL_FreeSurface(shadow);
        shadow = SDL_CreateRGBSurfaceWithFormat(0, frame.width, frame.height, 32, format);
        shadowBits = frame.bitsPerPixel;
        painted = nullptr; // the whole window is painted from the new shadow
        fresh = true;
        if (shadow != nullptr)
            SDL_SetSurfaceBlendMode(shadow, SDL_BLENDMODE_NONE);
        return shadow;
    }

    // Shows `part` of the shadow in the window, or all of it when the window's pixels do not hold
    // the rest (a new or resized window surface) or the frame is scaled.
    void paintWindow(SDL_Surface* target, SDL_Rect part)
    {
        const bool oneToOne = target->w == shadow->w && target->h == shadow->h;
        if (!oneToOne || target != painted || paintedWidth != target->w || paintedHeight != target->h) {
            SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
            SDL_Rect area = destinationIn(target->w, target->h);
            SDL_BlitScaled(shadow, nullptr, target, &area);
            SDL_UpdateWindowSurface(window);
            painted = target;
            paintedWidth = target->w;
            paintedHeight = target->h;
            return;
        }
        SDL_Rect to = part;
        SDL_BlitSurface(shadow, &part, target, &to);
        SDL_UpdateWindowSurfaceRects(window, &part, 1);
    }

    // Paints the whole window again from what it last showed (after an expose or a resize).
    void repaint()
    {
        if (renderer != nullptr) {
            if (texture != nullptr) {
                draw();
                SDL_RenderPresent(renderer);
            }
            return;
        }
        if (window == nullptr || shadow == nullptr)
            return;
        painted = nullptr;
        if (SDL_Surface* target = SDL_GetWindowSurface(window))
            paintWindow(target, SDL_Rect{0, 0, shadow->w, shadow->h});
    }

    bool ensureTexture(const Frame& frame)
    {
        if (texture != nullptr && textureWidth == frame.width && textureHeight == frame.height &&
            textureBits == frame.bitsPerPixel)
            return true;
        if (texture != nullptr)
            SDL_DestroyTexture(texture);
        const Uint32 format = frame.bitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
        texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
        textureWidth = frame.width;
        textureHeight = frame.height;
        textureBits = frame.bitsPerPixel;
        logicalWidth = frame.width;
        logicalHeight = frame.height;
        if (texture != nullptr)
            SDL_UpdateTexture(texture, nullptr, frame.pixels, frame.pitch); // a new texture takes it all
        return texture != nullptr;
    }

    // Where the frame lands in the window: as large as fits, same shape, centred.
    SDL_Rect destination() const
    {
        int w = 0, h = 0;
        if (renderer != nullptr) {
            if (SDL_GetRendererOutputSize(renderer, &w, &h) != 0)
                return {0, 0, logicalWidth, logicalHeight};
        } else if (window != nullptr) {
            SDL_GetWindowSize(window, &w, &h);
        }
        return destinationIn(w, h);
    }

    SDL_Rect destinationIn(int w, int h) const
    {
        if (w <= 0 || h <= 0 || logicalWidth <= 0 || logicalHeight <= 0)
            return {0, 0, logicalWidth, logicalHeight};
        if (w == logicalWidth && h == logicalHeight)
            return {0, 0, w, h};
        int dw = w, dh = static_cast<int>(static_cast<long long>(w) * logicalHeight / logicalWidth);
        if (dh > h) {
            dh = h;
            dw = static_cast<int>(static_cast<long long>(h) * logicalWidth / logicalHeight);
        }
        return {(w - dw) / 2, (h - dh) / 2, dw, dh};
    }

    void draw()
    {
        const SDL_Rect area = destination();
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, &area);
    }

    std::uintptr_t mouseFlags() const
    {
        std::uintptr_t flags = 0;
        if ((heldButtons & SDL_BUTTON_LMASK) != 0)
            flags |= MK_LBUTTON;
        if ((heldButtons & SDL_BUTTON_RMASK) != 0)
            flags |= MK_RBUTTON;
        if ((heldButtons & SDL_BUTTON_MMASK) != 0)
            flags |= MK_MBUTTON;
        const SDL_Keymod mod = SDL_GetModState();
        if ((mod & KMOD_SHIFT) != 0)
            flags |= MK_SHIFT;
        if ((mod & KMOD_CTRL) != 0)
            flags |= MK_CONTROL;
        return flags;
    }

    // The one place where SDL events become window messages.
    void translate(const SDL_Event& event, std::vector<Message>& out)
    {
        switch (event.type) {
        case SDL_QUIT: out.push_back({WM_CLOSE, 0, 0}); break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId())
                break;
            switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: out.push_back({WM_CLOSE, 0, 0}); break;
            case SDL_WINDOWEVENT_MOVED: out.push_back({WM_MOVE, 0, pointParam(event.window.data1, event.window.data2)}); break;
            case SDL_WINDOWEVENT_MINIMIZED: out.push_back({WM_SIZE, SIZE_MINIMIZED, 0}); break;
            case SDL_WINDOWEVENT_MAXIMIZED: out.push_back({WM_SIZE, SIZE_MAXIMIZED, 0}); break;
            case SDL_WINDOWEVENT_RESTORED: out.push_back({WM_SIZE, SIZE_RESTORED, 0}); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back({WM_KILLFOCUS, 0, 0}); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back({WM_SETFOCUS, 0, 0}); break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                repaint();
                break;
            case SDL_WINDOWEVENT_EXPOSED:
                // The game presents only what changed, so the window repaints its last frame itself.
                repaint();
                out.push_back({WM_PAINT, 0, 0});
                break;
            default: break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int vk = virtualKeyOf(event.key.keysym.sym);
            if (vk == 0)
                break;
            const bool down = event.type == SDL_KEYDOWN;
            const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
            std::intptr_t flags = 1 | (static_cast<std::intptr_t>(event.key.keysym.scancode & 0xFF) << 16);
            if (alt)
                flags |= 1 << 29;
            if (event.key.repeat != 0 || !down)
                flags |= 1 << 30;
            if (!down)
                flags |= static_cast<std::intptr_t>(1u << 31);
            const unsigned message = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
            out.push_back({message, static_cast<std::uintptr_t>(vk), flags});
            // Keys that make a character but no text event.
            const bool ctrl = (event.key.keysym.mod & KMOD_CTRL) != 0;
            if (down && !alt && !ctrl &&
                (vk == VK_RETURN || vk == VK_BACK || vk == VK_ESCAPE || vk == VK_TAB))
                out.push_back({WM_CHAR, static_cast<std::uintptr_t>(vk == VK_RETURN ? '\r' : vk), flags});
            break;
        }
        case SDL_TEXTINPUT: {
            // UTF-8 to one byte per character: the game's text is single-byte Latin-1.
            const auto* text = reinterpret_cast<const unsigned char*>(event.text.text);
            for (std::size_t i = 0; text[i] != 0;) {
                unsigned code = text[i];
                std::size_t length = 1;
                if (code >= 0xC0 && code < 0xE0 && text[i + 1] != 0) {
                    code = ((code & 0x1F) << 6) | (text[i + 1] & 0x3F);
                    length = 2;
                } else if (code >= 0x80) {
                    while (text[i + length] != 0 && (text[i + length] & 0xC0) == 0x80)
                        ++length;
                    code = 0x100;
                }
                if (code < 0x100)
                    out.push_back({WM_CHAR, code, 1});
                i += length;
            }
            break;
        }
        case SDL_MOUSEMOTION: {
            if (event.motion.windowID != windowId())
                break;
            int x, y;
            toLogical(event.motion.x, event.motion.y, x, y);
            out.push_back({WM_MOUSEMOVE, mouseFlags(), pointParam(x, y)});
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.windowID != windowId())
                break;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            unsigned base;
            switch (event.button.button) {
            case SDL_BUTTON_LEFT: base = WM_LBUTTONDOWN; break;
            case SDL_BUTTON_RIGHT: base = WM_RBUTTONDOWN; break;
            case SDL_BUTTON_MIDDLE: base = WM_MBUTTONDOWN; break;
            default: return;
            }
            const Uint32 mask = SDL_BUTTON(event.button.button);
            if (down)
                heldButtons |= mask;
            else
                heldButtons &= ~mask;
            int x, y;
            toLogical(event.button.x, event.button.y, x, y);
            // Down, up, double click, up: every second press of a series is the double click.
            const unsigned message =
                down ? (event.button.clicks >= 2 && event.button.clicks % 2 == 0 ? base + 2 : base) : base + 1;
            out.push_back({message, mouseFlags(), pointParam(x, y)});
            break;
        }
        default: break;
        }
    }

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0, textureBits = 0;
    Gpu gpu = graphicsDeviceNode() ? Gpu::Unknown : Gpu::Absent;
    SDL_Surface* shadow = nullptr;
    int shadowBits = 0;
    // The window surface last painted whole, and its size: a different one holds nothing of ours yet.
    const SDL_Surface* painted = nullptr;
    int paintedWidth = 0, paintedHeight = 0;
    int logicalWidth = 0, logicalHeight = 0;
    Uint32 heldButtons = 0;
    std::map<SDL_SystemCursor, SDL_Cursor*> cursors;
};

} // namespace

std::unique_ptr<Host> SdlHost::start(std::string& why)
{
    // Termination signals are the program's own (they close its window); SDL must not take them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A display server that is still starting, or too busy to take a client at once, refuses now and
    // accepts a moment later: a few tries over about a second before the display counts as absent.
    int tries = 0;
    while (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (++tries == 5 || SDL_getenv("DISPLAY") == nullptr) {
            why = std::string("no display (") + SDL_GetError() + ")";
            return nullptr;
        }
        SDL_Delay(250);
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string video = driver != nullptr ? driver : "";
    // SDL's stand-in drivers open no window anybody could see.
    if (SDL_GetNumVideoDisplays() < 1 || video == "offscreen" || video == "dummy") {
        why = "no display (SDL offers only its \"" + video + "\" video driver)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // On X the window's own pixels go to the server as they are, not through a renderer that SDL
    // would otherwise put behind them.
    if (video == "x11")
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return std::make_unique<SdlWindowHost>();
}

} // namespace compat::host

namespace compat::testing {

namespace {

compat::host::SdlWindowHost* sdlHost()
{
    return dynamic_cast<compat::host::SdlWindowHost*>(&compat::host::current());
}

// Pushes an event of the type for the game's window, filled in by `fill`; nothing without an SDL host.
template <typename Fill>
void pushToWindow(Uint32 type, Fill fill)
{
    auto* host = sdlHost();
    if (host == nullptr)
        return;
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    fill(*host, event);
    SDL_PushEvent(&event);
}

} // namespace

void pushSdlKey(int virtualKey, bool down)
{
    pushToWindow(down ? SDL_KEYDOWN : SDL_KEYUP, [&](compat::host::SdlWindowHost& host, SDL_Event& event) {
        event.key.windowID = host.windowId();
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = compat::host::sdlKeyOf(virtualKey);
        event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
    });
}

void pushSdlMouseButton(int x, int y, int button, bool down, int clicks)
{
    pushToWindow(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, [&](compat::host::SdlWindowHost& host, SDL_Event& event) {
        event.button.windowID = host.windowId();
        event.button.button = static_cast<Uint8>(button);
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = static_cast<Uint8>(clicks);
        host.toWindow(x, y, event.button.x, event.button.y);
    });
}

void pushSdlMouseMotion(int x, int y)
{
    pushToWindow(SDL_MOUSEMOTION, [&](compat::host::SdlWindowHost& host, SDL_Event& event) {
        event.motion.windowID = host.windowId();
        host.toWindow(x, y, event.motion.x, event.motion.y);
    });
}

void resizeSdlWindow(int width, int height)
{
    if (auto* host = sdlHost())
        host->resize(width, height);
}

bool readWindowPixels(int& width, int& height, std::vector<std::uint32_t>& pixels)
{
    auto* host = sdlHost();
    return host != nullptr && host->readBack(width, height, pixels);
}

} // namespace compat::testing
