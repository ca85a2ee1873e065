#include "util/Escape.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "util/Exceptions.h"

namespace util {
namespace {

struct EscapeLetter {
    unsigned control;
    char letter;
};

// Searched in this order in both directions.
constexpr EscapeLetter kEscapeLetters[] = {
    {'\n', 'n'}, {'\t', 't'}, {'\v', 'v'}, {'\b', 'b'}, {'\r', 'r'}, {'\f', 'f'}, {'\a', 'a'},
};

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kSeparators = "&,;{}";

char LetterFor(unsigned control) {
    for (const auto& e : kEscapeLetters) {
        if (e.control == control) return e.letter;
    }
    return 0;
}

int ControlFor(unsigned letter) {
    for (const auto& e : kEscapeLetters) {
        if (static_cast<unsigned char>(e.letter) == letter) return static_cast<int>(e.control);
    }
    return -1;
}

// Bytes are taken unsigned; wide units by their 16 bits, so that a wchar_t wider than 16 bits
// cannot smuggle a control character past the escaping.
unsigned Code(char c) {
    return static_cast<unsigned char>(c);
}
unsigned Code(wchar_t c) {
    return static_cast<char16_t>(c);
}

template <typename Char>
void AppendUnicodeEscape(std::basic_string<Char>& out, unsigned c) {
    out += Char('\\');
    out += Char('u');
    for (int shift = 12; shift >= 0; shift -= 4)
        out += Char(kHexDigits[(c >> shift) & 0xF]);
}

template <typename Char>
std::basic_string<Char> EscapeText(const std::basic_string<Char>& text, bool quote,
                                   bool separators) {
    std::basic_string<Char> out;
    out.reserve(text.size());
    if (quote) out += Char('"');
    for (const Char ch : text) {
        const unsigned c = Code(ch);
        if (c < 32) {
            if (const char letter = LetterFor(c)) {
                out += Char('\\');
                out += Char(letter);
            } else {
                AppendUnicodeEscape(out, c);
            }
        } else if (separators && c < 0x80 &&
                   kSeparators.find(static_cast<char>(c)) != kSeparators.npos) {
            AppendUnicodeEscape(out, c);
        } else if (c == '"' || c == '\\') {
            out += Char('\\');
            out += Char(c);
        } else {
            out += Char(c);
        }
    }
    if (quote) out += Char('"');
    return out;
}

template <typename Char>
std::basic_string<Char> UnescapeText(const std::basic_string<Char>& text) {
    std::basic_string<Char> out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    const auto unfinished = [n] {
        return invalid_format_argument("bad escape termination", static_cast<std::int32_t>(n));
    };
    std::size_t i = 0;
    while (i < n) {
        // Plain text up to the next backslash: bytes in one append, wide units cut to 16 bits.
        if constexpr (sizeof(Char) == 1) {
            const std::size_t end = std::min(text.find('\\', i), n);
            out.append(text, i, end - i);
            i = end;
        } else {
            for (; i < n && Code(text[i]) != '\\'; ++i)
                out += Char(Code(text[i]));
        }
        if (i == n) break;
        if (++i == n) throw unfinished();
        const unsigned c = Code(text[i++]);
        if (const int control = ControlFor(c); control >= 0) {
            out += Char(control);
        } else if (c == 'u') {
            unsigned value = 0;
            for (int k = 0; k < 4; ++k, ++i) {
                if (i == n) throw unfinished();
                const int digit = HexDigitValue(static_cast<int>(Code(text[i])));
                if (digit < 0)
                    throw invalid_format_argument("bad \\uHHHH escape",
                                                  static_cast<std::int32_t>(i));
                value = value * 16 + static_cast<unsigned>(digit);
            }
            // One byte (the low 8 bits) in a byte string, one full unit in a wide string.
            out += Char(value);
        } else {
            out += Char(c);
        }
    }
    return out;
}

}  // namespace

int HexDigitValue(int c) {
    // ASCII only, whatever the locale: a locale may count other letters as hex digits.
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Escape(const std::string& text, bool quote, bool separators) {
    return EscapeText(text, quote, separators);
}

std::wstring Escape(const std::wstring& text, bool quote) {
    return EscapeText(text, quote, false);
}

std::string Unescape(const std::string& text) {
    return UnescapeText(text);
}

std::wstring Unescape(const std::wstring& text) {
    return UnescapeText(text);
}

}  // namespace util
