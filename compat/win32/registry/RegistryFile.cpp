#include "compat/win32/registry/RegistryFile.h"

#include "compat/win32/hexdigit.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace compat {

const char* const kRegistryRootNames[kRegistryRootCount] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

namespace {

const DWORD kDword = 4;  // REG_DWORD
const DWORD kString = 1; // REG_SZ

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isRootName(const std::string& name)
{
    for (const char* root : kRegistryRootNames)
        if (name == root)
            return true;
    return false;
}

void appendQuoted(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

// Reads a quoted string starting at line[pos]; on success pos is just past the closing quote.
bool readQuoted(const std::string& line, size_t& pos, std::string& out)
{
    if (pos >= line.size() || line[pos] != '"')
        return false;
    out.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= line.size())
            return false;
        char e = line[i];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && i + 2 < line.size() && hexDigitValue(line[i + 1]) >= 0
                   && hexDigitValue(line[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(line[i + 1]) * 16 + hexDigitValue(line[i + 2]));
            i += 2;
        } else {
            return false;
        }
    }
    return false;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

void skipBlanks(const std::string& line, size_t& pos)
{
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
}

// The line without the blanks (and a carriage return) at either end.
std::string trimLine(const std::string& line)
{
    size_t first = 0, last = line.size();
    while (first < last && isBlank(line[first]))
        ++first;
    while (last > first && (isBlank(line[last - 1]) || line[last - 1] == '\r'))
        --last;
    return line.substr(first, last - first);
}

bool parseValueLine(const std::string& line, RegistryValue& value)
{
    size_t pos = 0;
    if (!readQuoted(line, pos, value.name))
        return false;
    skipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != '=')
        return false;
    ++pos;
    skipBlanks(line, pos);
    if (line.compare(pos, 6, "dword:") == 0) {
        pos += 6;
        size_t digits = line.size() - pos;
        if (digits < 1 || digits > 8)
            return false;
        DWORD number = 0;
        for (; pos < line.size(); ++pos) {
            int d = hexDigitValue(line[pos]);
            if (d < 0)
                return false;
            number = number * 16 + static_cast<DWORD>(d);
        }
        value.type = kDword;
        value.number = number;
        return true;
    }
    if (!readQuoted(line, pos, value.text) || pos != line.size())
        return false;
    value.type = kString;
    return true;
}

} // namespace

bool sameRegistryName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

RegistryValue* RegistryKey::findValue(const std::string& name)
{
    for (RegistryValue& value : values)
        if (sameRegistryName(value.name, name))
            return &value;
    return nullptr;
}

std::string RegistryFile::normalizePath(const std::string& path)
{
    std::string normal;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            if (!normal.empty())
                normal += '\\';
            normal.append(path, start, end - start);
        }
        start = end + 1;
    }
    return normal;
}

RegistryFile RegistryFile::parse(const std::string& text)
{
    RegistryFile file;
    RegistryKey* current = nullptr;
    // A byte-order mark that an editor put before the first line.
    const char bom[] = "\xEF\xBB\xBF";
    std::istringstream in(text.compare(0, 3, bom) == 0 ? text.substr(3) : text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        std::string line = trimLine(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        auto skip = [&] { file.unreadable.push_back(UnreadableLine{number, line}); };
        if (line[0] == '[') {
            current = nullptr;
            if (line.size() < 2 || line.back() != ']') {
                skip();
                continue;
            }
            std::string path = normalizePath(line.substr(1, line.size() - 2));
            if (!isRootName(path.substr(0, path.find('\\')))) {
                skip();
                continue;
            }
            bool created = false;
            current = &file.createKey(path, created);
            continue;
        }
        RegistryValue value;
        if (current == nullptr || !parseValueLine(line, value)) {
            skip();
            continue;
        }
        if (RegistryValue* existing = current->findValue(value.name))
            *existing = value;
        else
            current->values.push_back(value);
    }
    return file;
}

std::string RegistryFile::format() const
{
    std::string out = "; Quarrytide registry. Edit only while the game is not running.\n";
    for (const RegistryKey& key : keys) {
        out += "\n[" + key.path + "]\n";
        for (const RegistryValue& value : key.values) {
            appendQuoted(out, value.name);
            out += '=';
            if (value.type == kDword) {
                char number[16];
                std::snprintf(number, sizeof number, "dword:%08X", static_cast<unsigned>(value.number));
                out += number;
            } else {
                appendQuoted(out, value.text);
            }
            out += '\n';
        }
    }
    return out;
}

RegistryKey* RegistryFile::findKey(const std::string& path)
{
    for (RegistryKey& key : keys)
        if (sameRegistryName(key.path, path))
            return &key;
    return nullptr;
}

RegistryKey& RegistryFile::createKey(const std::string& path, bool& created)
{
    // Every key above this one exists too, as in the system registry.
    size_t cut = path.find('\\');
    while (cut != std::string::npos) {
        std::string parent = path.substr(0, cut);
        if (findKey(parent) == nullptr) {
            keys.push_back(RegistryKey{parent, {}});
            created = true;
        }
        cut = path.find('\\', cut + 1);
    }
    if (RegistryKey* key = findKey(path))
        return *key;
    keys.push_back(RegistryKey{path, {}});
    created = true;
    return keys.back();
}

std::vector<std::string> RegistryFile::subKeyNames(const std::string& path) const
{
    std::vector<std::string> names;
    size_t prefix = path.size() + 1;
    for (const RegistryKey& key : keys) {
        if (key.path.size() <= prefix || key.path[path.size()] != '\\'
            || key.path.find('\\', prefix) != std::string::npos
            || !sameRegistryName(key.path.substr(0, path.size()), path))
            continue;
        names.push_back(key.path.substr(prefix));
    }
    auto folded = [](std::string name) {
        std::transform(name.begin(), name.end(), name.begin(), foldCase);
        return name;
    };
    std::sort(names.begin(), names.end(),
              [&](const std::string& a, const std::string& b) { return folded(a) < folded(b); });
    return names;
}

bool RegistryFile::removeKey(const std::string& path)
{
    auto found = std::find_if(keys.begin(), keys.end(),
                              [&](const RegistryKey& key) { return sameRegistryName(key.path, path); });
    if (found == keys.end())
        return false;
    keys.erase(found);
    return true;
}

} // namespace compat
