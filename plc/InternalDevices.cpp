#include "plc/InternalDevices.h"

#include <cstdint>

#include "plc/DeviceText.h"
#include "plc/PlcAddressForms.h"
#include "util/CompiledPattern.h"
#include "util/Scanner.h"
#include "util/StaticFormat.h"

using namespace internal_device;

namespace {

struct Limits {
    std::int64_t gb, gd, gs;  // in bits; gs 0 = refused
};

Limits LimitsFor(int terminalType) {
    switch (terminalType) {
        case 0:
        case 2:
            return {16384, 262144, 8192};
        case 1:
            return {1024, 16384, 0};
        case 5:
        case 7:
            return {65536, 1048576, 32768};
        case 6:
            return {256, 2048, 16384};
        default:
            return {65536, 1048576, 16384};
    }
}

using GbPattern = util::CompiledPattern<"GB%8ld%n">;
using GdPattern = util::CompiledPattern<"GD%8ld%n">;
using GsPattern = util::CompiledPattern<"GS%8ld%n">;
using EgPattern = util::CompiledPattern<"EG%8ld%n">;
using BitPattern = util::CompiledPattern<".%8u%n">;
using BitBPattern = util::CompiledPattern<".B%8u%n">;
constexpr util::ScanPattern kOctalPattern("%lo%n");
constexpr util::ScanPattern kDecimalPattern("%ld%n");
constexpr util::ScanPattern kHexPattern("%lx%n");

bool IsInternalWord(int code) {
    return code == kGD || code == kGS || code == kEG;
}

}  // namespace

DeviceResult CheckInternalDeviceRange(int terminalType, const pqcore::PqDevice& device, int count) {
    const int code = device.mCode;
    const bool isBit = device.mType == 'b';
    if (terminalType == 1) {
        if (code == kGS || code == kEG) return DeviceResult::UnknownDeviceCode;
        if ((code == kGB && !isBit) || (code == kGD && isBit))
            return DeviceResult::InvalidDeviceType;
    }
    if (terminalType == 6) {
        if (code == kEG) return DeviceResult::UnknownDeviceCode;
        if ((code == kGD && isBit) || (code == kGB && !isBit))
            return DeviceResult::InvalidDeviceType;
    }
    if (code == 0) return DeviceResult::Ok;
    if (code != kGB && code != kGD && code != kGS) return DeviceResult::UnknownDeviceCode;
    if (!device.mSegment.IsNull()) return DeviceResult::SegmentOutOfRange;

    const Limits limits = LimitsFor(terminalType);
    const std::int64_t limit = code == kGB ? limits.gb : code == kGD ? limits.gd : limits.gs;
    const std::int64_t n = device.mNumber;
    if (n < 0 || n >= limit) return DeviceResult::NumberOutOfRange;
    // Unsigned 32-bit, as the host computes it: a negative count asks for a huge run and fails.
    const std::uint32_t need =
        static_cast<std::uint32_t>(device.GetTypeBits()) * static_cast<std::uint32_t>(count);
    if (static_cast<std::uint32_t>(limit - n) < need) return DeviceResult::NumberCrossRange;
    if (!isBit && n % 16 != 0) return DeviceResult::InvalidDeviceNumber;
    return DeviceResult::Ok;
}

char GetInternalDeviceKindLetter(const pqcore::PqDevice& device) {
    switch (device.mCode) {
        case kGB:
            return 'B';
        case kGD:
        case kGS:
        case kEG:
            return 'W';
        default:
            return '?';
    }
}

DeviceResult InternalDeviceToString(int terminalType, const pqcore::PqDevice& device,
                                    std::wstring& text) {
    text.clear();
    return AppendInternalDeviceText(terminalType, device, text);
}

DeviceResult AppendInternalDeviceText(int terminalType, const pqcore::PqDevice& device,
                                      std::wstring& text) {
    if (const auto r = CheckInternalDeviceRange(terminalType, device, 1); r != DeviceResult::Ok) {
        text = L"??";
        return r;
    }
    const long number = device.mNumber;
    switch (device.mCode) {
        case kGB:
            util::StaticFormat<L"GB%ld">::Append(text, number);
            break;
        case kGD:
        case kGS:
            if (device.mCode == kGD)
                util::StaticFormat<L"GD%ld">::Append(text, number / 16);
            else
                util::StaticFormat<L"GS%ld">::Append(text, number / 16);
            AppendBitSuffix(text, device);
            break;
        default:
            break;  // no device: no text
    }
    return DeviceResult::Ok;
}

void AppendBitSuffix(std::wstring& text, const pqcore::PqDevice& device) {
    if (device.mType == 'b')
        util::StaticFormat<L".b%d">::Append(text, static_cast<int>(device.mNumber % 16));
}

DeviceResult StringToInternalDevice(int terminalType, const std::wstring& text, int dataType,
                                    pqcore::PqDevice& device) {
    return StringToInternalDevice(terminalType, NormalizeDeviceText(text, true), dataType, device);
}

