// The terminal's own devices GB, GD and GS: ranges by terminal type, text and flat address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Devices.h"
#include "support/Printers.h"
#include "plc/InternalDevices.h"

namespace {

using pqcore::PqDevice;
using namespace internal_device;

constexpr int kTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

int Width(int type) {
    return type == 'b' ? 1 : (type == 'I' || type == 'U' || type == 'D' || type == 'F') ? 32 : 16;
}

using test_support::Dev;

// Limits in bits by terminal type (0 = the kind does not exist there).
struct Limits {
    int terminal;
    int gb, gd, gs;
};
const Limits kLimits[] = {
    {0, 16384, 262144, 8192},  {1, 1024, 16384, 0},       {2, 16384, 262144, 8192},
    {3, 65536, 1048576, 16384}, {4, 65536, 1048576, 16384}, {5, 65536, 1048576, 32768},
    {6, 256, 2048, 16384},     {7, 65536, 1048576, 32768}, {-1, 65536, 1048576, 16384},
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
                    const int need = Width(type) * count;
                    std::vector<int> numbers = {-16, -1, 0, 1, 15, 16, 17};
                    for (int edge : {limit, limit - need})
                        for (int delta = -17; delta <= 17; ++delta) numbers.push_back(edge + delta);
                    for (int n : numbers) {
                        DeviceResult expected;
                        if (limit == 0)
                            expected = DeviceResult::UnknownDeviceCode;
                        else if (TypeRefused(l.terminal, code, type))
                            expected = DeviceResult::InvalidDeviceType;
                        else if (n < 0 || n >= limit)
                            expected = DeviceResult::NumberOutOfRange;
                        else if (limit - n < need)
                            expected = DeviceResult::NumberCrossRange;
                        else if (type != 'b' && n % 16 != 0)
                            expected = DeviceResult::InvalidDeviceNumber;
                        else
                            expected = DeviceResult::Ok;
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
            EXPECT_EQ(CheckInternalDeviceRange(terminal, Dev(0, -5, type), 99), DeviceResult::Ok);
            EXPECT_EQ(CheckInternalDeviceRange(terminal, Dev(kEG, 0, type), 1),
                      DeviceResult::UnknownDeviceCode);
            for (int code : {1, 156, 157, 12288, 12292, -12290})
                EXPECT_EQ(CheckInternalDeviceRange(terminal, Dev(code, 0, type), 1),
                          DeviceResult::UnknownDeviceCode);
            for (int code : {kGB, kGD, kGS}) {
                if (TypeRefused(terminal, code, type) || (terminal == 1 && code == kGS)) continue;
                for (auto segment : {pqcore::DeviceSegment{1, 0, 0}, pqcore::DeviceSegment{0, -1, 0},
                                     pqcore::DeviceSegment{0, 0, 1}}) {
                    PqDevice d = Dev(code, 0, type);
                    d.mSegment = segment;
                    EXPECT_EQ(CheckInternalDeviceRange(terminal, d, 1),
                              DeviceResult::SegmentOutOfRange);
                }
            }
        }
    }
    // A negative run length asks for a huge run.
    EXPECT_EQ(CheckInternalDeviceRange(2, Dev(kGD, 0, 'i'), -1), DeviceResult::NumberCrossRange);
}

