#include "families/ZorvikanGL.h"

#include <iterator>

#include "util/Format.h"
#include "util/StaticFormat.h"

using family::ParseRule;
using family::ParseState;
using namespace internal_device;

namespace {

constexpr int kI = 156;
constexpr int kO = 157;
constexpr int kD = 160;
constexpr int kZ = 168;
constexpr int kW = 175;
constexpr int kSW = 177;
constexpr int kR = 180;
constexpr int kK = 204;
constexpr int kSR = 46100;

// SW and SR travel under codes of their own in flat addresses.
constexpr int kFlatSW = 45056;
constexpr int kFlatSR = 46080;

// Limits in record units (bits).
constexpr std::int64_t kIoLimit = 63424;
constexpr std::int64_t kZLimit = 509440;
constexpr std::int64_t kWLimit = 452656;
constexpr std::int64_t kKLimit = 65536;
constexpr std::int64_t kDBlockBits = 2048;
constexpr std::int64_t kRBlockBits = 2048 * 16;

// D, R and SR count 2048 numbers per block; block k starts at the user number k × 10000 + 1.
constexpr std::int32_t kBlockSize = 2048;
constexpr std::int32_t kBlockStep = 10000;
constexpr int kBlocks = 3;
constexpr long kBlockFirsts[kBlocks] = {1, 10001, 20001};

bool IsBlockNumber(std::int32_t n) {
    return n >= 1 && n / kBlockStep < kBlocks && n % kBlockStep >= 1 &&
           n % kBlockStep <= kBlockSize;
}

// User number to the index across the blocks. Any int32 stays in range: |n / 10000| × 2048 is
// far below 2^31.
std::int32_t IndexOfBlockNumber(std::int32_t n) {
    return (n / kBlockStep) * kBlockSize + n % kBlockStep - 1;
}

long BlockNumberOfIndex(std::int32_t index) {
    return static_cast<long>(index / kBlockSize) * kBlockStep + index % kBlockSize + 1;
}

// Flat addresses of unchecked records follow the controller's 32-bit arithmetic.
std::int32_t Wrap(long long value) {
    return static_cast<std::int32_t>(value);
}

DeviceResult BitNumber(ParseState& s) {
    s.number = s.value - 1;
    return DeviceResult::Ok;
}

DeviceResult BlockBitNumber(ParseState& s) {
    if (!IsBlockNumber(s.value)) return DeviceResult::NumberOutOfRange;
    s.number = IndexOfBlockNumber(s.value);
    return DeviceResult::Ok;
}

DeviceResult WordNumber(ParseState& s) {
    s.number = family::Times16(s.value - 1);
    return DeviceResult::Ok;
}

DeviceResult BlockWordNumber(ParseState& s) {
    if (!IsBlockNumber(s.value)) return DeviceResult::NumberOutOfRange;
    s.number = family::Times16(IndexOfBlockNumber(s.value));
    return DeviceResult::Ok;
}

// "SW" and "SR" come after "W" and "R", which cannot take their text anyway.
constexpr ParseRule kRules[] = {
    family::Rule<"I%8ld%n">(kI, false, &BitNumber),
    family::Rule<"O%8ld%n">(kO, false, &BitNumber),
    family::Rule<"D%8ld%n">(kD, false, &BlockBitNumber),
    family::Rule<"Z%8ld%n">(kZ, true, &WordNumber),
    family::Rule<"W%8ld%n">(kW, true, &WordNumber),
    family::Rule<"SW%8ld%n">(kSW, true, &WordNumber),
    family::Rule<"R%8ld%n">(kR, true, &BlockWordNumber),
    family::Rule<"SR%8ld%n">(kSR, true, &BlockWordNumber),
    family::Rule<"K%8ld%n">(kK, true, &WordNumber),
};

// The host reads both lists up to their zero entry, which the count leaves out.
constexpr const char* kNames[] = {"GB", "GD", "GS", "O",  "I", "D",    "Z",
                                  "W",  "SW", "R",  "SR", "K", nullptr};
constexpr int kCodes[] = {kGB, kGD, kGS, kO, kI, kD, kZ, kW, kSW, kR, kSR, kK, 0};

constexpr family::PrefixCode kPrefixOrder[] = {{L"I", kI, 0}, {L"O", kO, 0},   {L"D", kD, 0},
                                               {L"Z", kZ, 0}, {L"W", kW, 0},   {L"SW", kSW, 0},
                                               {L"R", kR, 0}, {L"SR", kSR, 0}, {L"K", kK, 0}};

constexpr family::Kind kBitKinds[] = {{L"O", kO}, {L"I", kI}, {L"D", kD}};
constexpr family::Kind kWordKinds[] = {{L"Z", kZ}, {L"W", kW},   {L"SW", kSW},
                                       {L"R", kR}, {L"SR", kSR}, {L"K", kK}};

// The last number of a range (or of the first block) at which one value of the type still starts.
struct RangeHighs {
    int code;
    long last[3];
};
constexpr RangeHighs kRangeHighs[] = {
    {kI, {63424, 63409, 63393}}, {kO, {63424, 63409, 63393}}, {kD, {2048, 2033, 2017}},
    {kZ, {31840, 31840, 31839}}, {kW, {28291, 28291, 28290}}, {kSW, {28291, 28291, 28290}},
    {kR, {2048, 2048, 2047}},    {kSR, {2048, 2048, 2047}},   {kK, {4096, 4096, 4095}}};

bool IsBlockKind(int code) {
    return code == kD || code == kR || code == kSR;
}

// The block a number lies in, by its limits alone (the dialog compares two records this way).
int BlockOf(std::int32_t number, std::int64_t blockBits) {
    return number < blockBits ? 0 : number < 2 * blockBits ? 1 : 2;
}

// A run that must end inside the block its first unit lies in.
DeviceResult CheckBlockRun(const pqcore::PqDevice& device, int count, std::int64_t blockBits) {
    const std::int64_t n = device.mNumber;
    if (n < 0 || n >= kBlocks * blockBits) return DeviceResult::NumberOutOfRange;
    return family::CheckRun(device, count, (n / blockBits + 1) * blockBits);
}

}  // namespace

