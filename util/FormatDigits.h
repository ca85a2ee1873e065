// Integer digits for the formatter: shared by its general pass (util/FormatEngine.cpp) and the
// formats turned into straight-line code (util/StaticFormat.h).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace util::detail {

// Number of digits of m in the base (one for 0).
inline std::size_t DigitCount(std::uint32_t m, unsigned base) {
    if (m == 0) return 1;
    const int bits = 32 - std::countl_zero(m);
    if (base == 16) return static_cast<std::size_t>((bits + 3) / 4);
    if (base == 8) return static_cast<std::size_t>((bits + 2) / 3);
    // log10 from log2: bits × 1233 / 4096 is floor(log10(2^bits)), at most one below the count.
    static constexpr std::uint32_t kPowers[] = {1,      10,      100,      1000,      10000,
                                                100000, 1000000, 10000000, 100000000, 1000000000};
    const unsigned estimate = static_cast<unsigned>(bits) * 1233 >> 12;
    return estimate + (m >= kPowers[estimate] ? 1 : 0);
}

// Writes the digits of m backwards from `end`. Constant divisors, two decimal digits a step: a
// division by a variable base would cost more than everything else a conversion does.
template <class Char>
void WriteDigits(Char* end, std::uint32_t m, unsigned base, bool upper) {
    if (base == 10) {
        static constexpr char kPairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        while (m >= 100) {
            const std::uint32_t pair = 2 * (m % 100);
            m /= 100;
            *--end = static_cast<Char>(kPairs[pair + 1]);
            *--end = static_cast<Char>(kPairs[pair]);
        }
        if (m >= 10) {
            *--end = static_cast<Char>(kPairs[2 * m + 1]);
            *--end = static_cast<Char>(kPairs[2 * m]);
        } else {
            *--end = static_cast<Char>('0' + m);
        }
    } else if (base == 16) {
        const char* const set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
        do {
            *--end = static_cast<Char>(set[m & 15]);
            m >>= 4;
        } while (m != 0);
    } else {
        do {
            *--end = static_cast<Char>('0' + (m & 7));
            m >>= 3;
        } while (m != 0);
    }
}

}  // namespace util::detail
