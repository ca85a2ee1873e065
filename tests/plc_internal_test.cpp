// The terminal's own devices GB, GD and GS: ranges by terminal type, text and flat address.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "plc/InternalDevices.h"
#include "support/Devices.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using namespace internal_device;

constexpr int kTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

using test_support::Dev;
using R = DeviceResult;

// Limits in bits by terminal type (0 = the kind does not exist there).
struct Limits {
    int terminal;
    int gb, gd, gs;
};
const Limits kLimits[] = {
    {0, 16384, 262144, 8192},   {1, 1024, 16384, 0},        {2, 16384, 262144, 8192},
    {3, 65536, 1048576, 16384}, {4, 65536, 1048576, 16384}, {5, 65536, 1048576, 32768},
    {6, 256, 2048, 16384},      {7, 65536, 1048576, 32768}, {-1, 65536, 1048576, 16384},
    {8, 65536, 1048576, 16384},
};

// Whether the terminal type refuses the data type for the code outright.
bool TypeRefused(int terminal, int code, int type) {
    if (terminal != 1 && terminal != 6) return false;
    return (code == kGB && type != 'b') || (code == kGD && type == 'b');
}

// Every number around every edge of every range, for every data type and run length.
TEST(InternalRange, EdgesOfEveryRangeByTerminalType) {
    for (const Limits& l : kLimits) {
        for (const auto& [code, limit] : {std::pair{kGB, l.gb}, {kGD, l.gd}, {kGS, l.gs}}) {
            for (int type : kTypes) {
                for (int count : {1, 2, 3}) {
                    const int need = Dev(code, 0, type).GetTypeBits() * count;
                    std::vector<int> numbers = {-16, -1, 0, 1, 15, 16, 17};
                    for (int edge : {limit, limit - need})
                        for (int delta = -17; delta <= 17; ++delta)
                            numbers.push_back(edge + delta);
                    for (int n : numbers) {
                        const R expected = limit == 0 ? R::UnknownDeviceCode
                                           : TypeRefused(l.terminal, code, type)
                                               ? R::InvalidDeviceType
                                           : n < 0 || n >= limit        ? R::NumberOutOfRange
                                           : limit - n < need           ? R::NumberCrossRange
                                           : type != 'b' && n % 16 != 0 ? R::InvalidDeviceNumber
                                                                        : R::Ok;
                        ASSERT_EQ(CheckInternalDeviceRange(l.terminal, Dev(code, n, type), count),
                                  expected)
                            << "terminal " << l.terminal << " code " << code << " n " << n
                            << " type " << char(type) << " count " << count;
                    }
                }
            }
        }
    }
}

TEST(InternalRange, CodesSegmentsAndNoDevice) {
    for (int terminal = -1; terminal <= 8; ++terminal) {
        for (int type : kTypes) {
            // No device passes with anything in it; EG and foreign codes never do.
            EXPECT_EQ(CheckInternalDeviceRange(terminal, Dev(0, -5, type), 99), R::Ok);
            EXPECT_EQ(CheckInternalDeviceRange(terminal, Dev(kEG, 0, type), 1),
                      R::UnknownDeviceCode);
            for (int code : {1, 156, 157, 12288, 12292, -12290})
                EXPECT_EQ(CheckInternalDeviceRange(terminal, Dev(code, 0, type), 1),
                          R::UnknownDeviceCode);
            for (int code : {kGB, kGD, kGS}) {
                if (TypeRefused(terminal, code, type) || (terminal == 1 && code == kGS)) continue;
                for (auto segment :
                     {pqcore::DeviceSegment{1, 0, 0}, pqcore::DeviceSegment{0, -1, 0},
                      pqcore::DeviceSegment{0, 0, 1}}) {
                    PqDevice d = Dev(code, 0, type);
                    d.mSegment = segment;
                    EXPECT_EQ(CheckInternalDeviceRange(terminal, d, 1), R::SegmentOutOfRange);
                }
            }
        }
    }
    // A negative run length asks for a huge run.
    EXPECT_EQ(CheckInternalDeviceRange(2, Dev(kGD, 0, 'i'), -1), R::NumberCrossRange);
}

// Parsing clears the record first and leaves what it read on failure.
TEST(InternalText, ParseExamples) {
    const std::tuple<int, const wchar_t*, int, R, int, int> cases[] = {
        {2, L"gd100.b5", 'b', R::Ok, kGD, 1605},
        {2, L" GD 100.5 ", 'b', R::Ok, kGD, 1605},
        {2, L"GD100.5", 'i', R::InvalidDeviceType, kGD, 1600},
        {2, L"GD100.16", 'b', R::InvalidDeviceFormat, kGD, 1600},
        {2, L"GD100.5X", 'b', R::InvalidDeviceFormat, kGD, 1605},
        {2, L"GB10.5", 'b', R::InvalidDeviceFormat, kGB, 10},
        {2, L"GB+7", 'b', R::Ok, kGB, 7},
        {2, L"GB8", 'i', R::InvalidDeviceNumber, kGB, 8},
        {2, L"GB123456789", 'b', R::InvalidDeviceFormat, kGB, 12345678},
        {2, L"EG1", 'i', R::UnknownDeviceCode, kEG, 16},
        {2, L"GX1", 'i', R::InvalidDeviceName, 0, 0},
        {2, L"\uFF27B1", 'b', R::InvalidDeviceName, 0, 0},
        {1, L"GS0", 'i', R::UnknownDeviceCode, kGS, 0},
        {1, L"GD0.b0", 'b', R::InvalidDeviceType, kGD, 0},
    };
    for (const auto& [terminal, text, type, result, code, number] : cases) {
        PqDevice d = Dev(999, 999, 'F');
        d.mChannel = 3;
        d.mLabelId = 9;
        EXPECT_EQ(StringToInternalDevice(terminal, text, type, d), result) << number;
        EXPECT_EQ(std::tie(d.mCode, d.mNumber, d.mChannel, d.mLabelId),
                  std::make_tuple(code, number, 0, 9u));
        if (result == R::Ok) {
            EXPECT_EQ(d.mType, type);
        }
    }
}

