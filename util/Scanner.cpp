#include "util/Scanner.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "util/ScannerCLibrary.h"
#include "util/TextBackend.h"

namespace util {
namespace {

using Op = ScanPattern::Op;

// The C locale's isspace, without the locale lookup.
constexpr bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Value of `c` as a digit, or 99 when it is no digit in any base up to 16.
constexpr unsigned DigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const unsigned lower = c | 0x20u;
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return 99;
}

// The readable input: a string_view ends early at its first NUL, as a C string would. Reading
// stops at `end` or at a NUL, and the cursor never moves past either, so the NUL never has to be
// located in advance.
struct Cursor {
    const char* pos;
    const char* end;

    // Next byte, or -1 at the end of the input (or of a field limited to `limit`).
    int Peek(const char* limit) const {
        return pos < limit && *pos != '\0' ? static_cast<unsigned char>(*pos) : -1;
    }
    int Peek() const { return Peek(end); }

    void SkipSpace() {
        while (pos < end && IsSpace(static_cast<unsigned char>(*pos)))
            ++pos;
    }
};

enum class Outcome { Assigned, InputFailure, MatchingFailure };

// One integer field with the C library's rules: optional sign, for base 16 an optional "0x" that
// is consumed even when no hex digit follows (the '0' alone is then the number), then digits. The
// width counts all of it. The value is what strtol/strtoul yield with a 32-bit long.
Outcome ScanInteger(Cursor& in, char conv, int width, std::uint32_t& value) {
    in.SkipSpace();
    if (in.Peek() < 0) return Outcome::InputFailure;

    const char* limit = width > 0 && width < in.end - in.pos ? in.pos + width : in.end;
    const unsigned base = conv == 'x' ? 16 : conv == 'o' ? 8 : 10;

    bool negative = false;
    int c = in.Peek(limit);
    if (c == '-' || c == '+') {
        negative = c == '-';
        ++in.pos;
        c = in.Peek(limit);
    }

    bool anyDigit = false;
    if (c == '0') {
        anyDigit = true;
        ++in.pos;
        c = in.Peek(limit);
        if (base == 16 && (c == 'x' || c == 'X')) {
            ++in.pos;
            c = in.Peek(limit);
        }
    }

    // The magnitude saturates just above 32 bits: once past 0xFFFFFFFF it stops growing, so the
    // accumulation can neither overflow nor lose the fact that it overflowed.
    std::uint64_t magnitude = 0;
    for (unsigned d; c >= 0 && (d = DigitValue(static_cast<unsigned char>(c))) < base;
         c = in.Peek(limit)) {
        anyDigit = true;
        if (magnitude <= 0xFFFFFFFFu) magnitude = magnitude * base + d;
        ++in.pos;
    }
    if (!anyDigit) return Outcome::MatchingFailure;

    if (conv == 'd') {
        std::int64_t v;
        if (negative)
            v = magnitude > 0x80000000u ? INT32_MIN : -static_cast<std::int64_t>(magnitude);
        else
            v = magnitude > 0x7FFFFFFFu ? INT32_MAX : static_cast<std::int64_t>(magnitude);
        value = static_cast<std::uint32_t>(v);
    } else if (magnitude > 0xFFFFFFFFu) {
        value = 0xFFFFFFFFu;
    } else {
        const auto m = static_cast<std::uint32_t>(magnitude);
        value = negative ? 0u - m : m;
    }
    return Outcome::Assigned;
}

// Outputs are 4-byte integers of any signedness (or char); memcpy stores the bits without
// caring which 4-byte type the caller used.
void StoreInt(const ScanSlot& slot, std::uint32_t v) {
    std::memcpy(slot.target, &v, sizeof v);
}

std::string OutputName(bool isChar) {
    return isChar ? "a char" : "a 32-bit integer";
}

void CheckSlots(const ScanPattern& pattern, const ScanSlot* slots, int slotCount) {
    if (slotCount != pattern.Outputs())
        throw std::logic_error("scan: pattern \"" + std::string(pattern.Text()) + "\" needs " +
                               std::to_string(pattern.Outputs()) + " outputs, got " +
                               std::to_string(slotCount));
    if (slotCount > 0 && slots == nullptr) throw std::logic_error("scan: outputs missing");
    for (int k = 0; k < slotCount; ++k) {
        const bool wantChar = (pattern.CharOutputs() >> k) & 1u;
        if ((slots[k].kind == ScanSlot::Kind::Char) != wantChar || slots[k].target == nullptr)
            throw std::logic_error("scan: output " + std::to_string(k + 1) + " of pattern \"" +
                                   std::string(pattern.Text()) + "\" must be " +
                                   OutputName(wantChar));
    }
}

}  // namespace

