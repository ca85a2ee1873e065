// The GL family: decimal numbers counted from 1, the three blocks of D, R and SR, the flat codes
// of SW and SR, tables and dialog fields.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "families/ZorvikanGL.h"
#include "support/FamilyLaws.h"
#include "support/Devices.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;
using R = DeviceResult;

constexpr int kI = 156, kO = 157, kD = 160, kZ = 168, kW = 175, kSW = 177, kR = 180, kK = 204,
              kSR = 46100;
constexpr int kGD = 12289, kGB = 12290, kGS = 12291;
constexpr int kTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

ZorvikanGL Plc(int terminal, int flags = 0) {
    ZorvikanGL plc;
    plc.SetTerminalType(terminal);
    plc.SetEditFlags(flags);
    return plc;
}

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

TEST(GlParse, TypedTexts) {
    struct Case {
        int terminal;
        const wchar_t* text;
        int type;
        DeviceResult result;
        PqDevice device;  // checked only on success
    };
    const Case cases[] = {
        {2, L"o1", 'b', R::Ok, Dev(kO, 0, 'b')},
        {2, L"I63424", 'b', R::Ok, Dev(kI, 63423, 'b')},
        {2, L"I63425", 'b', R::NumberOutOfRange, {}},
        {2, L"I0", 'b', R::NumberOutOfRange, {}},
        {2, L"I-5", 'b', R::NumberOutOfRange, {}},
        {2, L"I5.3", 'b', R::InvalidDeviceFormat, {}},        // bit devices take no bit suffix
        {2, L"I000000001", 'b', R::InvalidDeviceFormat, {}},  // eight digits at most
        {2, L"O2", 'i', R::InvalidDeviceNumber, {}},
        {2, L"O17", 'i', R::Ok, Dev(kO, 16, 'i')},
        {2, L"I63410", 'i', R::NumberCrossRange, {}},
        // D: three blocks, each an edge on both sides.
        {2, L"D1", 'b', R::Ok, Dev(kD, 0, 'b')},
        {2, L"D2048", 'b', R::Ok, Dev(kD, 2047, 'b')},
        {2, L"D2049", 'b', R::NumberOutOfRange, {}},
        {2, L"D3000", 'b', R::NumberOutOfRange, {}},
        {2, L"D10000", 'b', R::NumberOutOfRange, {}},
        {2, L"D10001", 'b', R::Ok, Dev(kD, 2048, 'b')},
        {2, L"D12048", 'b', R::Ok, Dev(kD, 4095, 'b')},
        {2, L"D12049", 'b', R::NumberOutOfRange, {}},
        {2, L"D20001", 'b', R::Ok, Dev(kD, 4096, 'b')},
        {2, L"D22048", 'b', R::Ok, Dev(kD, 6143, 'b')},
        {2, L"D22049", 'b', R::NumberOutOfRange, {}},
        {2, L"D30001", 'b', R::NumberOutOfRange, {}},
        {2, L"D0", 'b', R::NumberOutOfRange, {}},
        {2, L"D3000X", 'b', R::NumberOutOfRange, {}},  // the number is refused before the rest
        {2, L"D2034", 'i', R::NumberCrossRange, {}},   // a D run crossing its block end
        // Words with a bit suffix.
        {2, L"Z2.b3", 'b', R::Ok, Dev(kZ, 19, 'b')},
        {2, L"Z2.3", 'b', R::Ok, Dev(kZ, 19, 'b')},
        {2, L"z2.B3", 'b', R::Ok, Dev(kZ, 19, 'b')},
        {2, L"Z2.b3", 'i', R::InvalidDeviceType, {}},
        {2, L"Z2.b16", 'b', R::InvalidDeviceFormat, {}},
        {2, L"Z2.b-1", 'b', R::InvalidDeviceFormat, {}},
        {2, L"Z1", 'b', R::Ok, Dev(kZ, 0, 'b')},
        {2, L"Z0", 'i', R::NumberOutOfRange, {}},
        {2, L"Z31840", 'i', R::Ok, Dev(kZ, 509424, 'i')},
        {2, L"Z31840", 'I', R::NumberCrossRange, {}},
        {2, L"Z31841", 'i', R::NumberOutOfRange, {}},
        {2, L"W28291", 'u', R::Ok, Dev(kW, 452640, 'u')},
        {2, L"SW28291.b15", 'b', R::Ok, Dev(kSW, 452655, 'b')},
        {2, L"SW28292", 'i', R::NumberOutOfRange, {}},
        {2, L"K4096", 'F', R::NumberCrossRange, {}},
        {2, L"K4096", 'd', R::Ok, Dev(kK, 65520, 'd')},
        // R and SR: blocks of 2048 words; only the last block's end is a crossing.
        {2, L"R10001", 'i', R::Ok, Dev(kR, 32768, 'i')},
        {2, L"SR20001.b15", 'b', R::Ok, Dev(kSR, 65551, 'b')},
        {2, L"R2048", 'I', R::NumberOutOfRange, {}},
        {2, L"R12048", 'I', R::NumberOutOfRange, {}},
        {2, L"R22048", 'I', R::NumberCrossRange, {}},
        {2, L"R2047", 'I', R::Ok, Dev(kR, 32736, 'I')},
        {2, L"SR2049", 'i', R::NumberOutOfRange, {}},
        {2, L"SR22048.b15", 'b', R::Ok, Dev(kSR, 98303, 'b')},
        // Text shape.
        {2, L"Z1X", 'i', R::InvalidDeviceFormat, {}},
        {2, L"", 'i', R::InvalidDeviceName, {}},
        {2, L" \t ", 'i', R::InvalidDeviceName, {}},
        {2, L"Z 1", 'i', R::Ok, Dev(kZ, 0, 'i')},
        {2, L"XY1", 'i', R::InvalidDeviceName, {}},
        {2, L"Z\uFF11", 'i', R::InvalidDeviceName, {}},
        // The internal devices of the terminal.
        {2, L"gd100.b5", 'b', R::Ok, Dev(kGD, 1605, 'b')},
        {2, L"GS512", 'i', R::NumberOutOfRange, {}},
        {2, L"EG1", 'i', R::UnknownDeviceCode, {}},
        {1, L"GB0", 'i', R::InvalidDeviceType, {}},
        // The compact terminal still reads the family's own texts.
        {1, L"SR1", 'i', R::Ok, Dev(kSR, 0, 'i')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text) + " terminal " + std::to_string(c.terminal) + " type " +
                     char(c.type));
        PqDevice d = Dev(kK, 16, 'F', 1, 1);
        d.mChannel = 7;
        EXPECT_EQ(Plc(c.terminal).StringToDevice(c.text, c.type, d), c.result);
        if (c.result != R::Ok) continue;
        PqDevice expected = c.device;
        expected.mChannel = 7;  // kept through the parse; the segment is not
        EXPECT_EQ(d, expected);
    }
}