TEST(InternalText, ParseExamples) {
    struct Case {
        int terminal;
        const wchar_t* text;
        int type;
        DeviceResult result;
        int code;
        int number;
    };
    const Case cases[] = {
        {2, L"gd100.b5", 'b', DeviceResult::Ok, kGD, 1605},
        {2, L"GD100.5", 'b', DeviceResult::Ok, kGD, 1605},
        {2, L" GD 100.B5 ", 'b', DeviceResult::Ok, kGD, 1605},
        {2, L"GD100", 'b', DeviceResult::Ok, kGD, 1600},
        {2, L"GD100", 'i', DeviceResult::Ok, kGD, 1600},
        {2, L"GD100.5", 'i', DeviceResult::InvalidDeviceType, kGD, 1600},
        {2, L"GD100.16", 'b', DeviceResult::InvalidDeviceFormat, kGD, 1600},
        {2, L"GD100.b", 'b', DeviceResult::InvalidDeviceFormat, kGD, 1600},
        {2, L"GD100.-1", 'b', DeviceResult::InvalidDeviceFormat, kGD, 1600},
        {2, L"GD100.5X", 'b', DeviceResult::InvalidDeviceFormat, kGD, 1605},
        {2, L"GB10.5", 'b', DeviceResult::InvalidDeviceFormat, kGB, 10},
        {2, L"GB16383", 'b', DeviceResult::Ok, kGB, 16383},
        {2, L"GB16384", 'b', DeviceResult::NumberOutOfRange, kGB, 16384},
        {2, L"GB-1", 'b', DeviceResult::NumberOutOfRange, kGB, -1},
        {2, L"GB+7", 'b', DeviceResult::Ok, kGB, 7},
        {2, L"GB16", 'i', DeviceResult::Ok, kGB, 16},
        {2, L"GB8", 'i', DeviceResult::InvalidDeviceNumber, kGB, 8},
        {2, L"GS511", 'i', DeviceResult::Ok, kGS, 8176},
        {2, L"GS512", 'i', DeviceResult::NumberOutOfRange, kGS, 8192},
        {2, L"GD16383", 'I', DeviceResult::NumberCrossRange, kGD, 262128},
        {2, L"GB123456789", 'b', DeviceResult::InvalidDeviceFormat, kGB, 12345678},
        {2, L"EG1", 'i', DeviceResult::UnknownDeviceCode, kEG, 16},
        {2, L"GX1", 'i', DeviceResult::InvalidDeviceName, 0, 0},
        {2, L"", 'i', DeviceResult::InvalidDeviceName, 0, 0},
        {2, L"GB", 'b', DeviceResult::InvalidDeviceName, 0, 0},
        {2, L"\uFF27B1", 'b', DeviceResult::InvalidDeviceName, 0, 0},
        {1, L"GS0", 'i', DeviceResult::UnknownDeviceCode, kGS, 0},
        {1, L"GB0", 'i', DeviceResult::InvalidDeviceType, kGB, 0},
        {1, L"GD0.b0", 'b', DeviceResult::InvalidDeviceType, kGD, 0},
        {6, L"GB255", 'b', DeviceResult::Ok, kGB, 255},
        {6, L"GB256", 'b', DeviceResult::NumberOutOfRange, kGB, 256},
        {6, L"GD127", 'i', DeviceResult::Ok, kGD, 2032},
        {6, L"GD128", 'i', DeviceResult::NumberOutOfRange, kGD, 2048},
    };
    for (const Case& c : cases) {
        PqDevice d = Dev(999, 999, 'F');
        d.mChannel = 3;
        d.mLabelId = 9;
        EXPECT_EQ(StringToInternalDevice(c.terminal, c.text, c.type, d), c.result) << c.terminal;
        EXPECT_EQ(d.mCode, c.code);
        EXPECT_EQ(d.mNumber, c.number);
        EXPECT_EQ(d.mChannel, 0);  // the record is cleared first
        EXPECT_EQ(d.mLabelId, 9u);
        if (c.result == DeviceResult::Ok) {
            EXPECT_EQ(d.mType, c.type);
        }
    }
}

TEST(InternalText, FormatExamples) {
    struct Case {
        PqDevice device;
        const wchar_t* text;
        DeviceResult result;
    };
    const Case cases[] = {
        {Dev(kGB, 100, 'b'), L"GB100", DeviceResult::Ok},
        {Dev(kGB, 16, 'i'), L"GB16", DeviceResult::Ok},
        {Dev(kGD, 1605, 'b'), L"GD100.b5", DeviceResult::Ok},
        {Dev(kGD, 1600, 'i'), L"GD100", DeviceResult::Ok},
        {Dev(kGS, 15, 'b'), L"GS0.b15", DeviceResult::Ok},
        {Dev(0, 0, 'q'), L"", DeviceResult::Ok},
        {Dev(kGB, 8, 'i'), L"??", DeviceResult::InvalidDeviceNumber},
        {Dev(kEG, 0, 'i'), L"??", DeviceResult::UnknownDeviceCode},
        {Dev(157, 0, 'b'), L"??", DeviceResult::UnknownDeviceCode},
    };
    for (const Case& c : cases) {
        std::wstring text = L"stale";
        EXPECT_EQ(InternalDeviceToString(2, c.device, text), c.result);
        EXPECT_EQ(text, c.text);
    }
}

