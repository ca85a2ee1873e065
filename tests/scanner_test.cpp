// What the differential test against sscanf cannot show: the 32-bit `long` (glibc's is 64 bits,
// so the oracle only derives these values: here they are written out), inputs that are no C
// strings, the C-library backend's own buffers and pattern cache, and the patterns refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/ScanOracle.h"
#include "util/Scanner.h"
#include "util/TextBackend.h"

namespace {

using namespace std::string_view_literals;
using scan_oracle::Escape;
using scan_oracle::Observed;
using util::ScanPattern;
using util::TextBackend;

constexpr TextBackend kBackends[] = {TextBackend::Ours, TextBackend::CLibrary};

static_assert(ScanPattern("A\0%ld"sv).Outputs() == 0, "a pattern ends at its NUL");

// "ret | out out ..." with "-" for an output left alone (%c as its byte value). Two runs with
// different sentinels, so an assigned value that happens to equal one cannot pass for "not
// assigned".
std::string Observe(TextBackend backend, std::string_view input, const ScanPattern& p) {
    const util::ScopedTextBackend scoped(backend);
    const Observed fill[2] = {scan_oracle::Sentinels(1, p), scan_oracle::Sentinels(2, p)};
    const Observed got[2] = {scan_oracle::Run(input, p, fill[0]),
                             scan_oracle::Run(input, p, fill[1])};
    EXPECT_EQ(got[0].ret, got[1].ret);
    std::string text = std::to_string(got[0].ret) + " |";
    for (int k = 0; k < p.Outputs(); ++k)
        text += got[0].out[k] == fill[0].out[k] && got[1].out[k] == fill[1].out[k]
                    ? " -"
                    : " " + std::to_string(got[0].out[k]);
    return text;
}

struct ScanCase {
    std::string_view pattern, input, expected;  // "ret | outputs", as unsigned numbers
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << Escape(c.pattern) << " on " << Escape(c.input);
}

class ScanTable : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTable, BothBackends) {
    const ScanCase& c = GetParam();
    for (const TextBackend backend : kBackends)
        EXPECT_EQ(Observe(backend, c.input, ScanPattern(c.pattern)), c.expected)
            << Escape(c.pattern) << " on " << Escape(c.input) << " backend "
            << static_cast<int>(backend);
}

