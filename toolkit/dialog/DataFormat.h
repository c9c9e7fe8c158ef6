// Texts from the data set that take values ("Your score: %s", "%.1f m deep"). A text is used as a
// format only when its placeholders are exactly the ones its caller fills, in kind and number:
// "%s" for a text, "%d" "%i" "%u" "%x" "%X" "%o" for an integer, "%f" "%e" "%g" (and capitals, "%a")
// for a number, each with the usual flags, a width and a precision. Anything else, a text with no
// placeholder, one too many or of the wrong kind, or one the program cannot fill safely ("%n", "%p",
// "%*d"), is shown as written ("%%" as one "%") with the values appended, so a mistake in a text file
// shows up on screen instead of reading or writing memory it should not.
#pragma once

#include <initializer_list>
#include <string>

class FormatValue {
public:
    enum Kind { Text, Integer, Number };

    FormatValue(const std::string& value) : kind(Text), text(value) {}
    FormatValue(const char* value) : kind(Text), text(value ? value : "") {}
    FormatValue(int value) : kind(Integer), integer(value) {}
    FormatValue(long value) : kind(Integer), integer(value) {}
    FormatValue(long long value) : kind(Integer), integer(value) {}
    FormatValue(double value) : kind(Number), number(value) {}

    Kind getKind() const { return kind; }
    // The value on its own, as appended to a text that cannot take it.
    std::string plain() const;

    Kind kind;
    std::string text;
    long long integer = 0;
    double number = 0.0;
};

std::string formatDataText(const std::string& format, std::initializer_list<FormatValue> values);
