// The C library's sscanf as the reference for util::Scan: each pattern is rewritten with its
// integer conversions widened to 64 bits, and the 32-bit strtol/strtoul result derived from that;
// every other observable (return value, %n positions, %c characters, which outputs were assigned)
// must be identical. Shared by the differential test and the scanner's fuzz target.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "util/Scanner.h"

namespace scan_oracle {

using util::ScanPattern;
using util::ScanSlot;

inline std::string Escape(std::string_view s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\0':
                out += "\\0";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\v':
                out += "\\v";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

// ---------------------------------------------------------------------------------------------
// Oracle: the pattern rewritten for sscanf with 64-bit integers.

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
    const auto put = [&](char c) { f.text[o++] = c; };
    for (std::size_t i = 0; i < p.size();) {
        if (p[i] != '%') {
            put(p[i++]);
            continue;
        }
        if (p[i + 1] == '%') {
            put('%');
            put('%');
            i += 2;
            continue;
        }
        ++i;
        const std::size_t widthBegin = i;
        while (p[i] >= '0' && p[i] <= '9')
            ++i;
        const std::size_t widthEnd = i;
        if (p[i] == 'l') ++i;
        const char conv = p[i++];
        if (conv == 'c' || conv == 'n') {
            put('%');
            put(conv);
            f.kinds[f.slots++] = conv == 'c' ? OracleKind::Char : OracleKind::Pos;
            continue;
        }
        put(' ');
        put('%');
        put('n');
        f.kinds[f.slots++] = OracleKind::Pos;
        put('%');
        for (std::size_t w = widthBegin; w < widthEnd; ++w)
            put(p[w]);
        put('l');
        put(conv);
        f.kinds[f.slots++] = conv == 'd' ? OracleKind::Long : OracleKind::ULong;
    }
    put('\0');
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
    if constexpr (K == OracleKind::Long) {
        return &s.l[i];
    } else if constexpr (K == OracleKind::ULong) {
        return &s.u[i];
    } else if constexpr (K == OracleKind::Char) {
        return &s.c[i];
    } else {
        return &s.pos[i];
    }
}

constexpr int kMaxOutputs = 16;

// What the scanner leaves behind: its return value and every output, %c widened to unsigned.
struct Observed {
    int ret = 0;
    std::array<std::uint32_t, kMaxOutputs> out{};
    bool operator==(const Observed&) const = default;
};

// Per-output values a correct scanner leaves when it does not assign; random per input so that
// an output wrongly left alone (or wrongly written) is not masked by a lucky constant.
struct Sentinels {
    std::array<std::uint32_t, kMaxOutputs> out{};
};

// "-" marks an output still holding its sentinel, i.e. not assigned.
inline std::string Describe(const Observed& o, const ScanPattern& p, const Sentinels& sentinels) {
    std::string s = "ret=" + std::to_string(o.ret) + " [";
    int k = 0;
    for (int i = 0; i < p.Size(); ++i) {
        if (p[i].op != ScanPattern::Op::Convert) continue;
        if (k > 0) s += ", ";
        char buf[48];
        const std::uint32_t v = o.out[k];
        if (v == sentinels.out[k]) {
            std::snprintf(buf, sizeof buf, "%%%c=-", p[i].conv);
        } else if (p[i].conv == 'd' || p[i].conv == 'n') {
            std::snprintf(buf, sizeof buf, "%%%c=%d", p[i].conv, static_cast<std::int32_t>(v));
        } else {
            std::snprintf(buf, sizeof buf, "%%%c=0x%02X", p[i].conv, v);
        }
        s += buf;
        ++k;
    }
    return s + "]";
}

template <FixedString Text>
struct Differential {
    static constexpr ScanPattern kPattern{Text.View()};
    static constexpr OracleFormat kOracle = MakeOracleFormat(Text.View());
    static_assert(kPattern.Outputs() > 0 && kPattern.Outputs() <= kMaxOutputs);
    static_assert(kOracle.slots <= kMaxOracleSlots);

    template <std::size_t... I>
    static int CallOracle(const char* input, OracleStore& s, std::index_sequence<I...>) {
        return std::sscanf(input, kOracle.text.data(), OraclePtr<kOracle.kinds[I]>(s, I)...);
    }

