#include "families/ZorvikanMP.h"

#include "families/IoMemoryKinds.h"
#include "util/StaticFormat.h"

using family::ParseRule;
using family::ParseState;
using namespace family::io_memory;

namespace {

constexpr Limits kLimits = {524288, 1048560, 524288,
                            1048560};  // IB/IW words to 0x7FFF, MB/MW to 65534
constexpr Blocks kBlocks = {7, 15, true};
constexpr TextFormats kFormats = {&util::StaticFormat<L"IB%05lX">::Append<unsigned long>,
                                  &util::StaticFormat<L"IB%04lX">::Append<unsigned long>,
                                  &util::StaticFormat<L"MB%05ld%lX">::Append<long, unsigned long>,
                                  &util::StaticFormat<L"MB%05ld">::Append<long>};
constexpr RangeTexts kRangeTexts = {
    L"00000",  L"7FFFF",  L"7FFF0",  L"0000",  L"7FFF",  L"7FFE",   // IB
    L"000000", L"65534F", L"655340", L"00000", L"65534", L"65533",  // MB
    L"0000",   L"7FFF",   L"7FFE",                                  // IW
    L"0",      L"65534",  L"65533",                                 // MW
};

DeviceResult ConvertMbWords(ParseState& s) {
    return ConvertMb(s, 65535);
}
DeviceResult ConvertIbBits(ParseState& s) {
    return ConvertIb(s, 7, 6);
}

constexpr ParseRule kRules[] = {
    family::Rule<"MB%8lx%n">(kMB, false, &ConvertMbWords),
    family::Rule<"IB%8lx%n">(kIB, false, &ConvertIbBits),
    family::Rule<"IW%8lx%n">(kIW, true, &family::ValueIsWord),
    family::Rule<"MW%8ld%n">(kMW, true, &family::ValueIsWord),
};

using PrefixPresent = util::CompiledPattern<"%u-%x%c">;
using PrefixStation = util::CompiledPattern<"%8u-%8u%c%n">;
using PrefixOwn = util::CompiledPattern<"%8u-%8x%c%n">;

using internal_device::kGB;
using internal_device::kGD;
using internal_device::kGS;
constexpr const char* kNames[] = {"GB", "GD", "GS", "MB", "IB", "IW", "MW", nullptr};
constexpr int kCodes[] = {kGB, kGD, kGS, kMB, kIB, kIW, kMW, 0};
constexpr int kCompactCodes[] = {kGB, kGD, kMB, kIB, kIW, kMW, 0};

bool WithoutNetwork(int terminalType) {
    return terminalType == 1 || terminalType == 3 || terminalType == 6;
}

bool SetRange(int& base, int& min, int& max, int& digits, int high) {
    base = 10;
    min = 1;
    max = high;
    digits = 1;
    return true;
}

}  // namespace

bool ZorvikanMP::IsNetworkAvailable() const {
    const int t = TerminalType();
    return t == 0 || t == 2 || t == 4 || t == 5 || t == 7;
}

bool ZorvikanMP::IsNetworkAvailableEx() const {
    return IsNetworkAvailable();
}

bool ZorvikanMP::IsOptionAvailable() const {
    return false;
}

bool ZorvikanMP::GetNetworkNumberRange(const PqDevice&, int& base, int& min, int& max,
                                       int& digits) const {
    return SetRange(base, min, max, digits, 239);
}

bool ZorvikanMP::GetStationNumberRange(const PqDevice&, int& base, int& min, int& max,
                                       int& digits) const {
    return SetRange(base, min, max, digits, 64);
}

bool ZorvikanMP::IsNetworkUnset(const PqDevice& device) const {
    return device.mSegment.mNetworkNo == 0 && device.mSegment.mStationNo == 0;
}

bool ZorvikanMP::CanHaveNetwork(const PqDevice& device) const {
    return !IsInternalDevice(device) && !WithoutNetwork(TerminalType());
}

bool ZorvikanMP::CarriesNetwork() const {
    const int t = TerminalType();
    return t == 4 || t == 5 || t == 7;
}

// ---- Text -------------------------------------------------------------------------------------

bool ZorvikanMP::IsOwnCode(int code) {
    return family::io_memory::IsOwnCode(code);
}

bool ZorvikanMP::IsOwnBitKind(int code) {
    return IsBitKind(code);
}

void ZorvikanMP::FormatOwn(const PqDevice& device, std::wstring& text) {
    AppendDeviceText(device, kFormats, text);
}

