#include "assets/IdentifierScan.h"

#include "assets/DataSet.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <tuple>
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
        {"peekResourceString", {Store::Layout, "String"}},
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

bool ArgumentLookup::operator<(const ArgumentLookup& other) const
{
    return std::tie(argument, store, kind) < std::tie(other.argument, other.store, other.kind);
}

bool ArgumentLookup::operator==(const ArgumentLookup& other) const
{
    return argument == other.argument && store == other.store && kind == other.kind;
}

namespace {

// The code with the contents of text and character literals blanked as well (quotes kept, length
// kept), so that brackets and commas inside them do not count and no call is found in a text.
std::string withoutLiteralContents(const std::string& code)
{
    std::string out = code;
    char quote = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        char c = out[i];
        if (!quote) {
            if (c == '"' || c == '\'')
                quote = c;
            continue;
        }
        if (c == '\\' && i + 1 < out.size()) {
            out[i] = ' ';
            if (out[i + 1] != '\n')
                out[i + 1] = ' ';
            ++i;
        } else if (c == quote || c == '\n') {
            quote = 0;
        } else {
            out[i] = ' ';
        }
    }
    return out;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A source file prepared for the scan: comments blanked (`code`), literal contents blanked as well
// (`plain`, for the structure), and every place a name is followed by an opening bracket.
struct ScannedSource {
    std::string code, plain;
    struct Call {
        std::string name;
        size_t nameAt, open;
    };
    std::vector<Call> calls;

    explicit ScannedSource(const std::string& source)
        : code(withoutComments(source)), plain(withoutLiteralContents(code))
    {
        // A name, template arguments if any (`makeFromLayoutAs<T>`), then "(".
        static const std::regex call(R"re(\b([A-Za-z_]\w*)\s*(?:<[^<>;{}()]*>\s*)?\()re");
        for (auto it = std::sregex_iterator(plain.begin(), plain.end(), call); it != std::sregex_iterator(); ++it)
            calls.push_back({(*it)[1].str(), static_cast<size_t>(it->position(1)),
                             static_cast<size_t>(it->position(0) + it->length(0) - 1)});
    }

    // The index just past the bracket that closes the one at `open`; npos when it is not closed.
    size_t closing(size_t open) const
    {
        int depth = 0;
        for (size_t i = open; i < plain.size(); ++i) {
            const char c = plain[i];
            if (c == '(' || c == '[' || c == '{')
                ++depth;
            else if ((c == ')' || c == ']' || c == '}') && --depth == 0)
                return i + 1;
        }
        return std::string::npos;
    }

    // The arguments of the call whose bracket opens at `open`, trimmed, with where each begins.
    std::vector<std::pair<std::string, size_t>> arguments(size_t open) const
    {
        std::vector<std::pair<std::string, size_t>> found;
        const size_t end = closing(open);
        if (end == std::string::npos)
            return found;
        // `end - 1` is the closing bracket; commas count only outside nested brackets.
        int depth = 0;
        size_t start = open + 1;
        for (size_t i = open + 1; i + 1 < end; ++i) {
            const char c = plain[i];
            if (c == '(' || c == '[' || c == '{')
                ++depth;
            else if (c == ')' || c == ']' || c == '}')
                --depth;
            else if (c == ',' && depth == 0) {
                found.emplace_back(trimmed(code.substr(start, i - start)), start);
                start = i + 1;
            }
        }
        found.emplace_back(trimmed(code.substr(start, end - 1 - start)), start);
        if (found.size() == 1 && found[0].first.empty())
            found.clear();
        return found;
    }

    int lineAt(size_t position) const
    {
        return 1 + static_cast<int>(std::count(code.begin(), code.begin() + static_cast<long>(position), '\n'));
    }
};

// A function definition: its name, the names of its parameters by place (empty for an unnamed
// one) and its body.
struct Definition {
    std::string name;
    std::vector<std::string> parameters;
    size_t bodyBegin, bodyEnd;
};

bool isIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::vector<Definition> definitions(const ScannedSource& source)
{
    static const std::set<std::string> statements = {"if", "for", "while", "switch", "catch", "return",
                                                     "sizeof", "alignof", "decltype", "static_assert"};
    static const std::regex parameterName(R"re(\S\s*[\s&*]\s*([A-Za-z_]\w*)\s*(?:\[\s*\])?$)re");
    static const std::regex qualifier(R"re(^\s*(?:(?:const|override|final|noexcept)\b\s*)*)re");
    std::vector<Definition> found;
    const std::string& text = source.plain;
    for (const ScannedSource::Call& call : source.calls) {
        if (statements.count(call.name))
            continue;
        const size_t afterParameters = source.closing(call.open);
        if (afterParameters == std::string::npos)
            continue;
        size_t at = afterParameters;
        std::smatch skipped;
        const std::string rest = text.substr(at, 64);
        if (std::regex_search(rest, skipped, qualifier))
            at += static_cast<size_t>(skipped.length(0));
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        if (at >= text.size())
            continue;
        if (text[at] == ':' && (at + 1 >= text.size() || text[at + 1] != ':')) {
            // A constructor's initialisers: skip each `member(...)` or `member{...}` up to the body.
            ++at;
            while (at < text.size()) {
                const char c = text[at];
                if (c == ';')
                    break;
                if (c == '(' || (c == '{' && at > 0 && isIdentifierChar(text[at - 1]))) {
                    at = source.closing(at);
                    if (at == std::string::npos)
                        break;
                    continue;
                }
                if (c == '{') {
                    size_t back = at;
                    while (back > 0 && std::isspace(static_cast<unsigned char>(text[back - 1])))
                        --back;
                    if (back > 0 && isIdentifierChar(text[back - 1])) { // `member {...}`
                        at = source.closing(at);
                        if (at == std::string::npos)
                            break;
                        continue;
                    }
                    break;
                }
                ++at;
            }
            if (at == std::string::npos || at >= text.size() || text[at] != '{')
                continue;
        } else if (text[at] != '{') {
            continue;
        }
        const size_t bodyEnd = source.closing(at);
        if (bodyEnd == std::string::npos)
            continue;
        Definition definition{call.name, {}, at, bodyEnd};
        for (const auto& [parameter, begin] : source.arguments(call.open)) {
            std::string declaration = parameter.substr(0, parameter.find('='));
            declaration = trimmed(declaration);
            std::smatch name;
            definition.parameters.push_back(std::regex_search(declaration, name, parameterName) ? name[1].str() : "");
        }
        found.push_back(std::move(definition));
    }
    return found;
}

LookupHelpers baseLookups()
{
    LookupHelpers base;
    for (const auto& [name, function] : lookupFunctions())
        base[name].push_back({0, function.store, function.kind});
    return base;
}

} // namespace

