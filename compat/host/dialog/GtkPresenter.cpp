#include "compat/host/dialog/GtkPresenter.h"

#include "compat/host/dialog/GtkCalls.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace compat::host {

namespace {

// Where the presented windows are on the desktop, for tests that click them. Written by the thread
// that drives GTK, read by any; never destroyed.
struct DesktopRect {
    int x, y, width, height;
    unsigned long windowId; // the X window of a top-level window, 0 for the rest
};
std::mutex& rectMutex = *new std::mutex;
std::map<std::uintptr_t, DesktopRect>& desktopRects = *new std::map<std::uintptr_t, DesktopRect>;

constexpr const char* handleKey = "quarrytide-window";

// Window texts are Latin-1 bytes; GTK wants UTF-8. A lone '&' marks a mnemonic in button and label
// texts and is not shown; "&&" shows one '&'.
std::string toUtf8(const std::string& text, bool mnemonics)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (mnemonics && c == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&')
                ++i;
            else
                continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// UTF-8 from GTK back to Latin-1; characters beyond it become '?'.
std::string toLatin1(const char* utf8)
{
    std::string out;
    if (utf8 == nullptr)
        return out;
    for (const char* p = utf8; *p != '\0';) {
        const gunichar c = g_utf8_get_char_validated(p, -1);
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2))
            break;
        out += c < 0x100 ? static_cast<char>(c) : '?';
        // The validated character's length, from its lead byte.
        const auto lead = static_cast<unsigned char>(*p);
        p += lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    }
    return out;
}

// Virtual-key codes of the keys the window layer cares about; 0 for the rest.
int virtualKey(guint keyval)
{
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return static_cast<int>('A' + (keyval - GDK_KEY_a));
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z)
        return static_cast<int>('A' + (keyval - GDK_KEY_A));
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9)
        return static_cast<int>('0' + (keyval - GDK_KEY_0));
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
        return static_cast<int>(0x70 + (keyval - GDK_KEY_F1));
    switch (keyval) {
    case GDK_KEY_BackSpace: return 0x08;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab: return 0x09;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: return 0x0D;
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R: return 0x10;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R: return 0x11;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R: return 0x12;
    case GDK_KEY_Escape: return 0x1B;
    case GDK_KEY_space: return 0x20;
    case GDK_KEY_Page_Up: return 0x21;
    case GDK_KEY_Page_Down: return 0x22;
    case GDK_KEY_End: return 0x23;
    case GDK_KEY_Home: return 0x24;
    case GDK_KEY_Left: return 0x25;
    case GDK_KEY_Up: return 0x26;
    case GDK_KEY_Right: return 0x27;
    case GDK_KEY_Down: return 0x28;
    case GDK_KEY_Insert: return 0x2D;
    case GDK_KEY_Delete: return 0x2E;
    default: return 0;
    }
}

// The keys the dialog keyboard of the window layer handles; GTK must not act on them as well.
bool dialogKey(int key) { return key == 0x09 || key == 0x0D || key == 0x1B; }

NativeInput inputOf(NativeInput::Kind kind, std::uintptr_t handle, int key = 0)
{
    return NativeInput{kind, handle, key, std::string()};
}

std::uintptr_t handleOf(GtkWidget* widget)
{
    return widget != nullptr
               ? reinterpret_cast<std::uintptr_t>(g_object_get_data(G_OBJECT(widget), handleKey))
               : 0;
}

class GtkPresenter final : public ToolkitPresenter {
public:
    ~GtkPresenter() override
    {
        std::vector<std::uintptr_t> tops;
        for (auto& entry : shown)
            if (entry.second.state.kind == NativeKind::Frame)
                tops.push_back(entry.first);
        for (std::uintptr_t top : tops)
            destroyed(top);
        settle();
    }

    bool shows() const override { return true; }
    bool idle() const override { return shown.empty(); }
    void release() override {} // the thread's hold on GTK (NativePresenter.cpp) lets go of it

    void update(const NativeState& state) override
    {
        auto found = shown.find(state.handle);
        if (found != shown.end() && found->second.state.kind != state.kind) {
            destroyed(state.handle); // a new kind of widget shows it now
            found = shown.end();
        }
        if (found == shown.end()) {
            if (!make(state))
                return;
            found = shown.find(state.handle);
        }
        apply(found->second, state);
    }