// ---- Text -------------------------------------------------------------------------------------

bool ZorvikanGL::IsOwnCode(int code) {
    switch (code) {
        case kI:
        case kO:
        case kD:
        case kZ:
        case kW:
        case kSW:
        case kR:
        case kSR:
        case kK:
            return true;
        default:
            return false;
    }
}

bool ZorvikanGL::IsOwnBitKind(int code) {
    return code == kI || code == kO || code == kD;
}

void ZorvikanGL::FormatOwn(const PqDevice& device, std::wstring& text) {
    const long number = device.mNumber;
    const long word = number / 16;
    // Bit kinds number their bits, word kinds their words; both count from 1, D/R/SR by block.
    switch (device.mCode) {
        case kI:
            return util::StaticFormat<L"I%ld">::Append(text, number + 1);
        case kO:
            return util::StaticFormat<L"O%ld">::Append(text, number + 1);
        case kD:
            return util::StaticFormat<L"D%ld">::Append(text, BlockNumberOfIndex(device.mNumber));
        case kZ:
            util::StaticFormat<L"Z%ld">::Append(text, word + 1);
            break;
        case kW:
            util::StaticFormat<L"W%ld">::Append(text, word + 1);
            break;
        case kSW:
            util::StaticFormat<L"SW%ld">::Append(text, word + 1);
            break;
        case kR:
            util::StaticFormat<L"R%ld">::Append(text, BlockNumberOfIndex(device.mNumber / 16));
            break;
        case kSR:
            util::StaticFormat<L"SR%ld">::Append(text, BlockNumberOfIndex(device.mNumber / 16));
            break;
        default:
            util::StaticFormat<L"K%ld">::Append(text, word + 1);
            break;
    }
    AppendBitSuffix(text, device);
}

std::span<const ParseRule> ZorvikanGL::ParseRules() {
    return kRules;
}

// ---- Ranges -----------------------------------------------------------------------------------

DeviceResult ZorvikanGL::CheckDeviceRange(const PqDevice& device, int count) const {
    DeviceResult r;
    switch (device.mCode) {
        case kI:
        case kO:
            r = family::CheckRun(device, count, kIoLimit);
            break;
        case kD:
            r = CheckBlockRun(device, count, kDBlockBits);
            break;
        case kZ:
            r = family::CheckRun(device, count, kZLimit);
            break;
        case kW:
        case kSW:
            r = family::CheckRun(device, count, kWLimit);
            break;
        case kK:
            r = family::CheckRun(device, count, kKLimit);
            break;
        case kR:
        case kSR:
            r = CheckBlockRun(device, count, kRBlockBits);
            // Running into the numbering gap behind the first or second block is out of range;
            // only the end of the last block counts as crossing.
            if (r == DeviceResult::NumberCrossRange && device.mNumber < 2 * kRBlockBits)
                r = DeviceResult::NumberOutOfRange;
            break;
        default:
            return CheckInternalDeviceRange(TerminalType(), device, count);
    }
    if (r != DeviceResult::Ok) return r;
    return family::CheckWordAligned(device);
}

// ---- Flat addresses ---------------------------------------------------------------------------

bool ZorvikanGL::IsBitAddressCode(int code) {
    return IsOwnBitKind(code);
}

// ---- Tables -----------------------------------------------------------------------------------