TEST(GlText, LocalTexts) {
    struct Case {
        PqDevice device;
        const wchar_t* text;
        DeviceResult result;
    };
    const Case cases[] = {
        {Dev(kO, 0, 'b'), L"O1", R::Ok},
        {Dev(kI, 63423, 'b'), L"I63424", R::Ok},
        {Dev(kD, 2047, 'b'), L"D2048", R::Ok},
        {Dev(kD, 2048, 'b'), L"D10001", R::Ok},
        {Dev(kD, 6128, 'i'), L"D22033", R::Ok},
        {Dev(kZ, 19, 'b'), L"Z2.b3", R::Ok},
        {Dev(kZ, 0, 'b'), L"Z1.b0", R::Ok},
        {Dev(kW, 16, 'U'), L"W2", R::Ok},
        {Dev(kSW, 64, 'i', 1, 4), L"SW5", R::Ok},  // no network part: the segment is not looked at
        {Dev(kR, 32768, 'i'), L"R10001", R::Ok},
        {Dev(kSR, 65551, 'b'), L"SR20001.b15", R::Ok},
        {Dev(kK, 65520, 'i'), L"K4096", R::Ok},
        {Dev(kGD, 1605, 'b'), L"GD100.b5", R::Ok},
        {Dev(0, 0, 'i'), L"", R::Ok},
        {Dev(kI, 63424, 'b'), L"??", R::NumberOutOfRange},
        {Dev(kD, -1, 'b'), L"??", R::NumberOutOfRange},
        {Dev(kD, 6144, 'b'), L"??", R::NumberOutOfRange},
        {Dev(kD, 2040, 'i'), L"??", R::NumberCrossRange},
        {Dev(kR, 32752, 'I'), L"??", R::NumberOutOfRange},
        {Dev(kR, 98288, 'I'), L"??", R::NumberCrossRange},
        {Dev(kO, 1, 'i'), L"??", R::InvalidDeviceNumber},
        {Dev(999, 0, 'i'), L"??", R::UnknownDeviceCode},
        {Dev(kGB, 5, 'b', 1, 0), L"??", R::SegmentOutOfRange},
    };
    const ZorvikanGL plc = Plc(2);
    for (const Case& c : cases) {
        std::wstring local = L"stale", full = L"stale", network = L"stale";
        EXPECT_EQ(plc.DeviceToLocalString(c.device, local), c.result) << Narrow(c.text);
        EXPECT_EQ(local, c.text);
        EXPECT_EQ(plc.DeviceToString(c.device, full), c.result);
        EXPECT_EQ(full, c.text);
        EXPECT_EQ(plc.NetworkToString(c.device, network), R::Ok);
        EXPECT_EQ(network, L"");
    }
    std::wstring typed;
    EXPECT_EQ(plc.DeviceToTypedString(Dev(kSR, 65551, 'b'), typed, true), R::Ok);
    EXPECT_EQ(typed, L"b:SR20001.b15");
    EXPECT_EQ(Plc(1).DeviceToTypedString(Dev(kSW, 64, 'i'), typed, true), R::NotAvailable);
}

