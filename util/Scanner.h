// A scanf-compatible scanner for the device-text patterns ("MB%8lx%n", ".%8u%n", "%u-%x%c", ...).
//
// Scan() accepts exactly what the C library's sscanf accepts for the same pattern and input,
// returns what sscanf returns (the number of assigned conversions, or -1 when the input ends
// before the first conversion), and stores the same values, with one deliberate difference:
// `long` is 32 bits on every platform. Integer conversions therefore follow strtol/strtoul with a
// 32-bit long: a signed value outside the 32-bit range saturates to INT32_MIN/INT32_MAX, an
// unsigned one whose magnitude exceeds 0xFFFFFFFF saturates to 0xFFFFFFFF, and a negative
// unsigned value wraps modulo 2^32. Overflow is never undefined.
//
// Supported directives: literal characters, white space (any run of white space in the input,
// including none), "%%" (which, like a conversion, first skips white space), and conversions
// %[width][l]{d,u,x,X,o}, %c and %n. A width counts the sign and the "0x" prefix of %x, as in the
// C library. Input ends at its end or at its first NUL byte, whichever comes first (as a C string
// would); so does the pattern. White space is the C locale's.
//
// The scan runs on the selected text backend (util/TextBackend.h): ours, or sscanf on the same
// pattern with the results narrowed to the same 32-bit values.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <type_traits>

namespace util {

class ScanPattern {
public:
    enum class Op : std::uint8_t { Literal, Space, Convert };

    struct Directive {
        Op op = Op::Literal;
        char conv = 0;     // 'd', 'u', 'x', 'o', 'c' or 'n' for Op::Convert ('X' is stored as 'x')
        char literal = 0;  // for Op::Literal; '%' only ever comes from "%%"
        int width = 0;     // 0 = no width
    };

    static constexpr int kMaxDirectives = 24;

    // Throws std::invalid_argument for a pattern outside the supported set, which makes a
    // constexpr ScanPattern with such a pattern fail to compile.
    // Like a C format string, the pattern ends at its first NUL.
    constexpr explicit ScanPattern(std::string_view pattern)
        : mText(pattern.substr(0, pattern.find('\0'))) {
        pattern = mText;
        std::size_t i = 0;
        while (i < pattern.size()) {
            const char c = pattern[i];
            Directive d;
            if (IsSpace(c)) {
                while (i < pattern.size() && IsSpace(pattern[i]))
                    ++i;
                d.op = Op::Space;
            } else if (c != '%') {
                d.op = Op::Literal;
                d.literal = c;
                ++i;
            } else if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
                d.op = Op::Literal;
                d.literal = '%';
                i += 2;
            } else {
                ++i;
                int width = 0;
                while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
                    width = width * 10 + (pattern[i] - '0');
                    if (width > 100000)
                        throw std::invalid_argument("scan pattern: width too large");
                    ++i;
                }
                bool isLong = false;
                if (i < pattern.size() && pattern[i] == 'l') {
                    isLong = true;
                    ++i;
                }
                if (i >= pattern.size())
                    throw std::invalid_argument("scan pattern: incomplete conversion");
                char conv = pattern[i++];
                if (conv == 'X') conv = 'x';
                switch (conv) {
                    case 'd':
                    case 'u':
                    case 'x':
                    case 'o':
                        break;
                    case 'c':
                    case 'n':
                        if (isLong || width != 0)
                            throw std::invalid_argument(
                                "scan pattern: %c and %n take no width or length");
                        break;
                    default:
                        throw std::invalid_argument("scan pattern: unsupported conversion");
                }
                d.op = Op::Convert;
                d.conv = conv;
                d.width = width;
                if (conv == 'c') mCharOutputs |= std::uint32_t{1} << mOutputs;
                ++mOutputs;
            }
            if (mCount == kMaxDirectives) throw std::invalid_argument("scan pattern: too long");
            if (d.op == Op::Literal && d.literal != '%' && mLeadCount == mCount)
                mLead[mLeadCount++] = d.literal;
            mDirectives[mCount++] = d;
        }
    }

    constexpr std::string_view Text() const { return mText; }
    constexpr int Size() const { return mCount; }
    constexpr const Directive& operator[](int i) const { return mDirectives[i]; }
    // Number of output arguments the pattern writes (conversions and %n).
    constexpr int Outputs() const { return mOutputs; }
    // Bit k is set when output k is a %c (a char); the others are 32-bit integers.
    constexpr std::uint32_t CharOutputs() const { return mCharOutputs; }
    // The plain characters the pattern starts with ("MB" of "MB%8lx%n"): the first directives,
    // matched byte for byte before any conversion. Most texts a family tries a pattern on fail
    // here, so the scanner compares them without interpreting directives.
    constexpr std::string_view Lead() const {
        return {mLead, static_cast<std::size_t>(mLeadCount)};
    }

