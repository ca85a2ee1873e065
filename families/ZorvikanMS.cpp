#include "families/ZorvikanMS.h"

#include <iterator>

#include "util/StaticFormat.h"

using family::ParseRule;
using family::ParseState;
using namespace internal_device;

namespace {

constexpr int kIB = 156;
constexpr int kOB = 157;
constexpr int kI = 168;
constexpr int kM = 175;
constexpr int kO = 180;  // written "o"

constexpr std::int64_t kBitLimit = 1024;  // IB, OB, and the 64 words of I and o
constexpr std::int64_t kMLimit = 32768;   // 2048 words
constexpr std::int32_t kMaxTypedValue = 0x800000;

// I and o words reach the host as M words from these addresses on.
constexpr std::int32_t kFlatI = 8000;
constexpr std::int32_t kFlatO = 9000;

template <std::int32_t kLastWord>
DeviceResult WordUpTo(ParseState& s) {
    if (s.value < 0 || s.value > kLastWord) return DeviceResult::NumberOutOfRange;
    s.number = s.value * 16;
    return DeviceResult::Ok;
}

// "OB" and "IB" before "O" and "I", which would take their first letter.
constexpr ParseRule kRules[] = {
    family::Rule<"OB%8ld%n">(kOB, false, &family::ValueIsNumber),
    family::Rule<"IB%8ld%n">(kIB, false, &family::ValueIsNumber),
    family::Rule<"I%8ld%n">(kI, true, &WordUpTo<63>),
    family::Rule<"M%8ld%n">(kM, true, &WordUpTo<2047>),
    family::Rule<"O%8ld%n">(kO, true, &WordUpTo<63>),
};

// The host reads both lists up to their zero entry, which the count leaves out.
constexpr const char* kNames[] = {"GB", "GD", "GS", "OB", "IB", "I", "M", "o", nullptr};
constexpr int kCodes[] = {kGB, kGD, kGS, kOB, kIB, kI, kM, kO, 0};

constexpr family::PrefixCode kPrefixOrder[] = {
    {L"IB", kIB, 0}, {L"OB", kOB, 0}, {L"M", kM, 0}, {L"I", kI, 0}, {L"o", kO, 0}};

constexpr family::Kind kBitKinds[] = {{L"OB", kOB}, {L"IB", kIB}};
constexpr family::Kind kWordKinds[] = {{L"I", kI}, {L"M", kM}, {L"o", kO}};

// Subtracts a flat base (in words) from a word-form number, in the controller's 32-bit
// arithmetic.
std::int32_t LessWords(std::int32_t number, std::int32_t words) {
    return static_cast<std::int32_t>(number - static_cast<long long>(words) * 16);
}

}  // namespace

// ---- Text -------------------------------------------------------------------------------------

bool ZorvikanMS::IsOwnCode(int code) {
    return code == kIB || code == kOB || code == kI || code == kM || code == kO;
}

bool ZorvikanMS::IsOwnBitKind(int code) {
    return code == kIB || code == kOB;
}

void ZorvikanMS::FormatOwn(const PqDevice& device, std::wstring& text) {
    const long number = device.mNumber;
    const long word = number / 16;
    switch (device.mCode) {
        case kIB:
            return util::StaticFormat<L"IB%ld">::Append(text, number);
        case kOB:
            return util::StaticFormat<L"OB%ld">::Append(text, number);
        case kI:
            util::StaticFormat<L"I%ld">::Append(text, word);
            break;
        case kM:
            util::StaticFormat<L"M%ld">::Append(text, word);
            break;
        default:
            util::StaticFormat<L"o%ld">::Append(text, word);
            break;
    }
    AppendBitSuffix(text, device);
}

std::span<const ParseRule> ZorvikanMS::ParseRules() {
    return kRules;
}

// Keeps a negative IB or OB number from reaching the record.
std::optional<std::int32_t> ZorvikanMS::MaxTypedValue() {
    return kMaxTypedValue;
}

// ---- Ranges -----------------------------------------------------------------------------------

