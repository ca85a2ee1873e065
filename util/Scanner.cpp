#include "util/Scanner.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "util/ScannerCLibrary.h"
#include "util/ScannerCore.h"
#include "util/TextBackend.h"

namespace util {
namespace {

using detail::Cursor;
using detail::Outcome;
using detail::ScanInteger;

using Op = ScanPattern::Op;

// Outputs are 4-byte integers of any signedness (or char); memcpy stores the bits without
// caring which 4-byte type the caller used.
void StoreInt(const ScanSlot& slot, std::uint32_t v) {
    std::memcpy(slot.target, &v, sizeof v);
}

// The two ways outputs can fail a pattern, shared by the slot arrays and the typed calls.
[[noreturn]] void ThrowOutputCount(const ScanPattern& pattern, int got) {
    throw std::logic_error("scan: pattern \"" + std::string(pattern.Text()) + "\" needs " +
                           std::to_string(pattern.Outputs()) + " outputs, got " +
                           std::to_string(got));
}

[[noreturn]] void ThrowOutputType(const ScanPattern& pattern, int k) {
    const bool wantChar = (pattern.CharOutputs() >> k) & 1u;
    throw std::logic_error("scan: output " + std::to_string(k + 1) + " of pattern \"" +
                           std::string(pattern.Text()) + "\" must be " +
                           (wantChar ? "a char" : "a 32-bit integer"));
}

void CheckSlots(const ScanPattern& pattern, const ScanSlot* slots, int slotCount) {
    if (slotCount != pattern.Outputs()) ThrowOutputCount(pattern, slotCount);
    if (slotCount > 0 && slots == nullptr) throw std::logic_error("scan: outputs missing");
    for (int k = 0; k < slotCount; ++k) {
        const bool wantChar = (pattern.CharOutputs() >> k) & 1u;
        if ((slots[k].kind == ScanSlot::Kind::Char) != wantChar || slots[k].target == nullptr)
            ThrowOutputType(pattern, k);
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
    if (outputs != pattern.Outputs()) ThrowOutputCount(pattern, outputs);
    ThrowOutputType(pattern, std::countr_zero(charOutputs ^ pattern.CharOutputs()));
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