private:
    static constexpr bool IsSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    std::string_view mText;
    Directive mDirectives[kMaxDirectives] = {};
    char mLead[kMaxDirectives] = {};
    int mLeadCount = 0;
    int mCount = 0;
    int mOutputs = 0;
    std::uint32_t mCharOutputs = 0;
};

// One output argument: a 32-bit integer for %d/%u/%x/%o/%n, a char for %c.
struct ScanSlot {
    enum class Kind : std::uint8_t { Int32, Char };
    Kind kind;
    void* target;
};

namespace detail {
template <class T>
constexpr ScanSlot MakeScanSlot(T& out) {
    using U = std::remove_cv_t<T>;
    static_assert(!std::is_const_v<T>, "scan output must be writable");
    if constexpr (std::is_same_v<U, char>) {
        return {ScanSlot::Kind::Char, &out};
    } else {
        static_assert(std::is_integral_v<U> && sizeof(U) == 4,
                      "integer scan outputs are 32-bit (std::int32_t or std::uint32_t)");
        return {ScanSlot::Kind::Int32, &out};
    }
}
}  // namespace detail

// Runs `pattern` over `input` and writes the outputs in order. Throws std::logic_error when the
// outputs do not match the pattern's conversions (a programming error, never an input error).
int ScanSlots(std::string_view input, const ScanPattern& pattern, const ScanSlot* slots,
              int slotCount);

namespace detail {
// ScanSlots after the outputs have been found to match the pattern.
int ScanMatchedSlots(std::string_view input, const ScanPattern& pattern, const ScanSlot* slots);
[[noreturn]] void ThrowScanMismatch(const ScanPattern& pattern, int outputs,
                                    std::uint32_t charOutputs);

template <class... Out>
constexpr std::uint32_t CharOutputMask() {
    std::uint32_t mask = 0;
    int k = 0;
    ((mask |= std::is_same_v<std::remove_cv_t<Out>, char> ? std::uint32_t{1} << k : 0u, ++k), ...);
    return mask;
}
}  // namespace detail

// The outputs' types are known here, so matching them against the pattern is two comparisons
// instead of a walk over the slots.
template <class... Out>
int Scan(std::string_view input, const ScanPattern& pattern, Out&... out) {
    constexpr int kOutputs = static_cast<int>(sizeof...(Out));
    constexpr std::uint32_t kCharOutputs = detail::CharOutputMask<Out...>();
    if (pattern.Outputs() != kOutputs || pattern.CharOutputs() != kCharOutputs) [[unlikely]]
        detail::ThrowScanMismatch(pattern, kOutputs, kCharOutputs);
    if constexpr (sizeof...(Out) == 0) {
        return detail::ScanMatchedSlots(input, pattern, nullptr);
    } else {
        const ScanSlot slots[] = {detail::MakeScanSlot(out)...};
        return detail::ScanMatchedSlots(input, pattern, slots);
    }
}

}  // namespace util
