#include "frontend/app/CommandLine.h"

#include <cstdlib>

CommandLine::CommandLine(const std::string& text)
{
    bool inQuotes = false;
    bool inArgument = false;
    std::string current;
    auto finish = [&] {
        arguments.push_back(current);
        current.clear();
        inArgument = false;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' && !inQuotes && inArgument) {
            finish();
        } else if (c == '"') {
            inQuotes = !inQuotes;
            if (inArgument) {
                finish();
            } else {
                if (i + 1 >= text.size() || arguments.size() >= static_cast<std::size_t>(kMaxArguments))
                    break;
                // The character after an opening quote starts the argument without being looked at.
                inArgument = true;
                current.push_back(text[++i]);
            }
        } else if (inArgument) {
            current.push_back(c);
        } else if (c != ' ' || inQuotes) {
            // Inside quotes a blank starts an argument like any other character.
            if (arguments.size() >= static_cast<std::size_t>(kMaxArguments))
                break;
            inArgument = true;
            current.push_back(c);
        }
        ++i;
    }
    if (inArgument)
        arguments.push_back(current);
}

CommandLine CommandLine::fromArguments(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (std::size_t i = 1; i < arguments.size() && line.arguments.size() < static_cast<std::size_t>(kMaxArguments); ++i)
        line.arguments.push_back(arguments[i]);
    return line;
}

namespace {

// The text of an argument from its second character; empty when the argument is missing.
std::string fromSecond(const std::vector<std::string>& arguments, std::size_t index)
{
    if (index >= arguments.size() || arguments[index].size() < 2)
        return {};
    return arguments[index].substr(1);
}

// The leading decimal number of a text, 0 when there is none (as the C library reads it).
unsigned long long leadingNumber(const std::string& text)
{
    return text.empty() ? 0 : std::strtoull(text.c_str(), nullptr, 10);
}

} // namespace

ShellArguments readShellArguments(const CommandLine& commandLine)
{
    const std::vector<std::string>& arguments = commandLine.getArguments();
    ShellArguments result;
    result.shellWindow = static_cast<std::uintptr_t>(leadingNumber(fromSecond(arguments, 0)));
    result.signedOut = arguments.size() < 3 || std::atoi(fromSecond(arguments, 2).c_str()) == 0;
    if (!result.signedOut)
        result.userName = fromSecond(arguments, 3).substr(0, ShellArguments::kMaxUserName);
    return result;
}