LookupHelpers findLookupHelpers(const std::vector<std::string>& sources)
{
    std::vector<ScannedSource> scanned;
    std::vector<std::vector<Definition>> defined;
    for (const std::string& source : sources) {
        scanned.emplace_back(source);
        defined.push_back(definitions(scanned.back()));
    }

    const LookupHelpers base = baseLookups();
    // Everything each (helper, parameter) was seen passed on as; one meaning is a helper, more are not.
    std::map<std::pair<std::string, int>, std::set<std::pair<Store, std::string>>> seen;
    auto known = [&] {
        LookupHelpers all = base;
        for (const auto& [key, meanings] : seen)
            if (meanings.size() == 1 && !base.count(key.first))
                all[key.first].push_back({key.second, meanings.begin()->first, meanings.begin()->second});
        return all;
    };
    for (bool grown = true; grown;) {
        grown = false;
        const LookupHelpers current = known();
        for (size_t file = 0; file < scanned.size(); ++file) {
            const ScannedSource& source = scanned[file];
            for (const Definition& definition : defined[file]) {
                if (base.count(definition.name))
                    continue;
                for (const ScannedSource::Call& call : source.calls) {
                    if (call.nameAt < definition.bodyBegin || call.nameAt >= definition.bodyEnd)
                        continue;
                    auto callee = current.find(call.name);
                    if (callee == current.end())
                        continue;
                    const auto arguments = source.arguments(call.open);
                    for (const ArgumentLookup& looked : callee->second) {
                        if (looked.argument >= static_cast<int>(arguments.size()))
                            continue;
                        const std::string& passed = arguments[static_cast<size_t>(looked.argument)].first;
                        for (size_t p = 0; p < definition.parameters.size(); ++p) {
                            if (passed.empty() || definition.parameters[p] != passed)
                                continue;
                            auto& meanings = seen[{definition.name, static_cast<int>(p)}];
                            grown |= meanings.emplace(looked.store, looked.kind).second;
                        }
                    }
                }
            }
        }
    }

    LookupHelpers helpers;
    for (auto& [name, lookups] : known())
        if (!base.count(name)) {
            std::sort(lookups.begin(), lookups.end());
            helpers[name] = lookups;
        }
    return helpers;
}

std::vector<Lookup> findLookups(const std::string& source, const std::string& fileName,
                                const std::map<std::string, std::string>& constants, const LookupHelpers& helpers)
{
    static const std::regex literal(R"re("([A-Z][A-Z0-9_]*)")re");
    static const std::regex identifier(R"re([A-Za-z_]\w*)re");
    LookupHelpers functions = baseLookups();
    for (const auto& [name, lookups] : helpers)
        if (!functions.count(name))
            functions[name] = lookups;

    std::vector<std::string> lines;
    {
        std::istringstream in(source);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    auto skipped = [&](int line) {
        return line <= static_cast<int>(lines.size()) && lines[line - 1].find("not a data id") != std::string::npos;
    };
    const ScannedSource scanned(source);
    std::vector<Lookup> found;
    for (const ScannedSource::Call& call : scanned.calls) {
        auto function = functions.find(call.name);
        if (function == functions.end())
            continue;
        const auto arguments = scanned.arguments(call.open);
        for (const ArgumentLookup& looked : function->second) {
            if (looked.argument >= static_cast<int>(arguments.size()))
                continue;
            const auto& [argument, at] = arguments[static_cast<size_t>(looked.argument)];
            std::smatch match;
            std::string id;
            if (std::regex_match(argument, match, literal)) {
                id = match[1].str();
            } else if (std::regex_match(argument, identifier)) {
                auto constant = constants.find(argument);
                if (constant == constants.end())
                    continue;
                id = constant->second;
            } else {
                continue;
            }
            const int line = scanned.lineAt(call.nameAt);
            if (skipped(line) || skipped(scanned.lineAt(at)))
                continue;
            found.push_back({looked.store, looked.kind, call.name, id, fileName, line});
        }
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

    std::vector<std::string> sources;
    for (const auto& file : files)
        sources.push_back(readFile(file));
    const LookupHelpers helpers = findLookupHelpers(sources);

    std::vector<Lookup> all;
    for (const auto& file : files) {
        std::map<std::string, std::string> constants = shared;
        for (const auto& [name, value] : fileConstants[file.string()])
            constants[name] = value;
        std::vector<Lookup> found = findLookups(readFile(file), std::filesystem::relative(file, sourceDir()).string(),
                                                constants, helpers);
        all.insert(all.end(), found.begin(), found.end());
    }
    return all;
}

} // namespace dataset
