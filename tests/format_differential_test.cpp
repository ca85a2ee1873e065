// Our formatter (util::FormatTo) against the C library's vswprintf/vsnprintf: every combination
// of flags, width, precision, length modifier and conversion of the subset it implements, over
// edge values, in wide and narrow form; random multi-conversion formats; the output bound; and the
// formats it hands to the C library. The only intended difference, the 32-bit long of "%l...",
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
#include <vector>

#include "util/FormatEngine.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's printf interceptors parse each format themselves and abort on some malformed
// ones ("%-5%|") that this test hands to the C library on purpose; the C library itself is the
// reference here, so its interceptor checks stay off in this test.
extern "C" const char* __asan_default_options() {
    return "check_printf=0";
}
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
Result<Char> Make(const Char* buffer, int length) {
    return {length, length >= 0 ? std::basic_string<Char>(buffer, static_cast<std::size_t>(length))
                                : std::basic_string<Char>()};
}

Result<wchar_t> Ours(const wchar_t* format, ...) {
    wchar_t buffer[kSize];
    std::va_list args;
    va_start(args, format);
    const int length = util::FormatTo(buffer, kSize, format, args);
    va_end(args);
    return Make(buffer, length);
}

Result<char> Ours(const char* format, ...) {
    char buffer[kSize];
    std::va_list args;
    va_start(args, format);
    const int length = util::FormatTo(buffer, kSize, format, args);
    va_end(args);
    return Make(buffer, length);
}

Result<wchar_t> Reference(const wchar_t* format, ...) {
    wchar_t buffer[kSize];
    std::va_list args;
    va_start(args, format);
    const int length = std::vswprintf(buffer, kSize, format, args);
    va_end(args);
    return Make(buffer, length);
}

// vsnprintf reports the length it needed; FormatTo's contract is vswprintf's (-1).
Result<char> Reference(const char* format, ...) {
    char buffer[kSize];
    std::va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, kSize, format, args);
    va_end(args);
    return Make(buffer, length >= 0 && static_cast<std::size_t>(length) < kSize ? length : -1);
}

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

