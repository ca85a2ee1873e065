// The machinery every family's device syntax runs on: scan patterns tried in order, a value
// conversion per pattern, the bit suffix of word kinds, and the range and text helpers the
// families share. A family is a set of tables plus the few rules that are its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mfc/CString.h"
#include "plc/DeviceFields.h"
#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"
#include "util/CompiledPattern.h"
#include "util/Scanner.h"

namespace family {

using pqcore::PqDevice;

inline bool IsWideType(int type) {
    return type == 'I' || type == 'U' || type == 'D' || type == 'F';
}

// Number × 16 as the 32-bit controller arithmetic does it: wraps instead of overflowing.
inline std::int32_t Times16(std::int32_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * 16u);
}

// A number for a "%lX" conversion as a 32-bit long gives it on every platform: a negative
// number prints as its eight-digit two's complement, never as sixteen digits.
inline unsigned long Hex32(long value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

// What a pattern match hands to its conversion and what the conversion gives back.
struct ParseState {
    std::string text;  // working text; a conversion may rewrite it (and `used`)
    int dataType = 'b';
    std::int32_t value = 0;   // the value the pattern converted
    std::int32_t used = 0;    // characters the pattern consumed
    std::int32_t number = 0;  // the record's number, set by the conversion
};

// One way of reading a device text. `convert` checks the value and sets the number; it may fail
// with a result of its own.
struct ParseRule {
    // The rule's pattern, compiled (see Rule below): 1 when it converted the value.
    int (*scan)(std::string_view text, std::int32_t& value, std::int32_t& used);
    // The character the pattern's text must start with, or 0: a text starting otherwise cannot
    // convert, so the rule is passed over without scanning.
    char lead;
    int code;
    bool bitSuffix;  // word kinds may name one bit: ".5", ".B5"
    DeviceResult (*convert)(ParseState& state);
};

// A rule whose pattern is compiled into its own scanning code (util/CompiledPattern.h).
template <util::PatternText P>
constexpr ParseRule Rule(int code, bool bitSuffix, DeviceResult (*convert)(ParseState&)) {
    using Compiled = util::CompiledPattern<P>;
    constexpr util::ScanPattern::Directive first = Compiled::kPattern[0];
    // A literal '%' ("%%") skips white space before it, so it does not pin the first character.
    constexpr char lead =
        first.op == util::ScanPattern::Op::Literal && first.literal != '%' ? first.literal : 0;
    return {&Compiled::template Scan<std::int32_t, std::int32_t>, lead, code, bitSuffix, convert};
}

struct ParseOutcome {
    bool matched = false;  // a pattern of the family took the text
    int code = 0;
    DeviceResult result = DeviceResult::Ok;
};

// Tries the rules in order on state.text. The first rule whose pattern converts one value
// decides: its conversion, then the bit suffix (word kinds), then nothing may be left over, then
// the converted value must lie in 0..maxValue (when given).
ParseOutcome ParseOwnDevice(std::span<const ParseRule> rules, ParseState& state,
                            std::optional<std::int32_t> maxValue);

// The conversion most patterns use: the value is the number (bit kinds) or the word (word kinds).
DeviceResult ValueIsNumber(ParseState& state);
DeviceResult ValueIsWord(ParseState& state);

// A run of `count` units of the device's width starting at mNumber inside [0, limit):
// NumberOutOfRange when the start lies outside, NumberCrossRange when the run does not fit
// (unsigned arithmetic, so a negative count asks for a huge run).
DeviceResult CheckRun(const PqDevice& device, int count, std::int64_t limit);

// A word-wide access must start on a word: InvalidDeviceNumber otherwise.
DeviceResult CheckWordAligned(const PqDevice& device);

// Edit flag 4 asks for bit devices that start on a word.
inline bool BreaksFlag4(const PqDevice& device, int editFlags) {
    return device.mType == 'b' && (editFlags & 4) != 0 && device.mNumber % 16 != 0;
}

// Widens a dialog text for the parser: bytes beyond 7 bits match no pattern anyway, so they are
// kept as their byte value, which normalising turns into '?'. At most 260 units, as the dialog's
// conversion buffer holds.
std::wstring WidenFieldText(const CString& text);

// Splits a device text after its prefix at the first '.': the number before it, the bit after
// ".b" (or after "." alone).
void SplitNumberAndBit(const std::string& text, std::size_t prefixLength, DeviceFields& fields);

// Whether a flat address of an internal device carries the record's channel: not at all, when
// the internal conversion succeeded, or always.
enum class InternalChannel { Dropped, OnSuccess, Always };

// SetDeviceByPrefix: a prefix, the code it selects and the number it starts at.
struct PrefixCode {
    const wchar_t* prefix;
    int code;
    std::int32_t number;
};

// Kind lists for the dialog: names and codes appended in step.
struct Kind {
    const wchar_t* name;
    int code;
};
void AppendKinds(std::span<const Kind> kinds, std::vector<std::wstring>& names,
                 std::vector<int>& codes);

// The device tables handed to the host for one terminal type.
struct DeviceTables {
    std::span<const char* const> names;  // empty: none offered
    std::span<const int> codes;
    bool ordered = false;  // order = 1-based position in `codes`
};

// The tables a host gets end with a zero entry that their count leaves out, so a host that
// walks to the terminator stops where the count says.
template <class T, std::size_t N>
constexpr std::span<const T> Listed(const T (&table)[N]) {
    static_assert(N > 1, "a listed table holds its entries and the terminator");
    return {table, N - 1};
}

// Order of a code in the tables: 0 for no device, -1 when not listed or the tables have none.
int OrderInTables(const DeviceTables& tables, int code);

}  // namespace family
