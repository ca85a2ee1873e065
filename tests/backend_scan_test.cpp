// The scanner's two backends (util/TextBackend.h) give identical results: return value, every
// output, and which outputs stay untouched. Each backend is also held against the independent
// sscanf oracle of the scanner's own differential test, over generated and exhaustive inputs,
// every family pattern and the extra shapes; then the edges that only the C-library backend has:
// inputs that are not C strings, long inputs, patterns built at run time, misuse.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/ScanOracle.h"
#include "util/Scanner.h"
#include "util/TextBackend.h"

namespace {

using util::ScanPattern;
using util::ScanSlot;
using util::TextBackend;
using namespace scan_oracle;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kInputsPerPattern = 3'000;
#else
constexpr int kInputsPerPattern = 30'000;
#endif

constexpr TextBackend kBackends[] = {TextBackend::Ours, TextBackend::CLibrary};

// Random texts near the pattern: its literals in both cases, digits of every base, signs, "0x",
// white space, NUL, bytes beyond 7 bits and numbers at the 32- and 64-bit edges.
class Inputs {
public:
    Inputs(std::uint64_t seed, const ScanPattern& pattern) : mRng(seed) {
        for (int i = 0; i < pattern.Size(); ++i) {
            if (pattern[i].op != ScanPattern::Op::Literal) continue;
            const char c = pattern[i].literal;
            mLiterals += c;
            if (c >= 'A' && c <= 'Z') mLiterals += static_cast<char>(c + 32);
        }
        mLiterals += ".-";
    }

    std::string Next() {
        std::string s;
        for (unsigned n = Below(7); n > 0; --n)
            Token(s);
        return s;
    }

private:
    static constexpr const char* kNumbers[] = {
        "2147483647", "2147483648",  "-2147483649",         "4294967295",  "4294967296",
        "ffffffff",   "100000000",   "37777777777",         "40000000000", "18446744073709551616",
        "0x7FFFFFFF", "-0x80000001", "99999999999999999999"};

    unsigned Below(unsigned n) { return static_cast<unsigned>(mRng() % n); }

    void Token(std::string& s) {
        switch (Below(10)) {
            case 0:
            case 1:
                s += mLiterals[Below(static_cast<unsigned>(mLiterals.size()))];
                break;
            case 2:
                for (unsigned n = 1 + Below(9); n > 0; --n)
                    s += "0123456789"[Below(10)];
                break;
            case 3:
                for (unsigned n = 1 + Below(9); n > 0; --n)
                    s += "0123456789abcdefABCDEF"[Below(22)];
                break;
            case 4:
                s += kNumbers[Below(std::size(kNumbers))];
                break;
            case 5:
                s += "+-xX0"[Below(5)];
                break;
            case 6:
                s += " \t\n\v\f\r"[Below(6)];
                break;
            case 7:
                s += '\0';
                break;
            case 8:
                s += static_cast<char>(0x80 + Below(0x80));
                break;
            default:
                s += static_cast<char>(Below(256));
                break;
        }
    }