DeviceResult ZorvikanMS::CheckDeviceRange(const PqDevice& device, int count) const {
    if (!IsOwnCode(device.mCode)) return CheckInternalDeviceRange(TerminalType(), device, count);
    const DeviceResult r =
        family::CheckRun(device, count, device.mCode == kM ? kMLimit : kBitLimit);
    if (r != DeviceResult::Ok) return r;
    return family::CheckWordAligned(device);
}

// ---- Flat addresses ---------------------------------------------------------------------------

bool ZorvikanMS::IsBitAddressCode(int code) {
    return IsOwnBitKind(code);
}

// ---- Tables -----------------------------------------------------------------------------------

void ZorvikanMS::OwnToPlcAddress(const PqDevice& device, PlcAddress& address) {
    switch (const int code = device.mCode) {
        case kIB:
        case kOB:
            DeviceToBitForm(device, address);
            break;
        case kI:
        case kM:
        case kO:
            if (DeviceToWordForm(device, address)) {
                address.code = kM;
                address.address += code == kI ? kFlatI : code == kO ? kFlatO : 0;
            }
            break;
    }
}

bool ZorvikanMS::OwnFromPlcAddress(const PlcAddress& address, PqDevice& device) {
    const std::int32_t a = address.address;
    switch (address.code) {
        case kIB:
        case kOB:
            BitFormToDevice(address, device);
            break;
        case kM:
            if (WordFormToDevice(address, device)) {
                if (a >= kFlatO) {
                    device.mCode = kO;
                    device.mNumber = LessWords(device.mNumber, kFlatO);
                } else if (a >= kFlatI) {
                    device.mCode = kI;
                    device.mNumber = LessWords(device.mNumber, kFlatI);
                }
            }
            break;
        default:
            return false;
    }
    return true;
}

family::DeviceTables ZorvikanMS::Tables(int terminalType) {
    if (terminalType == 0 || (terminalType >= 2 && terminalType <= 7))
        return {family::Listed(kNames), family::Listed(kCodes), true};
    return {};
}

// ---- Editor services --------------------------------------------------------------------------

const wchar_t* ZorvikanMS::PrefixOf(const PqDevice& device) {
    for (const family::PrefixCode& p : kPrefixOrder)
        if (p.code == device.mCode) return p.prefix;
    return nullptr;
}

std::span<const family::PrefixCode> ZorvikanMS::PrefixOrder() {
    return kPrefixOrder;
}

std::span<const family::Kind> ZorvikanMS::BitKinds() {
    return kBitKinds;
}

std::span<const family::Kind> ZorvikanMS::WordKinds() {
    return kWordKinds;
}

// Every number of the family is decimal, and so is the answer for a code it does not know.
bool ZorvikanMS::GetNumberBase(const PqDevice& device, int& base) const {
    base = 10;
    return IsOwnCode(device.mCode) || GetInternalNumberBase(device, base);
}

bool ZorvikanMS::GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const {
    lows.clear();
    highs.clear();
    if (!IsOwnCode(device.mCode)) return GetInternalNumberRangeTexts(device, lows, highs);
    // The last start at which one value of the type still fits.
    const bool wide = family::IsWideType(device.mType);
    const wchar_t* high;
    switch (device.mCode) {
        case kIB:
        case kOB:
            high = wide                                               ? L"992"
                   : device.mType == 'b' && (GetEditFlags() & 4) == 0 ? L"1023"
                                                                      : L"1008";
            break;
        case kM:
            high = wide ? L"2046" : L"2047";
            break;
        default:
            high = wide ? L"62" : L"63";
            break;
    }
    lows.emplace_back(L"0");
    highs.emplace_back(high);
    return true;
}

// The kind chosen in the dialog must still be the kind of the record.
DeviceResult ZorvikanMS::CheckDeviceFields(DeviceFields& fields, PqDevice& device, int count,
                                           PqDevice&) const {
    return CheckPrefixThenRange(fields, device, count);
}
