#include "plc/InternalDevices.h"

#include <cstdint>

using namespace internal_device;

namespace {

struct Limits {
    std::int64_t gb, gd, gs;  // in bits; gs 0 = refused
};

Limits LimitsFor(int terminalType) {
    switch (terminalType) {
        case 0:
        case 2: return {16384, 262144, 8192};
        case 1: return {1024, 16384, 0};
        case 5:
        case 7: return {65536, 1048576, 32768};
        case 6: return {256, 2048, 16384};
        default: return {65536, 1048576, 16384};
    }
}

}  // namespace

DeviceResult CheckInternalDeviceRange(int terminalType, const pqcore::PqDevice& device, int count) {
    const int code = device.mCode;
    const bool isBit = device.mType == 'b';
    if (terminalType == 1) {
        if (code == kGS || code == kEG) return DeviceResult::UnknownDeviceCode;
        if ((code == kGB && !isBit) || (code == kGD && isBit)) return DeviceResult::InvalidDeviceType;
    }
    if (terminalType == 6) {
        if (code == kEG) return DeviceResult::UnknownDeviceCode;
        if ((code == kGD && isBit) || (code == kGB && !isBit)) return DeviceResult::InvalidDeviceType;
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
        case kGB: return 'B';
        case kGD:
        case kGS:
        case kEG: return 'W';
        default: return '?';
    }
}
