#include "families/ZorvikanMP.h"

#include "util/Format.h"

using family::ParseRule;
using family::ParseState;
using namespace internal_device;

namespace {

constexpr int kIB = 156;
constexpr int kMB = 157;
constexpr int kIW = 168;
constexpr int kMW = 175;

// Flat codes of the bit blocks beyond the first 4096 words: IB 1..7, MB 1..15.
constexpr int kIbBlockBase = 39936;
constexpr int kMbBlockBase = 40192;
constexpr int kIbBlocks = 7;
constexpr int kMbBlocks = 15;

constexpr std::int64_t kIbIwLimit = 524288;    // words 0..0x7FFF
constexpr std::int64_t kMbMwLimit = 1048560;   // words 0..65534
constexpr std::int32_t kMaxTypedValue = 0xFFFF00;

constexpr util::ScanPattern kMbBitField("MB%05ld%01lx%n");
constexpr util::ScanPattern kMbWord("MB%8ld%n");

// MB with a bit type: five decimal word digits and one hex bit digit, right-aligned in a
// six-digit field ("MB1F" reads as "MB00001F": word 1, bit 15). Other types: a decimal word.
DeviceResult ConvertMb(ParseState& s) {
    if (s.dataType == 'b') {
        if (s.text.size() > 8) return DeviceResult::InvalidDeviceFormat;
        const std::string digits = s.text.substr(2);
        s.text = "MB" + std::string(6 - digits.size(), '0') + digits;
        std::int32_t word = 0, bit = 0;
        if (util::Scan(s.text, kMbBitField, word, bit, s.used) != 2)
            return DeviceResult::InvalidDeviceFormat;
        s.value = word;
        s.number = family::Times16(word) + bit;
        if (word >= 65535 || bit >= 16) return DeviceResult::NumberOutOfRange;
        return DeviceResult::Ok;
    }
    if (s.text.size() > 7) return DeviceResult::InvalidDeviceFormat;
    if (util::Scan(s.text, kMbWord, s.value, s.used) != 1) return DeviceResult::InvalidDeviceFormat;
    s.number = family::Times16(s.value);
    return DeviceResult::Ok;
}

// IB is hexadecimal throughout: the bit address with a bit type, else the word.
DeviceResult ConvertIb(ParseState& s) {
    if (s.text.size() > (s.dataType == 'b' ? 7u : 6u)) return DeviceResult::InvalidDeviceFormat;
    s.number = s.dataType == 'b' ? s.value : family::Times16(s.value);
    return DeviceResult::Ok;
}

constexpr ParseRule kRules[] = {
    {util::ScanPattern("MB%8lx%n"), kMB, false, &ConvertMb},
    {util::ScanPattern("IB%8lx%n"), kIB, false, &ConvertIb},
    {util::ScanPattern("IW%8lx%n"), kIW, true, &family::ValueIsWord},
    {util::ScanPattern("MW%8ld%n"), kMW, true, &family::ValueIsWord},
};

constexpr util::ScanPattern kPrefixPresent("%u-%x%c");
constexpr util::ScanPattern kPrefixStation("%8u-%8u%c%n");
constexpr util::ScanPattern kPrefixOwn("%8u-%8x%c%n");

constexpr const char* kNames[] = {"GB", "GD", "GS", "MB", "IB", "IW", "MW"};
constexpr int kCodes[] = {kGB, kGD, kGS, kMB, kIB, kIW, kMW};
constexpr int kCompactCodes[] = {kGB, kGD, kMB, kIB, kIW, kMW};

constexpr family::PrefixCode kPrefixOrder[] = {
    {L"IB", kIB, 0}, {L"MB", kMB, 0}, {L"IW", kIW, 0}, {L"MW", kMW, 0}};

constexpr family::Kind kBitKinds[] = {{L"MB", kMB}, {L"IB", kIB}};
constexpr family::Kind kWordKinds[] = {{L"IW", kIW}, {L"MW", kMW}};

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

// The block of a bit device's word, with the flat code base and the number of blocks.
int BlockOf(std::int32_t word) { return word / 4096; }

}  // namespace

bool ZorvikanMP::IsNetworkAvailable() const {
    const int t = TerminalType();
    return t == 0 || t == 2 || t == 4 || t == 5 || t == 7;
}

bool ZorvikanMP::IsNetworkAvailableEx() const { return IsNetworkAvailable(); }

bool ZorvikanMP::IsOptionAvailable() const { return false; }

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
    return code == kIB || code == kMB || code == kIW || code == kMW;
}

bool ZorvikanMP::IsOwnBitKind(int code) { return code == kIB || code == kMB; }

