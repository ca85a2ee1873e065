#include "util/TextConvert.h"

#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "util/Exceptions.h"

namespace util {
namespace {

constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kSupplementaryFirst = 0x10000;
constexpr char32_t kCodePointEnd = 0x110000;
constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t u) {
    return u >= kSurrogateFirst && u < kLowSurrogateFirst;
}
bool IsLowSurrogate(char32_t u) {
    return u >= kLowSurrogateFirst && u <= kSurrogateLast;
}

// Offsets are reported as 32-bit positions; C++20 makes the narrowing well defined.
std::int32_t Position(std::size_t offset) {
    return static_cast<std::int32_t>(offset);
}

// Appends a code point as one unit or a surrogate pair; beyond UTF-16's reach, as U+FFFD.
void AppendUtf16(std::wstring& out, std::uint64_t c) {
    if (c >= kCodePointEnd) c = kReplacement;
    if (c < kSupplementaryFirst) {
        out.push_back(static_cast<wchar_t>(c));
        return;
    }
    c -= kSupplementaryFirst;
    out.push_back(static_cast<wchar_t>(kSurrogateFirst + (c >> 10)));
    out.push_back(static_cast<wchar_t>(kLowSurrogateFirst + (c & 0x3FF)));
}

char32_t Unit(wchar_t w) {
    return static_cast<char16_t>(w);
}

}  // namespace

std::wstring AsciiToWString(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x80) throw invalid_format_argument("bad ASCII code", Position(i));
        out.push_back(static_cast<wchar_t>(b));
    }
    return out;
}

std::wstring Utf8ToWString(const std::string& text) {
    // ASCII maps byte by byte; the decoder takes over at the first byte that is not.
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    if (i == text.size()) return std::wstring(text.begin(), text.end());
    std::wstring out;
    out.reserve(text.size());
    out.assign(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i));
    int pending = 0;
    // A lead byte FF announces seven trail bytes: 42 payload bits.
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int ones = std::countl_one(b);
        if (ones != 1) {
            if (pending != 0) {
                throw invalid_format_argument("bad UTF-8 trail sequence", Position(i));
            }
            value = b & (0xFFu >> ones);
            pending = ones >= 2 ? ones - 1 : 0;
        } else {
            if (pending == 0) throw invalid_format_argument("bad UTF-8 lead sequence", Position(i));
            value = (value << 6) | (b & 0x7Fu);
            --pending;
        }
        // Overlong forms and encoded surrogates are accepted as they decode.
        if (pending == 0) AppendUtf16(out, value);
    }
    if (pending != 0) throw invalid_format_argument("bad UTF-8 termination", Position(text.size()));
    return out;
}

std::string WStringToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    auto put = [&out](char32_t byte) { out.push_back(static_cast<char>(byte)); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t u = Unit(text[i]);
        if (u < 0x80) {
            put(u);
        } else if (u < 0x800) {
            put(0xC0 | (u >> 6));
            put(0x80 | (u & 0x3F));
        } else if (u >= kSurrogateFirst && u <= kSurrogateLast) {
            if (i + 1 == text.size()) {
                throw invalid_format_argument("bad UCS-2 termination, surrogate pair lost",
                                              Position(i + 1));
            }
            const char32_t v = Unit(text[++i]);
            if (!IsHighSurrogate(u)) {
                throw invalid_format_argument("bad UCS-2 code, first of surrogate pair",
                                              Position(i));
            }
            if (!IsLowSurrogate(v)) {
                throw invalid_format_argument("bad UCS-2 code, second of surrogate pair",
                                              Position(i));
            }
            const char32_t c = (((u & 0x3FF) << 10) | (v & 0x3FF)) + kSupplementaryFirst;
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xE0 | (u >> 12));
            put(0x80 | ((u >> 6) & 0x3F));
            put(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// The conversions walk the whole string character by character rather than handing it to
// mbsrtowcs/wcsrtombs, so that embedded NULs convert like any other character instead of
// cutting the text short.
std::wstring MbsToWString(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    std::mbstate_t state{};
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        wchar_t wc = 0;
        std::size_t used = std::mbrtowc(&wc, p, left, &state);
        // (size_t)-1 is an invalid sequence, (size_t)-2 one cut off by the end of the text.
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            throw invalid_format_argument("MbsToWString: invalid multi-byte string", 0);
        }
        if (used == 0) used = 1;  // the NUL byte itself
        // A UTF-32 wchar_t beyond the BMP becomes the surrogate pair our wide strings hold.
        AppendUtf16(out, static_cast<std::uint32_t>(wc));
        p += used;
        left -= used;
    }
    return out;
}

std::string WStringToMbs(const std::wstring& text) {
    std::string out;
    out.reserve(2 * text.size());
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = Unit(text[i]);
        // A UTF-32 wchar_t takes the pair as one character; a UTF-16 one takes the units as
        // they are.
        if (sizeof(wchar_t) > 2 && IsHighSurrogate(c) && i + 1 < text.size() &&
            IsLowSurrogate(Unit(text[i + 1]))) {
            c = (((c & 0x3FF) << 10) | (Unit(text[++i]) & 0x3FF)) + kSupplementaryFirst;
        }
        const std::size_t n = std::wcrtomb(bytes, static_cast<wchar_t>(c), &state);
        if (n == static_cast<std::size_t>(-1)) {
            throw invalid_format_argument(
                "WStringToMbs: cannot convert Unicode to current multi-byte-set", 0);
        }
        out.append(bytes, n);
    }
    return out;
}

std::string MbsToUtf8(const std::string& text) {
    return WStringToUtf8(MbsToWString(text));
}

}  // namespace util
