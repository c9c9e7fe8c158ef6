// The text type of the java:: library: a reference-counted, growable byte string that always keeps a
// terminating 0 byte after its text. No character set is assumed.
#pragma once

#include "runtime/java/Object.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace java {

class String : public Object {
public:
    String() : String(nullptr) {}
    // Null gives the empty text.
    String(const char* text);
    // Exactly `n` bytes of `text`; the terminator is added here.
    String(const char* text, uint32_t n);
    String(const String& other);
    String& operator=(const String& other);
    ~String() override;

    static String valueOf(int value);

    uint32_t length() const { return length_; }
    uint32_t capacity() const { return capacity_; }
    const char* c_str() const { return chars; }

    void append(char c);
    String& operator+=(const String& other);
    String& operator+=(int value);

    // An index not below length() writes a line to standard error and throws IndexOutOfBoundsException.
    char charAt(uint32_t index) const;
    char& operator[](uint32_t index);

    bool equals(const String& s) const;
    bool equalsIgnoreCase(const String& s) const;
    bool startsWith(const String& s) const;
    bool startsWith(const String& s, uint32_t offset) const;
    bool endsWith(const String& s) const;

    // Positions, or -1 when the text is not found.
    int indexOf(const String& s) const;
    int indexOf(const String& s, uint32_t from) const;
    int lastIndexOf(const String& s) const;
    int lastIndexOf(const String& s, int from) const;

    // The bounds may come in either order. An end beyond length() writes a line to standard error and
    // throws IndexOutOfBoundsException.
    String substring(uint32_t begin, uint32_t end) const;
    String substring(uint32_t begin) const;
    String toLowerCase() const;
    String toUpperCase() const;
    String trim() const;
    // Every non-overlapping occurrence, left to right. An empty target leaves the text as it is.
    String replace(const String& target, const String& replacement) const;

    std::string toString() override;

private:
    void checkIndex(uint32_t index) const;
    bool regionMatches(uint32_t offset, const String& s) const;

    char* chars;
    uint32_t capacity_;
    uint32_t length_;
};

std::ostream& operator<<(std::ostream& out, const String& text);

} // namespace java
