#include "runtime/java/String.h"

#include "runtime/java/Exception.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

namespace java {

namespace {

char* allocateText(uint32_t capacity)
{
    return new char[static_cast<size_t>(capacity) + 1];
}

// The error line names the whole text so that a bad slice of a server reply can be traced.
[[noreturn]] void outOfBounds(const std::string& what, const char* text)
{
    std::fprintf(stderr, "%s%s\n", what.c_str(), text);
    std::fflush(stderr);
    throw IndexOutOfBoundsException();
}

} // namespace

String::String(const char* text) : String(text, text ? static_cast<uint32_t>(std::strlen(text)) : 0) {}

String::String(const char* text, uint32_t n) : chars(allocateText(n)), capacity_(n), length_(n)
{
    if (n > 0)
        std::memcpy(chars, text, n);
    chars[n] = 0;
}

String::String(const String& other) : String(other.chars, other.length_) {}

String& String::operator=(const String& other)
{
    if (this == &other)
        return *this;
    if (other.length_ > length_) {
        char* bigger = allocateText(other.length_);
        delete[] chars;
        chars = bigger;
        capacity_ = other.length_;
    }
    std::memcpy(chars, other.chars, static_cast<size_t>(other.length_) + 1);
    length_ = other.length_;
    return *this;
}

String::~String()
{
    delete[] chars;
}

String String::valueOf(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return String(text);
}

void String::append(char c)
{
    if (length_ == capacity_) {
        uint32_t grown = (capacity_ + 1) * 2;
        char* bigger = allocateText(grown);
        std::memcpy(bigger, chars, length_);
        delete[] chars;
        chars = bigger;
        capacity_ = grown;
    }
    chars[length_++] = c;
    chars[length_] = 0;
}

String& String::operator+=(const String& other)
{
    uint32_t added = other.length_;
    uint32_t total = length_ + added;
    if (total > capacity_) {
        char* bigger = allocateText(total);
        std::memcpy(bigger, chars, length_);
        // `other` may be this string: copy its bytes before the old buffer goes.
        std::memcpy(bigger + length_, other.chars, added);
        delete[] chars;
        chars = bigger;
        capacity_ = total;
    } else {
        std::memmove(chars + length_, other.chars, added);
    }
    length_ = total;
    chars[length_] = 0;
    return *this;
}

String& String::operator+=(int value)
{
    return *this += valueOf(value);
}

void String::checkIndex(uint32_t index) const
{
    if (index >= length_)
        outOfBounds("Index Out Of Bounds Exception at [" + std::to_string(index) + "] in:\n", chars);
}

char String::charAt(uint32_t index) const
{
    checkIndex(index);
    return chars[index];
}

char& String::operator[](uint32_t index)
{
    checkIndex(index);
    return chars[index];
}

bool String::regionMatches(uint32_t offset, const String& s) const
{
    return static_cast<uint64_t>(offset) + s.length_ <= length_
        && std::memcmp(chars + offset, s.chars, s.length_) == 0;
}

bool String::equals(const String& s) const
{
    return length_ == s.length_ && std::memcmp(chars, s.chars, length_) == 0;
}

bool String::equalsIgnoreCase(const String& s) const
{
    if (this == &s)
        return true;
    if (length_ != s.length_)
        return false;
    for (uint32_t i = 0; i < length_; ++i) {
        if (std::tolower(static_cast<unsigned char>(chars[i])) != std::tolower(static_cast<unsigned char>(s.chars[i])))
            return false;
    }
    return true;
}

bool String::startsWith(const String& s) const
{
    return startsWith(s, 0);
}

bool String::startsWith(const String& s, uint32_t offset) const
{
    return regionMatches(offset, s);
}

bool String::endsWith(const String& s) const
{
    return s.length_ <= length_ && regionMatches(length_ - s.length_, s);
}

int String::indexOf(const String& s) const
{
    return indexOf(s, 0);
}

int String::indexOf(const String& s, uint32_t from) const
{
    if (from >= length_ || s.length_ > length_)
        return -1;
    for (uint32_t i = from; i <= length_ - s.length_; ++i) {
        if (std::memcmp(chars + i, s.chars, s.length_) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int String::lastIndexOf(const String& s) const
{
    return lastIndexOf(s, static_cast<int>(length_) - static_cast<int>(s.length_));
}

int String::lastIndexOf(const String& s, int from) const
{
    if (s.length_ == 0 || from < 0 || static_cast<uint32_t>(from) >= length_ || s.length_ > length_)
        return -1;
    // Only positions where the whole target fits are candidates.
    uint32_t start = static_cast<uint32_t>(from);
    if (start > length_ - s.length_)
        start = length_ - s.length_;
    for (uint32_t i = start + 1; i-- > 0;) {
        if (std::memcmp(chars + i, s.chars, s.length_) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

String String::substring(uint32_t begin, uint32_t end) const
{
    if (begin > end)
        std::swap(begin, end);
    if (end > length_) {
        outOfBounds("Index Out Of Bounds Exception w/ substring(" + std::to_string(begin) + "," + std::to_string(end)
                        + "]:\n",
                    chars);
    }
    return String(chars + begin, end - begin);
}

String String::substring(uint32_t begin) const
{
    return substring(begin, length_);
}

String String::toLowerCase() const
{
    String result(*this);
    for (uint32_t i = 0; i < length_; ++i)
        result.chars[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(chars[i])));
    return result;
}

String String::toUpperCase() const
{
    String result(*this);
    for (uint32_t i = 0; i < length_; ++i)
        result.chars[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(chars[i])));
    return result;
}

String String::trim() const
{
    uint32_t begin = 0;
    uint32_t end = length_;
    while (begin < end && std::isspace(static_cast<unsigned char>(chars[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(chars[end - 1])))
        --end;
    return String(chars + begin, end - begin);
}

String String::replace(const String& target, const String& replacement) const
{
    if (target.length_ == 0)
        return *this;
    String result;
    uint32_t rest = 0;
    for (int found; (found = indexOf(target, rest)) >= 0;) {
        result += String(chars + rest, static_cast<uint32_t>(found) - rest);
        result += replacement;
        rest = static_cast<uint32_t>(found) + target.length_;
    }
    result += String(chars + rest, length_ - rest);
    return result;
}

std::string String::toString()
{
    return std::string(chars, length_);
}

std::ostream& operator<<(std::ostream& out, const String& text)
{
    return out.write(text.c_str(), text.length());
}

} // namespace java
