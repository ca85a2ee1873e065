// The MP family: typed text with the network prefix, ranges, flat addresses with block codes,
// tables and dialog fields.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <string>
#include <vector>

#include "support/Devices.h"
#include "support/FamilyLaws.h"
#include "support/Printers.h"
#include "families/ZorvikanMP.h"

namespace {

using pqcore::PqDevice;

constexpr int kIB = 156, kMB = 157, kIW = 168, kMW = 175;

using test_support::Dev;

ZorvikanMP Plc(int terminal) {
    ZorvikanMP plc;
    plc.SetTerminalType(terminal);
    return plc;
}

using test_support::Narrow;

struct ParseCase {
    int terminal;
    const wchar_t* text;
    int type;
    DeviceResult result;
    PqDevice device;  // checked only on success
};

TEST(MpParse, TypedTexts) {
    using R = DeviceResult;
    const ParseCase cases[] = {
        {4, L"mw100", 'i', R::Ok, Dev(kMW, 1600, 'i')},
        {4, L"MW 100", 'i', R::Ok, Dev(kMW, 1600, 'i')},
        {4, L"MW100.3", 'b', R::Ok, Dev(kMW, 1603, 'b')},
        {4, L"MW100.b3", 'b', R::Ok, Dev(kMW, 1603, 'b')},
        {4, L"MW100.b3", 'i', R::InvalidDeviceType, {}},
        {4, L"MW100.b16", 'b', R::InvalidDeviceFormat, {}},
        {4, L"MW65534", 'i', R::Ok, Dev(kMW, 65534 * 16, 'i')},
        {4, L"MW65534", 'I', R::NumberCrossRange, {}},
        {4, L"MW65535", 'i', R::NumberOutOfRange, {}},
        {4, L"MW-1", 'i', R::NumberOutOfRange, {}},
        {4, L"MW16776961", 'i', R::NumberOutOfRange, {}},
        {4, L"MW100X", 'i', R::InvalidDeviceFormat, {}},
        {4, L"MB1F", 'b', R::Ok, Dev(kMB, 31, 'b')},
        {4, L"mb00001f", 'b', R::Ok, Dev(kMB, 31, 'b')},
        {4, L"MB65534F", 'b', R::Ok, Dev(kMB, 1048559, 'b')},
        {4, L"MB655350", 'b', R::NumberOutOfRange, {}},
        {4, L"MB1234567", 'b', R::InvalidDeviceFormat, {}},
        {4, L"MB1F", 'i', R::InvalidDeviceFormat, {}},
        {4, L"MB100", 'i', R::Ok, Dev(kMB, 1600, 'i')},
        {4, L"MB1234567", 'i', R::InvalidDeviceFormat, {}},
        {4, L"MB-1F", 'b', R::InvalidDeviceFormat, {}},
        {4, L"IB7FFFF", 'b', R::Ok, Dev(kIB, 524287, 'b')},
        {4, L"IB80000", 'b', R::NumberOutOfRange, {}},
        {4, L"IB12345", 'i', R::InvalidDeviceFormat, {}},
        {4, L"IB7FFF", 'i', R::Ok, Dev(kIB, 0x7FFF * 16, 'i')},
        {4, L"IB7FFF", 'I', R::NumberCrossRange, {}},
        {4, L"IB1.2", 'b', R::InvalidDeviceFormat, {}},
        {4, L"IW0010.b5", 'b', R::Ok, Dev(kIW, 261, 'b')},
        {4, L"IW0x10", 'i', R::Ok, Dev(kIW, 256, 'i')},
        {4, L"1-3 MW100", 'i', R::Ok, Dev(kMW, 1600, 'i', 1, 4)},
        {5, L" 239 - 64  mw 100", 'i', R::Ok, Dev(kMW, 1600, 'i', 239, 65)},
        {7, L"0-FF MW100", 'i', R::Ok, Dev(kMW, 1600, 'i')},
        {4, L"0-ff IB0", 'b', R::Ok, Dev(kIB, 0, 'b')},
        {4, L"0-3 MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"1-0 MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"1-A MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"0-FE MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"240-1 MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"1-65 MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"40000-1 MW100", 'i', R::SegmentOutOfRange, {}},
        {4, L"1-3 GD100", 'i', R::SegmentOutOfRange, {}},
        {4, L"0-FF GD100", 'i', R::Ok, Dev(12289, 1600, 'i')},
        // Without a network part in the terminal type, a prefix is no device name.
        {3, L"1-3 MW100", 'i', R::InvalidDeviceName, {}},
        {2, L"0-FF MW100", 'i', R::InvalidDeviceName, {}},
        {4, L"", 'i', R::InvalidDeviceName, {}},
        {4, L" \t", 'i', R::InvalidDeviceName, {}},
        {4, L"XW100", 'i', R::InvalidDeviceName, {}},
        {4, L"MW\uFF11", 'i', R::InvalidDeviceName, {}},
        {2, L"GB16383", 'b', R::Ok, Dev(12290, 16383, 'b')},
        {2, L"GB16384", 'b', R::NumberOutOfRange, {}},
        {2, L"GB8", 'i', R::InvalidDeviceNumber, {}},
        {2, L"EG1", 'i', R::UnknownDeviceCode, {}},
        {1, L"MB100", 'i', R::InvalidDeviceType, {}},
        {6, L"MW100", 'b', R::InvalidDeviceType, {}},
        {6, L"MW100", 'i', R::Ok, Dev(kMW, 1600, 'i')},
        // The compact terminal checks no number ranges of the family's own kinds.
        {1, L"MW99999", 'i', R::Ok, Dev(kMW, 99999 * 16, 'i')},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(Narrow(c.text) + " terminal " + std::to_string(c.terminal) + " type " +
                     char(c.type));
        const ZorvikanMP plc = Plc(c.terminal);
        PqDevice d;
        d.mChannel = 7;
        EXPECT_EQ(plc.StringToDevice(c.text, c.type, d), c.result);
        if (c.result != DeviceResult::Ok) continue;
        PqDevice expected = c.device;
        expected.mChannel = 7;  // kept through the parse
        EXPECT_EQ(d, expected);
    }
}

TEST(MpText, LocalAndFullTexts) {
    struct Case {
        int terminal;
        PqDevice device;
        const wchar_t* local;
        const wchar_t* full;
        DeviceResult result;
    };
    using R = DeviceResult;
    const Case cases[] = {
        {4, Dev(kMW, 1600, 'i'), L"MW100", L"0-FF MW100", R::Ok},
        {4, Dev(kMW, 1603, 'b'), L"MW100.b3", L"0-FF MW100.b3", R::Ok},
        {4, Dev(kMW, 1600, 'i', 1, 4), L"MW100", L"1-3 MW100", R::Ok},
        {4, Dev(kMB, 31, 'b'), L"MB00001F", L"0-FF MB00001F", R::Ok},
        {4, Dev(kMB, 1600, 'i'), L"MB00100", L"0-FF MB00100", R::Ok},
        {4, Dev(kIB, 31, 'b'), L"IB0001F", L"0-FF IB0001F", R::Ok},
        {4, Dev(kIB, 0x7FFF * 16, 'i'), L"IB7FFF", L"0-FF IB7FFF", R::Ok},
        {4, Dev(kIW, 261, 'b'), L"IW0010.b5", L"0-FF IW0010.b5", R::Ok},
        {4, Dev(12289, 1605, 'b'), L"GD100.b5", L"0-FF GD100.b5", R::Ok},
        // Terminal types 0 and 2 show the network text too, although they do not read it back.
        {2, Dev(kMW, 1600, 'i'), L"MW100", L"0-FF MW100", R::Ok},
        {3, Dev(kMW, 1600, 'i', 1, 4), L"MW100", L"MW100", R::Ok},
        {6, Dev(kMW, 1600, 'i'), L"MW100", L"MW100", R::Ok},
        {4, Dev(kMW, 1600, 'i', 240, 1), L"??", L"??", R::SegmentOutOfRange},
        {4, Dev(kMW, 1600, 'i', 1, 0), L"??", L"??", R::SegmentOutOfRange},
        {4, Dev(kMW, 1601, 'i'), L"??", L"??", R::InvalidDeviceNumber},
        {4, Dev(kMW, 1048560, 'b'), L"??", L"??", R::NumberOutOfRange},
        {4, Dev(999, 0, 'i'), L"??", L"??", R::UnknownDeviceCode},
        {4, Dev(0, 0, 'i'), L"", L"0-FF ", R::Ok},
        {1, Dev(12291, 0, 'i'), L"??", L"??", R::UnknownDeviceCode},
    };
    for (const Case& c : cases) {
        const ZorvikanMP plc = Plc(c.terminal);
        std::wstring local = L"stale", full = L"stale";
        EXPECT_EQ(plc.DeviceToLocalString(c.device, local), c.result) << Narrow(c.local);
        EXPECT_EQ(local, c.local);
        EXPECT_EQ(plc.DeviceToString(c.device, full), c.result) << Narrow(c.full);
        EXPECT_EQ(full, c.full);
    }
    // The network text alone: empty where the terminal has none, nothing on failure.
    std::wstring network = L"stale";
    EXPECT_EQ(Plc(3).NetworkToString(Dev(kMW, 0, 'i', 300, 1), network), DeviceResult::Ok);
    EXPECT_EQ(network, L"");
    EXPECT_EQ(Plc(4).NetworkToString(Dev(kMW, 0, 'i', 300, 1), network),
              DeviceResult::SegmentOutOfRange);
    EXPECT_EQ(network, L"");
    EXPECT_EQ(Plc(0).NetworkToString(Dev(kMW, 0, 'i', 2, 65), network), DeviceResult::Ok);
    EXPECT_EQ(network, L"2-64");
}

TEST(MpFlatAddress, BlockCodesBothWays) {
    struct Case {
        int terminal;
        PqDevice device;
        int code, address, bit;
        PlcDataKind kind;
        std::uint8_t network, station;
    };
    const Case cases[] = {
        {4, Dev(kMB, 0x1FFFF, 'b'), 40193, 0xFFFF, 0, PlcDataKind::Bit, 0, 255},
        {4, Dev(kMB, 0xFFFF, 'b'), kMB, 0xFFFF, 0, PlcDataKind::Bit, 0, 255},
        {4, Dev(kMB, 0xFFFEF, 'b'), 40207, 0xFFEF, 0, PlcDataKind::Bit, 0, 255},
        {4, Dev(kMB, 0x10000, 'i'), 40193, 0, 0, PlcDataKind::Int16, 0, 255},
        {4, Dev(kIB, 0x7FFFF, 'b'), 39943, 0xFFFF, 0, PlcDataKind::Bit, 0, 255},
        {4, Dev(kIB, 0x10000, 'b'), 39937, 0, 0, PlcDataKind::Bit, 0, 255},
        {4, Dev(kIB, 16, 'U'), kIB, 16, 0, PlcDataKind::UInt32, 0, 255},
        {4, Dev(kMW, 1600, 'i'), kMW, 100, 0, PlcDataKind::Int16, 0, 255},
        {4, Dev(kMW, 1603, 'b'), kMW, 100, 3, PlcDataKind::WordBit, 0, 255},
        {4, Dev(kIW, 524256, 'F'), kIW, 32766, 0, PlcDataKind::Real, 0, 255},
        {4, Dev(kMW, 1600, 'D', 1, 4), kMW, 100, 0, PlcDataKind::Bcd32, 1, 3},
        {5, Dev(kMW, 1600, 'd', 239, 65), kMW, 100, 0, PlcDataKind::Bcd16, 239, 64},
        // Terminal types without a network part keep the flat address's own station.
        {2, Dev(kMW, 1600, 'i'), kMW, 100, 0, PlcDataKind::Int16, 0, 255},
        {3, Dev(kMB, 0x1FFFF, 'b'), 40193, 0xFFFF, 0, PlcDataKind::Bit, 0, 255},
    };
    for (const Case& c : cases) {
        const ZorvikanMP plc = Plc(c.terminal);
        PqDevice device = c.device;
        device.mChannel = 3;
        PlcAddress a;
        ASSERT_EQ(plc.DeviceToPlcAddress(device, a), DeviceResult::Ok) << c.code;
        EXPECT_EQ(a.code, c.code);
        EXPECT_EQ(a.address, c.address);
        EXPECT_EQ(a.bit, c.bit);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.network, c.network);
        EXPECT_EQ(a.station, c.station);
        EXPECT_EQ(a.channel, 3);
        PqDevice back;
        ASSERT_EQ(plc.PlcAddressToDevice(a, back), DeviceResult::Ok) << c.code;
        if (c.terminal == 4 || c.terminal == 5) {
            EXPECT_EQ(back, device);
        } else {
            PqDevice withoutSegment = device;
            withoutSegment.mSegment = {};
            EXPECT_EQ(back, withoutSegment);
        }
    }
}

