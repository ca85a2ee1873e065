#include "plc/PlcAddressForms.h"

#include <cstdint>
#include <optional>

namespace {

// Kind of a whole-unit access by data type; 'b' is decided by the caller.
std::optional<PlcDataKind> ValueKind(int type) {
    switch (type) {
        case 'i':
            return PlcDataKind::Int16;
        case 'u':
            return PlcDataKind::UInt16;
        case 'I':
            return PlcDataKind::Int32;
        case 'U':
            return PlcDataKind::UInt32;
        case 'F':
            return PlcDataKind::Real;
        case 'd':
            return PlcDataKind::Bcd16;
        case 'D':
            return PlcDataKind::Bcd32;
        default:
            return std::nullopt;
    }
}

std::optional<int> ValueType(PlcDataKind kind) {
    switch (kind) {
        case PlcDataKind::Int16:
            return 'i';
        case PlcDataKind::UInt16:
            return 'u';
        case PlcDataKind::Int32:
            return 'I';
        case PlcDataKind::UInt32:
            return 'U';
        case PlcDataKind::Real:
            return 'F';
        case PlcDataKind::Bcd16:
            return 'd';
        case PlcDataKind::Bcd32:
            return 'D';
        default:
            return std::nullopt;
    }
}

bool StartForm(const pqcore::PqDevice& device, PlcAddress& address, PlcDataKind bitKind) {
    address = PlcAddress{};
    const auto kind = device.mType == 'b' ? std::optional(bitKind) : ValueKind(device.mType);
    if (!kind) return false;
    address.kind = *kind;
    address.code = device.mCode;
    return true;
}

}  // namespace

bool DeviceToBitForm(const pqcore::PqDevice& device, PlcAddress& address) {
    if (!StartForm(device, address, PlcDataKind::Bit)) return false;
    address.address = device.mNumber;
    address.bit = 0;
    return true;
}

bool DeviceToWordForm(const pqcore::PqDevice& device, PlcAddress& address) {
    if (!StartForm(device, address, PlcDataKind::WordBit)) return false;
    // Truncating division: a negative number keeps a negative remainder.
    address.address = device.mNumber / 16;
    address.bit = device.mNumber % 16;
    return true;
}

bool BitFormToDevice(const PlcAddress& address, pqcore::PqDevice& device) {
    device.Clear();
    std::int64_t number = address.address;
    if (address.kind == PlcDataKind::Bit) {
        device.mType = 'b';
    } else if (address.kind == PlcDataKind::BitOffset) {
        device.mType = 'b';
        number += address.bit;
    } else if (const auto type = ValueType(address.kind)) {
        device.mType = *type;
    } else {
        return false;
    }
    device.mCode = address.code;
    // Raw host records may hold any value; the number wraps as 32-bit arithmetic does.
    device.mNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    return true;
}

bool WordFormToDevice(const PlcAddress& address, pqcore::PqDevice& device) {
    device.Clear();
    if (address.kind == PlcDataKind::Bit || address.kind == PlcDataKind::WordBit) {
        device.mType = 'b';
    } else if (const auto type = ValueType(address.kind)) {
        device.mType = *type;
    } else {
        return false;
    }
    device.mCode = address.code;
    const std::uint32_t number =
        static_cast<std::uint32_t>(address.address) * 16u + static_cast<std::uint32_t>(address.bit);
    device.mNumber = static_cast<std::int32_t>(number);
    return true;
}
