#include "compat/host/dialog/GtkLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace compat::host {

namespace {

GtkLibrary* table = nullptr;

// The library stays open for the rest of the process: GTK keeps threads and global state.
GtkLibrary* open()
{
    void* library = dlopen("libgtk-3.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr)
        return nullptr;
    auto* opened = new GtkLibrary;
    bool complete = true;
#define QUARRY_GTK_LOOKUP(name)                                                                                       \
    opened->name = reinterpret_cast<decltype(opened->name)>(dlsym(library, #name));                                \
    complete = complete && opened->name != nullptr;
    QUARRY_GTK_FUNCTIONS(QUARRY_GTK_LOOKUP)
#undef QUARRY_GTK_LOOKUP
    if (!complete) {
        delete opened;
        return nullptr;
    }
    return opened;
}

} // namespace

const GtkLibrary* openGtkLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { table = open(); });
    return table;
}

const GtkLibrary& gtkLibrary() { return *table; }

} // namespace compat::host