TEST(GlRange, RunsAndBlockEdges) {
    struct Case {
        PqDevice device;
        int count;
        DeviceResult result;
    };
    const Case cases[] = {
        {Dev(kD, 2047, 'b'), 1, R::Ok},
        {Dev(kD, 2047, 'b'), 2, R::NumberCrossRange},
        {Dev(kD, 4095, 'b'), 2, R::NumberCrossRange},
        {Dev(kD, 6143, 'b'), 2, R::NumberCrossRange},
        {Dev(kD, 2032, 'i'), 1, R::Ok},
        {Dev(kD, 4080, 'i'), 2, R::NumberCrossRange},
        {Dev(kR, 32767, 'b'), 2, R::NumberOutOfRange},
        {Dev(kR, 65535, 'b'), 2, R::NumberOutOfRange},
        {Dev(kR, 98303, 'b'), 2, R::NumberCrossRange},
        {Dev(kSR, 65520, 'i'), 2, R::NumberOutOfRange},
        {Dev(kSR, 32752, 'i'), 1, R::Ok},
        {Dev(kR, 98304, 'b'), 1, R::NumberOutOfRange},
        {Dev(kR, -1, 'b'), 1, R::NumberOutOfRange},
        {Dev(kI, 63408, 'i'), 1, R::Ok},
        {Dev(kI, 63408, 'i'), 2, R::NumberCrossRange},
        {Dev(kK, 0, 'i'), 4096, R::Ok},
        {Dev(kK, 0, 'i'), 4097, R::NumberCrossRange},
        {Dev(kW, 0, 'i'), 0, R::Ok},
        {Dev(kW, 0, 'i'), -1, R::NumberCrossRange},  // a negative count asks for a huge run
        {Dev(kZ, 17, 'b'), 1, R::Ok},
        {Dev(kZ, 17, 'q'), 1, R::InvalidDeviceNumber},
        {Dev(kGB, 16380, 'b'), 8, R::NumberCrossRange},
    };
    const ZorvikanGL plc = Plc(2);
    for (const Case& c : cases) {
        EXPECT_EQ(plc.CheckDeviceRange(c.device, c.count), c.result)
            << c.device.mCode << "/" << c.device.mNumber << " x" << c.count;
    }
}