TEST(MpFlatAddress, RefusedAddresses) {
    struct Case {
        int terminal;
        int code, address;
        PlcDataKind kind;
        DeviceResult result;
    };
    using R = DeviceResult;
    const Case cases[] = {
        {4, kMW, 65536, PlcDataKind::Int16, R::NumberOutOfRange},
        {4, kMW, -1, PlcDataKind::Int16, R::NumberOutOfRange},
        {4, 40208, 0, PlcDataKind::Bit, R::UnknownDeviceCode},
        {4, 39944, 0, PlcDataKind::Bit, R::UnknownDeviceCode},
        {4, 40193, 0, PlcDataKind::WordBit, R::Ok},  // a kind the form refuses: no device
        {1, kMW, 0, static_cast<PlcDataKind>(9), R::InvalidDeviceType},
        {1, kMW, 0, PlcDataKind::BitOffset, R::InvalidDeviceType},
        {4, kMW, 0, PlcDataKind::None, R::Ok},
        {4, 12345, 0, PlcDataKind::Int16, R::UnknownDeviceCode},
        {4, kIB, 0x7FFF0, PlcDataKind::Int16, R::NumberOutOfRange},
    };
    for (const Case& c : cases) {
        PlcAddress a;
        a.code = c.code;
        a.address = c.address;
        a.kind = c.kind;
        PqDevice d = Dev(5, 5, 'F');
        EXPECT_EQ(Plc(c.terminal).PlcAddressToDevice(a, d), c.result) << c.code << "/" << c.address;
    }
    // A bit offset adds the offset to the block's bit address.
    PlcAddress offset;
    offset.code = 40193;
    offset.address = 10;
    offset.bit = 5;
    offset.kind = PlcDataKind::BitOffset;
    PqDevice d;
    EXPECT_EQ(Plc(4).PlcAddressToDevice(offset, d), DeviceResult::Ok);
    EXPECT_EQ(d, Dev(kMB, 0x10000 + 15, 'b'));
}

