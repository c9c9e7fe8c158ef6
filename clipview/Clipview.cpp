// The least the game relies on: arguments are checked and the movie file must open for reading. No
// movie plays yet; the call only records that one is up, so that HideIEWindow has something to take
// down.
#include "clipview/Clipview.h"

#include "compat/win32/path.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct Movie {
    bool up = false;
    HWND parent = nullptr;
    UINT finishedMessage = 0;
    UINT clickedMessage = 0;
};

Movie movie;

bool canOpen(const char* path)
{
    std::string host = compat::hostPath(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(host, error))
        return false;
    std::FILE* file = std::fopen(host.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

} // namespace

extern "C" int ShowIEWindow(HINSTANCE instance, HWND parent, int x, int y, int width, int height,
                            const char* moviePath, UINT finishedMessage, UINT clickedMessage)
{
    if (!instance)
        return CLIPVIEW_NO_INSTANCE;
    if (width <= 0 || height <= 0)
        return CLIPVIEW_BAD_SIZE;
    if (!moviePath)
        return CLIPVIEW_NO_PATH;
    if (!canOpen(moviePath))
        return CLIPVIEW_CANNOT_OPEN;
    HideIEWindow();
    movie.up = true;
    movie.parent = parent;
    movie.finishedMessage = finishedMessage;
    movie.clickedMessage = clickedMessage;
    return CLIPVIEW_OK;
}

extern "C" int HideIEWindow()
{
    movie = Movie();
    return 0;
}