TEST(GlRange, RangeTexts) {
    struct Case {
        int code, type, flags;
        std::vector<std::wstring> lows, highs;
    };
    const std::vector<std::wstring> one = {L"1"}, blocks = {L"1", L"10001", L"20001"};
    const Case cases[] = {
        {kI, 'b', 0, one, {L"63424"}},
        {kO, 'b', 4, one, {L"63409"}},
        {kI, 'd', 0, one, {L"63409"}},
        {kO, 'F', 0, one, {L"63393"}},
        {kD, 'b', 0, blocks, {L"2048", L"12048", L"22048"}},
        {kD, 'u', 0, blocks, {L"2033", L"12033", L"22033"}},
        {kD, 'I', 4, blocks, {L"2017", L"12017", L"22017"}},
        {kZ, 'b', 4, one, {L"31840"}},
        {kZ, 'D', 0, one, {L"31839"}},
        {kW, 'i', 0, one, {L"28291"}},
        {kSW, 'U', 0, one, {L"28290"}},
        {kR, 'b', 0, blocks, {L"2048", L"12048", L"22048"}},
        {kSR, 'q', 0, blocks, {L"2047", L"12047", L"22047"}},  // any other type counts as 32-bit
        {kK, 'i', 0, one, {L"4096"}},
        {kK, 'F', 0, one, {L"4095"}},
        {kGB, 'b', 0, {L"0"}, {L"16383"}},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> lows = {L"stale"}, highs = {L"stale"};
        EXPECT_TRUE(Plc(2, c.flags).GetNumberRangeTexts(Dev(c.code, 0, c.type), lows, highs));
        EXPECT_EQ(lows, c.lows) << c.code << char(c.type);
        EXPECT_EQ(highs, c.highs) << c.code << char(c.type);
    }
    std::vector<std::wstring> lows = {L"stale"}, highs;
    EXPECT_FALSE(Plc(2).GetNumberRangeTexts(Dev(999, 0, 'i'), lows, highs));
    EXPECT_EQ(lows, std::vector<std::wstring>{L""});
}

// Every low and high text is a number the dialog accepts for the kind, type and flags; the
// numbers just outside each pair are not.
TEST(GlRange, RangeTextsBoundWhatTheDialogAccepts) {
    for (int code : {kI, kO, kD, kZ, kW, kSW, kR, kSR, kK}) {
        for (int type : kTypes) {
            for (int flags : {0, 4}) {
                const ZorvikanGL plc = Plc(2, flags);
                std::vector<std::wstring> lows, highs;
                ASSERT_TRUE(plc.GetNumberRangeTexts(Dev(code, 0, type), lows, highs));
                std::wstring prefix;
                plc.GetDevicePrefix(Dev(code, 0, type), prefix);
                auto accepts = [&](long number) {
                    DeviceFields fields;
                    fields.prefix = Narrow(prefix).c_str();
                    fields.number = std::to_string(number);
                    PqDevice d = Dev(code, 0, type);
                    return plc.FieldsToDevice(d, fields) == R::Ok;
                };
                for (std::size_t i = 0; i < lows.size(); ++i) {
                    const long low = std::stol(lows[i]), high = std::stol(highs[i]);
                    SCOPED_TRACE(Narrow(prefix) + char(type) + std::to_string(flags) + " " +
                                 std::to_string(low) + ".." + std::to_string(high));
                    EXPECT_TRUE(accepts(low));
                    EXPECT_TRUE(accepts(high));
                    EXPECT_FALSE(accepts(low - 1));
                    EXPECT_FALSE(accepts(high + 1));
                }
            }
        }
    }
}

TEST(GlFlatAddress, BothWays) {
    struct Case {
        int terminal;
        PqDevice device;
        int code, address, bit;
        PlcDataKind kind;
    };
    const Case cases[] = {
        {2, Dev(kI, 0, 'b'), kI, 1, 0, PlcDataKind::Bit},
        {2, Dev(kO, 63423, 'b'), kO, 63424, 0, PlcDataKind::Bit},
        {2, Dev(kD, 2048, 'b'), kD, 10001, 0, PlcDataKind::Bit},
        {2, Dev(kD, 6128, 'i'), kD, 22033, 0, PlcDataKind::Int16},
        {2, Dev(kZ, 19, 'b'), kZ, 2, 3, PlcDataKind::WordBit},
        {2, Dev(kW, 16, 'u'), kW, 2, 0, PlcDataKind::UInt16},
        {2, Dev(kSW, 64, 'i'), 45056, 5, 0, PlcDataKind::Int16},
        {2, Dev(kR, 65551, 'b'), kR, 20001, 15, PlcDataKind::WordBit},
        {2, Dev(kSR, 32768, 'i'), 46080, 10001, 0, PlcDataKind::Int16},
        {2, Dev(kK, 65504, 'F'), kK, 4095, 0, PlcDataKind::Real},
        {2, Dev(kGD, 1605, 'b'), kGD, 100, 5, PlcDataKind::WordBit},
        {1, Dev(kGB, 5, 'b'), 3841, 5, 0, PlcDataKind::Bit},
        {1, Dev(kSR, 98272, 'D'), 46080, 22047, 0, PlcDataKind::Bcd32},
    };
    for (const Case& c : cases) {
        const ZorvikanGL plc = Plc(c.terminal);
        PqDevice device = c.device;
        device.mChannel = 3;
        PlcAddress a;
        ASSERT_EQ(plc.DeviceToPlcAddress(device, a), R::Ok) << c.code;
        EXPECT_EQ(a.code, c.code);
        EXPECT_EQ(a.address, c.address);
        EXPECT_EQ(a.bit, c.bit);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.channel, 3);  // internal devices too
        EXPECT_EQ(a.station, 255);
        PqDevice back = Dev(kK, 16, 'F');
        ASSERT_EQ(plc.PlcAddressToDevice(a, back), R::Ok) << c.code;
        EXPECT_EQ(back, device);
    }
}