TEST(MpTables, ByTerminalType) {
    const std::vector<std::string> names = {"GB", "GD", "GS", "MB", "IB", "IW", "MW"};
    const std::vector<int> codes = {12290, 12289, 12291, kMB, kIB, kIW, kMW};
    const std::vector<int> compactCodes = {12290, 12289, kMB, kIB, kIW, kMW};
    for (int terminal = -1; terminal <= 9; ++terminal) {
        const ZorvikanMP plc = Plc(terminal);
        const int t = plc.TerminalType();
        const bool full = t >= 3 && t <= 7;
        int count = -1;
        const char* const* table = plc.GetDeviceNameTable(count, 0);
        EXPECT_EQ(std::vector<std::string>(table, table + (table ? count : 0)),
                  full ? names : std::vector<std::string>{})
            << terminal;
        EXPECT_EQ(plc.GetDeviceNameTable(count, 2), nullptr);
        EXPECT_EQ(count, 0);
        const int* codeTable = plc.GetDeviceCodeTable(count);
        EXPECT_EQ(std::vector<int>(codeTable, codeTable + (codeTable ? count : 0)),
                  full ? codes : t == 1 ? compactCodes : std::vector<int>{})
            << terminal;
        for (std::size_t i = 0; i < codes.size(); ++i)
            EXPECT_EQ(plc.GetDeviceOrder(Dev(codes[i], 0, 'b')), full ? int(i) + 1 : -1);
        EXPECT_EQ(plc.GetDeviceOrder(PqDevice{}), 0);
        EXPECT_EQ(plc.GetDeviceOrder(Dev(999, 0, 'b')), -1);
    }
}

