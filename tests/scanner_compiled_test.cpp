// Compiled patterns (util::CompiledPattern) against the interpreter (util::Scan, itself held to
// sscanf by the differential test) for every constant pattern the module scans with: the same
// result and the same outputs for every short text over each pattern's own alphabet, and for
// random longer ones; on the C library's backend too.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <tuple>

#include "support/ScanOracle.h"
#include "util/CompiledPattern.h"
#include "util/TextBackend.h"

namespace {

// Characters that steer a scan: digits of every base, signs, the "0x" prefix, blanks, the NUL,
// and the pattern's own plain characters.
std::string AlphabetOf(const util::ScanPattern& p) {
    std::string a = "019afAFx-+ \t.";
    a.push_back('\0');
    for (int i = 0; i < p.Size(); ++i)
        if (p[i].op == util::ScanPattern::Op::Literal) a.push_back(p[i].literal);
    return a;
}

// Outputs start from a value no scan writes, so an output left alone is seen as such.
template <class T>
T Sentinel() {
    return static_cast<T>(0x5A5A5A5A);
}

template <class Compiled, class... Out>
void CheckAgainstTheInterpreter() {
    const util::ScanPattern& p = Compiled::kPattern;
    const std::string alphabet = AlphabetOf(p);
    const auto compare = [&](std::string_view input) {
        std::tuple<Out...> ours{Sentinel<Out>()...}, interpreted{Sentinel<Out>()...};
        const int r = std::apply([&](auto&... o) { return Compiled::Scan(input, o...); }, ours);
        const int expected =
            std::apply([&](auto&... o) { return util::Scan(input, p, o...); }, interpreted);
        ASSERT_EQ(r, expected) << scan_oracle::Escape(p.Text()) << " on "
                               << scan_oracle::Escape(input);
        ASSERT_EQ(ours, interpreted)
            << scan_oracle::Escape(p.Text()) << " on " << scan_oracle::Escape(input);
    };
    for (const auto backend : {util::TextBackend::Ours, util::TextBackend::CLibrary}) {
        const util::ScopedTextBackend scoped(backend);
        // Every text of up to four characters of the alphabet.
        std::string text;
        const auto all = [&](auto&& self, std::size_t length) -> void {
            compare(text);
            if (length == 4) return;
            for (const char c : alphabet) {
                text.push_back(c);
                self(self, length + 1);
                text.pop_back();
                if (testing::Test::HasFatalFailure()) return;
            }
        };
        if (backend == util::TextBackend::Ours) all(all, 0);
        // Random texts up to 14 characters, led by the pattern's plain characters most times.
        std::mt19937 rng(11);
        for (int i = 0; i < 20000 && !testing::Test::HasFatalFailure(); ++i) {
            text = rng() % 4 ? std::string(p.Lead()) : std::string();
            for (int n = static_cast<int>(rng() % 12); n > 0; --n)
                text.push_back(alphabet[rng() % alphabet.size()]);
            compare(text);
        }
    }
}

using I32 = std::int32_t;
using U32 = std::uint32_t;

template <util::PatternText P>
using C = util::CompiledPattern<P>;

TEST(CompiledPattern, DeviceRulesAndInternalDevices) {
    CheckAgainstTheInterpreter<C<"MB%8lx%n">, I32, I32>();
    CheckAgainstTheInterpreter<C<"MW%8ld%n">, I32, I32>();
    CheckAgainstTheInterpreter<C<"SW%8ld%n">, I32, I32>();
    CheckAgainstTheInterpreter<C<"ZD%ld%n">, I32, I32>();
    CheckAgainstTheInterpreter<C<"o%8ld%n">, I32, I32>();
    CheckAgainstTheInterpreter<C<"GB%8ld%n">, I32, I32>();
}

TEST(CompiledPattern, BitSuffixesAndNetworkPrefixes) {
    CheckAgainstTheInterpreter<C<".%8u%n">, U32, I32>();
    CheckAgainstTheInterpreter<C<".B%8u%n">, U32, I32>();
    CheckAgainstTheInterpreter<C<"%u-%x%c">, U32, U32, char>();
    CheckAgainstTheInterpreter<C<"%8u-%8u%c%n">, U32, U32, char, I32>();
    CheckAgainstTheInterpreter<C<"%8u-%8x%c%n">, U32, U32, char, I32>();
}

TEST(CompiledPattern, EveryDirectiveKind) {
    CheckAgainstTheInterpreter<C<" %%%2o %n%c">, U32, I32, char>();
    CheckAgainstTheInterpreter<C<"MB%05ld%01lx%n">, I32, I32, I32>();
}

}  // namespace