TEST(InternalText, FormatExamples) {
    const std::tuple<PqDevice, const wchar_t*, R> cases[] = {
        {Dev(kGS, 15, 'b'), L"GS0.b15", R::Ok},
        {Dev(0, 0, 'q'), L"", R::Ok},
        {Dev(kGB, 8, 'i'), L"??", R::InvalidDeviceNumber},
        {Dev(kEG, 0, 'i'), L"??", R::UnknownDeviceCode},
    };
    for (const auto& [device, expected, result] : cases) {
        std::wstring text = L"stale";
        EXPECT_EQ(InternalDeviceToString(2, device, text), result);
        EXPECT_EQ(text, expected);
    }
}

// On the compact terminal GB, GD and no device travel under codes of their own, GS not at all; an
// out-of-range device is still converted, the result reports the check.
TEST(InternalFlatAddress, CodesByTerminalType) {
    using K = PlcDataKind;
    const std::tuple<int, PqDevice, R, PlcAddress> to[] = {
        {1, Dev(0, 0, 'b'), R::Ok, {.kind = K::Bit, .code = kCompactNone}},
        {2,
         Dev(kGD, 1605, 'b'),
         R::Ok,
         {.kind = K::WordBit, .code = kGD, .address = 100, .bit = 5}},
        {1, Dev(kGD, 1600, 'i'), R::Ok, {.kind = K::Int16, .code = kCompactGD, .address = 100}},
        {1, Dev(kGS, 0, 'i'), R::UnknownDeviceCode, {}},
        {2, Dev(157, 0, 'b'), R::UnknownDeviceCode, {}},
        {2,
         Dev(kGB, 16384, 'b'),
         R::NumberOutOfRange,
         {.kind = K::Bit, .code = kGB, .address = 16384}}};
    for (const auto& [terminal, device, result, expected] : to) {
        PlcAddress a;
        EXPECT_EQ(InternalDeviceToPlcAddress(terminal, device, a), result);
        EXPECT_EQ(a, expected) << ::testing::PrintToString(device);
    }
    // Kind 0 is always no device; a kind the form does not carry leaves a cleared record, which
    // the check accepts.
    const std::tuple<int, int, K, R, int> back[] = {
        {2, 12345, K::None, R::Ok, 0},
        {1, kCompactGB, K::Bit, R::Ok, kGB},
        {1, kCompactGD, K::Int16, R::Ok, kGD},
        {1, kGB, K::Bit, R::UnknownDeviceCode, 0},
        {2, kCompactGB, K::Bit, R::UnknownDeviceCode, 0},
        {2, kEG, K::Int16, R::UnknownDeviceCode, kEG},
        {1, kCompactGB, K::WordBit, R::Ok, 0},
        {2, kGD, K::BitOffset, R::Ok, 0}};
    for (const auto& [terminal, code, kind, result, deviceCode] : back) {
        PqDevice d = Dev(5, 5, 'F');
        EXPECT_EQ(PlcAddressToInternalDevice(terminal, {.kind = kind, .code = code}, d), result)
            << code;
        EXPECT_EQ(d.mCode, deviceCode) << code;
    }
}

// Long numbers are the range check's business.
TEST(InternalText, BitSuffixAndNumberTexts) {
    const std::tuple<const char*, int, unsigned> suffixes[] = {
        {".5", 2, 5}, {".B15", 4, 15}, {".b5", 0, 0},   {".B", 0, 0},
        {"", 0, 0},   {". 7", 3, 7},   {".-1", 3, ~0u}, {".123456789", 9, 12345678}};
    for (const auto& [text, taken, expected] : suffixes) {
        unsigned bit = 0;
        EXPECT_EQ(ParseBitSuffix(text, bit), taken) << text;
        EXPECT_EQ(bit, taken ? expected : 0u) << text;
    }
    const std::tuple<int, const char*, bool> numbers[] = {
        {16, "1F", true},   {10, "1F", false}, {10, "-5", false},        {10, "+5", false},
        {10, " 12", true},  {10, "", false},   {10, "12 ", false},       {8, "18", false},
        {16, "0x1F", true}, {2, "1", false},   {10, "99999999999", true}};
    for (const auto& [base, text, valid] : numbers)
        EXPECT_EQ(IsValidNumberText(base, text), valid) << base << " " << text;
}

}  // namespace