TEST(MpQueries, KindsBitAddressesAndBases) {
    const ZorvikanMP plc = Plc(4);
    struct Case {
        PqDevice device;
        bool bit, word;
        const wchar_t* prefix;
        int base;
        const char* kind;
    };
    const Case cases[] = {
        {Dev(kIB, 0, 'b'), true, false, L"IB", 16, "BIT"},
        {Dev(kMB, 0, 'b'), true, false, L"MB", 16, "BIT"},
        {Dev(kMB, 0, 'i'), true, false, L"MB", 10, "BIT"},
        {Dev(kIW, 0, 'i'), false, true, L"IW", 16, "WORD"},
        {Dev(kMW, 0, 'b'), false, true, L"MW", 10, "WORD"},
        {Dev(12290, 0, 'b'), true, false, L"GB", 10, "BIT"},
        {Dev(12289, 0, 'i'), false, true, L"GD", 10, "WORD"},
        {Dev(kMW, 1, 'i'), false, false, L"MW", 10, "WORD"},  // fails the check
        {Dev(999, 0, 'i'), false, false, L"??", -1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plc.IsBitDevice(c.device), c.bit) << c.device.mCode;
        EXPECT_EQ(plc.IsWordDevice(c.device), c.word) << c.device.mCode;
        std::wstring prefix;
        EXPECT_EQ(plc.GetDevicePrefix(c.device, prefix), c.base != -1);
        EXPECT_EQ(prefix, c.prefix);
        int base = -1;
        plc.GetNumberBase(c.device, base);
        EXPECT_EQ(base, c.base);
        CString kind = "stale";
        plc.GetDeviceKindText(c.device, kind);
        EXPECT_EQ(kind, c.kind);
    }
    for (int code : {kIB, kMB, 39937, 39943, 40193, 40207, 12290, kMW, kIW, 39936, 39944, 40192,
                     40208, 12289}) {
        for (PlcDataKind kind : {PlcDataKind::Bit, PlcDataKind::WordBit, PlcDataKind::Int16}) {
            PlcAddress a;
            a.code = code;
            a.kind = kind;
            const bool bitCode = code == kIB || code == kMB || (code >= 39937 && code <= 39943) ||
                                 (code >= 40193 && code <= 40207) || code == 12290;
            EXPECT_EQ(plc.IsPlcBitAddress(a), bitCode && kind == PlcDataKind::Bit) << code;
            EXPECT_FALSE(Plc(1).IsPlcBitAddress(a));
        }
    }
}