    void destroyed(std::uintptr_t handle) override
    {
        auto found = shown.find(handle);
        if (found == shown.end())
            return;
        GtkWidget* widget = found->second.widget;
        if (found->second.state.kind == NativeKind::Frame) {
            for (auto it = shown.begin(); it != shown.end();)
                it = it->second.state.top == handle ? forget(it) : std::next(it);
        } else {
            forget(found);
        }
        ++applying;
        gtk_widget_destroy(widget);
        --applying;
        if (shown.empty())
            settle();
    }

    void pump(std::vector<NativeInput>& out) override
    {
        GMainContext* context = g_main_context_default();
        // Bounded, so a flood of events cannot hold the thread's message loop.
        for (int i = 0; i < 500 && g_main_context_iteration(context, FALSE); ++i) {
        }
        recordRects();
        for (NativeInput& input : pending)
            out.push_back(std::move(input));
        pending.clear();
    }

    void wait(int milliseconds) override
    {
        GMainContext* context = g_main_context_default();
        GSource* timeout = g_timeout_source_new(static_cast<guint>(milliseconds > 0 ? milliseconds : 0));
        g_source_set_callback(
            timeout, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(timeout, context);
        g_main_context_iteration(context, TRUE);
        g_source_destroy(timeout);
        g_source_unref(timeout);
    }

private:
    struct Shown {
        NativeState state;
        GtkWidget* widget = nullptr;
        GtkWidget* fixed = nullptr; // a frame's layout of its children
        bool mapped = false;        // a frame the X server shows
    };

    std::map<std::uintptr_t, Shown>::iterator forget(std::map<std::uintptr_t, Shown>::iterator it)
    {
        {
            std::lock_guard<std::mutex> lock(rectMutex);
            desktopRects.erase(it->first);
        }
        g_object_set_data(G_OBJECT(it->second.widget), handleKey, nullptr);
        return shown.erase(it);
    }

    // Lets GTK finish what it has to send, so windows taken down are gone from the screen.
    void settle()
    {
        if (GdkDisplay* display = gdk_display_get_default())
            gdk_display_flush(display);
        GMainContext* context = g_main_context_default();
        for (int i = 0; i < 500 && g_main_context_iteration(context, FALSE); ++i) {
        }
    }

    bool make(const NativeState& state)
    {
        Shown entry;
        entry.state = state;
        entry.state.text.clear();
        entry.state.visible = false;
        entry.state.enabled = true;
        entry.state.focused = false;
        entry.state.defaultButton = false;
        entry.state.active = false;
        entry.state.minimized = false;
        entry.state.foreground = false;
        entry.state.fontHeight = 0;
        entry.state.bold = false;
        entry.state.x = entry.state.y = -1;
        entry.state.width = entry.state.height = -1;
        GtkWidget* fixed = nullptr;
        if (state.kind == NativeKind::Frame) {
            GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
            gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
            fixed = gtk_fixed_new();
            gtk_container_add(GTK_CONTAINER(window), fixed);
            gtk_widget_show(fixed);
            g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), this);
            g_signal_connect(window, "key-press-event", G_CALLBACK(onKey), this);
            g_signal_connect(window, "key-release-event", G_CALLBACK(onKey), this);
            g_signal_connect(window, "focus-out-event", G_CALLBACK(onWindowFocusOut), this);
            g_signal_connect(window, "map-event", G_CALLBACK(onMapped), this);
            g_signal_connect(window, "unmap-event", G_CALLBACK(onUnmapped), this);
            entry.widget = window;
            entry.fixed = fixed;
        } else {
            auto top = shown.find(state.top);
            if (top == shown.end() || top->second.fixed == nullptr)
                return false; // its window is not shown: nor is it
            fixed = top->second.fixed;
            switch (state.kind) {
            case NativeKind::Button:
                entry.widget = gtk_button_new_with_label("");
                gtk_widget_set_can_default(entry.widget, TRUE);
                g_signal_connect(entry.widget, "clicked", G_CALLBACK(onClicked), this);
                break;
            case NativeKind::Edit:
                entry.widget = gtk_entry_new();
                g_signal_connect(entry.widget, "changed", G_CALLBACK(onEdited), this);
                break;
            case NativeKind::Label:
                entry.widget = gtk_label_new("");
                gtk_label_set_line_wrap(GTK_LABEL(entry.widget), TRUE);
                gtk_label_set_line_wrap_mode(GTK_LABEL(entry.widget), PANGO_WRAP_WORD_CHAR);
                gtk_label_set_xalign(GTK_LABEL(entry.widget), 0.0f);
                gtk_label_set_yalign(GTK_LABEL(entry.widget), 0.0f);
                break;
            case NativeKind::Separator:
                entry.widget = gtk_separator_new(state.width >= state.height ? GTK_ORIENTATION_HORIZONTAL
                                                                             : GTK_ORIENTATION_VERTICAL);
                break;
            case NativeKind::Animation: entry.widget = gtk_spinner_new(); break;
            case NativeKind::StatusBar: entry.widget = gtk_statusbar_new(); break;
            case NativeKind::Frame:
            case NativeKind::Panel: entry.widget = gtk_fixed_new(); break;
            }
            g_signal_connect(entry.widget, "focus-in-event", G_CALLBACK(onFocusIn), this);
            ++applying;
            gtk_fixed_put(GTK_FIXED(fixed), entry.widget, state.x, state.y);
            --applying;
            entry.state.x = state.x;
            entry.state.y = state.y;
        }
        g_object_set_data(G_OBJECT(entry.widget), handleKey, reinterpret_cast<gpointer>(state.handle));
        shown.emplace(state.handle, entry);
        return true;
    }

    GtkWidget* topWindow(const NativeState& state)
    {
        auto top = shown.find(state.top);
        return top != shown.end() ? top->second.widget : nullptr;
    }

    void apply(Shown& entry, const NativeState& next)
    {
        NativeState& now = entry.state;
        GtkWidget* widget = entry.widget;
        ++applying;
        if (next.text != now.text) {
            switch (next.kind) {
            case NativeKind::Frame:
                gtk_window_set_title(GTK_WINDOW(widget), toUtf8(next.text, false).c_str());
                break;
            case NativeKind::Button:
                gtk_button_set_label(GTK_BUTTON(widget), toUtf8(next.text, true).c_str());
                break;
            case NativeKind::Edit: gtk_entry_set_text(GTK_ENTRY(widget), toUtf8(next.text, false).c_str()); break;
            case NativeKind::Label: gtk_label_set_text(GTK_LABEL(widget), toUtf8(next.text, true).c_str()); break;
            case NativeKind::StatusBar: {
                const guint context = gtk_statusbar_get_context_id(GTK_STATUSBAR(widget), "text");
                gtk_statusbar_remove_all(GTK_STATUSBAR(widget), context);
                gtk_statusbar_push(GTK_STATUSBAR(widget), context, toUtf8(next.text, false).c_str());
                break;
            }
            default: break;
            }
        }
        if (next.kind == NativeKind::Frame) {
            if (next.x != now.x || next.y != now.y)
                gtk_window_move(GTK_WINDOW(widget), next.x, next.y);
            if (next.width != now.width || next.height != now.height)
                gtk_widget_set_size_request(entry.fixed, next.width, next.height);
        } else {
            if (next.x != now.x || next.y != now.y) {
                auto top = shown.find(next.top);
                if (top != shown.end())
                    gtk_fixed_move(GTK_FIXED(top->second.fixed), widget, next.x, next.y);
            }
            if (next.width != now.width || next.height != now.height) {
                gtk_widget_set_size_request(widget, next.width, next.height);
                if (next.kind == NativeKind::Separator)
                    gtk_orientable_set_orientation(GTK_ORIENTABLE(widget), next.width >= next.height
                                                                               ? GTK_ORIENTATION_HORIZONTAL
                                                                               : GTK_ORIENTATION_VERTICAL);
            }
        }
        if (next.kind == NativeKind::Label && (next.fontHeight != now.fontHeight || next.bold != now.bold)) {
            PangoAttrList* attributes = pango_attr_list_new();
            if (next.fontHeight > 0)
                pango_attr_list_insert(attributes, pango_attr_size_new_absolute(next.fontHeight * PANGO_SCALE));
            if (next.bold)
                pango_attr_list_insert(attributes, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
            gtk_label_set_attributes(GTK_LABEL(widget), attributes);
            pango_attr_list_unref(attributes);
        }
        if (next.enabled != now.enabled)
            gtk_widget_set_sensitive(widget, next.enabled ? TRUE : FALSE);
        if (next.kind == NativeKind::Animation && next.active != now.active) {
            if (next.active)
                gtk_spinner_start(GTK_SPINNER(widget));
            else
                gtk_spinner_stop(GTK_SPINNER(widget));
        }
        if (next.visible != now.visible)
            gtk_widget_set_visible(widget, next.visible ? TRUE : FALSE);
        if (next.kind == NativeKind::Frame && next.minimized != now.minimized) {
            if (next.minimized)
                gtk_window_iconify(GTK_WINDOW(widget));
            else
                gtk_window_deiconify(GTK_WINDOW(widget));
        }
        if (next.kind == NativeKind::Frame && next.foreground && !now.foreground && next.visible)
            gtk_window_present(GTK_WINDOW(widget));
        if (next.kind == NativeKind::Button && next.defaultButton != now.defaultButton) {
            GtkWidget* window = topWindow(next);
            if (next.defaultButton)
                gtk_widget_grab_default(widget);
            else if (window != nullptr && gtk_window_get_default_widget(GTK_WINDOW(window)) == widget)
                gtk_window_set_default(GTK_WINDOW(window), nullptr);
        }
        if (next.focused && !now.focused && next.kind != NativeKind::Frame && gtk_widget_get_can_focus(widget))
            gtk_widget_grab_focus(widget);
        --applying;
        now = next;
    }

    void recordRects()
    {
        std::lock_guard<std::mutex> lock(rectMutex);
        for (auto& entry : shown) {
            Shown& s = entry.second;
            auto top = shown.find(s.state.top);
            const bool showing = top != shown.end() && top->second.mapped && gtk_widget_get_mapped(s.widget);
            GdkWindow* topWindow = showing ? gtk_widget_get_window(top->second.widget) : nullptr;
            if (topWindow == nullptr) {
                desktopRects.erase(entry.first);
                continue;
            }
            GtkAllocation allocation{};
            gtk_widget_get_allocation(s.widget, &allocation);
            if (allocation.x < 0 || allocation.width <= 1 || allocation.height <= 1) {
                desktopRects.erase(entry.first); // not laid out yet
                continue;
            }
            int originX = 0, originY = 0, x = 0, y = 0;
            gdk_window_get_origin(topWindow, &originX, &originY);
            if (s.widget != top->second.widget &&
                !gtk_widget_translate_coordinates(s.widget, top->second.widget, 0, 0, &x, &y)) {
                desktopRects.erase(entry.first);
                continue;
            }
            unsigned long windowId = 0;
            if (s.widget == top->second.widget && GDK_IS_X11_WINDOW(topWindow))
                windowId = gdk_x11_window_get_xid(topWindow);
            desktopRects[entry.first] =
                DesktopRect{originX + x, originY + y, gtk_widget_get_allocated_width(s.widget),
                            gtk_widget_get_allocated_height(s.widget), windowId};
        }
    }

    Shown* entryOf(GtkWidget* widget)
    {
        auto found = shown.find(handleOf(widget));
        return found != shown.end() ? &found->second : nullptr;
    }

    static gboolean onDelete(GtkWidget* window, GdkEvent*, gpointer self)
    {
        auto* presenter = static_cast<GtkPresenter*>(self);
        if (const std::uintptr_t handle = handleOf(window))
            presenter->pending.push_back(inputOf(NativeInput::CloseAsked, handle));
        return TRUE; // the window layer decides whether the window goes
    }

    static gboolean onKey(GtkWidget* window, GdkEventKey* event, gpointer self)
    {
        auto* presenter = static_cast<GtkPresenter*>(self);
        const int key = virtualKey(event->keyval);
        const std::uintptr_t top = handleOf(window);
        if (key == 0 || top == 0)
            return FALSE;
        std::uintptr_t target = handleOf(gtk_window_get_focus(GTK_WINDOW(window)));
        if (target == 0)
            target = top;
        presenter->pending.push_back(
            inputOf(event->type == GDK_KEY_PRESS ? NativeInput::KeyDown : NativeInput::KeyUp, target, key));
        return dialogKey(key) ? TRUE : FALSE;
    }

    // Keys held while the window loses the keyboard come up, or they would stay down for the model.
    static gboolean onWindowFocusOut(GtkWidget* window, GdkEvent*, gpointer self)
    {
        auto* presenter = static_cast<GtkPresenter*>(self);
        if (const std::uintptr_t top = handleOf(window))
            for (int key : {0x10, 0x11, 0x12})
                presenter->pending.push_back(inputOf(NativeInput::KeyUp, top, key));
        return FALSE;
    }

    static gboolean onMapped(GtkWidget* window, GdkEvent*, gpointer self)
    {
        Shown* entry = static_cast<GtkPresenter*>(self)->entryOf(window);
        if (entry == nullptr)
            return FALSE;
        entry->mapped = true;
        // Brought to the front before the server showed it: only now can it take the keyboard.
        if (entry->state.foreground)
            gtk_window_present(GTK_WINDOW(window));
        return FALSE;
    }

    static gboolean onUnmapped(GtkWidget* window, GdkEvent*, gpointer self)
    {
        if (Shown* entry = static_cast<GtkPresenter*>(self)->entryOf(window))
            entry->mapped = false;
        return FALSE;
    }

    static void onClicked(GtkButton* button, gpointer self)
    {
        auto* presenter = static_cast<GtkPresenter*>(self);
        const std::uintptr_t handle = handleOf(GTK_WIDGET(button));
        if (presenter->applying == 0 && handle != 0)
            presenter->pending.push_back(inputOf(NativeInput::Clicked, handle));
    }

    static void onEdited(GtkEditable* editable, gpointer self)
    {
        auto* presenter = static_cast<GtkPresenter*>(self);
        Shown* entry = presenter->entryOf(GTK_WIDGET(editable));
        if (presenter->applying != 0 || entry == nullptr)
            return;
        NativeInput input = inputOf(NativeInput::TextEdited, entry->state.handle);
        input.text = toLatin1(gtk_entry_get_text(GTK_ENTRY(editable)));
        entry->state.text = input.text; // shown already
        presenter->pending.push_back(std::move(input));
    }

    static gboolean onFocusIn(GtkWidget* widget, GdkEvent*, gpointer self)
    {
        auto* presenter = static_cast<GtkPresenter*>(self);
        Shown* entry = presenter->entryOf(widget);
        if (presenter->applying != 0 || entry == nullptr || entry->state.focused)
            return FALSE;
        for (auto& other : presenter->shown)
            if (other.second.state.top == entry->state.top)
                other.second.state.focused = false;
        entry->state.focused = true; // shown already
        presenter->pending.push_back(inputOf(NativeInput::FocusTaken, entry->state.handle));
        return FALSE;
    }

    std::map<std::uintptr_t, Shown> shown;
    std::vector<NativeInput> pending;
    int applying = 0; // changes made here raise no input
};

} // namespace