DeviceResult ZorvikanMP::NetworkToString(const PqDevice& device, std::wstring& text) const {
    text.clear();
    if (WithoutNetwork(TerminalType())) return DeviceResult::Ok;
    if (const auto r = CheckSegment(device); r != DeviceResult::Ok) return r;
    const auto& s = device.mSegment;
    if (s.mNetworkNo == 0 && s.mStationNo == 0)
        text = L"0-FF";
    else
        util::StaticFormat<L"%d-%d">::Append(text, static_cast<int>(s.mNetworkNo),
                                             s.mStationNo - 1);
    return DeviceResult::Ok;
}

DeviceResult ZorvikanMP::DeviceToString(const PqDevice& device, std::wstring& text) const {
    if (WithoutNetwork(TerminalType())) return DeviceToLocalString(device, text);
    if (const auto r = NetworkToString(device, text); r != DeviceResult::Ok) {
        text = L"??";
        return r;
    }
    text += L' ';
    return AppendLocalString(device, text);
}

std::span<const ParseRule> ZorvikanMP::ParseRules() {
    return kRules;
}

std::optional<std::int32_t> ZorvikanMP::MaxTypedValue() {
    return 0xFFFF00;
}

DeviceResult ZorvikanMP::ReadNetworkPrefix(std::string& text, Network& network) const {
    if (!CarriesNetwork()) return DeviceResult::Ok;
    // Every pattern below starts with a number: a text whose first character after white space
    // cannot begin one carries no prefix.
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string::npos ||
        !((text[start] >= '0' && text[start] <= '9') || text[start] == '+' || text[start] == '-'))
        return DeviceResult::Ok;

    // A text either pattern reads up to its blank would also read as a prefix at all
    // (PrefixPresent), so that is asked only when neither does.
    std::uint32_t first = 0, second = 0;
    char after = 0;
    std::int32_t used = 0;
    if (PrefixStation::Scan(text, first, second, after, used) == 3 && after == ' ') {
        if (first == 0 || second == 0) return DeviceResult::SegmentOutOfRange;
        network.network = first;
        network.station = second + 1;
    } else if (PrefixOwn::Scan(text, first, second, after, used) == 3 && after == ' ' &&
               first == 0 && second == 0xFF) {
        network = Network{};  // "0-FF": the own station
    } else if (PrefixPresent::Scan(text, first, second, after) == 3 && after == ' ') {
        return DeviceResult::SegmentOutOfRange;
    } else {
        return DeviceResult::Ok;
    }
    text.erase(0, static_cast<std::size_t>(used));
    return DeviceResult::Ok;
}

DeviceResult ZorvikanMP::StoreNetwork(const Network& network, PqDevice& device) {
    if (network.network > 32767 || network.station > 32767) return DeviceResult::SegmentOutOfRange;
    device.mSegment.mNetworkNo = static_cast<std::int16_t>(network.network);
    device.mSegment.mStationNo = static_cast<std::int16_t>(network.station);
    return DeviceResult::Ok;
}

// ---- Ranges -----------------------------------------------------------------------------------

DeviceResult ZorvikanMP::CheckSegment(const PqDevice& device) const {
    if (WithoutNetwork(TerminalType())) return DeviceResult::Ok;
    const auto& s = device.mSegment;
    if (s.mNetworkNo < 0 || s.mNetworkNo > 239 || s.mStationNo < 0 || s.mStationNo > 65 ||
        (s.mNetworkNo != 0 && s.mStationNo == 0))
        return DeviceResult::SegmentOutOfRange;
    return DeviceResult::Ok;
}

DeviceResult ZorvikanMP::CheckDeviceRange(const PqDevice& device, int count) const {
    const int t = TerminalType();
    if (const auto r = CheckTypeForTerminal(t, device); r != DeviceResult::Ok) return r;
    // The compact terminal has no number limits at all, for any code.
    if (t != 1) {
        if (!IsOwnCode(device.mCode)) return CheckInternalDeviceRange(t, device, count);
        if (const auto r = CheckRange(device, count, kLimits); r != DeviceResult::Ok) return r;
    }
    if (const auto r = family::CheckWordAligned(device); r != DeviceResult::Ok) return r;
    return CheckSegment(device);
}

// ---- Flat addresses ---------------------------------------------------------------------------

