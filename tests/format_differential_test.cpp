// Our formatter (util::FormatTo) against the C library's vswprintf/vsnprintf: every combination
// of flags, width, precision, length modifier and conversion of the subset it implements, over
// edge values, in wide and narrow form, also precompiled (util::CompiledFormat) where the format
// has no '*'; random multi-conversion formats; the output bound; and the formats it hands to the
// C library. The only intended difference, the 32-bit long of "%l...",
// is built into the reference: it gets the long narrowed to 32 bits, ours gets the long itself.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "util/CompiledFormat.h"
#include "util/Format.h"
#include "util/FormatEngine.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's printf interceptors parse each format themselves and abort on some malformed
// ones ("%-5%|") that this test hands to the C library on purpose; the C library itself is the
// reference here, so its interceptor checks stay off in this test.
extern "C" const char* __asan_default_options() {
    return "check_printf=0";
}
constexpr int kValueStride = 3;  // the sanitizer build takes every third value
#else
constexpr int kValueStride = 1;
#endif

namespace {

// As util::Format uses it: 1000 units and the NUL.
constexpr std::size_t kSize = 1001;

template <class Char>
struct Result {
    int length;
    std::basic_string<Char> text;
    bool operator==(const Result&) const = default;
};

template <class Char>
using FormatFn = int (*)(Char*, std::size_t, const Char*, std::va_list);

template <class Char>
Result<Char> Run(FormatFn<Char> fn, const Char* format, ...) {
    Char buffer[kSize];
    std::va_list args;
    va_start(args, format);
    const int length = fn(buffer, kSize, format, args);
    va_end(args);
    return {length, length >= 0 ? std::basic_string<Char>(buffer, static_cast<std::size_t>(length))
                                : std::basic_string<Char>()};
}

// vsnprintf reports the length it needed; FormatTo's contract is vswprintf's (-1).
int BoundedSnprintf(char* buffer, std::size_t size, const char* format, std::va_list args) {
    const int length = std::vsnprintf(buffer, size, format, args);
    return length >= 0 && static_cast<std::size_t>(length) < size ? length : -1;
}

template <class Char, class... A>
Result<Char> Ours(const Char* format, A... args) {
    return Run<Char>(util::FormatTo, format, args...);
}
// The same format precompiled, its arguments typed as the conversions ask.
template <class Char, class... A>
Result<Char> OursCompiled(const Char* format, A... args) {
    const util::CompiledFormat<Char> compiled(format);
    Char buffer[kSize];
    const int length = util::FormatTo(buffer, kSize, compiled, args...);
    return {length, length >= 0 ? std::basic_string<Char>(buffer, static_cast<std::size_t>(length))
                                : std::basic_string<Char>()};
}
template <class... A>
Result<char> Reference(const char* format, A... args) {
    return Run<char>(BoundedSnprintf, format, args...);
}
template <class... A>
Result<wchar_t> Reference(const wchar_t* format, A... args) {
    return Run<wchar_t>(std::vswprintf, format, args...);
}

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

template <class Char>
std::string Show(const std::basic_string<Char>& s) {
    std::string out;
    for (const Char c : s) {
        const auto u = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
        char buf[16];
        std::snprintf(buf, sizeof buf, u >= 0x20 && u < 0x7F ? "%c" : "\\x%X", u);
        out += buf;
    }
    return out;
}
// Runs `each(format)` on the narrow and the wide form of a format.
template <class Each>
void BothWidths(const std::string& narrow, Each each) {
    each(narrow);
    each(Widen(narrow));
}

// Collects disagreements; the test fails with the first few of them.
struct Mismatches {
    long compared = 0, count = 0;
    std::ostringstream report;

