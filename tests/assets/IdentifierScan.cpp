#include "assets/IdentifierScan.h"

#include "assets/DataSet.h"

#include <algorithm>
#include <regex>
#include <sstream>

namespace dataset {

const std::map<std::string, LookupFunction>& lookupFunctions()
{
    static const std::map<std::string, LookupFunction> functions = {
        {"getString", {Store::Property, "String"}},
        {"getInteger", {Store::Property, "Integer"}},
        {"getDouble", {Store::Property, "Double"}},
        {"getBoolean", {Store::Property, "Boolean"}},
        {"getLong", {Store::Property, "Long"}},
        {"getColor", {Store::Property, "Color"}},
        {"getPoint", {Store::Property, "Point"}},
        {"getRectangle", {Store::Property, "Rectangle"}},
        {"getArrayInteger", {Store::Property, "ArrayInteger"}},
        {"getArrayString", {Store::Property, "ArrayString"}},
        {"getResourceString", {Store::Layout, "String"}},
        {"getResourceInt", {Store::Layout, "Integer"}},
        {"getResourceFloat", {Store::Layout, "Float"}},
        {"getResourceBool", {Store::Layout, "Boolean"}},
        {"getResourcePoint", {Store::Layout, "Point"}},
        {"getResourceRect", {Store::Layout, "Rectangle"}},
        {"getResourceList", {Store::Layout, "StringVector"}},
        {"getResourceVector", {Store::Layout, "IntegerVector"}},
        {"findLayoutElement", {Store::Layout, "template"}},
        {"getImage", {Store::Catalogue, "Surface"}},
        {"getMask", {Store::Catalogue, "Mask"}},
        {"getFont", {Store::Catalogue, "Font"}},
        {"getSound", {Store::Catalogue, "Sound"}},
        {"playSound", {Store::Catalogue, "Sound"}},
        {"loopSound", {Store::Catalogue, "Sound"}},
        {"loadById", {Store::Catalogue, "any"}},
    };
    return functions;
}

std::string withoutComments(const std::string& source)
{
    std::string out = source;
    enum { Code, Line, Block, Text, Char } state = Code;
    for (size_t i = 0; i < out.size(); ++i) {
        char c = out[i];
        char next = i + 1 < out.size() ? out[i + 1] : '\0';
        switch (state) {
        case Code:
            if (c == '/' && next == '/') {
                state = Line;
                out[i] = ' ';
            } else if (c == '/' && next == '*') {
                state = Block;
                out[i] = out[i + 1] = ' ';
                ++i;
            } else if (c == '"') {
                state = Text;
            } else if (c == '\'') {
                state = Char;
            }
            break;
        case Line:
            if (c == '\n')
                state = Code;
            else
                out[i] = ' ';
            break;
        case Block:
            if (c == '*' && next == '/') {
                out[i] = out[i + 1] = ' ';
                ++i;
                state = Code;
            } else if (c != '\n') {
                out[i] = ' ';
            }
            break;
        case Text:
        case Char:
            if (c == '\\')
                ++i;
            else if ((state == Text && c == '"') || (state == Char && c == '\'') || c == '\n')
                state = Code;
            break;
        }
    }
    return out;
}

std::map<std::string, std::string> identifierConstants(const std::string& source)
{
    std::map<std::string, std::string> constants;
    static const std::regex constant(R"re(\b([A-Za-z_]\w*)\s*(?:\[\s*\])?\s*=\s*"([A-Z][A-Z0-9_]*)"\s*;)re");
    std::string code = withoutComments(source);
    for (auto it = std::sregex_iterator(code.begin(), code.end(), constant); it != std::sregex_iterator(); ++it)
        constants.emplace((*it)[1].str(), (*it)[2].str());
    return constants;
}

bool sharedConstantName(const std::string& name)
{
    static const std::regex constantName(R"re(k[A-Z]\w*|[A-Z][A-Z0-9_]*)re");
    return std::regex_match(name, constantName);
}

std::vector<Lookup> findLookups(const std::string& source, const std::string& fileName,
                                const std::map<std::string, std::string>& constants)
{
    static const std::regex call = [] {
        std::string names;
        for (const auto& [name, function] : lookupFunctions())
            names += (names.empty() ? "" : "|") + name;
        return std::regex(R"re(\b()re" + names + R"re()\s*\(\s*(?:"([A-Z][A-Z0-9_]*)"|([A-Za-z_]\w*))\s*[,)])re");
    }();
    std::vector<std::string> lines;
    {
        std::istringstream in(source);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    std::string code = withoutComments(source);
    std::vector<Lookup> found;
    for (auto it = std::sregex_iterator(code.begin(), code.end(), call); it != std::sregex_iterator(); ++it) {
        const std::smatch& match = *it;
        std::string id = match[2].str();
        if (id.empty()) {
            auto constant = constants.find(match[3].str());
            if (constant == constants.end())
                continue;
            id = constant->second;
        }
        int line = 1 + static_cast<int>(std::count(code.begin(), code.begin() + match.position(0), '\n'));
        if (line <= static_cast<int>(lines.size()) && lines[line - 1].find("not a data id") != std::string::npos)
            continue;
        const LookupFunction& function = lookupFunctions().at(match[1].str());
        found.push_back({function.store, function.kind, match[1].str(), id, fileName, line});
    }
    return found;
}

std::vector<Lookup> scanProductSources()
{
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"runtime", "resources", "platform", "toolkit", "game", "frontend", "services"}) {
        std::filesystem::path root = sourceDir() / folder;
        if (!std::filesystem::is_directory(root))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".cpp" || extension == ".h"))
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());

    // A constant's name resolves in its own file first, then, when it is named like a constant,
    // anywhere it has one value only.
    std::map<std::string, std::map<std::string, std::string>> fileConstants;
    std::map<std::string, std::string> shared;
    std::map<std::string, int> definitions;
    for (const auto& file : files) {
        fileConstants[file.string()] = identifierConstants(readFile(file));
        for (const auto& [name, value] : fileConstants[file.string()]) {
            if (!sharedConstantName(name))
                continue;
            if (shared.count(name) == 0 || shared[name] != value)
                ++definitions[name];
            shared[name] = value;
        }
    }
    for (const auto& [name, count] : definitions)
        if (count > 1)
            shared.erase(name);

    std::vector<Lookup> all;
    for (const auto& file : files) {
        std::map<std::string, std::string> constants = shared;
        for (const auto& [name, value] : fileConstants[file.string()])
            constants[name] = value;
        std::vector<Lookup> found = findLookups(readFile(file), std::filesystem::relative(file, sourceDir()).string(),
                                                constants);
        all.insert(all.end(), found.begin(), found.end());
    }
    return all;
}

} // namespace dataset
