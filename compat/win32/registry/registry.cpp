#include "compat/win32/registry/registry.h"

#include "compat/win32/registry/RegistryFile.h"
#include "compat/win32/atomic_file.h"
#include "compat/win32/system/notify/debug.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <vector>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// An open key: the full path of the key it stands for. The file is read afresh for every call, so a
// handle stays meaningful when the file changes underneath it.
struct OpenKey {
    std::string path;
};

std::mutex registryMutex;
std::set<HKEY> openKeys;
std::string registryOverride;

const char* rootName(HKEY key)
{
    // The roots are the sign-extended values 0x80000000 to 0x80000006, in the order of the names.
    std::intptr_t first = static_cast<LONG>(0x80000000);
    std::intptr_t index = reinterpret_cast<std::intptr_t>(key) - first;
    if (index < 0 || index >= compat::kRegistryRootCount)
        return nullptr;
    return compat::kRegistryRootNames[index];
}

// The path a handle stands for, or false for a handle that is neither a root nor open.
bool keyPath(HKEY key, std::string& path)
{
    if (const char* root = rootName(key)) {
        path = root;
        return true;
    }
    if (openKeys.count(key) == 0)
        return false;
    path = reinterpret_cast<OpenKey*>(key)->path;
    return true;
}

bool isRootPath(const std::string& path)
{
    return path.find('\\') == std::string::npos;
}

bool hasControlBytes(const char* text)
{
    for (; *text != '\0'; ++text)
        if (static_cast<unsigned char>(*text) < 0x20)
            return true;
    return false;
}

LONG fullPath(HKEY key, LPCSTR subKey, std::string& path)
{
    std::string base;
    if (!keyPath(key, base))
        return ERROR_INVALID_HANDLE;
    if (subKey != nullptr && hasControlBytes(subKey))
        return ERROR_INVALID_PARAMETER;
    path = compat::RegistryFile::normalizePath(base + "\\" + (subKey != nullptr ? subKey : ""));
    return ERROR_SUCCESS;
}

