#include "compat/win32/window/userdata.h"

#include <cstdlib>

namespace compat {

std::string userDataFolder()
{
    std::string data;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg != nullptr && *xdg != '\0')
        data = xdg;
    else if (home != nullptr && *home != '\0')
        data = std::string(home) + "/.local/share";
    else
        data = ".local/share";
    return data + "/quarrytide";
}

std::string userDataPath(const std::string& gamePath)
{
    return userDataFolder() + "\\" + gamePath;
}

} // namespace compat
