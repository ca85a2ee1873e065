#include "util/Escape.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cwctype>
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

bool IsHexDigit(char, unsigned c) {
    return std::isxdigit(static_cast<int>(c)) != 0;
}
bool IsHexDigit(wchar_t, unsigned c) {
    return std::iswxdigit(static_cast<std::wint_t>(c)) != 0;
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
    bool escaped = false;
    int hexLeft = 0;
    unsigned hexValue = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned c = Code(text[i]);
        if (hexLeft > 0) {
            if (!IsHexDigit(Char(), c)) {
                throw invalid_format_argument("bad \\uHHHH escape", static_cast<std::int32_t>(i));
            }
            hexValue = hexValue * 16 + static_cast<unsigned>(HexDigitValue(static_cast<int>(c)));
            // One byte (the low 8 bits) in a byte string, one full unit in a wide string.
            if (--hexLeft == 0) out += Char(hexValue);
        } else if (escaped) {
            if (const int control = ControlFor(c); control >= 0) {
                out += Char(control);
            } else if (c == 'u') {
                hexValue = 0;
                hexLeft = 4;
            } else {
                out += Char(c);
            }
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else {
            out += Char(c);
        }
    }
    if (escaped || hexLeft != 0) {
        throw invalid_format_argument("bad escape termination",
                                      static_cast<std::int32_t>(text.size()));
    }
    return out;
}

}  // namespace

int HexDigitValue(int c) {
    // ASCII only: the C library's toupper is undefined beyond unsigned char, and a locale may
    // map other letters onto "A" to "F".
    if (c <= 0 || c > 0x7F) return -1;
    if (c >= 'a' && c <= 'f') c -= 'a' - 'A';
    const auto index = kHexDigits.find(static_cast<char>(c));
    return index == kHexDigits.npos ? -1 : static_cast<int>(index);
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
