#include "families/IoMemoryKinds.h"

#include "plc/InternalDevices.h"
#include "plc/PlcAddressForms.h"
#include "util/StaticFormat.h"

namespace family::io_memory {

namespace {

constexpr int kIbBlockBase = 39936;
constexpr int kMbBlockBase = 40192;

constexpr util::ScanPattern kMbBitField("MB%05ld%01lx%n");
constexpr util::ScanPattern kMbWord("MB%8ld%n");

bool InBlocks(int code, int base, int count) {
    return code > base && code <= base + count;
}

}  // namespace

const wchar_t* PrefixOf(const PqDevice& device) {
    switch (device.mCode) {
        case kIB:
            return L"IB";
        case kMB:
            return L"MB";
        case kIW:
            return L"IW";
        case kMW:
            return L"MW";
        default:
            return nullptr;
    }
}

int NumberBaseOf(const PqDevice& device) {
    switch (device.mCode) {
        case kMB:
            return device.mType == 'b' ? 16 : 10;
        case kMW:
            return 10;
        default:
            return 16;
    }
}

void AppendDeviceText(const PqDevice& device, const TextFormats& formats, std::wstring& text) {
    const long number = device.mNumber;
    const long word = number / 16;
    const bool isBit = device.mType == 'b';
    switch (device.mCode) {
        case kIB:
            if (isBit)
                formats.ibBits(text, Hex32(number));
            else
                formats.ibWord(text, Hex32(word));
            return;
        case kMB:
            if (isBit)
                formats.mbBits(text, word, Hex32(number % 16));
            else
                formats.mbWord(text, word);
            return;
        case kIW:
            util::StaticFormat<L"IW%04lX">::Append(text, Hex32(word));
            break;
        default:
            util::StaticFormat<L"MW%ld">::Append(text, word);
            break;
    }
    AppendBitSuffix(text, device);
}

DeviceResult ConvertMb(ParseState& s, std::int32_t wordLimit) {
    if (s.dataType == 'b') {
        if (s.text.size() > 8) return DeviceResult::InvalidDeviceFormat;
        const std::string digits = s.text.substr(2);
        s.text = "MB" + std::string(6 - digits.size(), '0') + digits;
        std::int32_t word = 0, bit = 0;
        if (util::Scan(s.text, kMbBitField, word, bit, s.used) != 2)
            return DeviceResult::InvalidDeviceFormat;
        s.value = word;
        s.number = Times16(word) + bit;
        if (word >= wordLimit || bit >= 16) return DeviceResult::NumberOutOfRange;
        return DeviceResult::Ok;
    }
    if (s.text.size() > 7) return DeviceResult::InvalidDeviceFormat;
    if (util::Scan(s.text, kMbWord, s.value, s.used) != 1) return DeviceResult::InvalidDeviceFormat;
    s.number = Times16(s.value);
    return DeviceResult::Ok;
}

DeviceResult ConvertIb(ParseState& s, std::size_t bitLength, std::size_t wordLength) {
    if (s.text.size() > (s.dataType == 'b' ? bitLength : wordLength))
        return DeviceResult::InvalidDeviceFormat;
    s.number = s.dataType == 'b' ? s.value : Times16(s.value);
    return DeviceResult::Ok;
}

DeviceResult CheckTypeForTerminal(int terminalType, const PqDevice& device) {
    if (terminalType != 1 && terminalType != 6) return DeviceResult::Ok;
    const bool isBit = device.mType == 'b';
    if ((IsBitKind(device.mCode) && !isBit) ||
        ((device.mCode == kIW || device.mCode == kMW) && isBit))
        return DeviceResult::InvalidDeviceType;
    return DeviceResult::Ok;
}

DeviceResult CheckRange(const PqDevice& device, int count, const Limits& limits) {
    switch (device.mCode) {
        case kIB:
            return CheckRun(device, count, limits.ib);
        case kMB:
            return CheckRun(device, count, limits.mb);
        case kIW:
            return CheckRun(device, count, limits.iw);
        default:
            return CheckRun(device, count, limits.mw);
    }
}

bool IsBitAddressCode(int code, const Blocks& blocks) {
    return code == kIB || code == kMB || InBlocks(code, kIbBlockBase, blocks.ib) ||
           InBlocks(code, kMbBlockBase, blocks.mb);
}

void ToPlcAddress(const PqDevice& device, PlcAddress& address, const Blocks& blocks) {
    const std::int32_t word = device.mNumber / 16;
    if (device.mCode == kIW || device.mCode == kMW) {
        DeviceToWordForm(device, address);
        return;
    }
    const bool ib = device.mCode == kIB;
    const int count = ib ? blocks.ib : blocks.mb;
    const int block = word / 4096;
    if (word >= 0 && block <= count) {
        if (DeviceToBitForm(device, address) && block > 0) {
            address.code = (ib ? kIbBlockBase : kMbBlockBase) + block;
            address.address = device.mNumber - 65536 * block;
        }
    } else if (blocks.otherWordsAsWords) {
        DeviceToWordForm(device, address);
    } else {
        DeviceToBitForm(device, address);
    }
}

bool FromPlcAddress(const PlcAddress& address, PqDevice& device, const Blocks& blocks) {
    const int code = address.code;
    auto bitDevice = [&](int deviceCode, int block) {
        if (!BitFormToDevice(address, device)) return;
        device.mCode = deviceCode;
        device.mNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(device.mNumber) +
                                                   65536u * static_cast<std::uint32_t>(block));
    };
    if (code == kIB || InBlocks(code, kIbBlockBase, blocks.ib)) {
        bitDevice(kIB, code == kIB ? 0 : code - kIbBlockBase);
    } else if (code == kMB || InBlocks(code, kMbBlockBase, blocks.mb)) {
        bitDevice(kMB, code == kMB ? 0 : code - kMbBlockBase);
    } else if (code == kIW || code == kMW) {
        WordFormToDevice(address, device);
    } else {
        return false;
    }
    return true;
}

void AppendRangeTexts(const PqDevice& device, bool flag4, const RangeTexts& t,
                      std::vector<std::wstring>& lows, std::vector<std::wstring>& highs) {
    const bool wide = IsWideType(device.mType);
    const bool isBit = device.mType == 'b';
    switch (device.mCode) {
        case kIB:
            lows.emplace_back(isBit ? t.ibBitsLow : t.ibLow);
            highs.emplace_back(isBit  ? (flag4 ? t.ibBitsHigh4 : t.ibBitsHigh)
                               : wide ? t.ibHighWide
                                      : t.ibHigh);
            break;
        case kMB:
            lows.emplace_back(isBit ? t.mbBitsLow : t.mbLow);
            highs.emplace_back(isBit  ? (flag4 ? t.mbBitsHigh4 : t.mbBitsHigh)
                               : wide ? t.mbHighWide
                                      : t.mbHigh);
            break;
        case kIW:
            lows.emplace_back(t.iwLow);
            highs.emplace_back(wide ? t.iwHighWide : t.iwHigh);
            break;
        default:
            lows.emplace_back(t.mwLow);
            highs.emplace_back(wide ? t.mwHighWide : t.mwHigh);
            break;
    }
}

}  // namespace family::io_memory