DeviceResult StringToInternalDevice(int terminalType, std::string_view s, int dataType,
                                    pqcore::PqDevice& device) {
    device.Clear();

    struct Kind {
        int (*scan)(std::string_view, std::int32_t&, std::int32_t&);
        int code;
    };
    static constexpr Kind kKinds[] = {{&GbPattern::Scan<std::int32_t, std::int32_t>, kGB},
                                      {&GdPattern::Scan<std::int32_t, std::int32_t>, kGD},
                                      {&GsPattern::Scan<std::int32_t, std::int32_t>, kGS},
                                      {&EgPattern::Scan<std::int32_t, std::int32_t>, kEG}};
    std::int32_t value = 0;
    std::int32_t used = 0;
    const Kind* found = nullptr;
    for (const Kind& kind : kKinds) {
        if (kind.scan(s, value, used) == 1) {
            found = &kind;
            break;
        }
    }
    if (found == nullptr) return DeviceResult::InvalidDeviceName;

    device.mCode = found->code;
    std::string_view rest = s.substr(static_cast<std::size_t>(used));
    if (found->code == kGB) {
        device.mNumber = value;
    } else {
        // Eight digits at most, so the bit number of the word cannot overflow.
        device.mNumber = value * 16;
        unsigned bit = 0;
        if (const int taken = ParseBitSuffix(rest, bit); taken > 0) {
            if (dataType != 'b') return DeviceResult::InvalidDeviceType;
            if (bit >= 16) return DeviceResult::InvalidDeviceFormat;
            device.mNumber += static_cast<std::int32_t>(bit);
            rest.remove_prefix(static_cast<std::size_t>(taken));
        }
    }
    if (!rest.empty()) return DeviceResult::InvalidDeviceFormat;
    device.mType = dataType;
    return CheckInternalDeviceRange(terminalType, device, 1);
}

int ParseBitSuffix(std::string_view text, unsigned& bit) {
    std::uint32_t value = 0;
    std::int32_t used = 0;
    if (BitPattern::Scan(text, value, used) != 1 && BitBPattern::Scan(text, value, used) != 1)
        return 0;
    bit = value;
    return used;
}

DeviceResult InternalDeviceToPlcAddress(int terminalType, const pqcore::PqDevice& device,
                                        PlcAddress& address) {
    const int code = device.mCode;
    if (terminalType == 1) {
        if (code == 0) {
            DeviceToBitForm(device, address);
            address.address = 0;
            address.code = kCompactNone;
        } else if (code == kGD) {
            DeviceToWordForm(device, address);
            address.code = kCompactGD;
        } else if (code == kGB) {
            DeviceToBitForm(device, address);
            address.code = kCompactGB;
        } else {
            address = PlcAddress{};
            return DeviceResult::UnknownDeviceCode;
        }
    } else if (code == kGB) {
        DeviceToBitForm(device, address);
    } else if (IsInternalWord(code)) {
        DeviceToWordForm(device, address);
    } else if (code == 0) {
        DeviceToBitForm(device, address);
        address.address = 0;
    } else {
        address = PlcAddress{};
        return DeviceResult::UnknownDeviceCode;
    }
    return CheckInternalDeviceRange(terminalType, device, 1);
}

DeviceResult PlcAddressToInternalDevice(int terminalType, const PlcAddress& address,
                                        pqcore::PqDevice& device) {
    auto noDevice = [&device] {
        device.mCode = 0;
        device.mNumber = 0;
        return DeviceResult::Ok;
    };
    if (address.kind == PlcDataKind::None) {
        device.Clear();
        return noDevice();
    }
    if (terminalType == 1) {
        switch (address.code) {
            case kCompactGB:
                if (BitFormToDevice(address, device)) device.mCode = kGB;
                return CheckInternalDeviceRange(terminalType, device, 1);
            case kCompactGD:
                if (WordFormToDevice(address, device)) device.mCode = kGD;
                return CheckInternalDeviceRange(terminalType, device, 1);
            case kCompactNone:
                BitFormToDevice(address, device);
                return noDevice();
            default:
                device.Clear();
                return DeviceResult::UnknownDeviceCode;
        }
    }
    if (address.code == kGB) {
        BitFormToDevice(address, device);
    } else if (IsInternalWord(address.code)) {
        WordFormToDevice(address, device);
    } else if (address.code == 0) {
        BitFormToDevice(address, device);
        return noDevice();
    } else {
        device.Clear();
        return DeviceResult::UnknownDeviceCode;
    }
    return CheckInternalDeviceRange(terminalType, device, 1);
}

bool IsValidNumberText(int base, const CString& text) {
    const util::ScanPattern* pattern = nullptr;
    switch (base) {
        case 8:
            pattern = &kOctalPattern;
            break;
        case 10:
            pattern = &kDecimalPattern;
            break;
        case 16:
            pattern = &kHexPattern;
            break;
        default:
            return false;
    }
    if (text.Find('+') >= 0 || text.Find('-') >= 0) return false;
    std::int32_t value = 0;
    std::int32_t used = 0;
    return util::Scan(text.str(), *pattern, value, used) == 1 && used == text.GetLength();
}
