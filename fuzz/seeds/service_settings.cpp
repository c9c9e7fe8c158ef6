// Registry files as the game's registry writes them, holding the service settings of game 42 and the
// keys of its advertisement packages: a complete set, sub-keys that name no package (leading zero, sign,
// letters, too large, too long a name before a good one), packages missing a value or holding one of
// another type, settings of the wrong types, a package key with keys below it, and another game's keys.
// The files in fuzz/corpus/service_settings/ were written by this program; it writes them afresh into
// the folder it is given.
#include "compat/win32/registry/registry.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kSettings = "Software\\Vantrel\\games\\42\\zevuzuded";

struct Value {
    std::string name;
    std::string text;  // REG_SZ unless the value is a number
    DWORD number = 0;
    bool isNumber = false;
};

Value text(const std::string& name, const std::string& value)
{
    return Value{name, value, 0, false};
}

Value number(const std::string& name, DWORD value)
{
    return Value{name, "", value, true};
}

bool writeKey(const std::string& path, const std::vector<Value>& values)
{
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    for (const Value& value : values) {
        if (value.isNumber)
            RegSetValueExA(key, value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                           sizeof value.number);
        else
            RegSetValueExA(key, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                           static_cast<DWORD>(value.text.size() + 1));
    }
    RegCloseKey(key);
    return true;
}

std::vector<Value> completeSettings()
{
    return {number("adinterval", 3),
            number("adminseconds", 60),
            text("updateurl", "http://updates.example.net/check.php"),
            text("downloadurl", "http://www.example.net/download/quarrytide"),
            text("debugurl", "http://www.example.net/debug.php"),
            text("moregamesurl", "http://www.example.net/games"),
            number("gamesetid", 1018),
            number("skinnedgameid", 77),
            text("version", "1.1.0"),
            number("lastcheckdate", 1699000000)};
}

std::vector<Value> package(const std::string& id)
{
    return {text("filenameurl", "http://ads.example.net/" + id + ".zip"), text("gameids", "42,43")};
}

bool writeSeed(const std::string& folder, const std::string& name, bool (*fill)())
{
    const std::string path = folder + "/" + name;
    std::remove(path.c_str());
    setenv("QUARRYTIDE_REGISTRY", path.c_str(), 1);
    const bool ok = fill();
    std::remove((path + ".lock").c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = writeSeed(folder, "complete.reg", [] {
        return writeKey(kSettings, completeSettings()) && writeKey(kSettings + "\\ads\\7", package("7")) &&
               writeKey(kSettings + "\\ads\\12", package("12")) &&
               writeKey(kSettings + "\\ads\\2147483647", package("2147483647"));
    });
    ok = writeSeed(folder, "not_ours.reg", [] {
        const std::string below = kSettings + "\\ads\\";
        bool done = writeKey(kSettings, completeSettings());
        for (const char* name : {"012", "+5", "12a", "2147483648", "0", " 3", "99999999999"})
            done = writeKey(below + name, package(name)) && done;
        done = writeKey(below + std::string(300, '4'), package("4")) && done;
        done = writeKey(below + "9", package("9")) && done;
        done = writeKey(below + "8", {number("filenameurl", 8), text("gameids", "42")}) && done;
        done = writeKey(below + "6", {text("filenameurl", "http://ads.example.net/6.zip")}) && done;
        return done;
    }) && ok;
    ok = writeSeed(folder, "wrong_types.reg", [] {
        return writeKey(kSettings, {text("adinterval", "3"), number("updateurl", 1), number("version", 110),
                                    text("gamesetid", "1018"), text("lastcheckdate", "yesterday")});
    }) && ok;
    ok = writeSeed(folder, "nested_package.reg", [] {
        return writeKey(kSettings, completeSettings()) && writeKey(kSettings + "\\ads\\5", package("5")) &&
               writeKey(kSettings + "\\ads\\5\\extra\\deeper", package("5")) &&
               writeKey(kSettings + "\\ads\\11", package("11"));
    }) && ok;
    ok = writeSeed(folder, "other_game.reg", [] {
        return writeKey("Software\\Vantrel\\games\\43\\zevuzuded", completeSettings()) &&
               writeKey("Software\\Vantrel\\games\\43\\zevuzuded\\ads\\3", package("3"));
    }) && ok;
    return ok ? 0 : 1;
}