std::string Show(const std::string& s) {
    return s;
}
std::string Show(const std::wstring& s) {
    std::string out;
    for (const wchar_t c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "\\x%X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

// Collects disagreements; the test fails with the first few of them.
class Mismatches {
public:
    template <class Char>
    void Check(const Result<Char>& ours, const Result<Char>& reference, const std::string& what) {
        ++mCompared;
        if (ours == reference) return;
        if (mCount++ < 10)
            mReport << what << "\n    ours      " << ours.length << " \"" << Show(ours.text)
                    << "\"\n    reference " << reference.length << " \"" << Show(reference.text)
                    << "\"\n";
    }
    long Compared() const { return mCompared; }
    long Count() const { return mCount; }
    std::string Report() const { return mReport.str(); }

private:
    long mCompared = 0;
    long mCount = 0;
    std::ostringstream mReport;
};

#define EXPECT_NO_MISMATCHES(m)                                                            \
    EXPECT_EQ((m).Count(), 0) << (m).Count() << " of " << (m).Compared() << " disagree:\n" \
                              << (m).Report()

// ---- The grid of conversion directives -------------------------------------------------

// Every subset of the flags, in two orders, and a repeated flag.
std::vector<std::string> FlagSets() {
    static constexpr char kFlags[] = "-0+ #";
    std::vector<std::string> sets;
    for (int mask = 0; mask < 32; ++mask) {
        std::string forward;
        for (int i = 0; i < 5; ++i)
            if (mask & (1 << i)) forward += kFlags[i];
        sets.push_back(forward);
        if (forward.size() > 1) sets.emplace_back(forward.rbegin(), forward.rend());
    }
    sets.push_back("00");
    sets.push_back("-+-");
    return sets;
}

const char* const kWidths[] = {"", "1", "2", "5", "12", "*"};
const char* const kPrecisions[] = {"", ".", ".0", ".1", ".2", ".5", ".11", ".*"};
constexpr int kStarWidths[] = {-13, -5, -1, 0, 1, 4, 9, 14};
constexpr int kStarPrecisions[] = {-7, -1, 0, 1, 3, 6, 12};

// Values as a long; the conversions without 'l' get them as an int (wrapped), 'h' lets the C
// library narrow further.
constexpr long long kValues[] = {
    0,          1,           -1,           7,         8,         9,          10,
    15,         16,          17,           -17,       99,        255,        256,
    4095,       32767,       32768,        -32768,    -32769,    65535,      65536,
    100000,     123456789,   -123456789,   INT32_MAX, INT32_MIN, 0x80000000, 0xFFFFFFEF,
    0xFFFFFFFF, 0x100000005, -0x100000005, LLONG_MAX, LLONG_MIN,
};

#if defined(__SANITIZE_ADDRESS__)
constexpr int kValueStride = 3;  // the sanitizer build takes every third value
#else
constexpr int kValueStride = 1;
#endif

struct Directive {
    std::string text;  // "%-05.3lx"
    bool starWidth;
    bool starPrecision;
};

// Every directive of the grid for the conversion letters given, with the length modifiers given.
std::vector<Directive> Grid(const std::string& conversions,
                            const std::vector<std::string>& lengths) {
    std::vector<Directive> directives;
    for (const std::string& flags : FlagSets())
        for (const char* width : kWidths)
            for (const char* precision : kPrecisions)
                for (const std::string& length : lengths)
                    for (const char conv : conversions)
                        directives.push_back({"%" + flags + width + precision + length + conv,
                                              width[0] == '*',
                                              precision[0] == '.' && precision[1] == '*'});
    return directives;
}

// Calls both formatters with the star arguments the directive wants, then `value`.
template <class Char, class OursValue, class ReferenceValue>
void Compare(Mismatches& m, const std::basic_string<Char>& format, const Directive& directive,
             int width, int precision, OursValue ours, ReferenceValue reference,
             const std::string& what) {
    const Char* f = format.c_str();
    if (directive.starWidth && directive.starPrecision)
        m.Check(Ours(f, width, precision, ours), Reference(f, width, precision, reference), what);
    else if (directive.starWidth)
        m.Check(Ours(f, width, ours), Reference(f, width, reference), what);
    else if (directive.starPrecision)
        m.Check(Ours(f, precision, ours), Reference(f, precision, reference), what);
    else
        m.Check(Ours(f, ours), Reference(f, reference), what);
}

// Runs `each(format, directive, width, precision)` in wide and narrow form for every directive,
// cycling through the star arguments so that every pair of them meets every directive shape.
template <class Each>
void ForEachFormat(const std::vector<Directive>& directives, Each each) {
    std::size_t turn = 0;
    for (const Directive& directive : directives) {
        const std::string narrow = "<" + directive.text + ">";
        const std::wstring wide = Widen(narrow);
        const int width = kStarWidths[turn % std::size(kStarWidths)];
        const int precision =
            kStarPrecisions[(turn / std::size(kStarWidths)) % std::size(kStarPrecisions)];
        ++turn;
        each(narrow, directive, width, precision);
        each(wide, directive, width, precision);
    }
}

std::string Describe(const Directive& directive, int width, int precision,
                     const std::string& value) {
    std::string s = "\"" + directive.text + "\"";
    if (directive.starWidth) s += " width " + std::to_string(width);
    if (directive.starPrecision) s += " precision " + std::to_string(precision);
    return s + " value " + value;
}

TEST(FormatDifferential, EveryIntegerConversionMatchesTheCLibrary) {
    Mismatches m;
    ForEachFormat(
        Grid("diuoxX", {"", "h", "l"}),
        [&m](const auto& format, const Directive& directive, int width, int precision) {
            const char length = directive.text[directive.text.size() - 2];
            const bool isSigned = directive.text.back() == 'd' || directive.text.back() == 'i';
            for (std::size_t i = 0; i < std::size(kValues); i += kValueStride) {
                const long long v = kValues[i];
                const std::string what = Describe(directive, width, precision, std::to_string(v));
                if (length != 'l') {
                    const int x = static_cast<int>(static_cast<std::uint32_t>(v));
                    Compare(m, format, directive, width, precision, x, x, what);
                } else if (isSigned) {
                    // A 32-bit long: ours takes the low 32 bits of any long.
                    const long narrowed = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
                    Compare(m, format, directive, width, precision, static_cast<long>(v), narrowed,
                            what);
                } else {
                    const unsigned long narrowed = static_cast<std::uint32_t>(v);
                    Compare(m, format, directive, width, precision, static_cast<unsigned long>(v),
                            narrowed, what);
                }
            }
        });
    EXPECT_NO_MISMATCHES(m);
    EXPECT_GT(m.Compared(), 100'000);
}

TEST(FormatDifferential, EveryCharacterConversionMatchesTheCLibrary) {
    // Bytes beyond 7 bits in wide output and wide characters beyond 7 bits in narrow output go
    // through the locale, so the C library decides them (ours hands them over).
    constexpr int kBytes[] = {0, 1, ' ', '%', '0', 'A', 'z', 0x7F, 0x80, 0xE9, 0xFF, 0x141, -1};
    constexpr std::wint_t kWide[] = {0, 'A', 0x7F, 0x80, 0xE9, 0x20AC, 0xD800, 0x10FFFF};
    Mismatches m;
    ForEachFormat(Grid("c", {"", "h"}),
                  [&](const auto& format, const Directive& directive, int width, int precision) {
                      for (const int c : kBytes)
                          Compare(m, format, directive, width, precision, c, c,
                                  Describe(directive, width, precision, std::to_string(c)));
                  });
    ForEachFormat(Grid("c", {"l"}),
                  [&](const auto& format, const Directive& directive, int width, int precision) {
                      for (const std::wint_t c : kWide)
                          Compare(m, format, directive, width, precision, c, c,
                                  Describe(directive, width, precision, std::to_string(c)));
                  });
    EXPECT_NO_MISMATCHES(m);
}

TEST(FormatDifferential, EveryStringConversionMatchesTheCLibrary) {
    const char* const kNarrow[] = {"",     "a",    "ab",        "hello", "0123456789abcdef",
                                   "%d%s", "\t\n", "a\xC3\xA9", "\x80",  "abcdefghijk\xFF",
                                   nullptr};
    const wchar_t* const kWide[] = {L"",       L"a",      L"hello",           L"0123456789abcdef",
                                    L"\x20AC", L"ab\xE9", L"abcdefghijk\x80", L"\xD83D\xDE00",
                                    nullptr};
    Mismatches m;
    ForEachFormat(Grid("s", {"", "h"}),
                  [&](const auto& format, const Directive& directive, int width, int precision) {
                      for (const char* s : kNarrow)
                          Compare(m, format, directive, width, precision, s, s,
                                  Describe(directive, width, precision,
                                           s ? "\"" + std::string(s) + "\"" : "null"));
                  });
    ForEachFormat(Grid("s", {"l"}), [&](const auto& format, const Directive& directive, int width,
                                        int precision) {
        for (const wchar_t* s : kWide)
            Compare(m, format, directive, width, precision, s, s,
                    Describe(directive, width, precision, s ? "\"" + Show(s) + "\"" : "null"));
    });
    EXPECT_NO_MISMATCHES(m);
}

// ---- Formats handed to the C library and malformed ones -------------------------------------

template <class Each>
void BothWidths(const char* narrow, Each each) {
    each(std::string(narrow));
    each(Widen(narrow));
}

TEST(FormatDifferential, FormatsBeyondTheSubsetGoToTheCLibrary) {
    Mismatches m;
    // Percent signs, malformed and positional conversions, other length modifiers: an int.
    for (const char* f : {"%%",
                          "a%%b%%",
                          "%5%",
                          "%-5%|",
                          "%",
                          "ab%",
                          "%y",
                          "%-",
                          "%5",
                          "%.",
                          "%1$d",
                          "%*1$d",
                          "%.*1$d",
                          "%1$*2$d",
                          "%hhd",
                          "%hhx",
                          "%'d",
                          "%Id",
                          "%hs",
                          "%hls",
                          "%C",
                          "%S",
                          "%99999999999d",
                          "%.99999999999d",
                          "%2147483648d",
                          "%.2147483648s",
                          "%lld",
                          "%zd",
                          "%jd",
                          "%td",
                          "%qd"}) {
        const std::string narrow = f;
        const auto has = [&narrow](const char* part) { return narrow.find(part) != narrow.npos; };
        BothWidths(f, [&](const auto& format) {
            const auto* const text = format.c_str();
            if (has("s") || has("S"))
                m.Check(Ours(text, L"w"), Reference(text, L"w"), f);
            else if (has("*"))
                m.Check(Ours(text, 42, 7, 3), Reference(text, 42, 7, 3), f);
            else if (has("ll") || has("z") || has("j") || has("t") || has("q"))
                m.Check(Ours(text, -42LL), Reference(text, -42LL), f);
            else
                m.Check(Ours(text, 42), Reference(text, 42), f);
        });
    }
    // Floating point, as FormatA("%.15g") uses it, and a long beside it (printed in full there).
    for (const double v : {0.0, -0.5, 1.0 / 3, 1e300, 123456789012345.678}) {
        for (const char* f : {"%.15g", "%.0f", "%f", "%e", "%a", "%10.3G", "%-+#12.4E"}) {
            BothWidths(f, [&](const auto& format) {
                m.Check(Ours(format.c_str(), v), Reference(format.c_str(), v), f);
            });
        }
        BothWidths("%ld|%.15g|%s", [&](const auto& format) {
            m.Check(Ours(format.c_str(), 0x100000005L, v, "x"),
                    Reference(format.c_str(), 0x100000005L, v, "x"), "%ld|%.15g|%s");
        });
    }
    EXPECT_NO_MISMATCHES(m);
}

// ---- The bound ---------------------------------------------------------------------------

TEST(FormatDifferential, ResultsReachingTheBoundFailExactlyWhenTheCLibraryDoes) {
    Mismatches m;
    for (int n = 990; n <= 1010; ++n) {
        const std::string literal(static_cast<std::size_t>(n), 'a');
        BothWidths(literal.c_str(), [&](const auto& f) {
            m.Check(Ours(f.c_str()), Reference(f.c_str()), "literal " + std::to_string(n));
        });
        BothWidths((literal.substr(0, 995) + "%d").c_str(), [&](const auto& f) {
            m.Check(Ours(f.c_str(), n * 7), Reference(f.c_str(), n * 7), "995 + %d");
        });
        for (const char* f :
             {"%*d", "%-*d", "%0*x", "%.*d", "%#.*o", "%*c", "%-*s", "%*ls", "x%*%", "%.*s"}) {
            const std::string narrow = f;
            const std::string what = narrow + " with " + std::to_string(n);
            const std::string text(1100, 'q');
            BothWidths(f, [&](const auto& format) {
                const auto* const fc = format.c_str();
                if (narrow.find('l') != narrow.npos)
                    m.Check(Ours(fc, n, L"abc"), Reference(fc, n, L"abc"), what);
                else if (narrow.find('s') != narrow.npos)
                    m.Check(Ours(fc, n, text.c_str()), Reference(fc, n, text.c_str()), what);
                else
                    m.Check(Ours(fc, n, -5), Reference(fc, n, -5), what);
            });
        }
    }
    EXPECT_NO_MISMATCHES(m);
}

// ---- Random formats with several conversions ------------------------------------------------

rc::Gen<std::string> Literal() {
    return rc::gen::container<std::string>(rc::gen::elementOf(std::string("abcXYZ019 .-:/\t")));
}

// A conversion directive of the subset; `length` is "", "h" or "l", `star` allows '*'.
rc::Gen<std::string> RandomDirective(const std::string& conversions, bool allowLength, bool star) {
    return rc::gen::exec([=] {
        std::string s = "%";
        const auto flags =
            *rc::gen::container<std::string>(rc::gen::elementOf(std::string("-0+ #")));
        s += flags.substr(0, 4);
        const int w = *rc::gen::inRange(0, star ? 4 : 3);
        if (w == 1) s += std::to_string(*rc::gen::inRange(1, 20));
        if (w == 3) s += "*";
        const int p = *rc::gen::inRange(0, star ? 5 : 4);
        if (p == 1) s += ".";
        if (p == 2 || p == 3) s += "." + std::to_string(*rc::gen::inRange(0, 14));
        if (p == 4) s += ".*";
        if (allowLength) s += *rc::gen::elementOf(std::vector<std::string>{"", "h", "l"});
        s += *rc::gen::elementOf(conversions);
        return s;
    });
}

// Int-taking conversions, stars included. The arguments are generated in the order the format
// consumes them: star widths and precisions small (a huge one makes the C library pad for
// seconds), values anywhere; surplus ones are ignored.
RC_GTEST_PROP(FormatDifferential, RandomIntFormatsMatchTheCLibrary, ()) {
    const int count = *rc::gen::inRange(1, 4);
    std::string f = *Literal();
    std::vector<int> a;
    for (int i = 0; i < count; ++i) {
        const std::string directive = *rc::gen::oneOf(RandomDirective("diuoxXc", false, true),
                                                      rc::gen::just(std::string("%%")));
        f += directive + *Literal();
        if (directive == "%%") continue;
        for (const char c : directive)
            if (c == '*') a.push_back(*rc::gen::inRange(-30, 30));
        a.push_back(
            *rc::gen::oneOf(rc::gen::arbitrary<int>(), rc::gen::inRange(-20, 20),
                            rc::gen::elementOf(std::vector<int>{INT_MIN, INT_MAX, 0x7F, 0xFFFF})));
    }
    a.resize(9, 0);
    RC_ASSERT(Ours(f.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]) ==
              Reference(f.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]));
    const std::wstring w = Widen(f);
    RC_ASSERT(Ours(w.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]) ==
              Reference(w.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]));
}