// Flat addresses that name no typed device, or another one than their number suggests.
TEST(GlFlatAddress, AddressesWithoutTheirOwnRecord) {
    struct Case {
        int terminal;
        int code, address, bit;
        PlcDataKind kind;
        DeviceResult result;
        PqDevice device;
    };
    const Case cases[] = {
        // Numbers in the gaps between the blocks land in the next block: D3000 is D10952.
        {2, kD, 3000, 0, PlcDataKind::Bit, R::Ok, Dev(kD, 2999, 'b')},
        {2, kD, 10000, 0, PlcDataKind::Bit, R::Ok, Dev(kD, 2047, 'b')},
        {2, kR, 2049, 0, PlcDataKind::Int16, R::Ok, Dev(kR, 32768, 'i')},
        // The record codes of SW and SR are no flat codes.
        {2, kSW, 5, 0, PlcDataKind::Int16, R::UnknownDeviceCode, {}},
        {2, kSR, 5, 0, PlcDataKind::Int16, R::UnknownDeviceCode, {}},
        {2, kI, 0, 0, PlcDataKind::Bit, R::NumberOutOfRange, Dev(kI, -1, 'b')},
        {2, kZ, 0, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kZ, -16, 'i')},
        {2, kW, 65536, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kW, 65535 * 16, 'i')},
        {2, kI, 10, 5, PlcDataKind::BitOffset, R::Ok, Dev(kI, 14, 'b')},
        {2, kI, 1, 0, PlcDataKind::WordBit, R::Ok, PqDevice{}},  // a kind the form refuses
        {2, kR, 1, 0, PlcDataKind::BitOffset, R::Ok, PqDevice{}},
        {2, 0, 0, 0, PlcDataKind::None, R::Ok, PqDevice{}},
        {1, kZ, 1, 0, static_cast<PlcDataKind>(9), R::InvalidDeviceType, PqDevice{}},
        {1, kZ, 1, 0, PlcDataKind::BitOffset, R::InvalidDeviceType, PqDevice{}},
        // Any number converts in 32-bit arithmetic before the address is refused.
        {2, kD, 0x7FFFFFFF, 0, PlcDataKind::Bit, R::NumberOutOfRange, Dev(kD, 439807550, 'b')},
        {2, kR, -0x7FFFFFFF - 1, -1, PlcDataKind::WordBit, R::NumberOutOfRange,
         Dev(kR, 1553013743, 'b')},
    };
    for (const Case& c : cases) {
        PlcAddress a;
        a.code = c.code;
        a.address = c.address;
        a.bit = c.bit;
        a.kind = c.kind;
        PqDevice d = Dev(kK, 16, 'F');
        EXPECT_EQ(Plc(c.terminal).PlcAddressToDevice(a, d), c.result) << c.code << "/" << c.address;
        EXPECT_EQ(d, c.device) << c.code << "/" << c.address;
    }
    std::wstring text;
    EXPECT_EQ(Plc(2).DeviceToLocalString(Dev(kD, 2999, 'b'), text), R::Ok);
    EXPECT_EQ(text, L"D10952");
}

