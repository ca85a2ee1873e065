#include "families/ZorvikanH.h"

#include "util/StaticFormat.h"

using family::ParseRule;
using family::ParseState;

namespace {

constexpr int kIB = 156;
constexpr int kOB = 157;
constexpr int kIW = 168;
constexpr int kOW = 180;
constexpr int kRegister = 175;  // "DW" words 0..2047, "MW" words 2048..9742
constexpr int kZD = 204;

constexpr std::int32_t kMwFirstWord = 2048;
constexpr std::int64_t kDwLimit = 32768;   // DW bits end where MW begins
constexpr std::int64_t kMwLimit = 155888;  // word 9743
constexpr std::int64_t kIoLimit = 2048;    // IB, OB bit addresses; IW, OW words 0..127

// Flat addresses: IB and OB share code 157; DW/MW, IW and OW share code 175.
constexpr std::int32_t kObFlatOffset = 2048;
constexpr std::int32_t kIwFlatOffset = 9743;
constexpr std::int32_t kOwFlatOffset = 9871;

bool IsDwWord(std::int32_t word) {
    return word >= 0 && word < kMwFirstWord;
}
bool IsMwWord(std::int32_t word) {
    return word >= kMwFirstWord && word <= 9742;
}

// Each pattern bounds its value before it becomes a number.
template <std::int32_t High, std::int32_t Multiplier, std::int32_t FirstWord>
DeviceResult Bounded(ParseState& s) {
    if (s.value < 0 || s.value > High) return DeviceResult::NumberOutOfRange;
    s.number = (s.value + FirstWord) * Multiplier;
    return DeviceResult::Ok;
}

DeviceResult ZdWord(ParseState& s) {
    s.number = family::Times16(s.value);  // bounded by the typed-value limit and the range check
    return DeviceResult::Ok;
}

constexpr ParseRule kRules[] = {
    family::Rule<"OB%8lx%n">(kOB, false, &Bounded<2047, 1, 0>),
    family::Rule<"IB%8lx%n">(kIB, false, &Bounded<2047, 1, 0>),
    family::Rule<"IW%8lx%n">(kIW, true, &Bounded<127, 16, 0>),
    family::Rule<"OW%8lx%n">(kOW, true, &Bounded<127, 16, 0>),
    family::Rule<"DW%8ld%n">(kRegister, true, &Bounded<2047, 16, 0>),
    family::Rule<"MW%8ld%n">(kRegister, true, &Bounded<7694, 16, kMwFirstWord>),
    family::Rule<"ZD%ld%n">(kZD, true, &ZdWord),
};

using internal_device::kGB;
using internal_device::kGD;
using internal_device::kGS;
constexpr const char* kNames[] = {"GB", "GD", "GS", "OB", "IB",   "IW",
                                  "OW", "DW", "ZD", "MW", nullptr};
constexpr int kCodes[] = {kGB, kGD, kGS, kOB, kIB, kIW, kOW, kRegister, kZD, kRegister, 0};
constexpr int kDwOrder = 8;
constexpr int kMwOrder = 10;

constexpr family::PrefixCode kPrefixOrder[] = {
    {L"IB", kIB, 0}, {L"OB", kOB, 0}, {L"DW", kRegister, 0}, {L"MW", kRegister, 32768},
    {L"IW", kIW, 0}, {L"OW", kOW, 0}, {L"ZD", kZD, 0}};
constexpr family::Kind kBitKinds[] = {{L"OB", kOB}, {L"IB", kIB}};
constexpr family::Kind kWordKinds[] = {
    {L"IW", kIW}, {L"OW", kOW}, {L"DW", kRegister}, {L"ZD", kZD}, {L"MW", kRegister}};

bool HasTables(int terminalType) {
    return terminalType >= 0 && terminalType <= 7 && terminalType != 1;
}

}  // namespace

bool ZorvikanH::IsOwnCode(int code) {
    return code == kIB || code == kOB || code == kIW || code == kOW || code == kRegister ||
           code == kZD;
}

bool ZorvikanH::IsOwnBitKind(int code) {
    return code == kIB || code == kOB;
}

void ZorvikanH::FormatOwn(const PqDevice& device, std::wstring& text) {
    const long number = device.mNumber;
    const long word = number / 16;
    switch (device.mCode) {
        // IB/OB print a bit address, whatever the type.
        case kIB:
            return util::StaticFormat<L"IB%04lX">::Append(text, family::Hex32(number));
        case kOB:
            return util::StaticFormat<L"OB%04lX">::Append(text, family::Hex32(number));
        case kIW:
            util::StaticFormat<L"IW%04lX">::Append(text, family::Hex32(word));
            break;
        case kOW:
            util::StaticFormat<L"OW%04lX">::Append(text, family::Hex32(word));
            break;
        case kZD:
            util::StaticFormat<L"ZD%ld">::Append(text, word);
            break;
        default:
            if (IsDwWord(static_cast<std::int32_t>(word)))
                util::StaticFormat<L"DW%ld">::Append(text, word);
            else
                util::StaticFormat<L"MW%ld">::Append(text, word - kMwFirstWord);
            break;
    }
    AppendBitSuffix(text, device);
}

std::span<const ParseRule> ZorvikanH::ParseRules() {
    return kRules;
}

std::optional<std::int32_t> ZorvikanH::MaxTypedValue() {
    return 0x800000;
}

