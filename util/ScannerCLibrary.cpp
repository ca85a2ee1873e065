#include "util/ScannerCLibrary.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace util::detail {
namespace {

// sscanf reads into a long; with a 64-bit long it sees every overflow that a 32-bit strtol or
// strtoul would saturate, so the 32-bit result can be derived exactly from it.
static_assert(sizeof(long) == 8, "the C-library scan backend narrows a 64-bit long");

enum class SlotKind : std::uint8_t { Position, Long, ULong, Char };

using Op = ScanPattern::Op;

// A pattern rewritten for sscanf. Each integer conversion "%<w>l?<c>" becomes " %n%<w>l<c>":
// the blank and %n record where the field starts after its white space (a numeric conversion
// skips that white space anyway), which tells the sign of the text, needed to narrow strtoul's
// result. Widths stay below 100000, so one directive needs at most 12 characters.
struct CompiledPattern {
    static constexpr int kMaxSlots = 2 * ScanPattern::kMaxDirectives;
    char format[12 * ScanPattern::kMaxDirectives + 1];
    SlotKind kinds[kMaxSlots];
    int slots = 0;
};

void Compile(const ScanPattern& pattern, CompiledPattern& c) {
    char* o = c.format;
    c.slots = 0;
    for (int i = 0; i < pattern.Size(); ++i) {
        const ScanPattern::Directive& d = pattern[i];
        switch (d.op) {
            case Op::Space:
                *o++ = ' ';
                break;
            case Op::Literal:
                if (d.literal == '%') *o++ = '%';
                *o++ = d.literal;
                break;
            case Op::Convert:
                if (d.conv == 'n' || d.conv == 'c') {
                    *o++ = '%';
                    *o++ = d.conv;
                    c.kinds[c.slots++] = d.conv == 'n' ? SlotKind::Position : SlotKind::Char;
                    break;
                }
                o = std::strcpy(o, " %n%") + 4;
                c.kinds[c.slots++] = SlotKind::Position;
                if (d.width > 0) o += std::snprintf(o, 7, "%d", d.width);
                *o++ = 'l';
                *o++ = d.conv;
                c.kinds[c.slots++] = d.conv == 'd' ? SlotKind::Long : SlotKind::ULong;
                break;
        }
    }
    *o = '\0';
}

// The families scan a handful of fixed patterns, so each is compiled once. Entries are found by
// the pattern's address and confirmed by its text, which keeps a temporary pattern that reuses an
// address from picking up a stale format. Not thread-safe, like the backend switch itself.
struct CacheEntry {
    const ScanPattern* pattern = nullptr;
    std::string text;
    CompiledPattern compiled;
};

const CompiledPattern& CompiledFor(const ScanPattern& pattern) {
    static CacheEntry cache[64];
    const auto address = reinterpret_cast<std::uintptr_t>(&pattern);
    CacheEntry& e = cache[(address >> 4) % 64];
    if (e.pattern != &pattern || e.text != pattern.Text()) {
        e.pattern = &pattern;
        e.text.assign(pattern.Text());
        Compile(pattern, e.compiled);
    }
    return e.compiled;
}

// Outputs are 4-byte integers of either signedness; memcpy stores the bits whichever it is.
void StoreInt(const ScanSlot& slot, std::uint32_t v) {
    std::memcpy(slot.target, &v, sizeof v);
}

union SlotValue {
    long l;
    unsigned long u;
    int position;
    char c;
};

// sscanf takes as many pointers as the format has slots; surplus ones are ignored. Each is
// passed as void*: all object pointers share one representation on the platforms this backend
// runs on, and sscanf reads each back as the type its conversion names.
int CallSscanf(const char* input, const CompiledPattern& c, void* const* p) {
    if (c.slots <= 4) return std::sscanf(input, c.format, p[0], p[1], p[2], p[3]);
    if (c.slots <= 8)
        return std::sscanf(input, c.format, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
    static_assert(CompiledPattern::kMaxSlots == 48);
    return std::sscanf(input, c.format, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9],
                       p[10], p[11], p[12], p[13], p[14], p[15], p[16], p[17], p[18], p[19], p[20],
                       p[21], p[22], p[23], p[24], p[25], p[26], p[27], p[28], p[29], p[30], p[31],
                       p[32], p[33], p[34], p[35], p[36], p[37], p[38], p[39], p[40], p[41], p[42],
                       p[43], p[44], p[45], p[46], p[47]);
}

}  // namespace

int ScanSlotsCLibrary(std::string_view input, const ScanPattern& pattern, const ScanSlot* slots,
                      int) {
    const CompiledPattern& c = CompiledFor(pattern);

    // sscanf needs a C string; like our scanner, the input ends at its first NUL anyway.
    input = input.substr(0, input.find('\0'));
    char small[256];
    std::string large;
    const char* text = small;
    if (input.size() < sizeof small) {
        std::memcpy(small, input.data(), input.size());
        small[input.size()] = '\0';
    } else {
        large.assign(input);
        text = large.c_str();
    }

    SlotValue values[CompiledPattern::kMaxSlots];
    void* pointers[CompiledPattern::kMaxSlots] = {};
    for (int i = 0; i < c.slots; ++i) {
        switch (c.kinds[i]) {
            case SlotKind::Position:
                values[i].position = -1;  // left alone unless sscanf reaches the %n
                pointers[i] = &values[i].position;
                break;
            case SlotKind::Long:
                pointers[i] = &values[i].l;
                break;
            case SlotKind::ULong:
                pointers[i] = &values[i].u;
                break;
            case SlotKind::Char:
                pointers[i] = &values[i].c;
                break;
        }
    }
    const int result = CallSscanf(text, c, pointers);

    // Outputs of conversions that sscanf did not assign stay untouched, as with our scanner.
    int slot = 0;
    int counted = 0;
    const ScanSlot* out = slots;
    for (int i = 0; i < pattern.Size(); ++i) {
        const ScanPattern::Directive& d = pattern[i];
        if (d.op != Op::Convert) continue;
        const ScanSlot& target = *out++;
        if (d.conv == 'n') {
            const int position = values[slot++].position;
            if (position >= 0) StoreInt(target, static_cast<std::uint32_t>(position));
        } else if (d.conv == 'c') {
            if (counted++ < result) *static_cast<char*>(target.target) = values[slot].c;
            ++slot;
        } else {
            const int fieldStart = values[slot++].position;
            const SlotValue& v = values[slot++];
            if (counted++ >= result) continue;
            std::uint32_t value;
            if (d.conv == 'd') {
                // strtol with a 32-bit long saturates.
                const long x = v.l;
                value = static_cast<std::uint32_t>(x > INT32_MAX   ? INT32_MAX
                                                   : x < INT32_MIN ? INT32_MIN
                                                                   : x);
            } else {
                // strtoul with a 32-bit long: a magnitude beyond 32 bits saturates, a negative
                // text wraps. A 64-bit negative overflow (ULONG_MAX) reads as magnitude 1 here;
                // both give 0xFFFFFFFF.
                const unsigned long r = v.u;
                const bool negative = fieldStart >= 0 && text[fieldStart] == '-';
                const unsigned long magnitude = negative ? 0ul - r : r;
                value = magnitude > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<std::uint32_t>(r);
            }
            StoreInt(target, value);
        }
    }
    return result;
}

}  // namespace util::detail