TEST(GlTables, ByTerminalType) {
    const std::vector<std::string> names = {"GB", "GD", "GS", "O", "I",  "D",
                                            "Z",  "W",  "SW", "R", "SR", "K"};
    const std::vector<int> codes = {kGB, kGD, kGS, kO, kI, kD, kZ, kW, kSW, kR, kSR, kK};
    for (int terminal = -1; terminal <= 9; ++terminal) {
        const ZorvikanGL plc = Plc(terminal);
        const int t = plc.TerminalType();
        const bool offered = t == 0 || (t >= 2 && t <= 7);
        for (int which : {0, 1, 2}) {
            int count = -1;
            const char* const* table = plc.GetDeviceNameTable(count, which);
            const bool expected = offered && which != 2;
            ASSERT_EQ(table != nullptr, expected) << terminal;
            EXPECT_EQ(count, expected ? 12 : 0);
            if (table) {
                EXPECT_EQ(std::vector<std::string>(table, table + count), names);
                EXPECT_EQ(table[count], nullptr);  // the host stops at the zero entry
            }
        }
        int count = -1;
        const int* codeTable = plc.GetDeviceCodeTable(count);
        ASSERT_EQ(codeTable != nullptr, offered);
        EXPECT_EQ(count, offered ? 12 : 0);
        if (codeTable) {
            EXPECT_EQ(std::vector<int>(codeTable, codeTable + count), codes);
            EXPECT_EQ(codeTable[count], 0);
        }
        for (std::size_t i = 0; i < codes.size(); ++i)
            EXPECT_EQ(plc.GetDeviceOrder(Dev(codes[i], 0, 'b')), offered ? int(i) + 1 : -1);
        EXPECT_EQ(plc.GetDeviceOrder(PqDevice{}), 0);
        EXPECT_EQ(plc.GetDeviceOrder(Dev(45056, 0, 'i')), -1);

        // Kind lists: appended to what the caller holds; none at all on the compact terminal.
        for (int category = 0; category <= 5; ++category) {
            std::vector<std::wstring> list = {L"kept"};
            std::vector<int> listCodes = {0};
            plc.GetDeviceKinds(category, PqDevice{}, 'b', 0, list, listCodes);
            std::vector<std::wstring> expected;
            if (t != 1 && (category == 1 || category == 3))
                expected = {L"kept", L"O", L"I", L"D", L"GB"};
            if (t != 1 && (category == 2 || category == 4)) {
                expected = {L"kept", L"Z", L"W", L"SW", L"R", L"SR", L"K"};
                if (t != 6) expected.push_back(L"GD");  // no GD for bit data on type 6
                expected.push_back(L"GS");
            }
            EXPECT_EQ(list, expected) << terminal << "/" << category;
            EXPECT_EQ(list.size(), listCodes.size());
        }
    }
    std::vector<std::wstring> list;
    std::vector<int> listCodes;
    Plc(2).GetDeviceKinds(2, PqDevice{}, 'i', 0, list, listCodes);
    EXPECT_EQ(listCodes, (std::vector<int>{kZ, kW, kSW, kR, kSR, kK, kGD, kGS}));
}

TEST(GlQueries, KindsPrefixesAndBitAddresses) {
    struct Case {
        PqDevice device;
        bool bit, word;
        const wchar_t* prefix;
        int base;  // -1: left alone
        const char* kind;
        int initial;  // -1: left alone
        bool bitOfWord;
    };
    const Case cases[] = {
        {Dev(kI, 0, 'b'), true, false, L"I", 10, "BIT", 1, false},
        {Dev(kO, 0, 'i'), true, false, L"O", 10, "BIT", 1, false},
        {Dev(kD, 0, 'b'), true, false, L"D", 10, "BIT", 1, false},
        {Dev(kZ, 0, 'b'), false, true, L"Z", 10, "WORD", 1, true},
        {Dev(kW, 0, 'i'), false, true, L"W", 10, "WORD", 1, true},
        {Dev(kSW, 0, 'i'), false, true, L"SW", 10, "WORD", 1, true},
        {Dev(kR, 0, 'i'), false, true, L"R", 10, "WORD", 1, true},
        {Dev(kSR, 0, 'i'), false, true, L"SR", 10, "WORD", 1, true},
        {Dev(kK, 0, 'i'), false, true, L"K", 10, "WORD", 1, true},
        {Dev(kGB, 0, 'b'), true, false, L"GB", 10, "BIT", 0, false},
        {Dev(kGD, 0, 'i'), false, true, L"GD", 10, "WORD", 0, true},
        {Dev(kK, 1, 'i'), false, false, L"K", 10, "WORD", 1, true},  // fails the range check
        {Dev(999, 0, 'i'), false, false, L"??", -1, "", -1, false},
    };
    const ZorvikanGL plc = Plc(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device.mCode);
        EXPECT_EQ(plc.IsBitDevice(c.device), c.bit);
        EXPECT_EQ(plc.IsWordDevice(c.device), c.word);
        std::wstring prefix;
        EXPECT_EQ(plc.GetDevicePrefix(c.device, prefix), c.base != -1);
        EXPECT_EQ(prefix, c.prefix);
        int base = -1;
        EXPECT_EQ(plc.GetNumberBase(c.device, base), c.base != -1);
        EXPECT_EQ(base, c.base);
        CString kind = "stale";
        plc.GetDeviceKindText(c.device, kind);
        EXPECT_EQ(kind, c.kind);
        std::int32_t initial = -1;
        plc.GetInitialNumber(c.device, initial);
        EXPECT_EQ(initial, c.initial);
        EXPECT_EQ(plc.CanUseBitOfWord(c.device, 'b'), c.bitOfWord);
        EXPECT_FALSE(plc.CanUseBitOfWord(c.device, 'i'));
    }
    for (int code : {kI, kO, kD, kGB, kZ, kW, 45056, kR, 46080, kK, kGD, 3841}) {
        for (PlcDataKind kind : {PlcDataKind::Bit, PlcDataKind::WordBit, PlcDataKind::Int16}) {
            PlcAddress a;
            a.code = code;
            a.kind = kind;
            const bool bitCode = code == kI || code == kO || code == kD || code == kGB;
            EXPECT_EQ(plc.IsPlcBitAddress(a), bitCode && kind == PlcDataKind::Bit) << code;
            EXPECT_FALSE(Plc(1).IsPlcBitAddress(a));
        }
    }
}

