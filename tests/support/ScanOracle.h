// The C library's sscanf as the reference for util::Scan: each pattern is rewritten with its
// integer conversions widened to 64 bits, and the 32-bit strtol/strtoul result derived from that;
// every other observable (return value, %n positions, %c characters, which outputs were assigned)
// must be identical, for the interpreter (util::ScanSlots) and for the same pattern compiled
// (util::CompiledPattern) alike. Shared by the differential test and the scanner's fuzz target.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "util/CompiledPattern.h"
#include "util/Scanner.h"

namespace scan_oracle {

using util::ScanPattern;
using util::ScanSlot;

inline std::string Escape(std::string_view s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        char buf[8];
        std::snprintf(buf, sizeof buf,
                      c < 0x20 || c >= 0x7F || c == '"' || c == '\\' ? "\\x%02X" : "%c", c);
        out += buf;
    }
    return out + "\"";
}

template <std::size_t N>
struct FixedString {
    char text[N] = {};
    constexpr FixedString(const char (&s)[N]) {  // NOLINT: implicit on purpose, for <"...">
        for (std::size_t i = 0; i < N; ++i)
            text[i] = s[i];
    }
    constexpr std::string_view View() const { return {text, N - 1}; }
};

// The oracle reads a 64-bit long and narrows it; with a 32-bit long it could not see overflow.
static_assert(sizeof(long) == 8, "the sscanf oracle needs an LP64 C library");

enum class OracleKind : std::uint8_t { Pos, Long, ULong, Char };
constexpr int kMaxOracleSlots = 48;
constexpr int kMaxOutputs = 16;

struct OracleFormat {
    std::array<char, 256> text{};
    std::array<OracleKind, kMaxOracleSlots> kinds{};
    int slots = 0;
};

// Each integer conversion becomes " %n%<width>l<conv>": the white-space directive and %n record
// where the field starts (a numeric conversion skips that white space anyway), which tells the
// sign of the text, needed to narrow strtoul's 64-bit result.
constexpr OracleFormat MakeOracleFormat(std::string_view p) {
    OracleFormat f;
    std::size_t o = 0;
    const auto put = [&](std::string_view s) {
        for (const char c : s)
            f.text[o++] = c;
    };
    for (std::size_t i = 0; i < p.size();) {
        if (p[i] != '%' || p[i + 1] == '%') {
            put(p.substr(i, p[i] == '%' ? 2 : 1));
            i += p[i] == '%' ? 2 : 1;
            continue;
        }
        const std::size_t widthBegin = ++i;
        while (p[i] >= '0' && p[i] <= '9')
            ++i;
        const std::string_view width = p.substr(widthBegin, i - widthBegin);
        if (p[i] == 'l') ++i;
        const char conv = p[i++];
        if (conv == 'c' || conv == 'n') {
            put("%");
            put({&conv, 1});
            f.kinds[f.slots++] = conv == 'c' ? OracleKind::Char : OracleKind::Pos;
            continue;
        }
        put(" %n%");
        put(width);
        put("l");
        put({&conv, 1});
        f.kinds[f.slots++] = OracleKind::Pos;
        f.kinds[f.slots++] = conv == 'd' ? OracleKind::Long : OracleKind::ULong;
    }
    return f;
}

struct OracleStore {
    std::array<long, kMaxOracleSlots> l{};
    std::array<unsigned long, kMaxOracleSlots> u{};
    std::array<char, kMaxOracleSlots> c{};
    std::array<int, kMaxOracleSlots> pos{};
};

template <OracleKind K>
auto* OraclePtr(OracleStore& s, std::size_t i) {
    if constexpr (K == OracleKind::Long)
        return &s.l[i];
    else if constexpr (K == OracleKind::ULong)
        return &s.u[i];
    else if constexpr (K == OracleKind::Char)
        return &s.c[i];
    else
        return &s.pos[i];
}

// The return value and every output, %c widened to unsigned. An output still holding its
// sentinel (random per input, so that a lucky constant cannot mask a wrong write) is unassigned.
struct Observed {
    int ret = 0;
    std::array<std::uint32_t, kMaxOutputs> out{};
    bool operator==(const Observed&) const = default;
};