bool startGtk()
{
    // Without the toolkit's library the native windows live in the window model alone.
    if (openGtkLibrary() == nullptr)
        return false;
    // The program's number formats stay the C locale's.
    gtk_disable_setlocale();
    if (gtk_init_check(nullptr, nullptr) == FALSE)
        return false;
    // Controls are placed at the sizes the window layer measured: buttons and the status bar give up
    // the theme's generous padding so their texts fit those sizes.
    GtkCssProvider* style = gtk_css_provider_new();
    gtk_css_provider_load_from_data(style,
                                    "button { padding: 1px 4px; min-height: 0; min-width: 0; }"
                                    " statusbar { padding: 0 4px; margin: 0; }",
                                    -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
    return true;
}

std::unique_ptr<ToolkitPresenter> makeGtkPresenter() { return std::make_unique<GtkPresenter>(); }

void wakeGtk() { g_main_context_wakeup(g_main_context_default()); }

int showGtkMessageBox(const MessageBox& box, const Rect& screen, const Rect& game, unsigned long owner)
{
    GtkMessageType type = GTK_MESSAGE_OTHER;
    switch (box.icon) {
    case MessageBox::Icon::Error: type = GTK_MESSAGE_ERROR; break;
    case MessageBox::Icon::Warning: type = GTK_MESSAGE_WARNING; break;
    case MessageBox::Icon::Information: type = GTK_MESSAGE_INFO; break;
    case MessageBox::Icon::Question: type = GTK_MESSAGE_QUESTION; break;
    default: break; // no icon
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_NONE, "%s", box.text.c_str());
    GtkWindow* window = GTK_WINDOW(dialog);
    gtk_window_set_title(window, box.caption.c_str());
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_keep_above(window, TRUE);
    // Each button answers its index; the caller's ids may be anything.
    for (std::size_t i = 0; i < box.buttons.size(); ++i)
        gtk_dialog_add_button(GTK_DIALOG(dialog), box.buttons[i].text.c_str(), static_cast<gint>(i));
    const int count = static_cast<int>(box.buttons.size());
    if (box.defaultButton >= 0 && box.defaultButton < count) {
        // Enter chooses the default button wherever the focus starts: it starts on that button.
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), box.defaultButton);
        if (GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), box.defaultButton))
            gtk_widget_grab_focus(button);
    }

    // Placed before it is shown, from the size it asks for, so it never appears elsewhere first.
    GtkRequisition natural{};
    gtk_widget_get_preferred_size(dialog, nullptr, &natural);
    const Rect place = placeBox(screen, game, natural.width, natural.height);
    gtk_window_move(window, place.x, place.y);

    // A transient window of the game's, so a window manager keeps it over the game.
    gtk_widget_realize(dialog);
    GdkDisplay* display = gdk_display_get_default();
    GdkWindow* own = gtk_widget_get_window(dialog);
    GdkWindow* parent = nullptr;
    if (owner != 0 && own != nullptr && GDK_IS_X11_DISPLAY(display))
        parent = gdk_x11_window_foreign_new_for_display(display, owner);
    if (parent != nullptr)
        gdk_window_set_transient_for(own, parent);

    // Shown and given the keyboard, so Enter and Esc answer it even where no window manager hands the
    // keyboard to a new window. The request carries no time of a user's event: GTK would give the last
    // event it saw, and the X server ignores a request older than the focus's last change (the game's
    // window taking it).
    gtk_widget_show(dialog);
    if (GdkWindow* shown = gtk_widget_get_window(dialog))
        gdk_window_focus(shown, GDK_CURRENT_TIME);

    int answer = -1;
    for (;;) {
        const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
        if (response >= 0 && response < count) {
            answer = box.buttons[static_cast<std::size_t>(response)].id;
            break;
        }
        // Esc or the close box: the escape button's answer. A box without one must be answered.
        if (box.escapeButton >= 0 && box.escapeButton < count) {
            answer = box.buttons[static_cast<std::size_t>(box.escapeButton)].id;
            break;
        }
        if (response != GTK_RESPONSE_DELETE_EVENT)
            break; // the dialog went away by other means
    }
    gtk_widget_destroy(dialog);
    if (parent != nullptr)
        g_object_unref(parent);
    // The box leaves the screen before the game draws again.
    while (g_main_context_iteration(nullptr, FALSE) != FALSE) {
    }
    gdk_display_flush(display);
    return answer;
}

unsigned long desktopWindowId(std::uintptr_t handle)
{
    std::lock_guard<std::mutex> lock(rectMutex);
    auto found = desktopRects.find(handle);
    return found != desktopRects.end() ? found->second.windowId : 0;
}

} // namespace compat::host

namespace compat::testing {

bool presentedRect(std::uintptr_t handle, int& x, int& y, int& width, int& height)
{
    std::lock_guard<std::mutex> lock(compat::host::rectMutex);
    auto found = compat::host::desktopRects.find(handle);
    if (found == compat::host::desktopRects.end())
        return false;
    x = found->second.x;
    y = found->second.y;
    width = found->second.width;
    height = found->second.height;
    return true;
}

} // namespace compat::testing