TEST(GlEditor, SetDeviceByPrefix) {
    struct Case {
        int terminal;
        const wchar_t* prefix;
        bool ok;
        int code;
        int channel;
    };
    const Case cases[] = {
        {2, L"I", true, kI, 9},   {2, L"O", true, kO, 9},   {2, L"D", true, kD, 9},
        {2, L"Z", true, kZ, 9},   {2, L"W", true, kW, 9},   {2, L"SW", true, kSW, 9},
        {2, L"R", true, kR, 9},   {2, L"SR", true, kSR, 9}, {2, L"K", true, kK, 9},
        {2, L"sr", false, 0, 0},  {2, L"S", false, 0, 0},   {2, L"SWX", false, 0, 0},
        {2, L"", false, 0, 0},    {2, L"GD", true, kGD, 0}, {2, L"GS", true, kGS, 0},
        {1, L"GS", true, kGS, 9},  // not internal on the compact terminal: the channel stays
    };
    for (const Case& c : cases) {
        PqDevice d = Dev(kZ, 160, 'F', 1, 2);
        d.mChannel = 9;
        EXPECT_EQ(Plc(c.terminal).SetDeviceByPrefix(c.prefix, 'u', d), c.ok) << Narrow(c.prefix);
        PqDevice expected = Dev(c.code, 0, 'u');
        expected.mChannel = c.channel;
        EXPECT_EQ(d, expected) << Narrow(c.prefix);
    }
}

