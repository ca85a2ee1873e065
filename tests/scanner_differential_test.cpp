// util::Scan against the C library's sscanf (support/ScanOracle.h) on both text backends: every
// input is checked on ours, every kCLibraryEvery-th also on the C-library backend, so the two are
// held against one independent reference and hence against each other.
//
// Reproduce a run with ZV_SCAN_SEED=<seed>; raise the per-pattern count with
// ZV_SCAN_ITERATIONS=<n>.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "support/ScanOracle.h"
#include "util/Scanner.h"
#include "util/TextBackend.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZV_SCAN_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZV_SCAN_SANITIZED 1
#endif
#endif

namespace {

using util::ScanPattern;
using util::TextBackend;
using namespace scan_oracle;
using namespace std::string_view_literals;

#if defined(ZV_SCAN_SANITIZED)
constexpr std::uint64_t kDefaultIterations = 20'000;
#else
constexpr std::uint64_t kDefaultIterations = 200'000;
#endif
constexpr std::uint64_t kCLibraryEvery = 4;

std::uint64_t FromEnvironment(const char* name, std::uint64_t otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::max(1ull, std::strtoull(value, nullptr, 0)) : otherwise;
}
const std::uint64_t kIterations = FromEnvironment("ZV_SCAN_ITERATIONS", kDefaultIterations);
const std::uint64_t kSeed = FromEnvironment("ZV_SCAN_SEED", 0x5EEDC0DE2024ull);

// Checks `input` on ours and, when `alsoCLibrary`, on the C-library backend.
std::optional<std::string> CheckBoth(const PatternCase& c, std::string_view input,
                                     std::uint64_t noise, bool alsoCLibrary) {
    if (auto mismatch = c.check(input, noise)) return "ours: " + *mismatch;
    if (!alsoCLibrary) return std::nullopt;
    const util::ScopedTextBackend scoped(TextBackend::CLibrary);
    if (auto mismatch = c.check(input, noise)) return "C library: " + *mismatch;
    return std::nullopt;
}

// Texts near the pattern: conforming ones mutated, token soups, and mutated seeds, with digits
// of every base, signs, "0x", white space, NUL, bytes beyond 7 bits and numbers at the 32- and
// 64-bit edges.
class InputGenerator {
public:
    InputGenerator(std::uint64_t seed, const ScanPattern& pattern) : mRng(seed), mPattern(pattern) {
        for (int i = 0; i < pattern.Size(); ++i) {
            if (pattern[i].op != ScanPattern::Op::Literal) continue;
            const auto c = static_cast<unsigned char>(pattern[i].literal);
            mLiterals += static_cast<char>(c);
            if (std::isalpha(c)) mLiterals += static_cast<char>(c ^ 0x20);
        }
        mLiterals += "-";
    }

    std::uint64_t Noise() { return mRng(); }

    // Fills `out` with the next input; one buffer, so the loop does not allocate.
    void Next(std::string& out) {
        out.clear();
        const unsigned pick = Below(100);
        if (pick < 45) {
            Conforming(out);
            Mutate(out, Below(4));
        } else if (pick < 75) {
            for (unsigned t = Below(9); t > 0; --t)
                Token(out);
        } else {
            out += kSeeds[Below(std::size(kSeeds))];
            Mutate(out, 1 + Below(3));
        }
    }

private:
    // clang-format off
    static constexpr const char* kSeeds[] = {
        "MB00001F", "1-3 ", "0-FF ", "GD100", ".B15", "MB12345F", "IW7FFF", "OB0", "MW123", ".12",
        "12-34\n", "ZD-5", "777", "7fffffff", "-1", "SR00012", "EG1", " +0x1F", "0x", "4294967295",
        "DW32767", "K-0", "8-0x10x", "00000000-0000000000z", "MB-0001f", "GS+7", "%12", "a b",
        "\xB5-12", "1 2 3"};
    static constexpr const char* kNumbers[] = {
        "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295", "4294967296",
        "ffffffff", "100000000", "7fffffff", "80000000", "37777777777", "40000000000",
        "0x7FFFFFFF", "18446744073709551615", "18446744073709551616", "9223372036854775807",
        "9223372036854775808", "FFFFFFFFFFFFFFFF", "10000000000000000", "99999999999999999999999"};
    static constexpr std::string_view kPicks[] = {
        "0123456789", "0123456789abcdefABCDEF", "0", "+-", "0xX", " \t\n\v\f\r", ".-%",
        "abcdefABCDEFgGxXzZ", "\0"sv};
    // clang-format on