TEST(MpEditor, RangeTextsKindsAndPrefixes) {
    struct Range {
        int code, type, flags;
        const wchar_t *low, *high;
    };
    const Range ranges[] = {
        {kIB, 'b', 0, L"00000", L"7FFFF"}, {kIB, 'b', 4, L"00000", L"7FFF0"},
        {kIB, 'u', 0, L"0000", L"7FFF"},   {kIB, 'F', 0, L"0000", L"7FFE"},
        {kMB, 'b', 0, L"000000", L"65534F"}, {kMB, 'b', 5, L"000000", L"655340"},
        {kMB, 'd', 0, L"00000", L"65534"}, {kMB, 'D', 0, L"00000", L"65533"},
        {kIW, 'b', 4, L"0000", L"7FFF"},   {kIW, 'I', 0, L"0000", L"7FFE"},
        {kMW, 'i', 0, L"0", L"65534"},     {kMW, 'U', 0, L"0", L"65533"},
        {12290, 'b', 0, L"0", L"65535"},
    };
    for (const Range& r : ranges) {
        ZorvikanMP plc = Plc(4);
        plc.SetEditFlags(r.flags);
        std::vector<std::wstring> lows = {L"stale"}, highs;
        EXPECT_TRUE(plc.GetNumberRangeTexts(Dev(r.code, 0, r.type), lows, highs));
        EXPECT_EQ(lows, std::vector<std::wstring>{r.low});
        EXPECT_EQ(highs, std::vector<std::wstring>{r.high}) << r.code << char(r.type);
    }
    std::vector<std::wstring> lows, highs;
    EXPECT_TRUE(Plc(1).GetNumberRangeTexts(Dev(kMW, 0, 'i'), lows, highs));
    EXPECT_TRUE(lows.empty() && highs.empty());

    // Kind lists: categories 3 and 4 only outside the compact terminal.
    using Names = std::vector<std::wstring>;
    for (int terminal : {1, 2, 6}) {
        const ZorvikanMP plc = Plc(terminal);
        for (int category = 0; category <= 5; ++category) {
            Names names = {L"kept"};
            std::vector<int> codes = {0};
            plc.GetDeviceKinds(category, PqDevice{}, 'b', 0, names, codes);
            Names expected;
            const bool bits = category == 1 || (category == 3 && terminal != 1);
            const bool words = category == 2 || (category == 4 && terminal != 1);
            if (bits) expected = {L"kept", L"MB", L"IB", L"GB"};
            if (words) {
                expected = {L"kept", L"IW", L"MW"};
                if (terminal != 6) expected.push_back(L"GD");  // no GD for bit data on type 6
                if (terminal != 1) expected.push_back(L"GS");
            }
            EXPECT_EQ(names, expected) << terminal << "/" << category;
            EXPECT_EQ(names.size(), codes.size());
        }
    }

    struct Prefix {
        const wchar_t* prefix;
        bool ok;
        int code;
        int channel;
    };
    const Prefix prefixes[] = {{L"IB", true, kIB, 9}, {L"MW", true, kMW, 9}, {L"mw", false, 0, 0},
                               {L"GD", true, 12289, 0}, {L"GS", true, 12291, 0}, {L"", false, 0, 0}};
    for (const Prefix& p : prefixes) {
        PqDevice d = Dev(kIW, 160, 'F');
        d.mChannel = 9;
        EXPECT_EQ(Plc(4).SetDeviceByPrefix(p.prefix, 'u', d), p.ok);
        EXPECT_EQ(d.mCode, p.code);
        EXPECT_EQ(d.mNumber, 0);
        EXPECT_EQ(d.mType, 'u');
        EXPECT_EQ(d.mChannel, p.channel);  // internal devices have no channel
    }
    for (int terminal = -1; terminal <= 8; ++terminal) {
        const ZorvikanMP plc = Plc(terminal);
        const bool offered = plc.TerminalType() >= 3 && plc.TerminalType() <= 7;
        EXPECT_EQ(plc.CanUseBitOfWord(Dev(kMW, 0, 'i'), 'b'), offered);
        EXPECT_FALSE(plc.CanUseBitOfWord(Dev(kMW, 0, 'i'), 'i'));
        EXPECT_FALSE(plc.CanUseBitOfWord(Dev(kMB, 0, 'b'), 'b'));
        EXPECT_EQ(plc.CanUseBitOfWord(Dev(12289, 0, 'i'), 'b'), offered);
    }
}