TEST(GlFields, DialogTextsBothWays) {
    struct Case {
        PqDevice device;
        int flags;
        DeviceResult result;
        const char *prefix, *number, *bit;
    };
    const Case cases[] = {
        {Dev(kZ, 19, 'b'), 0, R::Ok, "Z", "2", "3"},
        {Dev(kD, 2048, 'b'), 0, R::Ok, "D", "10001", ""},
        {Dev(kSR, 65551, 'b'), 0, R::Ok, "SR", "20001", "15"},
        {Dev(kR, 32768, 'I'), 0, R::Ok, "R", "10001", ""},
        {Dev(kI, 17, 'b'), 4, R::InvalidDeviceNumber, "I", "18", ""},
        {Dev(kI, 16, 'b'), 4, R::Ok, "I", "17", ""},
        {Dev(kGD, 1605, 'b'), 0, R::Ok, "GD", "100", "5"},
    };
    for (const Case& c : cases) {
        const ZorvikanGL plc = Plc(2, c.flags);
        DeviceFields f;
        f.network = "stale";
        f.useNetwork = 1;
        EXPECT_EQ(plc.DeviceToFields(c.device, f), c.result);
        EXPECT_EQ(f.prefix, c.prefix);
        EXPECT_EQ(f.number, c.number);
        EXPECT_EQ(f.bit, c.bit);
        EXPECT_EQ(f.network, "");
        EXPECT_EQ(f.useNetwork, 0);
        PqDevice back = Dev(c.device.mCode, 0, c.device.mType);
        EXPECT_EQ(plc.FieldsToDevice(back, f), c.result);
        EXPECT_EQ(back, c.device);
    }
    // A record the range check refuses still shows its kind.
    DeviceFields f;
    EXPECT_EQ(Plc(2).DeviceToFields(Dev(kO, 1, 'i'), f), R::InvalidDeviceNumber);
    EXPECT_EQ(f.prefix, "O");
    EXPECT_EQ(f.number, "");

    struct Compose {
        int code;
        const char *prefix, *number, *bit;
        int type, flags;
        DeviceResult result;
        PqDevice device;
    };
    const Compose composed[] = {
        {kZ, "Z", "", "", 'i', 0, R::Ok, Dev(kZ, 0, 'i')},  // the dialog proposes number 1
        {kSR, "SR", "20001", "15", 'b', 0, R::Ok, Dev(kSR, 65551, 'b')},
        {kZ, "??", "1", "", 'i', 0, R::UnknownDeviceCode, {}},
        {kZ, "", "1", "", 'i', 0, R::UnknownDeviceCode, {}},
        {kZ, "Z", "1F", "", 'i', 0, R::InvalidDeviceFormat, {}},
        {kZ, "Z", "+1", "", 'i', 0, R::InvalidDeviceFormat, {}},
        {kZ, "Z", "1", "x", 'b', 0, R::InvalidDeviceFormat, {}},
        {kZ, "Z", "1", "16", 'b', 0, R::NumberOutOfRange, {}},
        {kZ, "Z", "1", "3", 'i', 0, R::InvalidDeviceType, {}},
        {kD, "D", "3000", "", 'b', 0, R::NumberOutOfRange, {}},
        {kO, "O", "2", "", 'b', 4, R::InvalidDeviceNumber, {}},
        {kO, "O", "17", "", 'b', 4, R::Ok, Dev(kO, 16, 'b')},
    };
    for (const Compose& c : composed) {
        DeviceFields fields;
        fields.prefix = c.prefix;
        fields.number = c.number;
        fields.bit = c.bit;
        PqDevice d = Dev(c.code, 0, c.type);
        EXPECT_EQ(Plc(2, c.flags).FieldsToDevice(d, fields), c.result) << c.prefix << c.number;
        if (c.result == R::Ok) {
            EXPECT_EQ(d, c.device);
        }
    }
}

TEST(GlFields, RunsStayInTheirBlock) {
    struct Case {
        PqDevice device, reference;
        int count;
        DeviceResult result;
    };
    const Case cases[] = {
        {Dev(kD, 2047, 'b'), Dev(kD, 0, 'b'), 1, R::Ok},
        {Dev(kD, 2047, 'b'), Dev(kD, 2048, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kD, 4096, 'b'), Dev(kD, 4095, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kD, 4096, 'b'), Dev(kZ, 40000, 'i'), 1, R::Ok},  // only the numbers are compared
        {Dev(kD, 2040, 'b'), Dev(kD, 2040, 'b'), 9, R::NumberCrossRange},
        {Dev(kR, 32767, 'b'), Dev(kR, 32768, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kSR, 65536, 'i'), Dev(kSR, 65535, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kSR, 65536, 'i'), Dev(kSR, 98303, 'b'), 1, R::Ok},
        {Dev(kR, 32752, 'i'), Dev(kR, 0, 'i'), 2, R::NumberOutOfRange},
        {Dev(kZ, 0, 'i'), Dev(kZ, 500000, 'i'), 1, R::Ok},
        {Dev(kK, 16, 'i'), Dev(kK, 0, 'i'), 4096, R::NumberCrossRange},
    };
    for (const Case& c : cases) {
        DeviceFields fields;
        PqDevice device = c.device, reference = c.reference;
        EXPECT_EQ(Plc(2).CheckDeviceFields(fields, device, c.count, reference), c.result)
            << c.device.mCode << "/" << c.device.mNumber;
    }
}

// No text makes a result-code operation throw, in any terminal type and data type. (The contract
// suite checks every valid device's round trips.)
RC_GTEST_PROP(GlLaws, AnyTextGivesAResultWithoutThrowing, ()) {
    ZorvikanGL plc;
    test_support::CheckAnyTextGivesAResult(plc, L"0123456789IODZWSRKGBE.b- :");
}

}  // namespace