std::wstring ZorvikanMP::FormatOwn(const PqDevice& device) {
    const long number = device.mNumber;
    const long word = number / 16;
    const int bit = static_cast<int>(number % 16);
    const bool isBit = device.mType == 'b';
    switch (device.mCode) {
        case kIB: return isBit ? util::Format(L"IB%05lX", number) : util::Format(L"IB%04lX", word);
        case kMB:
            return isBit ? util::Format(L"MB%05ld%lX", word, static_cast<long>(bit))
                         : util::Format(L"MB%05ld", word);
        case kIW:
            return util::Format(L"IW%04lX", word) + (isBit ? util::Format(L".b%d", bit) : L"");
        default:
            return util::Format(L"MW%ld", word) + (isBit ? util::Format(L".b%d", bit) : L"");
    }
}

DeviceResult ZorvikanMP::NetworkToString(const PqDevice& device, std::wstring& text) const {
    text.clear();
    if (WithoutNetwork(TerminalType())) return DeviceResult::Ok;
    if (const auto r = CheckSegment(device); r != DeviceResult::Ok) return r;
    const auto& s = device.mSegment;
    text = s.mNetworkNo == 0 && s.mStationNo == 0
               ? std::wstring(L"0-FF")
               : util::Format(L"%d-%d", static_cast<int>(s.mNetworkNo), s.mStationNo - 1);
    return DeviceResult::Ok;
}

DeviceResult ZorvikanMP::DeviceToString(const PqDevice& device, std::wstring& text) const {
    if (WithoutNetwork(TerminalType())) return DeviceToLocalString(device, text);
    std::wstring network;
    if (const auto r = NetworkToString(device, network); r != DeviceResult::Ok) {
        text = L"??";
        return r;
    }
    const DeviceResult r = DeviceToLocalString(device, text);
    if (r == DeviceResult::Ok) text = network + L" " + text;
    return r;
}

std::span<const ParseRule> ZorvikanMP::ParseRules() { return kRules; }

std::optional<std::int32_t> ZorvikanMP::MaxTypedValue() { return kMaxTypedValue; }

DeviceResult ZorvikanMP::ReadNetworkPrefix(std::string& text, Network& network) const {
    if (!CarriesNetwork()) return DeviceResult::Ok;
    std::uint32_t first = 0, second = 0;
    char after = 0;
    if (util::Scan(text, kPrefixPresent, first, second, after) != 3 || after != ' ')
        return DeviceResult::Ok;

    std::int32_t used = 0;
    if (util::Scan(text, kPrefixStation, first, second, after, used) == 3 && after == ' ') {
        if (first == 0 || second == 0) return DeviceResult::SegmentOutOfRange;
        network.network = first;
        network.station = second + 1;
    } else if (util::Scan(text, kPrefixOwn, first, second, after, used) == 3 && after == ' ' &&
               first == 0 && second == 0xFF) {
        network = Network{};  // "0-FF": the own station
    } else {
        return DeviceResult::SegmentOutOfRange;
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
    const int code = device.mCode;
    const bool isBit = device.mType == 'b';
    if ((t == 1 || t == 6) &&
        (((code == kIB || code == kMB) && !isBit) || ((code == kIW || code == kMW) && isBit)))
        return DeviceResult::InvalidDeviceType;
    // The compact terminal has no number limits at all, for any code.
    if (t != 1) {
        DeviceResult r;
        if (code == kIB || code == kIW)
            r = family::CheckRun(device, count, kIbIwLimit);
        else if (code == kMB || code == kMW)
            r = family::CheckRun(device, count, kMbMwLimit);
        else
            return CheckInternalDeviceRange(t, device, count);
        if (r != DeviceResult::Ok) return r;
    }
    if (const auto r = family::CheckWordAligned(device); r != DeviceResult::Ok) return r;
    return CheckSegment(device);
}

// ---- Flat addresses ---------------------------------------------------------------------------

bool ZorvikanMP::IsBitAddressCode(int code) {
    return code == kIB || code == kMB || (code > kIbBlockBase && code <= kIbBlockBase + kIbBlocks) ||
           (code > kMbBlockBase && code <= kMbBlockBase + kMbBlocks);
}

DeviceResult ZorvikanMP::DeviceToPlcAddress(const PqDevice& device, PlcAddress& address) const {
    address = PlcAddress{};
    const std::int32_t word = device.mNumber / 16;
    const int code = device.mCode;
    if (code == kIB || code == kMB) {
        const int blocks = code == kIB ? kIbBlocks : kMbBlocks;
        const int blockBase = code == kIB ? kIbBlockBase : kMbBlockBase;
        const int block = BlockOf(word);
        if (word >= 0 && block <= blocks) {
            // Bits beyond the first 4096 words travel under one code per block.
            if (DeviceToBitForm(device, address) && block > 0) {
                address.code = blockBase + block;
                address.address = device.mNumber - 65536 * block;
            }
        } else if (DeviceToWordForm(device, address)) {
            address.address = word;
        }
    } else if (code == kIW || code == kMW) {
        DeviceToWordForm(device, address);
    } else {
        return InternalDeviceToPlcAddress(TerminalType(), device, address);
    }
    if (CarriesNetwork()) {
        address.network = static_cast<std::uint8_t>(device.mSegment.mNetworkNo);
        address.station = static_cast<std::uint8_t>(device.mSegment.mStationNo - 1);
    }
    address.channel = static_cast<std::uint8_t>(device.mChannel);
    return CheckDeviceRange(device, 1);
}

DeviceResult ZorvikanMP::PlcAddressToDevice(const PlcAddress& address, PqDevice& device) const {
    device.Clear();
    if (RefusedOnCompactTerminal(address)) return DeviceResult::InvalidDeviceType;
    const int code = address.code;
    auto bitDevice = [&](int deviceCode, int block) {
        if (!BitFormToDevice(address, device)) return;
        device.mCode = deviceCode;
        device.mNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(device.mNumber) +
                                                   65536u * static_cast<std::uint32_t>(block));
    };
    if (code == kIB || (code > kIbBlockBase && code <= kIbBlockBase + kIbBlocks)) {
        bitDevice(kIB, code == kIB ? 0 : code - kIbBlockBase);
    } else if (code == kMB || (code > kMbBlockBase && code <= kMbBlockBase + kMbBlocks)) {
        bitDevice(kMB, code == kMB ? 0 : code - kMbBlockBase);
    } else if (code == kIW || code == kMW) {
        WordFormToDevice(address, device);
    } else if (const auto r = PlcAddressToInternalDevice(TerminalType(), address, device);
               r != DeviceResult::Ok) {
        return r;
    }
    if (device.mCode == 0) return DeviceResult::Ok;
    if (address.address < 0 || address.address > 65535) return DeviceResult::NumberOutOfRange;
    if (CarriesNetwork()) {
        device.mSegment.mNetworkNo = address.network;
        device.mSegment.mStationNo = static_cast<std::uint8_t>(address.station + 1);
    }
    device.mChannel = address.channel;
    return CheckDeviceRange(device, 1);
}