TEST(MpFields, DialogTextsBothWays) {
    struct Case {
        PqDevice device;
        int flags;
        DeviceResult result;
        const char *prefix, *number, *bit, *network, *station;
        int useNetwork;
    };
    using R = DeviceResult;
    const Case cases[] = {
        {Dev(kMB, 31, 'b'), 0, R::Ok, "MB", "00001F", "", "1", "1", 0},
        {Dev(kIW, 261, 'b'), 0, R::Ok, "IW", "0010", "5", "1", "1", 0},
        {Dev(kMW, 1600, 'i', 1, 4), 0, R::Ok, "MW", "100", "", "1", "3", 1},
        {Dev(kIB, 17, 'b'), 4, R::InvalidDeviceNumber, "IB", "00011", "", "1", "1", 0},
        {Dev(kIB, 16, 'b'), 4, R::Ok, "IB", "00010", "", "1", "1", 0},
        {Dev(12289, 1605, 'b'), 0, R::Ok, "GD", "100", "5", "1", "1", 0},
    };
    for (const Case& c : cases) {
        ZorvikanMP plc = Plc(4);
        plc.SetEditFlags(c.flags);
        DeviceFields f;
        EXPECT_EQ(plc.DeviceToFields(c.device, f), c.result);
        EXPECT_EQ(f.prefix, c.prefix);
        EXPECT_EQ(f.number, c.number);
        EXPECT_EQ(f.bit, c.bit);
        EXPECT_EQ(f.network, c.network);
        EXPECT_EQ(f.station, c.station);
        EXPECT_EQ(f.useNetwork, c.useNetwork);
        // And back: the fields compose the same device again.
        PqDevice back;  // the dialog's working record: kind and type chosen, number open
        back.mCode = c.device.mCode;
        back.mType = c.device.mType;
        EXPECT_EQ(plc.FieldsToDevice(back, f), c.result);
        EXPECT_EQ(back, c.device);
    }
    // A failing record leaves the fields empty.
    DeviceFields f;
    f.prefix = "stale";
    EXPECT_EQ(Plc(4).DeviceToFields(Dev(kMW, 1, 'i'), f), DeviceResult::InvalidDeviceNumber);
    EXPECT_EQ(f.prefix, "");

    struct Compose {
        const char *prefix, *number, *bit, *network, *station;
        int useNetwork, type;
        DeviceResult result;
        PqDevice device;
    };
    const Compose composed[] = {
        {"IW", "0010", "5", "1", "3", 1, 'b', R::Ok, Dev(kIW, 261, 'b', 1, 4)},
        {"MW", "", "", "", "", 0, 'i', R::Ok, Dev(kMW, 0, 'i')},
        {"??", "1", "", "", "", 0, 'i', R::UnknownDeviceCode, {}},
        {"", "1", "", "", "", 0, 'i', R::UnknownDeviceCode, {}},
        {"MW", "1F", "", "", "", 0, 'i', R::InvalidDeviceFormat, {}},
        {"MW", "+1", "", "", "", 0, 'i', R::InvalidDeviceFormat, {}},
        {"MW", "1", "x", "", "", 0, 'b', R::InvalidDeviceFormat, {}},
        {"MW", "1", "16", "", "", 0, 'b', R::NumberOutOfRange, {}},
        {"MW", "1", "", "A", "1", 1, 'i', R::InvalidDeviceFormat, {}},
        {"MW", "1", "", "1", "-1", 1, 'i', R::InvalidDeviceFormat, {}},
        {"MW", "1", "", "240", "1", 1, 'i', R::SegmentOutOfRange, {}},
        {"MW", "1", "", "1", "1", 0, 'i', R::Ok, Dev(kMW, 16, 'i')},
    };
    for (const Compose& c : composed) {
        DeviceFields fields;
        fields.prefix = c.prefix;
        fields.number = c.number;
        fields.bit = c.bit;
        fields.network = c.network;
        fields.station = c.station;
        fields.useNetwork = c.useNetwork;
        PqDevice d;
        d.mType = c.type;
        EXPECT_EQ(Plc(4).FieldsToDevice(d, fields), c.result) << c.prefix << c.number;
        if (c.result == DeviceResult::Ok) {
            EXPECT_EQ(d, c.device);
        }
    }
}

