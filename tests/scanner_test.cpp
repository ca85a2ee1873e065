// Behaviour of util::Scan that callers rely on, case by case. The differential test compares the
// same against sscanf in bulk; these tables pin the conventions down where a reader can see them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "util/Scanner.h"

namespace {

using namespace std::string_view_literals;
using util::ScanPattern;
using util::ScanSlot;

// Every pattern the device families use compiles as a constant expression.
constexpr ScanPattern kFamilyPatterns[] = {
    ScanPattern("MB%8lx%n"),    ScanPattern("IB%8lx%n"),       ScanPattern("IW%8lx%n"),
    ScanPattern("OB%8lx%n"),    ScanPattern("OW%8lx%n"),       ScanPattern("MW%8ld%n"),
    ScanPattern("MB%8ld%n"),    ScanPattern("MB%05ld%01lx%n"), ScanPattern(".%8u%n"),
    ScanPattern(".B%8u%n"),     ScanPattern("%u-%x%c"),        ScanPattern("%8u-%8u%c%n"),
    ScanPattern("%8u-%8x%c%n"), ScanPattern("GB%8ld%n"),       ScanPattern("GD%8ld%n"),
    ScanPattern("GS%8ld%n"),    ScanPattern("EG%8ld%n"),       ScanPattern("%lo%n"),
    ScanPattern("%ld%n"),       ScanPattern("%lx%n"),          ScanPattern("%X"),
    ScanPattern("DW%8ld%n"),    ScanPattern("ZD%ld%n"),        ScanPattern("I%8ld%n"),
    ScanPattern("O%8ld%n"),     ScanPattern("D%8ld%n"),        ScanPattern("Z%8ld%n"),
    ScanPattern("W%8ld%n"),     ScanPattern("SW%8ld%n"),       ScanPattern("R%8ld%n"),
    ScanPattern("SR%8ld%n"),    ScanPattern("K%8ld%n"),        ScanPattern("OB%8ld%n"),
    ScanPattern("IB%8ld%n"),    ScanPattern("M%8ld%n"),
};

// "%05ld" is a width of 5, not a flag; "%01lx" reads a single hex digit.
constexpr ScanPattern kSplitField("MB%05ld%01lx%n");
static_assert(kSplitField.Size() == 5 && kSplitField.Outputs() == 3);
static_assert(kSplitField[2].conv == 'd' && kSplitField[2].width == 5);
static_assert(kSplitField[3].conv == 'x' && kSplitField[3].width == 1);
static_assert(ScanPattern("%X")[0].conv == 'x');
static_assert(ScanPattern("%c%u-%x%c%n").CharOutputs() == 0b01001);
static_assert(ScanPattern("%0ld")[0].width == 0);
static_assert(ScanPattern(" \t\n%c")[0].op == ScanPattern::Op::Space &&
              ScanPattern(" \t\n%c").Size() == 2);

std::string CharText(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') return "'\\n'";
    if (c == '\t') return "'\\t'";
    char buf[16];
    std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F ? "'%c'" : "'\\x%02X'", c);
    return buf;
}

// Scans with outputs of the right kinds and renders "ret | out out ..." with "-" for an output
// that was not assigned. Runs twice with different fill values, so an assigned value that
// happens to equal the fill cannot pass for "not assigned".
std::string Observe(std::string_view input, const ScanPattern& pattern) {
    constexpr std::uint32_t kFill[2] = {0xA5A5A5A5u, 0x5A5A5A5Au};
    std::array<std::array<std::uint32_t, 8>, 2> ints{};
    std::array<std::array<char, 8>, 2> chars{};
    int ret[2] = {};
    for (int run = 0; run < 2; ++run) {
        ints[run].fill(kFill[run]);
        chars[run].fill(static_cast<char>(kFill[run]));
        std::array<ScanSlot, 8> slots{};
        int k = 0;
        for (int i = 0; i < pattern.Size(); ++i) {
            if (pattern[i].op != ScanPattern::Op::Convert) continue;
            slots[k] = pattern[i].conv == 'c' ? ScanSlot{ScanSlot::Kind::Char, &chars[run][k]}
                                              : ScanSlot{ScanSlot::Kind::Int32, &ints[run][k]};
            ++k;
        }
        ret[run] = util::ScanSlots(input, pattern, slots.data(), k);
    }
    EXPECT_EQ(ret[0], ret[1]);
    std::string text = std::to_string(ret[0]) + " |";
    int k = 0;
    for (int i = 0; i < pattern.Size(); ++i) {
        const auto& d = pattern[i];
        if (d.op != ScanPattern::Op::Convert) continue;
        const std::uint32_t v = ints[0][k];
        const bool isChar = d.conv == 'c';
        const bool untouched = isChar ? chars[0][k] == static_cast<char>(kFill[0]) &&
                                            chars[1][k] == static_cast<char>(kFill[1])
                                      : v == kFill[0] && ints[1][k] == kFill[1];
        char buf[32];
        if (untouched) {
            text += " -";
        } else if (isChar) {
            text += " " + CharText(chars[0][k]);
        } else {
            if (d.conv == 'd' || d.conv == 'n')
                std::snprintf(buf, sizeof buf, " %d", static_cast<std::int32_t>(v));
            else if (d.conv == 'x')
                std::snprintf(buf, sizeof buf, " 0x%X", v);
            else
                std::snprintf(buf, sizeof buf, " %u", v);
            text += buf;
        }
        ++k;
    }
    return text;
}

