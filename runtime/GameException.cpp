#include "runtime/GameException.h"

#include <cstdio>
#include <cstring>

namespace {

char* duplicate(const char* text)
{
    if (text == nullptr)
        text = "";
    std::size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

} // namespace

GameTextException::GameTextException(int code, const char* text) : code(code), text(duplicate(text)) {}

GameTextException::GameTextException(int code, const char* format, const char* argument) : code(code), text(nullptr)
{
    if (format == nullptr)
        format = "";
    if (argument == nullptr)
        argument = "";
    std::size_t capacity = std::strlen(format) + std::strlen(argument) + 1;
    text = new char[capacity];
    // The format comes from our own throw sites and holds exactly one "%s".
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    std::snprintf(text, capacity, format, argument);
#pragma GCC diagnostic pop
}

GameTextException::GameTextException(const GameTextException& other)
    : GameException(other), code(other.code), text(duplicate(other.text))
{
}

GameTextException& GameTextException::operator=(const GameTextException& other)
{
    if (this != &other) {
        char* copy = duplicate(other.text);
        delete[] text;
        text = copy;
        code = other.code;
    }
    return *this;
}

GameTextException::~GameTextException()
{
    delete[] text;
}
