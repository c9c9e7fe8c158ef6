#include "services/shell/ServiceSettings.h"

#include "runtime/ServiceShellDefaults.h"
#include "services/shell/ServiceShell.h"

#include "resources/settings/RegistryValue.h"

#include "compat/win32/system/process/module.h"
#include "compat/win32/registry/registry.h"

#include <climits>

namespace services {

namespace {

std::time_t systemClock()
{
    return std::time(nullptr);
}

// A REG_DWORD as the signed number the settings keep; false when it is missing or has another type.
bool readDword(HKEY key, const char* name, long& into)
{
    DWORD value = 0;
    if (!readRegistryDword(key, name, value))
        return false;
    into = static_cast<long>(static_cast<LONG>(value));
    return true;
}

} // namespace

std::time_t (*ServiceSettings::clock)() = systemClock;

ServiceSettings::ServiceSettings(ServiceShell* owner) : owner(owner)
{
    char path[261] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, 260);
    std::string module(path, length);
    size_t slash = module.find_last_of('\\');
    adsDirectory = (slash == std::string::npos ? module : module.substr(0, slash)) + "\\ads\\";
    load();
}

int ServiceSettings::packageIdOf(const std::string& name)
{
    if (name.empty() || name.size() > 10 || name[0] < '1' || name[0] > '9')
        return 0;
    long long id = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return 0;
        id = id * 10 + (c - '0');
    }
    return id <= INT_MAX ? static_cast<int>(id) : 0;
}

std::string ServiceSettings::keyPath() const
{
    return "Software\\Vantrel\\games\\" + std::to_string(owner ? owner->getGameId() : 0) + "\\zevuzuded";
}

bool ServiceSettings::load()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool complete = true;
    long number = 0;
    ServiceShellDefaults* defaults = owner ? owner->getParameters() : nullptr;
    if (readDword(key, "adinterval", number)) {
        if (defaults)
            defaults->setValue5(static_cast<int>(number));
    } else {
        complete = false;
    }
    if (readDword(key, "adminseconds", number)) {
        if (defaults)
            defaults->setValue1(static_cast<int>(number));
    } else {
        complete = false;
    }
    complete = readRegistryString(key, "updateurl", updateUrl) && complete;
    complete = readRegistryString(key, "downloadurl", downloadUrl) && complete;
    complete = readRegistryString(key, "debugurl", debugUrl) && complete;
    complete = readRegistryString(key, "moregamesurl", moreGamesUrl) && complete;
    if (readDword(key, "gamesetid", number))
        gameSetId = static_cast<int>(number);
    else
        complete = false;
    if (readDword(key, "skinnedgameid", number))
        skinnedGameId = static_cast<int>(number);
    else
        complete = false;
    complete = readRegistryString(key, "version", version) && complete;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, "lastcheckdate", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        lastCheckDate = static_cast<long>(clock());
    else if (readDword(key, "lastcheckdate", number))
        lastCheckDate = number;
    else
        complete = false;
    RegCloseKey(key);
    loadPackages();
    return complete;
}

void ServiceSettings::loadPackages()
{
    HKEY ads = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, adsKeyPath().c_str(), 0, KEY_READ, &ads) != ERROR_SUCCESS)
        return;
    char name[260];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        LONG result = RegEnumKeyExA(ads, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue; // a name this long is no package id; the ones after it still count
        if (result != ERROR_SUCCESS)
            break;
        // A sub-key named otherwise ("012", "+12", "12a") is not one of ours and is left alone.
        int id = packageIdOf(name);
        if (id <= 0)
            continue;
        auto package = std::make_shared<AdUpdater>(id, adsDirectory, adsKeyPath());
        if (package->loadEntry(ads))
            adTable[id] = package;
    }
    RegCloseKey(ads);
}

bool ServiceSettings::isCheckDue()
{
    load();
    long now = static_cast<long>(clock());
    long elapsed = now - lastCheckDate;
    bool due = elapsed > 0 && (checkInterval == 0 || elapsed / 86400 > checkInterval);
    lastCheckDate = now;
    save();
    return due;
}

void ServiceSettings::save()
{
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, keyPath().c_str(), &key) != ERROR_SUCCESS)
        return;
    DWORD value = static_cast<DWORD>(lastCheckDate);
    RegSetValueExA(key, "lastcheckdate", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

} // namespace services