    std::mt19937_64 mRng;
    std::string mLiterals;
};

struct Observed {
    int ret = 0;
    std::array<std::uint32_t, kMaxOutputs> out{};
    bool operator==(const Observed&) const = default;
};

// Runs any pattern (also one built at run time) on one backend. Outputs start as `sentinel`
// variations, so an output that one backend writes and the other leaves alone shows.
Observed ScanOn(TextBackend backend, std::string_view input, const ScanPattern& pattern,
                std::uint32_t sentinel) {
    const util::ScopedTextBackend scoped(backend);
    Observed o;
    std::array<char, kMaxOutputs> chars{};
    std::array<ScanSlot, kMaxOutputs> slots{};
    for (int k = 0; k < pattern.Outputs(); ++k) {
        o.out[k] = sentinel * static_cast<std::uint32_t>(2 * k + 1);
        if ((pattern.CharOutputs() >> k) & 1u) {
            chars[k] = static_cast<char>(o.out[k]);
            slots[k] = {ScanSlot::Kind::Char, &chars[k]};
        } else {
            slots[k] = {ScanSlot::Kind::Int32, &o.out[k]};
        }
    }
    o.ret = util::ScanSlots(input, pattern, slots.data(), pattern.Outputs());
    for (int k = 0; k < pattern.Outputs(); ++k)
        if ((pattern.CharOutputs() >> k) & 1u) o.out[k] = static_cast<unsigned char>(chars[k]);
    return o;
}

std::string Show(const Observed& o) {
    std::string s = "ret " + std::to_string(o.ret) + " [";
    for (const std::uint32_t v : o.out)
        s += std::to_string(v) + " ";
    return s + "]";
}

class BackendScan : public testing::TestWithParam<PatternCase> {};

TEST_P(BackendScan, BothBackendsAgreeWithEachOtherAndWithSscanf) {
    const PatternCase& c = GetParam();
    std::uint64_t seed = 0x5CA2B4C7E2D0ull;
    for (const char ch : c.text)
        seed = (seed ^ static_cast<unsigned char>(ch)) * 0x100000001B3ull;
    Inputs inputs(seed, *c.pattern);
    for (int i = 0; i < kInputsPerPattern; ++i) {
        const std::string input = inputs.Next();
        const auto sentinel = static_cast<std::uint32_t>(seed >> 7) + static_cast<std::uint32_t>(i);
        const Observed ours = ScanOn(TextBackend::Ours, input, *c.pattern, sentinel);
        const Observed clib = ScanOn(TextBackend::CLibrary, input, *c.pattern, sentinel);
        ASSERT_EQ(ours, clib) << Escape(c.text) << " on " << Escape(input) << "\n  ours "
                              << Show(ours) << "\n  C library " << Show(clib);
        // The oracle's own sscanf call, independent of the backend under test.
        const util::ScopedTextBackend scoped(TextBackend::CLibrary);
        if (const auto mismatch = c.check(input, seed + static_cast<std::uint64_t>(i)))
            FAIL() << *mismatch;
    }
}

std::string Name(const testing::TestParamInfo<PatternCase>& info) {
    std::string name = "p" + std::to_string(info.index);
    for (const char ch : info.param.text)
        if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
            name += ch;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Family, BackendScan, testing::ValuesIn(kFamilyPatterns), Name);
INSTANTIATE_TEST_SUITE_P(Extra, BackendScan, testing::ValuesIn(kExtraPatterns), Name);

// Every string of up to four units over an alphabet that reaches every branch of the patterns.
TEST(BackendScanExhaustive, EveryShortStringGivesTheSameResult) {
    static constexpr std::string_view kAlphabet("MBGD.-+09aFx \0\xB5", 15);
    constexpr ScanPattern kPatterns[] = {ScanPattern("MB%8lx%n"), ScanPattern("%8u-%8x%c%n"),
                                         ScanPattern(".B%8u%n"),  ScanPattern("MB%05ld%01lx%n"),
                                         ScanPattern("GD%8ld%n"), ScanPattern("%lo%n")};
    long compared = 0;
    std::string input;
    for (int length = 0; length <= 4; ++length) {
        std::array<std::size_t, 4> digit{};
        input.assign(static_cast<std::size_t>(length), kAlphabet[0]);
        for (;;) {
            for (const ScanPattern& p : kPatterns) {
                const Observed ours = ScanOn(TextBackend::Ours, input, p, 0xA5A5A5A5u);
                const Observed clib = ScanOn(TextBackend::CLibrary, input, p, 0xA5A5A5A5u);
                ASSERT_EQ(ours, clib) << Escape(p.Text()) << " on " << Escape(input);
                ++compared;
            }
            int k = 0;
            while (k < length && ++digit[k] == kAlphabet.size()) {
                digit[k] = 0;
                input[k] = kAlphabet[0];
                ++k;
            }
            if (k == length) break;
            input[k] = kAlphabet[digit[k]];
        }
    }
    EXPECT_GT(compared, 200'000);
}

// A string_view need not be a C string: the C-library backend must not read past its end (the
// sanitizer build sees any such read in these exactly sized heap blocks).
TEST(BackendScanEdges, InputsThatAreNoCStringsAreReadOnlyToTheirEnd) {
    constexpr ScanPattern kPattern("MB%8lx%n");
    for (const std::string_view text : {"MB1F", "MB", "M", "", "MB00000001F", "MB-7", "MB 0x"}) {
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            const auto block = std::make_unique<char[]>(cut == 0 ? 1 : cut);
            std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), block.get());
            const std::string_view input(block.get(), cut);
            EXPECT_EQ(ScanOn(TextBackend::Ours, input, kPattern, 7),
                      ScanOn(TextBackend::CLibrary, input, kPattern, 7))
                << Escape(input);
        }
    }
}

TEST(BackendScanEdges, LongInputsAndEmbeddedNuls) {
    constexpr ScanPattern kPatterns[] = {ScanPattern(" %ld%n"), ScanPattern("MB%lx%n"),
                                         ScanPattern("%u-%x%c")};
    const std::string inputs[] = {
        std::string(300, ' ') + "123", "MB" + std::string(400, '0') + "1F",
        std::string(255, '7') + "-1 ", std::string(256, '7') + "-1 ",
        std::string(257, '7') + "-1 ", std::string("12\0-3 ", 6),
        std::string("\0MB1", 4),       std::string(1000, '\t') + std::string(1, '\0') + "5",
    };
    for (const ScanPattern& p : kPatterns)
        for (const std::string& input : inputs)
            EXPECT_EQ(ScanOn(TextBackend::Ours, input, p, 3),
                      ScanOn(TextBackend::CLibrary, input, p, 3))
                << Escape(p.Text()) << " on " << Escape(input);
}

// Patterns built at run time in the same place: the C-library backend compiles each anew, never
// reusing the format of an earlier pattern at that address.
TEST(BackendScanEdges, PatternsBuiltAtRunTimeAreNeverConfused) {
    const std::string texts[] = {"MB%8lx%n", "MB%8ld%n", "%u-%x%c", "%8u-%8u%c%n", "MW%3ld%n",
                                 "MB%8lx%n", "%c%c%c%n", "%%%ld%n", "%12lx %5o%n", "MB%8ld%n"};
    const std::string inputs[] = {"MB1F", "MB-12", "3-1F ", "MW12345", "%77", "abc", "1F 17"};
    for (int round = 0; round < 3; ++round) {
        for (const std::string& text : texts) {
            const ScanPattern pattern(text);  // same stack slot every time
            for (const std::string& input : inputs)
                EXPECT_EQ(ScanOn(TextBackend::Ours, input, pattern, 11),
                          ScanOn(TextBackend::CLibrary, input, pattern, 11))
                    << Escape(text) << " on " << Escape(input);
        }
    }
}

// Outputs that do not fit the pattern are a programming error on either backend, caught before
// anything is written.
TEST(BackendScanEdges, MismatchedOutputsThrowOnBothBackends) {
    constexpr ScanPattern kPattern("MB%8lx%n");
    for (const TextBackend backend : kBackends) {
        const util::ScopedTextBackend scoped(backend);
        std::int32_t value = 5;
        char c = 'q';
        EXPECT_THROW(util::Scan("MB1", kPattern, value), std::logic_error);
        EXPECT_THROW(util::Scan("MB1", kPattern, value, c), std::logic_error);
        EXPECT_EQ(value, 5);
        EXPECT_EQ(c, 'q');
    }
}

}  // namespace