// Sentinels drawn from `noise`; a %c output's is a byte, as a char holds it.
inline Observed Sentinels(std::uint64_t noise, const ScanPattern& p) {
    Observed sentinels;
    for (int k = 0; k < kMaxOutputs; ++k) {
        noise = noise * 6364136223846793005ull + 1442695040888963407ull;
        sentinels.out[k] = static_cast<std::uint32_t>(noise >> 32);
        if ((p.CharOutputs() >> k) & 1u) sentinels.out[k] &= 0xFFu;
    }
    return sentinels;
}

// The scanner on the current backend, its outputs starting as `sentinels`.
inline Observed Run(std::string_view input, const ScanPattern& p, const Observed& sentinels) {
    Observed a = sentinels;
    std::array<char, kMaxOutputs> chars{};
    std::array<ScanSlot, kMaxOutputs> slots{};
    const auto isChar = [&p](int k) { return (p.CharOutputs() >> k) & 1u; };
    for (int k = 0; k < p.Outputs(); ++k) {
        chars[k] = static_cast<char>(sentinels.out[k]);
        slots[k] = isChar(k) ? ScanSlot{ScanSlot::Kind::Char, &chars[k]}
                             : ScanSlot{ScanSlot::Kind::Int32, &a.out[k]};
    }
    a.ret = util::ScanSlots(input, p, slots.data(), p.Outputs());
    for (int k = 0; k < p.Outputs(); ++k)
        if (isChar(k)) a.out[k] = static_cast<unsigned char>(chars[k]);
    return a;
}

// "-" for an output still holding its sentinel.
inline std::string Describe(const Observed& o, int outputs, const Observed& sentinels) {
    std::string s = "ret=" + std::to_string(o.ret) + " [";
    for (int k = 0; k < outputs; ++k)
        s += (k > 0 ? " " : "") + (o.out[k] == sentinels.out[k] ? "-" : std::to_string(o.out[k]));
    return s + "]";
}

template <FixedString Text>
struct Differential {
    static constexpr ScanPattern kPattern{Text.View()};
    static constexpr OracleFormat kOracle = MakeOracleFormat(Text.View());
    static_assert(kPattern.Outputs() > 0 && kPattern.Outputs() <= kMaxOutputs);

    template <std::size_t... I>
    static int CallOracle(const char* input, OracleStore& s, std::index_sequence<I...>) {
        return std::sscanf(input, kOracle.text.data(), OraclePtr<kOracle.kinds[I]>(s, I)...);
    }

    // `input` must be followed by a NUL in memory (a std::string's data() is).
    static Observed Expected(std::string_view input, const Observed& sentinels) {
        OracleStore s;
        s.pos.fill(-1);
        Observed e = sentinels;
        e.ret = CallOracle(input.data(), s, std::make_index_sequence<kOracle.slots>{});
        int slot = 0, counted = 0, k = 0;
        for (int i = 0; i < kPattern.Size(); ++i) {
            const auto& d = kPattern[i];
            if (d.op != ScanPattern::Op::Convert) continue;
            std::uint32_t& v = e.out[k++];
            if (d.conv == 'n') {
                if (s.pos[slot] >= 0) v = static_cast<std::uint32_t>(s.pos[slot]);
                ++slot;
            } else if (d.conv == 'c') {
                if (counted++ < e.ret) v = static_cast<unsigned char>(s.c[slot]);
                ++slot;
            } else {
                const int fieldStart = s.pos[slot], at = slot + 1;
                slot += 2;
                if (counted++ >= e.ret) continue;
                if (d.conv == 'd') {
                    v = static_cast<std::uint32_t>(std::clamp<long>(s.l[at], INT32_MIN, INT32_MAX));
                } else {
                    // 64-bit strtoul saturates a negative overflow to ULONG_MAX, which reads as
                    // magnitude 1 here; both narrow to 0xFFFFFFFF, so that is harmless.
                    const unsigned long r = s.u[at];
                    const bool negative = input[static_cast<std::size_t>(fieldStart)] == '-';
                    v = (negative ? 0ul - r : r) > 0xFFFFFFFFul ? 0xFFFFFFFFu
                                                                : static_cast<std::uint32_t>(r);
                }
            }
        }
        return e;
    }