// "%l..." conversions only: six long arguments; the reference gets them narrowed to 32 bits.
RC_GTEST_PROP(FormatDifferential, RandomLongFormatsMatchTheCLibraryWith32BitLongs, ()) {
    const int count = *rc::gen::inRange(1, 6);
    std::string f = *Literal();
    std::vector<bool> isSigned;
    for (int i = 0; i < count; ++i) {
        std::string directive = *RandomDirective("diuoxX", false, false);
        directive.insert(directive.size() - 1, "l");
        isSigned.push_back(directive.back() == 'd' || directive.back() == 'i');
        f += directive + *Literal();
    }
    const auto v = *rc::gen::container<std::vector<long>>(6, rc::gen::arbitrary<long>());
    long n[6];
    for (int i = 0; i < 6; ++i) {
        const auto low = static_cast<std::uint32_t>(v[i]);
        n[i] = i < count && isSigned[i] ? static_cast<long>(static_cast<std::int32_t>(low))
                                        : static_cast<long>(low);
    }
    RC_ASSERT(Ours(f.c_str(), v[0], v[1], v[2], v[3], v[4], v[5]) ==
              Reference(f.c_str(), n[0], n[1], n[2], n[3], n[4], n[5]));
    const std::wstring w = Widen(f);
    RC_ASSERT(Ours(w.c_str(), v[0], v[1], v[2], v[3], v[4], v[5]) ==
              Reference(w.c_str(), n[0], n[1], n[2], n[3], n[4], n[5]));
}

}  // namespace