// Signed conversions saturate to INT32_MIN/MAX; unsigned ones saturate on magnitude and wrap a
// negative value modulo 2^32; leading zeros never count towards overflow.
// clang-format off
const ScanCase kThirtyTwoBit[] = {
    {"%ld", "2147483648", "1 | 2147483647"}, {"%ld", "-2147483649", "1 | 2147483648"},
    {"%ld", "-000000000000000000002147483648", "1 | 2147483648"},
    {"%lu", "4294967296", "1 | 4294967295"}, {"%lu", "-4294967295", "1 | 1"},
    {"%lu", "-4294967296", "1 | 4294967295"}, {"%lx", "-80000000", "1 | 2147483648"},
    {"%4lx", "-0x1F", "1 | 4294967295"}, {"%lo", "40000000000", "1 | 4294967295"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(ThirtyTwoBit, ScanTable, testing::ValuesIn(kThirtyTwoBit));

// Nothing behind the view may change the outcome; the exactly sized heap copy lets the sanitizer
// build trap any read past it. Ours and the C library agree on every prefix.
TEST(ScanTest, ReadsNothingPastTheView) {
    const std::string_view texts[] = {"MB00001F", "MW-123", ".B15",          "1-3 ",   "12-34\n",
                                      "0-FF ",    "GD100",  "ZD+4294967296", " -0x1f9"};
    for (const scan_oracle::PatternCase& c : scan_oracle::kFamilyPatterns) {
        for (const std::string_view text : texts) {
            for (std::size_t n = 0; n <= text.size(); ++n) {
                const std::string padded = std::string(text.substr(0, n)) + "7f-7 x";
                const auto exact = std::make_unique<char[]>(n);
                std::copy_n(text.begin(), n, exact.get());
                const std::string expected =
                    Observe(TextBackend::Ours, padded.substr(0, n), *c.pattern);
                for (const TextBackend backend : kBackends) {
                    EXPECT_EQ(Observe(backend, {padded.data(), n}, *c.pattern), expected)
                        << Escape(c.text) << " on " << Escape(text.substr(0, n));
                    EXPECT_EQ(Observe(backend, {exact.get(), n}, *c.pattern), expected);
                }
            }
        }
    }
}

// Inputs around the C-library backend's stack buffer and beyond it; patterns built at run time
// at one address, which its cache must never confuse.
TEST(ScanTest, LongInputsAndRunTimePatternsAgreeOnBothBackends) {
    const std::string inputs[] = {std::string(300, ' ') + "123",
                                  "MB" + std::string(400, '0') + "1F",
                                  std::string(255, '7') + "-1 ",
                                  std::string(256, '7') + "-1 ",
                                  std::string(257, '7') + "-1 ",
                                  std::string(1000, '\t') + std::string(1, '\0') + "5",
                                  "MB1F",
                                  "MB-12",
                                  "3-1F ",
                                  "%77"};
    const std::string texts[] = {" %ld%n",   "MB%lx%n",  "%u-%x%c", "MB%8lx%n", "MB%8ld%n",
                                 "MW%3ld%n", "%c%c%c%n", "%%%ld%n", "MB%8lx%n"};
    for (int round = 0; round < 2; ++round) {
        for (const std::string& text : texts) {
            const ScanPattern pattern(text);  // the same stack slot every time
            for (const std::string& input : inputs)
                EXPECT_EQ(Observe(TextBackend::Ours, input, pattern),
                          Observe(TextBackend::CLibrary, input, pattern))
                    << Escape(text) << " on " << Escape(input);
        }
    }
}

// Outputs that do not match the pattern are a programming error, caught before anything is
// written, by the typed call and by the slot array alike.
TEST(ScanTest, MismatchedOutputsThrowAndWriteNothing) {
    static constexpr ScanPattern kWordAndCount("MW%ld%n");
    static constexpr ScanPattern kNumberAndChar("%u%c");
    std::int32_t value = 7, used = 7;
    std::uint32_t number = 7;
    char letter = 'x';
    const std::vector<std::function<int()>> calls = {
        [&] { return util::Scan("MW1", kWordAndCount, value); },
        [&] { return util::Scan("MW1", kWordAndCount, value, used, used); },
        [&] { return util::Scan("MW1", kWordAndCount, value, letter); },
        [&] { return util::Scan("1a", kNumberAndChar, number, used); },
        [&] { return util::Scan("1a", kNumberAndChar, letter, letter); },
        [&] { return util::ScanSlots("1a", kNumberAndChar, nullptr, 2); },
        [&] {
            const util::ScanSlot slots[] = {{util::ScanSlot::Kind::Int32, &number},
                                            {util::ScanSlot::Kind::Char, nullptr}};
            return util::ScanSlots("1a", kNumberAndChar, slots, 2);
        }};
    for (std::size_t i = 0; i < calls.size(); ++i)
        EXPECT_THROW(calls[i](), std::logic_error) << "call " << i;
    EXPECT_EQ(std::tie(value, used, number, letter), std::make_tuple(7, 7, 7u, 'x'));
}

TEST(ScanPatternTest, RejectsUnsupportedDirectives) {
    // clang-format off
    for (const std::string_view text :
         {"%", "%l", "MB%8", "%f", "%s", "%[a]", "%i", "%p", "%lld", "%hd", "%hhu", "%*d", "%1$d",
          "%lc", "%ln", "%5n", "%3c", "%1000000d", "%-5d", "%+d", "%#x", "%'d",
          "abcdefghijklmnopqrstuvwxy" /* one directive over the limit */})
        // clang-format on
        EXPECT_THROW(ScanPattern{text}, std::invalid_argument) << text;
    EXPECT_NO_THROW(ScanPattern{"abcdefghijklmnopqrstuvwx"});
    EXPECT_NO_THROW(ScanPattern{"%100000d%%%X %lo"});
}

}  // namespace