struct ScanCase {
    std::string_view pattern;
    std::string_view input;
    std::string_view expected;  // "ret | outputs", "-" = not assigned
};

std::string Escaped(std::string_view s) {
    std::string out;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        char buf[8];
        std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
        out += buf;
    }
    return "\"" + out + "\"";
}

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << "pattern " << Escaped(c.pattern) << ", input " << Escaped(c.input);
}

class ScanTable : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTable, MatchesExpectedOutcome) {
    const ScanCase& c = GetParam();
    EXPECT_EQ(Observe(c.input, ScanPattern(c.pattern)), c.expected) << testing::PrintToString(c);
}

// Input failure (the input ends) before any assignment is -1; a matching failure, or an input
// failure after an assignment, returns the count so far. %n is stored but never counted.
const ScanCase kReturnConventions[] = {
    {"%ld%n", "", "-1 | - -"},
    {"%ld%n", " \t\n\v\f\r", "-1 | - -"},
    {"%ld%n", "-", "0 | - -"},
    {"%ld%n", "+ 1", "0 | - -"},
    {"%ld%n", "x", "0 | - -"},
    {"MB%8lx%n", "", "-1 | - -"},
    {"MB%8lx%n", "M", "-1 | - -"},
    {"MB%8lx%n", "MB", "-1 | - -"},
    {"MB%8lx%n", "MB ", "-1 | - -"},
    {"MB%8lx%n", "MBZ", "0 | - -"},
    {"MB%8lx%n", "mB1", "0 | - -"},
    {"MB%8lx%n", " MB1", "0 | - -"},
    {"MB%8lx%n", "MB 1F", "1 | 0x1F 5"},
    {"MB%8lx%n", "MB00001F", "1 | 0x1F 8"},
    {"MB%8lx%n", "MB123456789", "1 | 0x12345678 10"},
    {"%u-%x%c", "1", "1 | 1 - -"},
    {"%u-%x%c", "1-", "1 | 1 - -"},
    {"%u-%x%c", "1+3", "1 | 1 - -"},
    {"%u-%x%c", "1 -3", "1 | 1 - -"},
    {"%u-%x%c", "1-3", "2 | 1 0x3 -"},
    {"%u-%x%c", "1-3 ", "3 | 1 0x3 ' '"},
    {"%u-%x%c", "0-FF ", "3 | 0 0xFF ' '"},
    {"%u-%x%c", "1-fg", "3 | 1 0xF 'g'"},
    {"%u-%x%c", "1- 3\n", "3 | 1 0x3 '\\n'"},
    {"%8u-%8x%c%n", "12-34\n", "3 | 12 0x34 '\\n' 6"},
    {"%8u-%8u%c%n", "123456789-1x", "1 | 12345678 - - -"},
    {".B%8u%n", ".B15", "1 | 15 4"},
    {".B%8u%n", ".b15", "0 | - -"},
    {".%8u%n", ".", "-1 | - -"},
    {"GD%8ld%n", "GD100", "1 | 100 5"},
    {"ZD%ld%n", "ZD-5+", "1 | -5 4"},
    {"%X", "ff", "1 | 0xFF"},
    {"%n", "", "0 | 0"},
    {"%n%ld", "", "-1 | 0 -"},
    {"%c", "", "-1 | -"},
};
INSTANTIATE_TEST_SUITE_P(ReturnConventions, ScanTable, testing::ValuesIn(kReturnConventions));