// Every valid internal device of every terminal type and data type prints, parses back and
// travels through its flat address unchanged (every bit of the small ranges, a stride through
// the large ones).
TEST(InternalLaws, TextAndFlatAddressRoundTrips) {
    long checked = 0;
    for (const Limits& l : kLimits) {
        for (const auto& [code, limit] : {std::pair{kGB, l.gb}, {kGD, l.gd}, {kGS, l.gs}}) {
            for (int type : kTypes) {
                const int stride = limit > 20000 ? 97 : 1;
                for (int n = 0; n < limit; n += (n > limit - 64 ? 1 : stride)) {
                    const PqDevice d = Dev(code, n, type);
                    if (CheckInternalDeviceRange(l.terminal, d, 1) != DeviceResult::Ok) continue;
                    std::wstring text;
                    ASSERT_EQ(InternalDeviceToString(l.terminal, d, text), DeviceResult::Ok);
                    PqDevice back;
                    ASSERT_EQ(StringToInternalDevice(l.terminal, text, type, back),
                              DeviceResult::Ok);
                    ASSERT_EQ(back, d) << std::string(text.begin(), text.end());
                    PlcAddress a;
                    ASSERT_EQ(InternalDeviceToPlcAddress(l.terminal, d, a), DeviceResult::Ok);
                    const int expectedCode =
                        l.terminal == 1 ? (code == kGB ? kCompactGB : kCompactGD) : code;
                    ASSERT_EQ(a.code, expectedCode);
                    ASSERT_EQ(PlcAddressToInternalDevice(l.terminal, a, back), DeviceResult::Ok);
                    ASSERT_EQ(back, d);
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 200000);
}

TEST(InternalFlatAddress, CodesByTerminalType) {
    PlcAddress a;
    // No device: bit form at address 0, under 4095 on the compact terminal.
    EXPECT_EQ(InternalDeviceToPlcAddress(1, Dev(0, 0, 'b'), a), DeviceResult::Ok);
    EXPECT_EQ(std::tie(a.code, a.address, a.kind), std::make_tuple(kCompactNone, 0, PlcDataKind::Bit));
    EXPECT_EQ(InternalDeviceToPlcAddress(2, Dev(0, 0, 'i'), a), DeviceResult::Ok);
    EXPECT_EQ(std::tie(a.code, a.address, a.kind), std::make_tuple(0, 0, PlcDataKind::Int16));
    // GD as a bit of a word, GS refused on the compact terminal.
    EXPECT_EQ(InternalDeviceToPlcAddress(2, Dev(kGD, 1605, 'b'), a), DeviceResult::Ok);
    EXPECT_EQ(std::tie(a.code, a.address, a.bit, a.kind),
              std::make_tuple(kGD, 100, 5, PlcDataKind::WordBit));
    EXPECT_EQ(InternalDeviceToPlcAddress(1, Dev(kGS, 0, 'i'), a), DeviceResult::UnknownDeviceCode);
    EXPECT_EQ(a, PlcAddress{});
    EXPECT_EQ(InternalDeviceToPlcAddress(2, Dev(157, 0, 'b'), a), DeviceResult::UnknownDeviceCode);
    EXPECT_EQ(a, PlcAddress{});
    // An out-of-range device is still converted; the result reports the check.
    EXPECT_EQ(InternalDeviceToPlcAddress(2, Dev(kGB, 16384, 'b'), a), DeviceResult::NumberOutOfRange);
    EXPECT_EQ(a.address, 16384);

    struct Back {
        int terminal;
        int code;
        PlcDataKind kind;
        DeviceResult result;
        int deviceCode;
    };
    const Back backs[] = {
        {2, 12345, PlcDataKind::None, DeviceResult::Ok, 0},  // kind 0 is always no device
        {1, kCompactGB, PlcDataKind::Bit, DeviceResult::Ok, kGB},
        {1, kCompactGD, PlcDataKind::Int16, DeviceResult::Ok, kGD},
        {1, kCompactNone, PlcDataKind::Int16, DeviceResult::Ok, 0},
        {1, kGB, PlcDataKind::Bit, DeviceResult::UnknownDeviceCode, 0},
        {2, kCompactGB, PlcDataKind::Bit, DeviceResult::UnknownDeviceCode, 0},
        {2, kEG, PlcDataKind::Int16, DeviceResult::UnknownDeviceCode, kEG},
        {2, 0, PlcDataKind::Int32, DeviceResult::Ok, 0},
        // A kind the form does not carry leaves a cleared record, which the check accepts.
        {1, kCompactGB, PlcDataKind::WordBit, DeviceResult::Ok, 0},
        {2, kGD, PlcDataKind::BitOffset, DeviceResult::Ok, 0},
    };
    for (const Back& b : backs) {
        PlcAddress in;
        in.code = b.code;
        in.kind = b.kind;
        PqDevice d = Dev(5, 5, 'F');
        EXPECT_EQ(PlcAddressToInternalDevice(b.terminal, in, d), b.result) << b.code;
        EXPECT_EQ(d.mCode, b.deviceCode) << b.code;
    }
}

TEST(InternalText, BitSuffixAndNumberTexts) {
    struct Suffix {
        const char* text;
        int taken;
        unsigned bit;
    };
    const Suffix suffixes[] = {{".5", 2, 5},      {".B15", 4, 15}, {".b5", 0, 0},
                               {".B", 0, 0},      {"5", 0, 0},     {".123456789", 9, 12345678},
                               {".-1", 3, ~0u},   {"", 0, 0},      {". 7", 3, 7},
                               {".B 7x", 4, 7}};
    for (const Suffix& s : suffixes) {
        unsigned bit = 0;
        EXPECT_EQ(ParseBitSuffix(s.text, bit), s.taken) << s.text;
        if (s.taken) {
            EXPECT_EQ(bit, s.bit) << s.text;
        }
    }

    struct Number {
        int base;
        const char* text;
        bool valid;
    };
    const Number numbers[] = {
        {16, "1F", true},   {10, "1F", false}, {10, "-5", false}, {10, "+5", false},
        {10, " 12", true},  {10, "", false},   {10, "12 ", false}, {8, "17", true},
        {8, "18", false},   {16, "0x1F", true}, {10, "0x1F", false}, {2, "1", false},
        {10, "99999999999", true},  // long numbers are the range check's business
        {16, "fF", true},   {10, "1\t", false},
    };
    for (const Number& n : numbers)
        EXPECT_EQ(IsValidNumberText(n.base, n.text), n.valid) << n.base << " " << n.text;
}

}  // namespace