    // The compiled pattern, its outputs typed as the pattern's conversions ask.
    using Compiled = util::CompiledPattern<util::PatternText<sizeof Text.text>(Text.text)>;
    template <int K>
    static auto& Out(Observed& a, std::array<char, kMaxOutputs>& chars) {
        if constexpr ((kPattern.CharOutputs() >> K) & 1u)
            return chars[K];
        else
            return a.out[K];
    }
    template <int... K>
    static Observed RunCompiled(std::string_view input, const Observed& sentinels,
                                std::integer_sequence<int, K...>) {
        Observed a = sentinels;
        std::array<char, kMaxOutputs> chars{};
        for (int k = 0; k < kMaxOutputs; ++k)
            chars[k] = static_cast<char>(sentinels.out[k]);
        a.ret = Compiled::Scan(input, Out<K>(a, chars)...);
        for (int k = 0; k < kPattern.Outputs(); ++k)
            if ((kPattern.CharOutputs() >> k) & 1u) a.out[k] = static_cast<unsigned char>(chars[k]);
        return a;
    }

    // Empty when the scanner, interpreted and compiled (on the current backend), agrees with
    // sscanf, else a report.
    static std::optional<std::string> Check(std::string_view input, std::uint64_t noise) {
        const Observed sentinels = Sentinels(noise, kPattern);
        const Observed expected = Expected(input, sentinels);
        const Observed actual = Run(input, kPattern, sentinels);
        const Observed compiled =
            RunCompiled(input, sentinels, std::make_integer_sequence<int, kPattern.Outputs()>{});
        if (expected == actual && expected == compiled) return std::nullopt;
        return "pattern " + Escape(Text.View()) + " (oracle " + Escape(kOracle.text.data()) +
               ")\n  input    " + Escape(input) + "\n  sscanf   " +
               Describe(expected, kPattern.Outputs(), sentinels) + "\n  scanner  " +
               Describe(actual, kPattern.Outputs(), sentinels) + "\n  compiled " +
               Describe(compiled, kPattern.Outputs(), sentinels);
    }
};

using CheckFn = std::optional<std::string> (*)(std::string_view, std::uint64_t);

struct PatternCase {
    std::string_view text;
    const ScanPattern* pattern;
    CheckFn check;
};

// Test parameters print as their pattern.
inline void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << Escape(c.text);
}

template <FixedString Text>
constexpr PatternCase Case{Text.View(), &Differential<Text>::kPattern, &Differential<Text>::Check};

// Exactly as the device families call the scanner.
constexpr PatternCase kFamilyPatterns[] = {
    Case<"MB%8lx%n">,    Case<"IB%8lx%n">, Case<"IW%8lx%n">, Case<"OB%8lx%n">,
    Case<"OW%8lx%n">,    Case<"MW%8ld%n">, Case<"MB%8ld%n">, Case<"MB%05ld%01lx%n">,
    Case<".%8u%n">,      Case<".B%8u%n">,  Case<"%u-%x%c">,  Case<"%8u-%8u%c%n">,
    Case<"%8u-%8x%c%n">, Case<"GB%8ld%n">, Case<"GD%8ld%n">, Case<"GS%8ld%n">,
    Case<"EG%8ld%n">,    Case<"%lo%n">,    Case<"%ld%n">,    Case<"%lx%n">,
    Case<"%X">,          Case<"DW%8ld%n">, Case<"ZD%ld%n">,  Case<"I%8ld%n">,
    Case<"O%8ld%n">,     Case<"D%8ld%n">,  Case<"Z%8ld%n">,  Case<"W%8ld%n">,
    Case<"SW%8ld%n">,    Case<"R%8ld%n">,  Case<"SR%8ld%n">, Case<"K%8ld%n">,
    Case<"OB%8ld%n">,    Case<"IB%8ld%n">, Case<"M%8ld%n">,
};

// Shapes the families do not use but the pattern compiler accepts: white-space directives,
// "%%", other widths (0 is none) and conversions, several conversions back to back, %n first, a
// non-ASCII literal.
constexpr PatternCase kExtraPatterns[] = {
    Case<" %ld%n">,  Case<"%ld %n">,   Case<"a b%n">,       Case<" %c%n">,     Case<"%%%ld%n">,
    Case<"x%%%n">,   Case<"%o%n">,     Case<"%3o%n">,       Case<"%1x%n">,     Case<"%2x%n">,
    Case<"%3X%n">,   Case<"%2d%n">,    Case<"%1u%n">,       Case<"%d%u%n">,    Case<"%c%c%c%n">,
    Case<"%x-%X%n">, Case<"\t%u\n%n">, Case<"%n%d %n%c%n">, Case<"\xB5%ld%n">, Case<"%12lx %5o%n">,
    Case<"%0ld%n">,  Case<"%4lx%n">,   Case<"%n%ld">,
};

}  // namespace scan_oracle