// Literals and %c take the next character as it is; white-space directives, numeric conversions
// and "%%" skip white space first.
const ScanCase kWhiteSpace[] = {
    {"%c", " ", "1 | ' '"},        {" %c%n", " \t x", "1 | 'x' 4"}, {" %c%n", "x", "1 | 'x' 1"},
    {" %c%n", " \n ", "-1 | - -"}, {"%ld %n", "5 \t\n", "1 | 5 4"}, {"%ld %n", "5x", "1 | 5 1"},
    {"a b%n", "ab", "0 | 2"},      {"a b%n", "a \n\v b", "0 | 6"},  {"a b%n", "a", "-1 | -"},
    {"a b%n", "a  ", "-1 | -"},    {" %n", "  \t", "0 | 3"},        {"%n %n", " ", "0 | 0 1"},
    {"%%%ld%n", "%7", "1 | 7 2"},  {"%%%ld%n", " % 7", "1 | 7 4"},  {"%%%ld%n", "  ", "-1 | - -"},
    {"%%%ld%n", "x", "0 | - -"},
};
INSTANTIATE_TEST_SUITE_P(WhiteSpace, ScanTable, testing::ValuesIn(kWhiteSpace));

// A width counts the sign, the '0' and the 'x' of a hex prefix. "0x" is taken even without a hex
// digit after it; the number is then the 0. Width 0 means no width.
const ScanCase kWidths[] = {
    {"%2ld%n", "-123", "1 | -1 2"},
    {"%1ld%n", "-1", "0 | - -"},
    {"%1ld%n", "+5", "0 | - -"},
    {"%1ld%n", "78", "1 | 7 1"},
    {"%2lx%n", "0x1F", "1 | 0x0 2"},
    {"%3lx%n", "0x1F", "1 | 0x1 3"},
    {"%3lx%n", "-0x1F", "1 | 0x0 3"},
    {"%4lx%n", "-0x1F", "1 | 0xFFFFFFFF 4"},
    {"%1lx%n", "0x5", "1 | 0x0 1"},
    {"%lx%n", "0xg", "1 | 0x0 2"},
    {"%lx%n", "0X", "1 | 0x0 2"},
    {"%lx%n", "+0x", "1 | 0x0 3"},
    {"%lx%n", "0x0x5", "1 | 0x0 3"},
    {"%lx%n", "x1", "0 | - -"},
    {"%lo%n", "0x7", "1 | 0 1"},
    {"%lo%n", "0789", "1 | 7 2"},
    {"%ld%n", "0x7", "1 | 0 1"},
    {"%8lx%n", "  00000001F", "1 | 0x1 10"},
    {"MB%05ld%01lx%n", "MB000123", "2 | 12 0x3 8"},
    {"MB%05ld%01lx%n", "MB-0001F", "2 | -1 0xF 8"},
    {"MB%05ld%01lx%n", "MB12", "1 | 12 - -"},
    {"MB%05ld%01lx%n", "MB12345g", "1 | 12345 - -"},
    {"%0ld%n", "123456789012", "1 | 2147483647 12"},
};
INSTANTIATE_TEST_SUITE_P(Widths, ScanTable, testing::ValuesIn(kWidths));

