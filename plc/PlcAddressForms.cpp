#include "plc/PlcAddressForms.h"

#include <cstdint>
#include <optional>

namespace {

// Whole-unit accesses: data type and flat-address kind, read both ways ('b' is decided by the
// caller).
struct ValueForm {
    int type;
    PlcDataKind kind;
};
constexpr ValueForm kValueForms[] = {{'i', PlcDataKind::Int16}, {'u', PlcDataKind::UInt16},
                                     {'I', PlcDataKind::Int32}, {'U', PlcDataKind::UInt32},
                                     {'F', PlcDataKind::Real},  {'d', PlcDataKind::Bcd16},
                                     {'D', PlcDataKind::Bcd32}};

std::optional<PlcDataKind> ValueKind(int type) {
    for (const ValueForm& f : kValueForms)
        if (f.type == type) return f.kind;
    return std::nullopt;
}

std::optional<int> ValueType(PlcDataKind kind) {
    for (const ValueForm& f : kValueForms)
        if (f.kind == kind) return f.type;
    return std::nullopt;
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