TEST(MpShared, TypedTextAndOrderThroughTheFamily) {
    const ZorvikanMP plc = Plc(4);
    std::wstring text;
    EXPECT_EQ(plc.DeviceToTypedString(Dev(kMW, 1600, 'i'), text, true), DeviceResult::Ok);
    EXPECT_EQ(text, L"s16:MW100");
    EXPECT_EQ(plc.DeviceToTypedString(Dev(kMW, 1600, 'U', 1, 3), text, false), DeviceResult::Ok);
    EXPECT_EQ(text, L"1-2:w:MW100");
    PqDevice d;
    std::wstring tag;
    EXPECT_EQ(plc.TypedStringToDevice(L"1-2:w:MW100", d, tag, false), DeviceResult::Ok);
    EXPECT_EQ(d, Dev(kMW, 1600, 'i', 1, 3));
    // A detailed 32-bit tag is checked as a 32-bit access; a plain one as 16 bits.
    EXPECT_EQ(plc.TypedStringToDevice(L"s32:IB7FFF", d, tag, true), DeviceResult::NumberCrossRange);
    EXPECT_EQ(plc.TypedStringToDevice(L"s32:IB7FFF", d, tag, false), DeviceResult::Ok);
    EXPECT_EQ(d.mType, 'i');

    // Segment first, then the kind order (unknown kinds last), then the flat address.
    const std::vector<PqDevice> sorted = {Dev(12290, 5, 'b'),   Dev(kMB, 0, 'b'),
                                          Dev(kMB, 0x10000, 'b'), Dev(kIW, 0, 'i'),
                                          Dev(kMW, 16, 'i'),    Dev(999, 0, 'i'),
                                          Dev(kMB, 0, 'b', 1, 1)};
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            const int expected = i < j ? -1 : i > j ? 1 : 0;
            EXPECT_EQ(plc.CompareDevices(sorted[i], sorted[j], false), expected) << i << "/" << j;
        }
    }
    EXPECT_EQ(plc.CompareDevices(Dev(kMW, 16, 'i', 2, 2), Dev(kMW, 16, 'i', 1, 1), true), 0);
}

