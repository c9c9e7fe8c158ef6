#include "compat/adsdk/vqGameSDK.h"

extern "C" {

int vqGameSDK_Init(int, int, int, int, int, int, int)
{
    return 0;
}

int vqGameSDK_QueryAdEx(int, int* handle, char* path, int, int)
{
    if (handle != nullptr)
        *handle = 0;
    if (path != nullptr)
        path[0] = '\0';
    return 0;
}

int vqGameSDK_SetFocus(int, int, int)
{
    return 0;
}

int vqGameSDK_Unzip(const char*, const char*)
{
    return 0;
}
}