    template <class Char>
    void Check(const Result<Char>& ours, const Result<Char>& reference, const std::string& what) {
        ++compared;
        if (ours == reference || count++ >= 10) return;
        report << what << "\n    ours      " << ours.length << " \"" << Show(ours.text)
               << "\"\n    reference " << reference.length << " \"" << Show(reference.text)
               << "\"\n";
    }
    // The same arguments to both, in narrow and wide form.
    template <class... A>
    void Same(const std::string& what, const std::string& format, A... args) {
        BothWidths(format, [&](const auto& f) {
            Check(Ours(f.c_str(), args...), Reference(f.c_str(), args...), what);
        });
    }
    ~Mismatches() {
        EXPECT_EQ(count, 0) << count << " of " << compared << " disagree:\n" << report.str();
    }
};

// Splits at blanks; formats listed this way contain none.
std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// ---- The grid of conversion directives -------------------------------------------------

struct Directive {
    std::string text;  // "%-05.3lx"
    bool starWidth;
    bool starPrecision;
};

// Every directive for the conversion letters and length modifiers given: every subset of the
// flags (in two orders, and repeated flags), with every width and precision shape.
std::vector<Directive> Grid(const std::string& conversions,
                            const std::vector<std::string>& lengths) {
    std::vector<std::string> flagSets = {"00", "-+-"};
    for (int mask = 0; mask < 32; ++mask) {
        std::string forward;
        for (int i = 0; i < 5; ++i)
            if (mask & (1 << i)) forward += "-0+ #"[i];
        flagSets.push_back(forward);
        if (forward.size() > 1) flagSets.emplace_back(forward.rbegin(), forward.rend());
    }
    std::vector<Directive> directives;
    for (const std::string& flags : flagSets)
        for (const char* width : {"", "1", "2", "5", "12", "*"})
            for (const char* precision : {"", ".", ".0", ".1", ".2", ".5", ".11", ".*"})
                for (const std::string& length : lengths)
                    for (const char conv : conversions)
                        directives.push_back({"%" + flags + width + precision + length + conv,
                                              width[0] == '*',
                                              precision[0] == '.' && precision[1] == '*'});
    return directives;
}

// Every directive in wide and narrow form, within "<...>", on every value: ours gets the value,
// the reference narrow(value). Star arguments cycle so every pair meets every directive shape.
template <class Values, class Narrow>
void Sweep(Mismatches& m, const std::vector<Directive>& directives, const Values& values,
           Narrow narrow) {
    constexpr int kStarWidths[] = {-13, -5, -1, 0, 1, 4, 9, 14};
    constexpr int kStarPrecisions[] = {-7, -1, 0, 1, 3, 6, 12};
    std::size_t turn = 0;
    for (const Directive& d : directives) {
        const int w = kStarWidths[turn % std::size(kStarWidths)];
        const int p =
            kStarPrecisions[(turn++ / std::size(kStarWidths)) % std::size(kStarPrecisions)];
        BothWidths("<" + d.text + ">", [&](const auto& format) {
            const auto* f = format.c_str();
            for (std::size_t i = 0; i < std::size(values); i += kValueStride) {
                const auto v = values[i];
                const auto r = narrow(v);
                const std::string what =
                    "\"" + d.text + "\"" + (d.starWidth ? " width " + std::to_string(w) : "") +
                    (d.starPrecision ? " precision " + std::to_string(p) : "") + " value #" +
                    std::to_string(i);
                if (d.starWidth && d.starPrecision)
                    m.Check(Ours(f, w, p, v), Reference(f, w, p, r), what);
                else if (d.starWidth)
                    m.Check(Ours(f, w, v), Reference(f, w, r), what);
                else if (d.starPrecision)
                    m.Check(Ours(f, p, v), Reference(f, p, r), what);
                else {
                    const auto reference = Reference(f, r);
                    m.Check(Ours(f, v), reference, what);
                    m.Check(OursCompiled(f, v), reference, what + " compiled");
                }
            }
        });
    }
}

constexpr auto kSame = [](auto v) { return v; };

// Values as a long; the conversions without 'l' get them as an int (wrapped), 'h' lets the C
// library narrow further.
constexpr long kValues[] = {
    0,          1,           -1,           7,         8,         9,          10,
    15,         16,          17,           -17,       99,        255,        256,
    4095,       32767,       32768,        -32768,    -32769,    65535,      65536,
    100000,     123456789,   -123456789,   INT32_MAX, INT32_MIN, 0x80000000, 0xFFFFFFEF,
    0xFFFFFFFF, 0x100000005, -0x100000005, LONG_MAX,  LONG_MIN,
};

TEST(FormatDifferential, EveryIntegerConversionMatchesTheCLibrary) {
    std::vector<int> ints;
    for (const long v : kValues)
        ints.push_back(static_cast<int>(static_cast<std::uint32_t>(v)));
    Mismatches m;
    Sweep(m, Grid("diuoxX", {"", "h"}), ints, kSame);
    // A 32-bit long: ours takes the low 32 bits of any long, the reference gets them as a long.
    Sweep(m, Grid("di", {"l"}), kValues, [](long v) {
        return static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    });
    Sweep(m, Grid("uoxX", {"l"}), kValues,
          [](long v) { return static_cast<long>(static_cast<std::uint32_t>(v)); });
    EXPECT_GT(m.compared, 100'000);
}

// Bytes beyond 7 bits in wide output and wide characters beyond 7 bits in narrow output go
// through the locale, so the C library decides them (ours hands them over).
TEST(FormatDifferential, EveryCharacterAndStringConversionMatchesTheCLibrary) {
    constexpr int kBytes[] = {0, 1, ' ', '%', '0', 'A', 'z', 0x7F, 0x80, 0xE9, 0xFF, 0x141, -1};
    constexpr std::wint_t kWide[] = {0, 'A', 0x7F, 0x80, 0xE9, 0x20AC, 0xD800, 0x10FFFF};
    const char* const kNarrowTexts[] = {"",     "a",    "ab",        "hello", "0123456789abcdef",
                                        "%d%s", "\t\n", "a\xC3\xA9", "\x80",  "abcdefghijk\xFF",
                                        nullptr};
    const wchar_t* const kWideTexts[] = {
        L"",       L"a",      L"hello",           L"0123456789abcdef",
        L"\x20AC", L"ab\xE9", L"abcdefghijk\x80", L"\xD83D\xDE00",
        nullptr};
    Mismatches m;
    Sweep(m, Grid("c", {"", "h"}), kBytes, kSame);
    Sweep(m, Grid("c", {"l"}), kWide, kSame);
    Sweep(m, Grid("s", {"", "h"}), kNarrowTexts, kSame);
    Sweep(m, Grid("s", {"l"}), kWideTexts, kSame);
}

// ---- Formats handed to the C library and malformed ones -------------------------------------

TEST(FormatDifferential, FormatsBeyondTheSubsetGoToTheCLibrary) {
    Mismatches m;
    // Percent signs, malformed and positional conversions, other length modifiers.
    for (const std::string& f :
         Words("%% a%%b%% %5% %-5%| % ab% %y %- %5 %. %1$d %*1$d %.*1$d %1$*2$d %hhd %hhx %'d %Id "
               "%hs %hls %C %S %99999999999d %.99999999999d %2147483648d %.2147483648s %lld %zd "
               "%jd %td %qd")) {
        const auto has = [&f](const char* part) { return f.find_first_of(part) != f.npos; };
        if (has("sS"))
            m.Same(f, f, L"w");
        else if (has("*"))
            m.Same(f, f, 42, 7, 3);
        else if (has("lzjtq"))
            m.Same(f, f, -42LL);
        else
            m.Same(f, f, 42);
    }
    // Floating point, as FormatA("%.15g") uses it, and a long beside it (printed in full there).
    for (const double v : {0.0, -0.5, 1.0 / 3, 1e300, 123456789012345.678}) {
        for (const std::string& f : Words("%.15g %.0f %f %e %a %10.3G %-+#12.4E"))
            m.Same(f, f, v);
        m.Same("long", "%ld|%.15g|%s", 0x100000005L, v, "x");
    }
}

// ---- The bound ---------------------------------------------------------------------------

TEST(FormatDifferential, ResultsReachingTheBoundFailExactlyWhenTheCLibraryDoes) {
    Mismatches m;
    const std::string text(1100, 'q');
    for (int n = 990; n <= 1010; ++n) {
        const std::string literal(static_cast<std::size_t>(n), 'a');
        const std::string what = " with " + std::to_string(n);
        m.Same("literal" + what, literal);
        m.Same("995 + %d" + what, literal.substr(0, 995) + "%d", n * 7);
        for (const std::string& f : Words("%*d %-*d %0*x %.*d %#.*o %*c x%*%"))
            m.Same(f + what, f, n, -5);
        for (const std::string& f : Words("%-*s %.*s"))
            m.Same(f + what, f, n, text.c_str());
        m.Same("%*ls" + what, "%*ls", n, L"abc");
    }
}

// ---- Random formats with several conversions ------------------------------------------------

// Several int-taking conversions (stars included) and "%%" between literals, so that state left
// by one directive would show in the next. The arguments are generated in the order the format
// consumes them: star widths and precisions small (a huge one makes the C library pad for
// seconds), values anywhere; surplus ones are ignored.
RC_GTEST_PROP(FormatDifferential, RandomIntFormatsMatchTheCLibrary, ()) {
    const auto literal =
        rc::gen::container<std::string>(rc::gen::elementOf(std::string("abcXYZ019 .-:/\t")));
    std::string f = *literal;
    std::vector<int> a;
    const auto star = [&a] {
        a.push_back(*rc::gen::inRange(-30, 30));
        return std::string("*");
    };
    for (int i = *rc::gen::inRange(1, 4); i > 0; --i, f += *literal) {
        if (*rc::gen::inRange(0, 5) == 0) {
            f += "%%";
            continue;
        }
        const auto flags =
            *rc::gen::container<std::string>(rc::gen::elementOf(std::string("-0+ #")));
        f += "%" + flags.substr(0, 4);
        const int w = *rc::gen::inRange(0, 3);
        f += w == 0 ? "" : w == 1 ? std::to_string(*rc::gen::inRange(1, 20)) : star();
        const int p = *rc::gen::inRange(0, 4);
        f += p == 0   ? ""
             : p == 1 ? "."
                      : "." + (p == 2 ? std::to_string(*rc::gen::inRange(0, 14)) : star());
        f += *rc::gen::elementOf(std::string("diuoxXc"));
        a.push_back(
            *rc::gen::oneOf(rc::gen::arbitrary<int>(), rc::gen::inRange(-20, 20),
                            rc::gen::elementOf(std::vector<int>{INT_MIN, INT_MAX, 0x7F, 0xFFFF})));
    }
    a.resize(9, 0);
    BothWidths(f, [&a](const auto& format) {
        const auto* fc = format.c_str();
        RC_ASSERT(Ours(fc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]) ==
                  Reference(fc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]));
    });
}

}  // namespace