// A file that is missing or cannot be read counts as an empty registry.
compat::RegistryFile loadRegistry()
{
    std::string text;
    if (std::FILE* in = std::fopen(compat::registryFilePath().c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
            text.append(chunk, n);
        std::fclose(in);
    }
    return compat::RegistryFile::parse(text);
}

// Every line the file held that cannot be read would vanish with this write: the debug output names
// each one with its line number, so a hand edit that went wrong can be found and mended.
void reportUnreadableLines(const compat::RegistryFile& registry)
{
    for (const compat::RegistryFile::UnreadableLine& line : registry.unreadableLines()) {
        std::string text = "Registry file " + compat::registryFilePath() + ", line " + std::to_string(line.number)
                           + " cannot be read and is dropped: " + line.text + "\n";
        OutputDebugStringA(text.c_str());
    }
}

// The old file stays whole until the new one is complete (temporary file, then rename).
bool saveRegistry(const compat::RegistryFile& registry)
{
    reportUnreadableLines(registry);
    std::string text = registry.format();
    return compat::writeFileAtomically(compat::registryFilePath(), text.data(), text.size());
}

void makeRegistryFolder()
{
    std::filesystem::path target = compat::registryFilePath();
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
}

// Another process may change the registry file at the same time: a change reads the file, alters it and
// writes it back while it holds an exclusive lock on a lock file beside it, so no change overwrites
// another. (The registry file itself cannot carry the lock: every write replaces it.) Without a lock
// file, for example in a folder that cannot be written, the change goes ahead and its write fails.
class ChangeLock {
public:
    ChangeLock()
    {
        makeRegistryFolder();
        fd = ::open((compat::registryFilePath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~ChangeLock()
    {
        if (fd >= 0)
            ::close(fd);
    }
    ChangeLock(const ChangeLock&) = delete;
    ChangeLock& operator=(const ChangeLock&) = delete;

private:
    int fd = -1;
};

HKEY newHandle(const std::string& path)
{
    HKEY handle = reinterpret_cast<HKEY>(new OpenKey{path});
    openKeys.insert(handle);
    return handle;
}

} // namespace

namespace compat {

std::string registryFilePath()
{
    if (!registryOverride.empty())
        return registryOverride;
    const char* chosen = std::getenv("QUARRYTIDE_REGISTRY");
    if (chosen != nullptr && *chosen != '\0')
        return chosen;
    std::string config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (xdg != nullptr && *xdg != '\0')
        config = xdg;
    else if (home != nullptr && *home != '\0')
        config = std::string(home) + "/.config";
    else
        config = ".config";
    return config + "/quarrytide/registry";
}

#ifdef QUARRY_TESTING
namespace testing {
void setRegistryFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    registryOverride = path;
}
} // namespace testing
#endif

} // namespace compat

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    if (LONG error = fullPath(key, subKey, path); error != ERROR_SUCCESS)
        return error;
    compat::RegistryFile registry = loadRegistry();
    if (!isRootPath(path)) {
        compat::RegistryKey* found = registry.findKey(path);
        if (found == nullptr)
            return ERROR_FILE_NOT_FOUND;
        path = found->path;
    }
    *result = newHandle(path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    if (LONG error = fullPath(key, subKey, path); error != ERROR_SUCCESS)
        return error;
    bool created = false;
    if (!isRootPath(path)) {
        ChangeLock change;
        compat::RegistryFile registry = loadRegistry();
        path = registry.createKey(path, created).path;
        if (created && !saveRegistry(registry))
            return ERROR_CANTWRITE;
    }
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = newHandle(path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result)
{
    return RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           result, nullptr);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    std::string path;
    if (!keyPath(key, path))
        return ERROR_INVALID_HANDLE;
    if (data != nullptr && size == nullptr)
        return ERROR_INVALID_PARAMETER;
    compat::RegistryFile registry = loadRegistry();
    compat::RegistryKey* found = registry.findKey(path);
    compat::RegistryValue* value = found != nullptr ? found->findValue(valueName != nullptr ? valueName : "") : nullptr;
    if (value == nullptr)
        return ERROR_FILE_NOT_FOUND;
    if (type != nullptr)
        *type = value->type;
    DWORD needed = value->type == REG_DWORD ? 4 : static_cast<DWORD>(value->text.size() + 1);
    if (data == nullptr) {
        if (size != nullptr)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (value->type == REG_DWORD)
        std::memcpy(data, &value->number, 4);
    else
        std::memcpy(data, value->text.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    std::string path;
    if (!keyPath(key, path))
        return ERROR_INVALID_HANDLE;
    compat::RegistryValue value;
    value.name = valueName != nullptr ? valueName : "";
    value.type = type;
    if (type == REG_DWORD) {
        if (data == nullptr || size < 4)
            return ERROR_INVALID_PARAMETER;
        std::memcpy(&value.number, data, 4);
    } else if (type == REG_SZ) {
        if (data == nullptr && size > 0)
            return ERROR_INVALID_PARAMETER;
        const char* text = reinterpret_cast<const char*>(data);
        value.text.assign(text, size > 0 ? strnlen(text, size) : 0);
    } else {
        return ERROR_INVALID_PARAMETER;
    }
    ChangeLock change;
    compat::RegistryFile registry = loadRegistry();
    bool created = false;
    compat::RegistryKey& target = registry.createKey(path, created);
    if (compat::RegistryValue* existing = target.findValue(value.name)) {
        value.name = existing->name;
        *existing = value;
    } else {
        target.values.push_back(value);
    }
    return saveRegistry(registry) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                   LPDWORD classSize, PFILETIME lastWriteTime)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    std::string path;
    if (!keyPath(key, path))
        return ERROR_INVALID_HANDLE;
    if (name == nullptr || nameSize == nullptr || (keyClass != nullptr && classSize == nullptr))
        return ERROR_INVALID_PARAMETER;
    compat::RegistryFile registry = loadRegistry();
    if (!isRootPath(path) && registry.findKey(path) == nullptr)
        return ERROR_FILE_NOT_FOUND;
    std::vector<std::string> names = registry.subKeyNames(path);
    if (index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& found = names[index];
    if (*nameSize <= found.size())
        return ERROR_MORE_DATA;
    if (keyClass != nullptr && *classSize < 1)
        return ERROR_MORE_DATA;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameSize = static_cast<DWORD>(found.size());
    if (keyClass != nullptr) {
        keyClass[0] = '\0';
        *classSize = 0;
    }
    if (lastWriteTime != nullptr)
        *lastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    if (subKey == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    if (LONG error = fullPath(key, subKey, path); error != ERROR_SUCCESS)
        return error;
    if (isRootPath(path))
        return ERROR_ACCESS_DENIED;
    ChangeLock change;
    compat::RegistryFile registry = loadRegistry();
    compat::RegistryKey* found = registry.findKey(path);
    if (found == nullptr)
        return ERROR_FILE_NOT_FOUND;
    path = found->path;
    if (!registry.subKeyNames(path).empty())
        return ERROR_ACCESS_DENIED;
    registry.removeKey(path);
    return saveRegistry(registry) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegCloseKey(HKEY key)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    if (rootName(key) != nullptr)
        return ERROR_SUCCESS;
    if (openKeys.erase(key) == 0)
        return ERROR_INVALID_HANDLE;
    delete reinterpret_cast<OpenKey*>(key);
    return ERROR_SUCCESS;
}
