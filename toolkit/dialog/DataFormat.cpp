#include "toolkit/dialog/DataFormat.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Widths and precisions beyond this are no layout anyone means.
constexpr int kMaxField = 256;

struct Piece {
    bool conversion = false;
    std::string literal;  // a literal run, "%%" already made "%"
    std::string spec;     // for a conversion: a printf spec that takes exactly one value of `kind`
    FormatValue::Kind kind = FormatValue::Text;
    bool leftAlign = false;
    int width = 0;
    int precision = -1;
};

// Digits at `i` as a field size; false when there are too many to be real.
bool readField(const std::string& format, std::size_t& i, std::string& out)
{
    const std::size_t start = i;
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
        ++i;
    out = format.substr(start, i - start);
    return out.size() <= 3 && (out.empty() || std::stoi(out) <= kMaxField);
}

// Splits the format into literal runs and conversions; false for anything that is not a conversion
// this module fills.
bool parse(const std::string& format, std::vector<Piece>& pieces)
{
    std::string literal;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            literal += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            literal += '%';
            i += 2;
            continue;
        }
        ++i;
        std::string flags;
        while (i < format.size() && std::strchr("-+ #0", format[i]) != nullptr)
            flags += format[i++];
        std::string width;
        if (!readField(format, i, width))
            return false;
        std::string precision;
        bool hasPrecision = false;
        if (i < format.size() && format[i] == '.') {
            hasPrecision = true;
            ++i;
            if (!readField(format, i, precision))
                return false;
        }
        std::string length;
        while (i < format.size() && std::strchr("hljzt", format[i]) != nullptr && length.size() < 2)
            length += format[i++];
        if (i >= format.size())
            return false;
        const char conversion = format[i++];
        Piece piece;
        piece.conversion = true;
        piece.leftAlign = flags.find('-') != std::string::npos;
        piece.width = width.empty() ? 0 : std::stoi(width);
        piece.precision = !hasPrecision ? -1 : precision.empty() ? 0 : std::stoi(precision);
        if (conversion == 's' && length.empty()) {
            piece.kind = FormatValue::Text;
        } else if (std::strchr("diuxXo", conversion) != nullptr &&
                   (length.empty() || length == "h" || length == "hh" || length == "l" || length == "ll" ||
                    length == "j" || length == "z" || length == "t")) {
            piece.kind = FormatValue::Integer;
        } else if (std::strchr("fFeEgGaA", conversion) != nullptr && (length.empty() || length == "l")) {
            piece.kind = FormatValue::Number;
        } else {
            return false;
        }
        // Rebuilt from the parts read, with the length that matches what is passed.
        piece.spec = "%" + flags + width + (hasPrecision ? "." + precision : "") +
                     (piece.kind == FormatValue::Integer ? "ll" : "") + conversion;
        if (!literal.empty()) {
            Piece run;
            run.literal = literal;
            pieces.push_back(run);
            literal.clear();
        }
        pieces.push_back(piece);
    }
    if (!literal.empty()) {
        Piece run;
        run.literal = literal;
        pieces.push_back(run);
    }
    return true;
}

std::string printOne(const Piece& piece, const FormatValue& value)
{
    char buffer[2 * kMaxField + 64];
    int written = 0;
    switch (piece.kind) {
    case FormatValue::Text: {
        // Texts can be longer than any buffer: cut and padded here, as printf would.
        std::string text = value.text;
        if (piece.precision >= 0 && text.size() > static_cast<std::size_t>(piece.precision))
            text.resize(static_cast<std::size_t>(piece.precision));
        if (text.size() < static_cast<std::size_t>(piece.width)) {
            const std::string pad(static_cast<std::size_t>(piece.width) - text.size(), ' ');
            text = piece.leftAlign ? text + pad : pad + text;
        }
        return text;
    }
    case FormatValue::Integer:
        written = std::snprintf(buffer, sizeof buffer, piece.spec.c_str(), value.integer);
        return written < 0 ? value.plain() : std::string(buffer);
    case FormatValue::Number:
        written = std::snprintf(buffer, sizeof buffer, piece.spec.c_str(), value.number);
        return written < 0 ? value.plain() : std::string(buffer);
    }
    return {};
}

} // namespace

std::string FormatValue::plain() const
{
    char buffer[64];
    switch (kind) {
    case Text:
        return text;
    case Integer:
        std::snprintf(buffer, sizeof buffer, "%lld", integer);
        return buffer;
    case Number:
        std::snprintf(buffer, sizeof buffer, "%g", number);
        return buffer;
    }
    return {};
}

std::string formatDataText(const std::string& format, std::initializer_list<FormatValue> values)
{
    std::vector<Piece> pieces;
    const bool parsed = parse(format, pieces);
    if (parsed) {
        std::vector<const FormatValue*> given;
        for (const FormatValue& value : values)
            given.push_back(&value);
        std::size_t next = 0;
        bool fits = true;
        for (const Piece& piece : pieces) {
            if (!piece.conversion)
                continue;
            if (next >= given.size() || given[next]->getKind() != piece.kind) {
                fits = false;
                break;
            }
            ++next;
        }
        if (fits && next == given.size()) {
            std::string out;
            next = 0;
            for (const Piece& piece : pieces)
                out += piece.conversion ? printOne(piece, *given[next++]) : piece.literal;
            return out;
        }
    }
    // Shown as written, the values after it.
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        out += format[i];
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%')
            ++i;
    }
    for (const FormatValue& value : values) {
        if (!out.empty() && !std::isspace(static_cast<unsigned char>(out.back())))
            out += ' ';
        out += value.plain();
    }
    return out;
}