DeviceResult ZorvikanH::CheckDeviceRange(const PqDevice& device, int count) const {
    DeviceResult r;
    switch (device.mCode) {
        case kIB:
        case kOB:
        case kIW:
        case kOW:
            r = family::CheckRun(device, count, kIoLimit);
            break;
        case kZD:
            r = family::CheckRun(device, count, kDwLimit);
            break;
        case kRegister:
            // A DW run cannot continue into MW: each has its own end.
            if (device.mNumber >= 0 && device.mNumber < kDwLimit)
                r = family::CheckRun(device, count, kDwLimit);
            else if (device.mNumber >= kDwLimit && device.mNumber < kMwLimit)
                r = family::CheckRun(device, count, kMwLimit);
            else
                r = DeviceResult::NumberOutOfRange;
            break;
        default:
            return CheckInternalDeviceRange(TerminalType(), device, count);
    }
    if (r != DeviceResult::Ok) return r;
    return family::CheckWordAligned(device);
}

bool ZorvikanH::IsBitAddressCode(int code) {
    return code == kOB;
}

void ZorvikanH::OwnToPlcAddress(const PqDevice& device, PlcAddress& address) {
    const std::int32_t word = device.mNumber / 16;
    auto bits = [&](std::int32_t offset) {
        if (DeviceToBitForm(device, address)) {
            address.code = kOB;
            // 32-bit arithmetic as the controller's: an unchecked record wraps, never overflows.
            address.address = static_cast<std::int32_t>(static_cast<std::uint32_t>(device.mNumber) +
                                                        static_cast<std::uint32_t>(offset));
        }
    };
    auto words = [&](int code, std::int32_t offset) {
        if (DeviceToWordForm(device, address)) {
            address.code = code;
            address.address = word + offset;
        }
    };
    switch (device.mCode) {
        case kIB:
            bits(0);
            break;
        case kOB:
            bits(kObFlatOffset);
            break;
        case kIW:
            words(kRegister, kIwFlatOffset);
            break;
        case kOW:
            words(kRegister, kOwFlatOffset);
            break;
        case kZD:
            words(kZD, 0);
            break;
        default:
            words(kRegister, 0);
            break;
    }
}

bool ZorvikanH::OwnFromPlcAddress(const PlcAddress& address, PqDevice& device) {
    // Moves a folded number back into its own device's numbering.
    auto own = [&device](int code, std::uint32_t subtract) {
        device.mCode = code;
        device.mNumber =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(device.mNumber) - subtract);
    };
    switch (address.code) {
        case kOB:
            if (BitFormToDevice(address, device)) {
                if (address.address < kObFlatOffset)
                    own(kIB, 0);
                else
                    own(kOB, kObFlatOffset);
            }
            return true;
        case kRegister:
            if (WordFormToDevice(address, device)) {
                if (address.address >= kOwFlatOffset)
                    own(kOW, kOwFlatOffset * 16u);
                else if (address.address >= kIwFlatOffset)
                    own(kIW, kIwFlatOffset * 16u);
            }
            return true;
        case kZD:
            WordFormToDevice(address, device);
            return true;
        default:
            return false;
    }
}

family::DeviceTables ZorvikanH::Tables(int terminalType) {
    if (!HasTables(terminalType)) return {};
    return {family::Listed(kNames), family::Listed(kCodes), true};
}

int ZorvikanH::GetDeviceOrder(const PqDevice& device) const {
    if (device.mCode != kRegister || !HasTables(TerminalType()))
        return FamilyPlc::GetDeviceOrder(device);
    // Code 175 is listed twice; its number says which of the two kinds it is.
    const std::int32_t word = device.mNumber / 16;
    return IsDwWord(word) ? kDwOrder : IsMwWord(word) ? kMwOrder : -1;
}

const wchar_t* ZorvikanH::PrefixOf(const PqDevice& device) {
    switch (device.mCode) {
        case kIB:
            return L"IB";
        case kOB:
            return L"OB";
        case kIW:
            return L"IW";
        case kOW:
            return L"OW";
        case kZD:
            return L"ZD";
        case kRegister: {
            const std::int32_t word = device.mNumber / 16;
            return IsDwWord(word) ? L"DW" : IsMwWord(word) ? L"MW" : nullptr;
        }
        default:
            return nullptr;
    }
}

int ZorvikanH::NumberBaseOf(const PqDevice& device) {
    return device.mCode == kRegister || device.mCode == kZD ? 10 : 16;
}

std::span<const family::PrefixCode> ZorvikanH::PrefixOrder() {
    return kPrefixOrder;
}

std::span<const family::Kind> ZorvikanH::BitKinds() {
    return kBitKinds;
}

std::span<const family::Kind> ZorvikanH::WordKinds() {
    return kWordKinds;
}

bool ZorvikanH::GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const {
    lows.clear();
    highs.clear();
    if (!IsOwnCode(device.mCode)) return GetInternalNumberRangeTexts(device, lows, highs);
    const bool wide = family::IsWideType(device.mType);
    const bool flag4 = (GetEditFlags() & 4) != 0;
    const wchar_t* low = L"0";
    const wchar_t* high = nullptr;
    std::wstring prefix;
    GetDevicePrefix(device, prefix);
    switch (device.mCode) {
        case kIB:
        case kOB:
            low = L"0000";
            high = device.mType == 'b' ? (flag4 ? L"07F0" : L"07FF") : wide ? L"07E0" : L"07F0";
            break;
        case kIW:
        case kOW:
            low = L"0000";
            high = wide ? L"007E" : L"007F";
            break;
        case kZD:
            high = wide ? L"2046" : L"2047";
            break;
        default:
            if (prefix == L"DW") high = wide ? L"2046" : L"2047";
            if (prefix == L"MW") high = wide ? L"7693" : L"7694";
            break;
    }
    if (high == nullptr) return true;  // a register number of neither kind: no texts
    lows.emplace_back(low);
    highs.emplace_back(high);
    return true;
}

DeviceResult ZorvikanH::CheckDeviceFields(DeviceFields& fields, PqDevice& device, int count,
                                          PqDevice&) const {
    return CheckPrefixThenRange(fields, device, count);
}
