#include "families/FamilyRules.h"

#include <algorithm>

#include "plc/InternalDevices.h"

namespace family {

ParseOutcome ParseOwnDevice(std::span<const ParseRule> rules, ParseState& state,
                            std::optional<std::int32_t> maxValue) {
    ParseOutcome outcome;
    const char first = state.text.empty() ? '\0' : state.text[0];
    for (const ParseRule& rule : rules) {
        if (rule.lead != 0 && rule.lead != first) continue;
        if (rule.scan(state.text, state.value, state.used) != 1) continue;
        outcome.matched = true;
        outcome.code = rule.code;
        if ((outcome.result = rule.convert(state)) != DeviceResult::Ok) return outcome;

        std::string_view rest =
            std::string_view(state.text)
                .substr(std::min(state.text.size(), static_cast<std::size_t>(state.used)));
        if (rule.bitSuffix) {
            unsigned bit = 0;
            if (const int taken = ParseBitSuffix(rest, bit); taken > 0) {
                if (state.dataType != 'b') {
                    outcome.result = DeviceResult::InvalidDeviceType;
                    return outcome;
                }
                if (bit >= 16) {
                    outcome.result = DeviceResult::InvalidDeviceFormat;
                    return outcome;
                }
                state.number += static_cast<std::int32_t>(bit);
                rest.remove_prefix(static_cast<std::size_t>(taken));
            }
        }
        if (!rest.empty()) {
            outcome.result = DeviceResult::InvalidDeviceFormat;
        } else if (maxValue && (state.value < 0 || state.value > *maxValue)) {
            outcome.result = DeviceResult::NumberOutOfRange;
        }
        return outcome;
    }
    return outcome;
}

DeviceResult ValueIsNumber(ParseState& state) {
    state.number = state.value;
    return DeviceResult::Ok;
}

DeviceResult ValueIsWord(ParseState& state) {
    state.number = Times16(state.value);
    return DeviceResult::Ok;
}

DeviceResult CheckRun(const PqDevice& device, int count, std::int64_t limit) {
    const std::int64_t n = device.mNumber;
    if (n < 0 || n >= limit) return DeviceResult::NumberOutOfRange;
    const std::uint32_t need =
        static_cast<std::uint32_t>(device.GetTypeBits()) * static_cast<std::uint32_t>(count);
    if (static_cast<std::uint64_t>(limit - n) < need) return DeviceResult::NumberCrossRange;
    return DeviceResult::Ok;
}

DeviceResult CheckWordAligned(const PqDevice& device) {
    return device.mType != 'b' && device.mNumber % 16 != 0 ? DeviceResult::InvalidDeviceNumber
                                                           : DeviceResult::Ok;
}

std::wstring WidenFieldText(const CString& text) {
    constexpr std::size_t kLimit = 260;
    const std::string& s = text.str();
    std::wstring wide;
    wide.reserve(std::min(s.size(), kLimit));
    for (std::size_t i = 0; i < s.size() && i < kLimit; ++i)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(s[i])));
    return wide;
}

void SplitNumberAndBit(const std::string& text, std::size_t prefixLength, DeviceFields& fields) {
    const std::string rest = text.substr(std::min(prefixLength, text.size()));
    const auto dot = rest.find('.');
    if (dot == std::string::npos) {
        fields.number = rest;
        return;
    }
    fields.number = rest.substr(0, dot);
    const bool b = dot + 1 < rest.size() && rest[dot + 1] == 'b';
    fields.bit = rest.substr(dot + (b ? 2 : 1));
}

void AppendKinds(std::span<const Kind> kinds, std::vector<std::wstring>& names,
                 std::vector<int>& codes) {
    for (const Kind& k : kinds) {
        names.emplace_back(k.name);
        codes.push_back(k.code);
    }
}

int OrderInTables(const DeviceTables& tables, int code) {
    if (code == 0) return 0;
    if (!tables.ordered) return -1;
    const auto it = std::find(tables.codes.begin(), tables.codes.end(), code);
    return it == tables.codes.end() ? -1 : static_cast<int>(it - tables.codes.begin()) + 1;
}

}  // namespace family