// `long` is 32 bits: signed conversions saturate, unsigned ones saturate on magnitude and wrap a
// negative value modulo 2^32. Leading zeros never count towards overflow.
const ScanCase kThirtyTwoBit[] = {
    {"%ld", "2147483647", "1 | 2147483647"},
    {"%ld", "2147483648", "1 | 2147483647"},
    {"%ld", "-2147483648", "1 | -2147483648"},
    {"%ld", "-2147483649", "1 | -2147483648"},
    {"%ld", "99999999999999999999999", "1 | 2147483647"},
    {"%ld", "-99999999999999999999999", "1 | -2147483648"},
    {"%ld", "000000000000000000002147483647", "1 | 2147483647"},
    {"%ld", "-000000000000000000002147483648", "1 | -2147483648"},
    {"%d", "4294967296", "1 | 2147483647"},
    {"%d", "-4294967297", "1 | -2147483648"},
    {"%lu", "4294967295", "1 | 4294967295"},
    {"%lu", "4294967296", "1 | 4294967295"},
    {"%lu", "-1", "1 | 4294967295"},
    {"%u", "-1", "1 | 4294967295"},
    {"%u", "+4294967295", "1 | 4294967295"},
    {"%lu", "-2147483648", "1 | 2147483648"},
    {"%lu", "-4294967295", "1 | 1"},
    {"%lu", "-4294967296", "1 | 4294967295"},
    {"%lu", "-0", "1 | 0"},
    {"%lu", "18446744073709551615", "1 | 4294967295"},
    {"%lu", "-18446744073709551615", "1 | 4294967295"},
    {"%lx", "FFFFFFFF", "1 | 0xFFFFFFFF"},
    {"%lx", "100000000", "1 | 0xFFFFFFFF"},
    {"%lx", "-80000000", "1 | 0x80000000"},
    {"%lx", "-0x1", "1 | 0xFFFFFFFF"},
    {"%lx", "-100000000", "1 | 0xFFFFFFFF"},
    {"%lx", "0x0000000000000000001", "1 | 0x1"},
    {"%lo", "37777777777", "1 | 4294967295"},
    {"%lo", "40000000000", "1 | 4294967295"},
    {"%lo", "-1", "1 | 4294967295"},
    {"%u-%x%c", "4294967296-100000000 ", "3 | 4294967295 0xFFFFFFFF ' '"},
};
INSTANTIATE_TEST_SUITE_P(ThirtyTwoBit, ScanTable, testing::ValuesIn(kThirtyTwoBit));

// The input ends at its end or at its first NUL, whichever comes first.
const ScanCase kInputEnd[] = {
    {"%ld%n",
     "12\0"
     "34"sv,
     "1 | 12 2"},
    {"%ld%n",
     "\0"
     "12"sv,
     "-1 | - -"},
    {"%ld%n",
     " \0"
     "12"sv,
     "-1 | - -"},
    {"MB%8lx%n",
     "MB\0"
     "1"sv,
     "-1 | - -"},
    {"%c", "\0x"sv, "-1 | -"},
    {"%u-%x%c", "1-2\0x"sv, "2 | 1 0x2 -"},
    {" %n", "  \0  "sv, "0 | 2"},
    {"%ld%n", "1234"sv.substr(0, 2), "1 | 12 2"},
    {"%u-%x%c", "1-2 "sv.substr(0, 3), "2 | 1 0x2 -"},
};
INSTANTIATE_TEST_SUITE_P(InputEnd, ScanTable, testing::ValuesIn(kInputEnd));

TEST(ScanPatternTest, EndsAtNulLikeAFormatString) {
    constexpr ScanPattern pattern("A\0%ld"sv);
    static_assert(pattern.Outputs() == 0 && pattern.Text() == "A");
    const std::string format("A\0%ld", 5);
    long unused = 0;
    EXPECT_EQ(util::Scan("A", pattern), std::sscanf("A", format.c_str(), &unused));
    EXPECT_EQ(util::Scan("A", pattern), 0);
}

// Every family pattern needs at least one character, so nothing to read is always -1.
TEST(ScanTest, FamilyPatternsReportEmptyInputAsEndOfInput) {
    for (const ScanPattern& pattern : kFamilyPatterns) {
        for (const std::string_view input : {""sv, "\0"sv, "\0MB1"sv}) {
            SCOPED_TRACE(std::string(pattern.Text()));
            EXPECT_EQ(Observe(input, pattern).substr(0, 4), "-1 |");
        }
    }
}