    unsigned Below(std::size_t n) { return static_cast<unsigned>(mRng() % n); }
    char Pick(std::string_view from) { return from[Below(from.size())]; }
    void Digits(std::string& out, unsigned count, std::string_view alphabet) {
        for (unsigned i = 0; i < count; ++i)
            out += Pick(alphabet);
    }
    unsigned RunLength() {
        const unsigned r = Below(10);
        return r < 6 ? 1 + Below(3) : r < 9 ? 4 + Below(9) : 13 + Below(28);
    }

    void Token(std::string& out) {
        const unsigned t = Below(14);
        if (t < 2)
            out += Pick(mLiterals);
        else if (t < 5)
            Digits(out, RunLength(), kPicks[t - 2]);  // runs of decimal or hex digits, or zeros
        else if (t == 5)
            out += kNumbers[Below(std::size(kNumbers))];
        else if (t < 12)
            out += Pick(kPicks[t - 3]);
        else if (t == 12)
            out += static_cast<char>(0x80 + Below(0x80));
        else
            out += static_cast<char>(Below(256));
    }

    // A text that follows the pattern, with random but plausible choices in every field.
    void Conforming(std::string& out) {
        for (int i = 0; i < mPattern.Size(); ++i) {
            const auto& d = mPattern[i];
            if (d.op == ScanPattern::Op::Literal) {
                if (Below(20) != 0) out += d.literal;
            } else if (d.op == ScanPattern::Op::Space) {
                Digits(out, Below(4), " \t\n\v\f\r");
            } else if (d.conv == 'c') {
                Token(out);
            } else if (d.conv != 'n') {
                Number(out, d);
            }
        }
    }

    void Number(std::string& out, const ScanPattern::Directive& d) {
        if (Below(6) == 0) out += Pick(" \t\n");
        if (Below(4) == 0) out += Pick("+-");
        if (d.conv == 'x' && Below(4) == 0) out += Below(2) ? "0x" : "0X";
        if (Below(8) == 0) {
            out += kNumbers[Below(std::size(kNumbers))];
            return;
        }
        const std::string_view alphabet = d.conv == 'x'   ? "0123456789abcdefABCDEF"
                                          : d.conv == 'o' ? "01234567"
                                                          : "0123456789";
        Digits(out, d.width > 0 && Below(3) != 0 ? Below(d.width + 3) : RunLength(), alphabet);
    }

    // Insert, delete, replace, flip case, truncate, duplicate.
    void Mutate(std::string& out, unsigned times) {
        std::string token;
        for (unsigned t = 0; t < times; ++t) {
            const std::size_t at = out.empty() ? 0 : Below(out.size() + 1);
            const unsigned op = Below(6);
            token.clear();
            Token(token);
            if (op == 0)
                out.insert(at, token);
            else if (op == 4)
                out.resize(at);
            else if (at >= out.size())
                continue;
            else if (op == 1)
                out.erase(at, 1 + Below(2));
            else if (op == 2)
                out[at] = token[0];
            else if (op == 3)
                out[at] ^= std::isalpha(static_cast<unsigned char>(out[at])) ? 0x20 : 0;
            else
                out.insert(at, out.substr(at, 1 + Below(4)));
        }
    }