bool ZorvikanMP::IsBitAddressCode(int code) {
    return family::io_memory::IsBitAddressCode(code, kBlocks);
}

void ZorvikanMP::OwnToPlcAddress(const PqDevice& device, PlcAddress& address) {
    ToPlcAddress(device, address, kBlocks);
}

bool ZorvikanMP::OwnFromPlcAddress(const PlcAddress& address, PqDevice& device) {
    return FromPlcAddress(address, device, kBlocks);
}

void ZorvikanMP::PutNetwork(const PqDevice& device, PlcAddress& address) const {
    if (!CarriesNetwork()) return;
    address.network = static_cast<std::uint8_t>(device.mSegment.mNetworkNo);
    address.station = static_cast<std::uint8_t>(device.mSegment.mStationNo - 1);
}

void ZorvikanMP::TakeNetwork(const PlcAddress& address, PqDevice& device) const {
    if (!CarriesNetwork()) return;
    device.mSegment.mNetworkNo = address.network;
    device.mSegment.mStationNo = static_cast<std::uint8_t>(address.station + 1);  // 255: own
}

// ---- Tables -----------------------------------------------------------------------------------

family::DeviceTables ZorvikanMP::Tables(int terminalType) {
    switch (terminalType) {
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
            return {family::Listed(kNames), family::Listed(kCodes), true};
        case 1:
            return {{}, family::Listed(kCompactCodes), false};
        default:
            return {};
    }
}

// ---- Editor services --------------------------------------------------------------------------

const wchar_t* ZorvikanMP::PrefixOf(const PqDevice& device) {
    return family::io_memory::PrefixOf(device);
}

int ZorvikanMP::NumberBaseOf(const PqDevice& device) {
    return family::io_memory::NumberBaseOf(device);
}

std::span<const family::PrefixCode> ZorvikanMP::PrefixOrder() {
    return kPrefixOrder;
}

std::span<const family::Kind> ZorvikanMP::BitKinds() {
    return kBitKinds;
}

std::span<const family::Kind> ZorvikanMP::WordKinds() {
    return kWordKinds;
}

bool ZorvikanMP::CrossKindsOffered() const {
    return EditorTerminalType() != 1;
}

bool ZorvikanMP::BitOfWordOffered() const {
    const int t = EditorTerminalType();
    return t >= 3 && t <= 7;
}

bool ZorvikanMP::GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const {
    lows.clear();
    highs.clear();
    if (!IsOwnCode(device.mCode)) return GetInternalNumberRangeTexts(device, lows, highs);
    if (EditorTerminalType() == 1) return true;  // no limits on the compact terminal
    AppendRangeTexts(device, (GetEditFlags() & 4) != 0, kRangeTexts, lows, highs);
    return true;
}

DeviceResult ZorvikanMP::CheckDeviceFields(DeviceFields&, PqDevice& device, int count,
                                           PqDevice&) const {
    return CheckDeviceRange(device, count);
}

DeviceResult ZorvikanMP::CheckNetworkFields(const DeviceFields& fields) const {
    int base, low, high, digits;
    GetNetworkNumberRange(PqDevice{}, base, low, high, digits);
    if (!fields.network.IsEmpty() && !IsValidNumberText(base, fields.network))
        return DeviceResult::InvalidDeviceFormat;
    GetStationNumberRange(PqDevice{}, base, low, high, digits);
    if (!fields.station.IsEmpty() && !IsValidNumberText(base, fields.station))
        return DeviceResult::InvalidDeviceFormat;
    return DeviceResult::Ok;
}

std::string ZorvikanMP::NetworkPrefixText(const DeviceFields& fields) {
    if (fields.useNetwork != 1) return {};
    return fields.network.str() + "-" + fields.station.str() + " ";
}

void ZorvikanMP::FillNetworkFields(const PqDevice& device, DeviceFields& fields) {
    const auto& s = device.mSegment;
    if (s.mNetworkNo == 0 && s.mStationNo == 0) {
        fields.network = "1";
        fields.station = "1";
        fields.useNetwork = 0;
        return;
    }
    fields.useNetwork = 1;
    if (s.mNetworkNo >= 0 && s.mNetworkNo <= 239)
        fields.network.Format("%hd", s.mNetworkNo);
    else
        fields.network = "0";
    if (s.mStationNo >= 1 && s.mStationNo <= 65)
        fields.station.Format("%hd", static_cast<short>(s.mStationNo - 1));
    else
        fields.station = "1";
}
