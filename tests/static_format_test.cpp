// Formats turned into straight-line code (util::StaticFormat) against swprintf/snprintf on the
// same text: the module's own formats and the plain conversions around them, over values at
// every digit-count boundary and sign, and every buffer size around the result's length; both
// text backends; formats that are not plain go the general way with the same results.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "util/StaticFormat.h"

namespace {

using util::StaticFormat;

// Powers of 2 (so of 16) and of 10 and their neighbours, both signs: every digit-count
// boundary; the 32-bit edges and values beyond them that a 64-bit long carries into a "%l..."
// conversion (only the low 32 bits print).
std::vector<long long> Values() {
    std::vector<long long> values = {INT_MIN, INT_MAX, UINT32_MAX, -(1LL << 40) - 1};
    std::vector<long long> bases;
    for (int k = 0; k <= 32; ++k)
        bases.push_back(1LL << k);
    for (long long p = 10; p <= 10'000'000'000; p *= 10)
        bases.push_back(p);
    for (const long long b : bases)
        for (const long long d : {-1LL, 0LL, 1LL})
            values.insert(values.end(), {b + d, -(b + d)});
    return values;
}

// The C library's text for 32-bit values.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <class Fmt, class... A>
std::wstring Reference(A... args) {
    wchar_t buffer[64];
    const int n = std::swprintf(buffer, 64, Fmt::kCompiled.Text(), args...);
    return n < 0 ? L"<fail>" : std::wstring(buffer, static_cast<std::size_t>(n));
}
#pragma GCC diagnostic pop

// A "%l..." value narrowed to 32 bits, as a 32-bit long holds it: the one intended difference.
template <class T>
T Narrow(T v) {
    if constexpr (sizeof(T) > sizeof(int))
        return static_cast<T>(
            static_cast<std::conditional_t<std::is_signed_v<T>, std::int32_t, std::uint32_t>>(v));
    else
        return static_cast<T>(v);
}

// Checks one format for every value in every argument position, through To with every buffer
// size from 0 to one beyond the length, and through Append onto existing text.
template <class Fmt, class... A>
void Check(const char* name) {
    constexpr std::size_t kArgs = sizeof...(A);
    const std::vector<long long> values = Values();
    for (std::size_t position = 0; position < kArgs; ++position)
        for (const long long v : values) {
            std::size_t k = 0;
            const auto pick = [&](auto tag) {
                using T = decltype(tag);
                return static_cast<T>(k++ == position ? v : static_cast<long long>(position) + 7);
            };
            const std::tuple<A...> raw{pick(A{})...};
            const std::tuple<A...> narrowed =
                std::apply([](auto... a) { return std::tuple<A...>{Narrow<A>(a)...}; }, raw);
            const std::wstring expected =
                std::apply([](auto... a) { return Reference<Fmt>(a...); }, narrowed);
            // The C library's backend prints a 64-bit long in full: it gets 32-bit values.
            for (const auto backend : {util::TextBackend::Ours, util::TextBackend::CLibrary}) {
                const util::ScopedTextBackend scoped(backend);
                const auto& args = backend == util::TextBackend::Ours ? raw : narrowed;
                std::wstring appended = L"x";
                std::apply([&](auto... a) { Fmt::Append(appended, a...); }, args);
                ASSERT_EQ(appended, L"x" + expected) << name << " of " << v;
                for (std::size_t size = 0; size <= expected.size() + 1; ++size) {
                    wchar_t buffer[64];
                    const int n =
                        std::apply([&](auto... a) { return Fmt::To(buffer, size, a...); }, args);
                    if (size > expected.size()) {
                        ASSERT_EQ(n, static_cast<int>(expected.size())) << name << " of " << v;
                        ASSERT_EQ(std::wstring(buffer), expected) << name << " of " << v;
                    } else {
                        ASSERT_EQ(n, -1) << name << " of " << v << " into " << size;
                    }
                }
            }
        }
}

TEST(StaticFormat, MatchesTheCLibrary) {
    // The module's formats.
    Check<StaticFormat<L"IB%05lX">, unsigned long>("IB%05lX");
    Check<StaticFormat<L"MB%04ld%lX">, long, unsigned long>("MB%04ld%lX");
    Check<StaticFormat<L"%d-%d">, int, int>("%d-%d");
    Check<StaticFormat<L".b%d">, int>(".b%d");
    Check<StaticFormat<L"&A=%X">, int>("&A=%X");
    Check<StaticFormat<L"SR%ld">, long>("SR%ld");
    // Plain conversions beside them: blank padding, lower-case hex, unsigned, "%%", short
    // arguments promoted to int.
    Check<StaticFormat<L"%8d|%i%%|%3u">, int, short, unsigned>("%8d|%i%%|%3u");
    Check<StaticFormat<L"<%012lx>%lu">, unsigned long, unsigned long>("<%012lx>%lu");
    // Not plain: the general formatter.
    Check<StaticFormat<L"%-6d|%+ld|%.3o">, int, long, unsigned>("%-6d|%+ld|%.3o");
}

TEST(StaticFormat, NarrowFormats) {
    std::string text = "w=";
    StaticFormat<"%04X:%ld">::Append(text, 0xBEEF, -12L);
    EXPECT_EQ(text, "w=BEEF:-12");
    char buffer[16];
    EXPECT_EQ(StaticFormat<"%d|%5u">::To(buffer, sizeof buffer, -999, 7u), 10);
    EXPECT_STREQ(buffer, "-999|    7");
}

}  // namespace
