#include "families/ZorvikanSH.h"

#include "families/IoMemoryKinds.h"
#include "util/StaticFormat.h"

using family::ParseRule;
using family::ParseState;
using namespace family::io_memory;

namespace {

// MB reaches only word 4095 on the compact terminal.
constexpr Limits kLimits = {65536, 524288, 524288, 524288};
constexpr Limits kCompactLimits = {65536, 65536, 524288, 524288};
constexpr Blocks kBlocks = {0, 7, false};
constexpr TextFormats kFormats = {&util::StaticFormat<L"IB%04lX">::Append<unsigned long>,
                                  &util::StaticFormat<L"IB%03lX">::Append<unsigned long>,
                                  &util::StaticFormat<L"MB%04ld%lX">::Append<long, unsigned long>,
                                  &util::StaticFormat<L"MB%04ld">::Append<long>};
constexpr RangeTexts kRangeTexts = {
    L"0000",  L"FFFF",   L"FFF0",   L"000",  L"FFF",   L"FFE",    // IB
    L"00000", L"32767F", L"327670", L"0000", L"32767", L"32766",  // MB
    L"0000",  L"7FFF",   L"7FFE",                                 // IW
    L"0",     L"32767",  L"32766",                                // MW
};
constexpr RangeTexts kCompactRangeTexts = {
    L"0000", L"FFFF", L"FFF0", L"000",  L"FFF",  L"FFE",  L"00000", L"4095F", L"40950",
    L"0000", L"4095", L"4094", L"0000", L"7FFF", L"7FFE", L"0",     L"32767", L"32766",
};

DeviceResult ConvertMbWords(ParseState& s) {
    return ConvertMb(s, 32768);
}
DeviceResult ConvertIbBits(ParseState& s) {
    return ConvertIb(s, 6, 5);
}

constexpr ParseRule kRules[] = {
    family::Rule<"MB%8lx%n">(kMB, false, &ConvertMbWords),
    family::Rule<"IB%8lx%n">(kIB, false, &ConvertIbBits),
    family::Rule<"IW%8lx%n">(kIW, true, &family::ValueIsWord),
    family::Rule<"MW%8ld%n">(kMW, true, &family::ValueIsWord),
};

using internal_device::kGB;
using internal_device::kGD;
using internal_device::kGS;
constexpr const char* kNames[] = {"GB", "GD", "GS", "MB", "IB", "IW", "MW", nullptr};
constexpr int kCodes[] = {kGB, kGD, kGS, kMB, kIB, kIW, kMW, 0};
constexpr const char* kCompactNames[] = {"GB", "GD", "MB", "IB", "IW", "MW", nullptr};
constexpr int kCompactCodes[] = {kGB, kGD, kMB, kIB, kIW, kMW, 0};

}  // namespace

bool ZorvikanSH::IsOwnCode(int code) {
    return family::io_memory::IsOwnCode(code);
}

bool ZorvikanSH::IsOwnBitKind(int code) {
    return IsBitKind(code);
}

void ZorvikanSH::FormatOwn(const PqDevice& device, std::wstring& text) {
    AppendDeviceText(device, kFormats, text);
}

std::span<const ParseRule> ZorvikanSH::ParseRules() {
    return kRules;
}

std::optional<std::int32_t> ZorvikanSH::MaxTypedValue() {
    return 0x800000;
}

DeviceResult ZorvikanSH::CheckDeviceRange(const PqDevice& device, int count) const {
    const int t = TerminalType();
    if (const auto r = CheckTypeForTerminal(t, device); r != DeviceResult::Ok) return r;
    if (!IsOwnCode(device.mCode)) return CheckInternalDeviceRange(t, device, count);
    if (const auto r = CheckRange(device, count, t == 1 ? kCompactLimits : kLimits);
        r != DeviceResult::Ok)
        return r;
    return family::CheckWordAligned(device);
}

bool ZorvikanSH::IsBitAddressCode(int code) {
    return family::io_memory::IsBitAddressCode(code, kBlocks);
}

void ZorvikanSH::OwnToPlcAddress(const PqDevice& device, PlcAddress& address) {
    ToPlcAddress(device, address, kBlocks);
}

bool ZorvikanSH::OwnFromPlcAddress(const PlcAddress& address, PqDevice& device) {
    return FromPlcAddress(address, device, kBlocks);
}

family::DeviceTables ZorvikanSH::Tables(int terminalType) {
    if (terminalType == 1)
        return {family::Listed(kCompactNames), family::Listed(kCompactCodes), true};
    if (terminalType < 0 || terminalType > 7) return {};
    return {family::Listed(kNames), family::Listed(kCodes), true};
}

const wchar_t* ZorvikanSH::PrefixOf(const PqDevice& device) {
    return family::io_memory::PrefixOf(device);
}

int ZorvikanSH::NumberBaseOf(const PqDevice& device) {
    return family::io_memory::NumberBaseOf(device);
}

std::span<const family::PrefixCode> ZorvikanSH::PrefixOrder() {
    return kPrefixOrder;
}

std::span<const family::Kind> ZorvikanSH::BitKinds() {
    return kBitKinds;
}

std::span<const family::Kind> ZorvikanSH::WordKinds() {
    return kWordKinds;
}

bool ZorvikanSH::CrossKindsOffered() const {
    const int t = EditorTerminalType();
    return t != 1 && t != 6;
}

bool ZorvikanSH::BitOfWordOffered() const {
    return !IsCompactTerminal();
}

bool ZorvikanSH::GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const {
    lows.clear();
    highs.clear();
    if (!IsOwnCode(device.mCode)) return GetInternalNumberRangeTexts(device, lows, highs);
    AppendRangeTexts(device, (GetEditFlags() & 4) != 0,
                     EditorTerminalType() == 1 ? kCompactRangeTexts : kRangeTexts, lows, highs);
    return true;
}