// ---- Tables -----------------------------------------------------------------------------------

family::DeviceTables ZorvikanMP::Tables(int terminalType) {
    switch (terminalType) {
        case 3:
        case 4:
        case 5:
        case 6:
        case 7: return {kNames, kCodes, true};
        case 1: return {{}, kCompactCodes, false};
        default: return {};
    }
}

// ---- Editor services --------------------------------------------------------------------------

const wchar_t* ZorvikanMP::PrefixOf(const PqDevice& device) {
    switch (device.mCode) {
        case kIB: return L"IB";
        case kMB: return L"MB";
        case kIW: return L"IW";
        case kMW: return L"MW";
        default: return nullptr;
    }
}

int ZorvikanMP::NumberBaseOf(const PqDevice& device) {
    switch (device.mCode) {
        case kMB: return device.mType == 'b' ? 16 : 10;
        case kMW: return 10;
        default: return 16;
    }
}

std::span<const family::PrefixCode> ZorvikanMP::PrefixOrder() { return kPrefixOrder; }

bool ZorvikanMP::BitOfWordOffered() const {
    const int t = EditorTerminalType();
    return t >= 3 && t <= 7;
}

bool ZorvikanMP::GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const {
    lows.clear();
    highs.clear();
    if (!IsOwnCode(device.mCode)) return GetInternalNumberRangeTexts(device, lows, highs);
    if (EditorTerminalType() == 1) return true;  // no limits on the compact terminal
    const bool wide = family::IsWideType(device.mType);
    const bool isBit = device.mType == 'b';
    const bool flag4 = (GetEditFlags() & 4) != 0;
    const wchar_t* low = L"";
    const wchar_t* high = L"";
    switch (device.mCode) {
        case kIB:
            low = isBit ? L"00000" : L"0000";
            high = isBit ? (flag4 ? L"7FFF0" : L"7FFFF") : wide ? L"7FFE" : L"7FFF";
            break;
        case kMB:
            low = isBit ? L"000000" : L"00000";
            high = isBit ? (flag4 ? L"655340" : L"65534F") : wide ? L"65533" : L"65534";
            break;
        case kIW:
            low = L"0000";
            high = wide ? L"7FFE" : L"7FFF";
            break;
        default:
            low = L"0";
            high = wide ? L"65533" : L"65534";
            break;
    }
    lows.emplace_back(low);
    highs.emplace_back(high);
    return true;
}

DeviceResult ZorvikanMP::CheckDeviceFields(DeviceFields&, PqDevice& device, int count,
                                           PqDevice&) const {
    return CheckDeviceRange(device, count);
}

void ZorvikanMP::GetDeviceKinds(int category, const PqDevice& device, int dataType, int editFlags,
                                Names& names, Codes& codes) const {
    const bool compact = EditorTerminalType() == 1;
    if (category == 1 || (category == 3 && !compact)) {
        family::AppendKinds(kBitKinds, names, codes);
        AddInternalBitKinds(device, dataType, editFlags, names, codes);
    } else if (category == 2 || (category == 4 && !compact)) {
        family::AppendKinds(kWordKinds, names, codes);
        AddInternalWordKinds(device, dataType, editFlags, names, codes);
    } else {
        names.clear();
        codes.clear();
    }
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