    // `input` must be followed by a NUL in memory (a std::string's data() is).
    static Observed Expected(std::string_view input, const Sentinels& sentinels) {
        OracleStore s;
        s.pos.fill(-1);
        Observed e;
        e.ret = CallOracle(input.data(), s, std::make_index_sequence<kOracle.slots>{});
        int slot = 0;
        int counted = 0;
        int k = 0;
        for (int i = 0; i < kPattern.Size(); ++i) {
            const auto& d = kPattern[i];
            if (d.op != ScanPattern::Op::Convert) continue;
            std::uint32_t v = sentinels.out[k];
            if (d.conv == 'n') {
                if (s.pos[slot] >= 0) v = static_cast<std::uint32_t>(s.pos[slot]);
                ++slot;
            } else if (d.conv == 'c') {
                if (counted++ < e.ret) v = static_cast<unsigned char>(s.c[slot]);
                ++slot;
            } else {
                const int fieldStart = s.pos[slot++];
                const int valueSlot = slot++;
                if (counted++ < e.ret) {
                    if (d.conv == 'd') {
                        const long x = s.l[valueSlot];
                        v = static_cast<std::uint32_t>(x > INT32_MAX   ? INT32_MAX
                                                       : x < INT32_MIN ? INT32_MIN
                                                                       : x);
                    } else {
                        const unsigned long r = s.u[valueSlot];
                        const bool negative = input[static_cast<std::size_t>(fieldStart)] == '-';
                        // 64-bit strtoul saturates a negative overflow to ULONG_MAX, which reads
                        // as magnitude 1 here; both narrow to 0xFFFFFFFF, so that is harmless.
                        const unsigned long magnitude = negative ? 0ul - r : r;
                        v = magnitude > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<std::uint32_t>(r);
                    }
                }
            }
            e.out[k++] = v;
        }
        return e;
    }

    static Observed Actual(std::string_view input, const Sentinels& sentinels) {
        Observed a;
        std::array<char, kMaxOutputs> chars{};
        std::array<ScanSlot, kMaxOutputs> slots{};
        int k = 0;
        for (int i = 0; i < kPattern.Size(); ++i) {
            const auto& d = kPattern[i];
            if (d.op != ScanPattern::Op::Convert) continue;
            if (d.conv == 'c') {
                chars[k] = static_cast<char>(sentinels.out[k]);
                slots[k] = {ScanSlot::Kind::Char, &chars[k]};
            } else {
                a.out[k] = sentinels.out[k];
                slots[k] = {ScanSlot::Kind::Int32, &a.out[k]};
            }
            ++k;
        }
        a.ret = util::ScanSlots(input, kPattern, slots.data(), k);
        for (int j = 0; j < k; ++j)
            if (slots[j].kind == ScanSlot::Kind::Char)
                a.out[j] = static_cast<unsigned char>(chars[j]);
        return a;
    }

    // Empty when the scanner agrees with sscanf, else a report of the disagreement.
    static std::optional<std::string> Check(std::string_view input, std::uint64_t noise) {
        Sentinels sentinels;
        for (int k = 0; k < kMaxOutputs; ++k) {
            noise = noise * 6364136223846793005ull + 1442695040888963407ull;
            sentinels.out[k] = static_cast<std::uint32_t>(noise >> 32);
        }
        for (int i = 0, k = 0; i < kPattern.Size(); ++i) {
            if (kPattern[i].op != ScanPattern::Op::Convert) continue;
            if (kPattern[i].conv == 'c') sentinels.out[k] &= 0xFFu;
            ++k;
        }
        const Observed expected = Expected(input, sentinels);
        const Observed actual = Actual(input, sentinels);
        if (expected == actual) return std::nullopt;
        return "pattern " + Escape(Text.View()) + " (oracle " + Escape(kOracle.text.data()) +
               ")\n  input    " + Escape(input) + "\n  sscanf   " +
               Describe(expected, kPattern, sentinels) + "\n  scanner  " +
               Describe(actual, kPattern, sentinels);
    }
};

using CheckFn = std::optional<std::string> (*)(std::string_view, std::uint64_t);

struct PatternCase {
    std::string_view text;
    const ScanPattern* pattern;
    CheckFn check;
};

// Test parameters print as their pattern.
inline void PrintTo(const PatternCase& c, std::ostream* os) { *os << Escape(c.text); }

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
// "%%", other widths and conversions, several conversions back to back, a non-ASCII literal.
constexpr PatternCase kExtraPatterns[] = {
    Case<" %ld%n">,  Case<"%ld %n">,   Case<"a b%n">,       Case<" %c%n">,     Case<"%%%ld%n">,
    Case<"x%%%n">,   Case<"%o%n">,     Case<"%3o%n">,       Case<"%1x%n">,     Case<"%2x%n">,
    Case<"%3X%n">,   Case<"%2d%n">,    Case<"%1u%n">,       Case<"%d%u%n">,    Case<"%c%c%c%n">,
    Case<"%x-%X%n">, Case<"\t%u\n%n">, Case<"%n%d %n%c%n">, Case<"\xB5%ld%n">, Case<"%12lx %5o%n">,
};

}  // namespace scan_oracle