    std::mt19937_64 mRng;
    const ScanPattern& mPattern;
    std::string mLiterals;
};

class RandomDifferential : public testing::TestWithParam<PatternCase> {};

TEST_P(RandomDifferential, MatchesSscanf) {
    const PatternCase& c = GetParam();
    std::uint64_t seed = kSeed ^ 0xCBF29CE484222325ull;  // FNV-1a over the pattern
    for (const char ch : c.text)
        seed = (seed ^ static_cast<unsigned char>(ch)) * 0x100000001B3ull;
    InputGenerator gen(seed, *c.pattern);
    std::string input;
    input.reserve(256);
    for (std::uint64_t i = 0; i < kIterations; ++i) {
        gen.Next(input);
        if (auto mismatch = CheckBoth(c, input, gen.Noise(), i % kCLibraryEvery == 0))
            FAIL() << "disagreement with sscanf at iteration " << i << " (ZV_SCAN_SEED=0x"
                   << std::hex << kSeed << std::dec << ")\n"
                   << *mismatch;
    }
}

INSTANTIATE_TEST_SUITE_P(Family, RandomDifferential, testing::ValuesIn(kFamilyPatterns));
INSTANTIATE_TEST_SUITE_P(Extra, RandomDifferential, testing::ValuesIn(kExtraPatterns));

// Every string up to a length over an alphabet chosen for the pattern; the C-library backend
// gets every string one shorter.
struct ExhaustiveCase {
    PatternCase pattern;
    std::string_view alphabet;
    int maxLength;
};

void PrintTo(const ExhaustiveCase& c, std::ostream* os) {
    PrintTo(c.pattern, os);
}

class ExhaustiveDifferential : public testing::TestWithParam<ExhaustiveCase> {};

TEST_P(ExhaustiveDifferential, EveryShortString) {
    const auto& [c, alphabet, fullLength] = GetParam();
#if defined(ZV_SCAN_SANITIZED)
    const int maxLength = fullLength - 1;  // an alphabet has ≥ 5 letters: ≥ 5× fewer strings
#else
    const int maxLength = fullLength;
#endif
    std::string input;
    std::uint64_t count = 0;
    for (int length = 0; length <= maxLength; ++length) {
        std::array<std::size_t, 8> digit{};
        input.assign(static_cast<std::size_t>(length), alphabet[0]);
        while (true) {
            ++count;
            if (auto mismatch = CheckBoth(c, input, count, length < maxLength)) FAIL() << *mismatch;
            int p = 0;
            while (p < length && ++digit[p] == alphabet.size()) {
                digit[p] = 0;
                input[p++] = alphabet[0];
            }
            if (p == length) break;
            input[p] = alphabet[digit[p]];
        }
    }
}

constexpr auto kAllBytes = [] {
    std::array<char, 256> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    return bytes;
}();
constexpr std::string_view kAnyByte(kAllBytes.data(), kAllBytes.size());

const ExhaustiveCase kExhaustive[] = {
    {Case<"MB%8lx%n">, "MBmb0fFxX-+ \t\0\xC8g"sv, 5},
    {Case<"%u-%x%c">, "019aFx-+ \n\0\xFFz"sv, 5},
    {Case<"%8u-%8x%c%n">, "09aFx-+ \0\x80"sv, 6},
    {Case<".B%8u%n">, ".Bb19-+ \0x"sv, 5},
    {Case<"MB%05ld%01lx%n">, "MB09fx-+ \0"sv, 6},
    {Case<"GD%8ld%n">, "GD09-+ \0\xB5"sv, 5},
    {Case<"%X">, "09afAFxXg-+ \t\0\x90"sv, 5},
    {Case<"%lo%n">, "0178x-+ \0\xA0"sv, 5},
    {Case<"%%%ld%n">, "%05-+ \t\0"sv, 6},
    {Case<" %c%n">, " \t\na\0"sv, 7},
    {Case<"%lx%n">, kAnyByte, 2},  // every string of up to two arbitrary bytes
    {Case<"%u-%x%c">, kAnyByte, 2},
    {Case<"MB%8ld%n">, kAnyByte, 2},
};

INSTANTIATE_TEST_SUITE_P(Alphabet, ExhaustiveDifferential, testing::ValuesIn(kExhaustive));

}  // namespace