// The view's end is the input's end even when more text follows in memory: the outcome must not
// depend on what lies behind it. (In the sanitizer build the exact-size copy also traps any read
// past the end.)
TEST(ScanTest, ReadsNothingPastTheView) {
    const std::string_view texts[] = {"MB00001F", "IW7fff", "MW-123",  "MB12345F", ".B15",
                                      "1-3 ",     "0-FF ",  "12-34\n", "GD100",    "ZD+4294967296",
                                      " -0x1f9",  "777",    "DW32767", "SR00012"};
    for (const ScanPattern& pattern : kFamilyPatterns) {
        for (const std::string_view text : texts) {
            for (std::size_t n = 0; n <= text.size(); ++n) {
                const std::string prefix(text.substr(0, n));
                const std::string padded = prefix + "7f-7 x";
                const auto exact = std::make_unique<char[]>(n);
                std::copy(prefix.begin(), prefix.end(), exact.get());
                const std::string expected = Observe(prefix, pattern);
                SCOPED_TRACE("pattern " + std::string(pattern.Text()) + ", input " +
                             Escaped(prefix));
                EXPECT_EQ(Observe({padded.data(), n}, pattern), expected);
                EXPECT_EQ(Observe({exact.get(), n}, pattern), expected);
            }
        }
    }
}

TEST(ScanTest, TypedOutputs) {
    static constexpr ScanPattern kRange("%8u-%8x%c%n");
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    char next = 0;
    std::int32_t consumed = 0;
    EXPECT_EQ(util::Scan("100-1fF,rest", kRange, first, last, next, consumed), 3);
    EXPECT_EQ(first, 100u);
    EXPECT_EQ(last, 0x1FFu);
    EXPECT_EQ(next, ',');
    EXPECT_EQ(consumed, 8);

    static constexpr ScanPattern kSigned("D%8ld%n");
    std::int32_t value = 0;
    EXPECT_EQ(util::Scan("D-00001234", kSigned, value, consumed), 1);
    EXPECT_EQ(value, -123);
    EXPECT_EQ(consumed, 9);
}

// Outputs that do not fit the pattern are a programming error, reported before anything is
// written.
TEST(ScanTest, OutputMismatchThrowsLogicErrorWithoutWriting) {
    static constexpr ScanPattern kNumber("%ld%n");
    static constexpr ScanPattern kOne("%ld");
    static constexpr ScanPattern kChars("%u-%x%c");
    std::int32_t a = 7;
    std::int32_t b = 7;
    std::uint32_t u = 7;
    char c = '?';
    const std::function<int()> calls[] = {
        [&] { return util::Scan("1 2", kNumber, a); },
        [&] { return util::Scan("1 2", kNumber, a, b, u); },
        [&] { return util::Scan("1 2", kOne); },
        [&] { return util::Scan("1 2", kOne, c); },
        [&] { return util::Scan("1-2x", kChars, u, u, a); },
        [&] { return util::Scan("1-2x", kChars, c, u, c); },
        [&] { return util::ScanSlots("1", kOne, nullptr, 1); },
        [&] {
            const ScanSlot slot{ScanSlot::Kind::Int32, nullptr};
            return util::ScanSlots("1", kOne, &slot, 1);
        },
        [&] {
            const ScanSlot slot{ScanSlot::Kind::Int32, &a};
            return util::ScanSlots("1", kOne, &slot, -1);
        },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        SCOPED_TRACE("call " + std::to_string(i));
        EXPECT_THROW(calls[i](), std::logic_error);
        EXPECT_EQ(a, 7);
        EXPECT_EQ(b, 7);
        EXPECT_EQ(u, 7u);
        EXPECT_EQ(c, '?');
    }
    // A pattern without outputs needs none.
    EXPECT_EQ(util::Scan("ab", ScanPattern("a b")), 0);
}

TEST(ScanPatternTest, RejectsUnsupportedDirectives) {
    const std::string_view rejected[] = {
        "%",
        "%l",
        "MB%8",
        "%f",
        "%s",
        "%[a]",
        "%i",
        "%p",
        "%lld",
        "%hd",
        "%hhu",
        "%*d",
        "%1$d",
        "%lc",
        "%ln",
        "%5n",
        "%3c",
        "%1000000d",
        "%-5d",
        "%+d",
        "%#x",
        "%'d",
        "abcdefghijklmnopqrstuvwxy",  // one directive over the limit
    };
    for (const auto text : rejected) {
        SCOPED_TRACE(std::string(text));
        EXPECT_THROW(ScanPattern{text}, std::invalid_argument);
    }
    EXPECT_NO_THROW(ScanPattern{"abcdefghijklmnopqrstuvwx"});
    EXPECT_NO_THROW(ScanPattern{"%100000d%%%X %lo"});
}

}  // namespace