void ZorvikanGL::OwnToPlcAddress(const PqDevice& device, PlcAddress& address) {
    const std::int32_t n = device.mNumber;
    const std::int32_t word = n / 16;
    switch (const int code = device.mCode) {
        case kI:
        case kO:
            if (DeviceToBitForm(device, address)) address.address = Wrap(n + 1LL);
            break;
        case kD:
            if (DeviceToBitForm(device, address)) address.address = Wrap(BlockNumberOfIndex(n));
            break;
        case kZ:
        case kW:
        case kSW:
        case kK:
            if (DeviceToWordForm(device, address)) {
                address.code = code == kSW ? kFlatSW : code;
                address.address = word + 1;
            }
            break;
        case kR:
        case kSR:
            if (DeviceToWordForm(device, address)) {
                address.code = code == kSR ? kFlatSR : code;
                address.address = Wrap(BlockNumberOfIndex(word));
            }
            break;
    }
}

bool ZorvikanGL::OwnFromPlcAddress(const PlcAddress& address, PqDevice& device) {
    const std::int32_t a = address.address;
    switch (address.code) {
        case kI:
        case kO:
            if (BitFormToDevice(address, device)) device.mNumber = Wrap(device.mNumber - 1LL);
            break;
        case kD:
            if (BitFormToDevice(address, device))
                device.mNumber = IndexOfBlockNumber(device.mNumber);
            break;
        case kZ:
        case kW:
        case kFlatSW:
        case kK:
            if (WordFormToDevice(address, device)) {
                if (address.code == kFlatSW) device.mCode = kSW;
                device.mNumber = Wrap(device.mNumber - 16LL);
            }
            break;
        case kR:
        case kFlatSR:
            if (WordFormToDevice(address, device)) {
                device.mCode = address.code == kFlatSR ? kSR : kR;
                device.mNumber = Wrap(IndexOfBlockNumber(a) * 16LL + address.bit);
            }
            break;
        default:
            return false;
    }
    return true;
}

family::DeviceTables ZorvikanGL::Tables(int terminalType) {
    if (terminalType == 0 || (terminalType >= 2 && terminalType <= 7))
        return {family::Listed(kNames), family::Listed(kCodes), true};
    return {};
}

// ---- Editor services --------------------------------------------------------------------------

const wchar_t* ZorvikanGL::PrefixOf(const PqDevice& device) {
    for (const family::PrefixCode& p : kPrefixOrder)
        if (p.code == device.mCode) return p.prefix;
    return nullptr;
}

std::span<const family::PrefixCode> ZorvikanGL::PrefixOrder() {
    return kPrefixOrder;
}

std::span<const family::Kind> ZorvikanGL::BitKinds() {
    return kBitKinds;
}

std::span<const family::Kind> ZorvikanGL::WordKinds() {
    return kWordKinds;
}

// The prefix is filled before the text is made, so a record the range check refuses still shows
// its kind.
DeviceResult ZorvikanGL::DeviceToFields(PqDevice device, DeviceFields& fields) const {
    fields.Reset();
    std::wstring prefix;
    GetDevicePrefix(device, prefix);
    fields.prefix = NormalizeDeviceText(prefix, true);
    std::wstring text;
    DeviceResult r = DeviceToLocalString(device, text);
    if (r != DeviceResult::Ok) return r;
    if (family::BreaksFlag4(device, GetEditFlags())) r = DeviceResult::InvalidDeviceNumber;
    family::SplitNumberAndBit(NormalizeDeviceText(text, false),
                              static_cast<std::size_t>(fields.prefix.GetLength()), fields);
    return r;
}

bool ZorvikanGL::GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const {
    lows.clear();
    highs.clear();
    const int code = device.mCode;
    if (!IsOwnCode(code)) return GetInternalNumberRangeTexts(device, lows, highs);

    // Columns: a single bit; 16 bits (also a bit device that must start on a word); any other
    // type.
    const int type = device.mType;
    const bool narrow = type == 'b' || type == 'i' || type == 'u' || type == 'd';
    const int column = type == 'b' && (GetEditFlags() & 4) == 0 ? 0 : narrow ? 1 : 2;
    long high = 0;
    for (const RangeHighs& row : kRangeHighs)
        if (row.code == code) high = row.last[column];
    const std::span<const long> firsts(kBlockFirsts, IsBlockKind(code) ? kBlocks : 1);
    for (const long first : firsts) {
        lows.push_back(util::Format(L"%ld", first));
        highs.push_back(util::Format(L"%ld", first - 1 + high));
    }
    return true;
}

// A run picked in the dialog stays in the block of the device it started from.
DeviceResult ZorvikanGL::CheckDeviceFields(DeviceFields&, PqDevice& device, int count,
                                           PqDevice& reference) const {
    const int code = device.mCode;
    if (IsBlockKind(code)) {
        const std::int64_t blockBits = code == kD ? kDBlockBits : kRBlockBits;
        if (BlockOf(device.mNumber, blockBits) != BlockOf(reference.mNumber, blockBits))
            return DeviceResult::InvalidDeviceNumber;
    }
    return CheckDeviceRange(device, count);
}
