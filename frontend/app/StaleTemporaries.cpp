#include "frontend/app/StaleTemporaries.h"

#include "compat/win32/atomic_file.h"
#include "compat/win32/registry/registry.h"
#include "compat/win32/window/userdata.h"

#include <filesystem>
#include <string>

int removeStaleTemporaries()
{
    int removed = 0;
    for (const std::string& folder :
         {compat::userDataFolder(), compat::userDataPath("savegames"), compat::userDataPath("data")})
        removed += compat::removeStalePartialFiles(folder);
    removed += compat::removeStalePartialFiles(std::filesystem::path(compat::registryFilePath()).parent_path().string());
    return removed;
}
