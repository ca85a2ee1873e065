// The scanner's primitives: the cursor over the input and one integer field with the C library's
// rules. Inline, so that a compiled pattern (util/CompiledPattern.h) specialises them for its
// constant conversions and widths.
#pragma once

#include <cstdint>

// A compiled pattern's call passes a constant conversion and width; inlined, the field's code is
// specialised for them.
#if defined(__GNUC__)
#define ZV_SCAN_INLINE inline __attribute__((always_inline))
#else
#define ZV_SCAN_INLINE inline
#endif

namespace util::detail {

// The C locale's isspace, without the locale lookup.
constexpr bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Value of `c` as a digit, or 99 when it is no digit in any base up to 16.
constexpr unsigned DigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const unsigned lower = c | 0x20u;
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return 99;
}

// The readable input: a string_view ends early at its first NUL, as a C string would. Reading
// stops at `end` or at a NUL, and the cursor never moves past either, so the NUL never has to be
// located in advance.
struct Cursor {
    const char* pos;
    const char* end;

    // Next byte, or -1 at the end of the input (or of a field limited to `limit`).
    int Peek(const char* limit) const {
        return pos < limit && *pos != '\0' ? static_cast<unsigned char>(*pos) : -1;
    }
    int Peek() const { return Peek(end); }

    void SkipSpace() {
        while (pos < end && IsSpace(static_cast<unsigned char>(*pos)))
            ++pos;
    }
};

enum class Outcome { Assigned, InputFailure, MatchingFailure };

// One integer field with the C library's rules: optional sign, for base 16 an optional "0x" that
// is consumed even when no hex digit follows (the '0' alone is then the number), then digits. The
// width counts all of it. The value is what strtol/strtoul yield with a 32-bit long.
ZV_SCAN_INLINE Outcome ScanInteger(Cursor& in, char conv, int width, std::uint32_t& value) {
    in.SkipSpace();
    if (in.Peek() < 0) return Outcome::InputFailure;

    const char* limit = width > 0 && width < in.end - in.pos ? in.pos + width : in.end;
    const unsigned base = conv == 'x' ? 16 : conv == 'o' ? 8 : 10;

    bool negative = false;
    int c = in.Peek(limit);
    if (c == '-' || c == '+') {
        negative = c == '-';
        ++in.pos;
        c = in.Peek(limit);
    }

    bool anyDigit = false;
    if (c == '0') {
        anyDigit = true;
        ++in.pos;
        c = in.Peek(limit);
        if (base == 16 && (c == 'x' || c == 'X')) {
            ++in.pos;
            c = in.Peek(limit);
        }
    }

    // The magnitude saturates just above 32 bits: once past 0xFFFFFFFF it stops growing, so the
    // accumulation can neither overflow nor lose the fact that it overflowed.
    std::uint64_t magnitude = 0;
    for (unsigned d; c >= 0 && (d = DigitValue(static_cast<unsigned char>(c))) < base;
         c = in.Peek(limit)) {
        anyDigit = true;
        if (magnitude <= 0xFFFFFFFFu) magnitude = magnitude * base + d;
        ++in.pos;
    }
    if (!anyDigit) return Outcome::MatchingFailure;

    if (conv == 'd') {
        std::int64_t v;
        if (negative)
            v = magnitude > 0x80000000u ? INT32_MIN : -static_cast<std::int64_t>(magnitude);
        else
            v = magnitude > 0x7FFFFFFFu ? INT32_MAX : static_cast<std::int64_t>(magnitude);
        value = static_cast<std::uint32_t>(v);
    } else if (magnitude > 0xFFFFFFFFu) {
        value = 0xFFFFFFFFu;
    } else {
        const auto m = static_cast<std::uint32_t>(magnitude);
        value = negative ? 0u - m : m;
    }
    return Outcome::Assigned;
}

}  // namespace util::detail
