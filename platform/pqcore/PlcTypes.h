// Plain types exchanged between the host editor and a PLC module: the result codes of device
// operations, the flat address and its data kinds. The layout of PlcAddress is a binary contract.
#pragma once

#include <cstdint>

// Result of every device parse, format, check and conversion. Carried as an int at the host
// boundary, hence the fixed underlying type.
enum class DeviceResult : int {
    Ok = 0,
    UnknownDeviceCode = 1,
    NumberOutOfRange = 2,
    NumberCrossRange = 3,
    SegmentOutOfRange = 4,
    InvalidDeviceName = 5,
    InvalidDeviceFormat = 6,
    InvalidDeviceNumber = 7,
    InvalidDeviceType = 8,
    NotAvailable = 9,
};

// How the PLC side reads the addressed unit. Values 3, 9 and 11 exist on the host side but are
// never produced by the module.
enum class PlcDataKind : std::uint8_t {
    None = 0,
    Bit = 1,
    WordBit = 2,
    Int16 = 4,
    UInt16 = 5,
    Int32 = 6,
    UInt32 = 7,
    Real = 8,
    BitOffset = 10,
    Bcd16 = 12,
    Bcd32 = 13,
};

// The flat address of a device as the PLC side uses it (20 bytes).
struct PlcAddress {
    std::uint8_t channel = 0;
    std::uint8_t network = 0;
    std::uint8_t station = 255;  // station number minus 1; 255 when there is none
    std::uint8_t reserved = 0;
    PlcDataKind kind = PlcDataKind::None;
    std::int32_t code = 0;
    std::int32_t address = 0;
    std::int32_t bit = 0;

    friend bool operator==(const PlcAddress&, const PlcAddress&) = default;
};

static_assert(sizeof(PlcAddress) == 20, "PlcAddress is a 20-byte binary record");

// Ordering: channel, network, station, reserved (unsigned bytes), code, address, bit (signed),
// and the kind last.
inline bool operator<(const PlcAddress& a, const PlcAddress& b) {
    if (a.channel != b.channel) return a.channel < b.channel;
    if (a.network != b.network) return a.network < b.network;
    if (a.station != b.station) return a.station < b.station;
    if (a.reserved != b.reserved) return a.reserved < b.reserved;
    if (a.code != b.code) return a.code < b.code;
    if (a.address != b.address) return a.address < b.address;
    if (a.bit != b.bit) return a.bit < b.bit;
    return static_cast<std::uint8_t>(a.kind) < static_cast<std::uint8_t>(b.kind);
}