// With a network part: every valid device with a typeable segment prints its full text and parses
// back to the same record, and travels through its flat address unchanged. (The contract suite
// checks the local texts of every terminal type.)
TEST(MpLaws, EveryValidDeviceWithASegmentRoundTrips) {
    const test_support::KindRange kinds[] = {{kIB, 0, 524288},  {kMB, 0, 1048560},
                                             {kIW, 0, 524288},  {kMW, 0, 1048560},
                                             {12290, 0, 65536}, {12289, 0, 1048576},
                                             {12291, 0, 32768}};
    long checked = 0;
    for (int terminal : {4, 5, 7}) {
        const bool network = true;
        auto segment = [network](PqDevice& d) {
            if (!network || d.mCode >= 12289) return;
            // Typeable segments: the own station, or network 1..239 with station 1..64.
            const int n = d.mNumber;
            d.mSegment.mNetworkNo = static_cast<std::int16_t>(n % 240);
            d.mSegment.mStationNo = static_cast<std::int16_t>(d.mSegment.mNetworkNo ? 2 + n % 64 : 0);
        };
        checked += test_support::CheckRoundTrips(Plc(terminal), kinds, segment);
    }
    EXPECT_GT(checked, 1000);
}

// The network text of terminal types 0 and 2 is shown but not read back.
TEST(MpLaws, FullTextOfTerminalTypesZeroAndTwoDoesNotParse) {
    for (int terminal : {0, 2}) {
        const ZorvikanMP plc = Plc(terminal);
        std::wstring text;
        ASSERT_EQ(plc.DeviceToString(Dev(kMW, 1600, 'i'), text), DeviceResult::Ok);
        PqDevice back;
        EXPECT_EQ(plc.StringToDevice(text, 'i', back), DeviceResult::InvalidDeviceName);
    }
}

// Segments the range check accepts but no typed text can name: station 0 (station field 1) and
// a station on network 0. They print, and the printed text is refused.
TEST(MpLaws, SegmentsWithoutATypedForm) {
    const ZorvikanMP plc = Plc(4);
    struct Case {
        int network, station;
        const wchar_t* text;
    };
    const Case cases[] = {{1, 1, L"1-0 MW100"}, {0, 5, L"0-4 MW100"}, {0, 1, L"0-0 MW100"}};
    for (const Case& c : cases) {
        std::wstring text;
        ASSERT_EQ(plc.DeviceToString(Dev(kMW, 1600, 'i', c.network, c.station), text),
                  DeviceResult::Ok);
        EXPECT_EQ(text, c.text);
        PqDevice back;
        EXPECT_EQ(plc.StringToDevice(text, 'i', back), DeviceResult::SegmentOutOfRange);
    }
}

// No text makes a result-code operation throw, in any terminal type and data type.
RC_GTEST_PROP(MpLaws, AnyTextGivesAResultWithoutThrowing, ()) {
    ZorvikanMP plc;
    test_support::CheckAnyTextGivesAResult(plc, L"0123456789ABFIMWBGDS-. :bx");
}

}  // namespace
