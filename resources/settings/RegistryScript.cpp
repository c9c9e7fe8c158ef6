#include "resources/settings/RegistryScript.h"

#include "compat/win32/system/process/module.h"
#include "compat/win32/registry/registry.h"
#include "runtime/containers/Buffer.h"
#include "runtime/java/ByteArrayDataInput.h"
#include "runtime/java/Exception.h"
#include "runtime/java/String.h"
#include "runtime/strings/StringUtils.h"

#include <vector>

namespace {

struct Root {
    const char* name;
    HKEY key;
};

// Tested in this order as prefixes of the text between the brackets.
HKEY rootOf(const std::string& text)
{
    const Root roots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},                 {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    };
    for (const Root& root : roots)
        if (text.compare(0, std::string(root.name).size(), root.name) == 0)
            return root.key;
    return nullptr;
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::string(prefix).size(), prefix) == 0;
}

// A key line closes the open key and opens (creating when needed) the one it names. A line without a
// sub-key ("[HKEY_CURRENT_USER]") opens the root itself.
void openKey(const std::string& line, HKEY& key)
{
    if (key != nullptr) {
        RegCloseKey(key);
        key = nullptr;
    }
    std::string text = line.substr(1, line.size() - 2);
    HKEY root = rootOf(text);
    if (root == nullptr)
        return;
    size_t slash = text.find('\\');
    std::string subKey = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    if (RegCreateKeyA(root, subKey.c_str(), &key) != ERROR_SUCCESS)
        key = nullptr;
}

void setValue(const std::string& line, HKEY key, int overwrite)
{
    size_t pair = line.find("\"=");
    if (line.empty() || line[0] != '"' || pair == std::string::npos || pair < 1)
        return;
    std::string name = line.substr(1, pair - 1);
    std::string rest = line.substr(pair + 2);
    if (!overwrite && RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return;
    if (!rest.empty() && rest[0] == '"') {
        // The text between the quotes as it stands: no escapes, so a doubled backslash stays doubled.
        std::string text = rest.size() >= 2 ? rest.substr(1, rest.size() - 2) : std::string();
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    } else if (startsWith(rest, "dword:")) {
        DWORD number = static_cast<DWORD>(parseHex(rest.substr(6)));
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
}

} // namespace

void applyRegistryScript(const unsigned char* bytes, size_t length, int overwrite)
{
    std::vector<unsigned char> text;
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        // UTF-16: the low byte of every unit is taken.
        for (size_t i = 2; i < length; i += 2)
            text.push_back(bytes[i]);
    } else {
        text.assign(bytes, bytes + length);
    }

    java::ByteArrayDataInput input(text.data(), static_cast<int>(text.size()));
    HKEY key = nullptr;
    try {
        for (;;) {
            java::String* read = input.readLine();
            std::string line(read->c_str(), read->length());
            java::releaseAndDelete(read);
            if (startsWith(line, "[HKEY_") && line.back() == ']')
                openKey(line, key);
            else if (key != nullptr)
                setValue(line, key, overwrite);
        }
    } catch (const java::EOFException&) {
        // The end of the script.
    }
    if (key != nullptr)
        RegCloseKey(key);
}

void importRegistryFile(const std::string& fileName, int overwrite)
{
    char module[4096];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module)
        return;
    std::string path(module, length);
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos)
        return;
    Buffer script;
    // An installed program keeps its data set apart from its executable: the script then comes from
    // the data directory, which is the working directory by the time the game starts.
    if (!Buffer::loadFile(nullptr, path.substr(0, slash + 1) + fileName, script)
        && !Buffer::loadFile(nullptr, fileName, script))
        return;
    applyRegistryScript(script.data, script.size, overwrite);
}