int ScanSlots(std::string_view input, const ScanPattern& pattern, const ScanSlot* slots,
              int slotCount) {
    // Checked before anything is written, so a mismatch never leaves outputs half-assigned.
    CheckSlots(pattern, slots, slotCount);
    return detail::ScanMatchedSlots(input, pattern, slots);
}

namespace detail {

void ThrowScanMismatch(const ScanPattern& pattern, int outputs, std::uint32_t charOutputs) {
    if (outputs != pattern.Outputs())
        throw std::logic_error("scan: pattern \"" + std::string(pattern.Text()) + "\" needs " +
                               std::to_string(pattern.Outputs()) + " outputs, got " +
                               std::to_string(outputs));
    const std::uint32_t differ = charOutputs ^ pattern.CharOutputs();
    int k = 0;
    while (((differ >> k) & 1u) == 0)
        ++k;
    throw std::logic_error("scan: output " + std::to_string(k + 1) + " of pattern \"" +
                           std::string(pattern.Text()) + "\" must be " +
                           OutputName((pattern.CharOutputs() >> k) & 1u));
}

int ScanMatchedSlots(std::string_view input, const ScanPattern& pattern, const ScanSlot* slots) {
    if (CurrentTextBackend() != TextBackend::Ours) [[unlikely]]
        return ScanSlotsCLibrary(input, pattern, slots, pattern.Outputs());

    Cursor in{input.data(), input.data() + input.size()};

    // The leading plain characters decide most scans; nothing is assigned before them, so the
    // input ending is -1 and a different character is 0.
    const std::string_view lead = pattern.Lead();
    for (const char expected : lead) {
        const int c = in.Peek();
        if (c < 0) return -1;
        if (c != static_cast<unsigned char>(expected)) return 0;
        ++in.pos;
    }

    int assigned = 0;
    // An input failure (the input ended) before the first assignment reports -1, like EOF.
    const auto inputFailure = [&assigned] { return assigned == 0 ? -1 : assigned; };

    for (int i = static_cast<int>(lead.size()); i < pattern.Size(); ++i) {
        const auto& d = pattern[i];
        switch (d.op) {
            case Op::Space:
                in.SkipSpace();
                break;
            case Op::Literal: {
                // A literal '%' comes only from "%%", which as a conversion skips white space.
                if (d.literal == '%') in.SkipSpace();
                const int c = in.Peek();
                if (c < 0) return inputFailure();
                if (c != static_cast<unsigned char>(d.literal)) return assigned;
                ++in.pos;
                break;
            }
            case Op::Convert: {
                const ScanSlot& slot = *slots++;
                if (d.conv == 'n') {
                    StoreInt(slot, static_cast<std::uint32_t>(in.pos - input.data()));
                } else if (d.conv == 'c') {
                    if (in.Peek() < 0) return inputFailure();
                    *static_cast<char*>(slot.target) = *in.pos++;
                    ++assigned;
                } else {
                    std::uint32_t v;
                    switch (ScanInteger(in, d.conv, d.width, v)) {
                        case Outcome::InputFailure:
                            return inputFailure();
                        case Outcome::MatchingFailure:
                            return assigned;
                        case Outcome::Assigned:
                            StoreInt(slot, v);
                            ++assigned;
                            break;
                    }
                }
                break;
            }
        }
    }
    return assigned;
}

}  // namespace detail
}  // namespace util
