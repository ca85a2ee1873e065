// The MS family: bit devices OB and IB, word devices I, M and the lower-case "o", the folded
// flat addresses of the word kinds, tables and dialog fields.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "families/ZorvikanMS.h"
#include "support/FamilyLaws.h"
#include "support/Devices.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;
using R = DeviceResult;

constexpr int kIB = 156, kOB = 157, kI = 168, kM = 175, kO = 180;
constexpr int kGD = 12289, kGB = 12290, kGS = 12291;
constexpr int kTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

ZorvikanMS Plc(int terminal, int flags = 0) {
    ZorvikanMS plc;
    plc.SetTerminalType(terminal);
    plc.SetEditFlags(flags);
    return plc;
}

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

TEST(MsParse, TypedTexts) {
    struct Case {
        int terminal;
        const wchar_t* text;
        int type;
        DeviceResult result;
        PqDevice device;  // checked only on success
    };
    const Case cases[] = {
        {2, L"ob17", 'b', R::Ok, Dev(kOB, 17, 'b')},
        {2, L"ob 17", 'b', R::Ok, Dev(kOB, 17, 'b')},
        {2, L"IB 5", 'b', R::Ok, Dev(kIB, 5, 'b')},
        {2, L"O12", 'i', R::Ok, Dev(kO, 192, 'i')},
        {2, L"o12", 'i', R::Ok, Dev(kO, 192, 'i')},
        {2, L"o63.b0", 'b', R::Ok, Dev(kO, 1008, 'b')},
        {2, L"O64", 'i', R::NumberOutOfRange, {}},
        {2, L"O-1", 'i', R::NumberOutOfRange, {}},
        {2, L"i3", 'i', R::Ok, Dev(kI, 48, 'i')},
        {2, L"I3.5", 'b', R::Ok, Dev(kI, 53, 'b')},
        {2, L"I3.B5", 'b', R::Ok, Dev(kI, 53, 'b')},
        {2, L"I64", 'i', R::NumberOutOfRange, {}},
        {2, L"I64X", 'i', R::NumberOutOfRange, {}},  // the word is refused before the rest
        {2, L"I63", 'I', R::NumberCrossRange, {}},
        {2, L"I62", 'I', R::Ok, Dev(kI, 992, 'I')},
        {2, L"M2047.b15", 'b', R::Ok, Dev(kM, 32767, 'b')},
        {2, L"M2047.b16", 'b', R::InvalidDeviceFormat, {}},
        {2, L"M5.b3", 'i', R::InvalidDeviceType, {}},
        {2, L"M2048", 'i', R::NumberOutOfRange, {}},
        {2, L"M2048.b16", 'b', R::NumberOutOfRange, {}},  // the word before the suffix
        {2, L"M2047", 'F', R::NumberCrossRange, {}},
        {2, L"M1X", 'i', R::InvalidDeviceFormat, {}},
        {2, L"IB17", 'i', R::InvalidDeviceNumber, {}},
        {2, L"IB16", 'i', R::Ok, Dev(kIB, 16, 'i')},
        {2, L"IB1008", 'i', R::Ok, Dev(kIB, 1008, 'i')},
        {2, L"IB1009", 'i', R::NumberCrossRange, {}},
        {2, L"IB1023", 'b', R::Ok, Dev(kIB, 1023, 'b')},
        {2, L"IB1024", 'b', R::NumberOutOfRange, {}},
        {2, L"IB-1", 'b', R::NumberOutOfRange, {}},
        {2, L"OB8388609", 'b', R::NumberOutOfRange, {}},
        {2, L"OB5.1", 'b', R::InvalidDeviceFormat, {}},  // bit devices take no bit suffix
        {2, L"", 'i', R::InvalidDeviceName, {}},
        {2, L" \r\n", 'i', R::InvalidDeviceName, {}},
        {2, L"X1", 'i', R::InvalidDeviceName, {}},
        {2, L"I\u0130", 'i', R::InvalidDeviceName, {}},
        {2, L"gd100.b5", 'b', R::Ok, Dev(kGD, 1605, 'b')},
        {2, L"EG1", 'i', R::UnknownDeviceCode, {}},
        {1, L"GS0", 'i', R::UnknownDeviceCode, {}},
        {1, L"GB0", 'i', R::InvalidDeviceType, {}},
        // The compact terminal lists no kinds but still reads typed texts.
        {1, L"M5", 'i', R::Ok, Dev(kM, 80, 'i')},
        {1, L"M2048", 'i', R::NumberOutOfRange, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text) + " terminal " + std::to_string(c.terminal) + " type " +
                     char(c.type));
        PqDevice d = Dev(kM, 16, 'F', 1, 1);
        d.mChannel = 7;
        EXPECT_EQ(Plc(c.terminal).StringToDevice(c.text, c.type, d), c.result);
        if (c.result != R::Ok) continue;
        PqDevice expected = c.device;
        expected.mChannel = 7;  // kept through the parse; the segment is not
        EXPECT_EQ(d, expected);
    }
}

TEST(MsText, LocalTexts) {
    struct Case {
        PqDevice device;
        const wchar_t* text;
        DeviceResult result;
    };
    const Case cases[] = {
        {Dev(kIB, 0, 'b'), L"IB0", R::Ok},
        {Dev(kIB, 1023, 'b'), L"IB1023", R::Ok},
        {Dev(kOB, 17, 'b'), L"OB17", R::Ok},
        {Dev(kOB, 992, 'U'), L"OB992", R::Ok},
        {Dev(kI, 192, 'i'), L"I12", R::Ok},
        {Dev(kI, 197, 'b'), L"I12.b5", R::Ok},
        {Dev(kM, 1600, 'i', 1, 4), L"M100", R::Ok},  // the network fields are left alone
        {Dev(kM, 32767, 'b'), L"M2047.b15", R::Ok},
        {Dev(kO, 48, 'i'), L"o3", R::Ok},
        {Dev(kO, 1008, 'b'), L"o63.b0", R::Ok},
        {Dev(kGD, 1605, 'b'), L"GD100.b5", R::Ok},
        {Dev(0, 0, 'i'), L"", R::Ok},
        {Dev(kIB, 1024, 'b'), L"??", R::NumberOutOfRange},
        {Dev(kOB, -1, 'b'), L"??", R::NumberOutOfRange},
        {Dev(kIB, 1009, 'i'), L"??", R::NumberCrossRange},
        {Dev(kIB, 17, 'i'), L"??", R::InvalidDeviceNumber},
        {Dev(kM, 32768, 'b'), L"??", R::NumberOutOfRange},
        {Dev(kO, 1008, 'I'), L"??", R::NumberCrossRange},
        {Dev(kI, 1, 'u'), L"??", R::InvalidDeviceNumber},
        {Dev(999, 0, 'i'), L"??", R::UnknownDeviceCode},
        {Dev(kGB, 5, 'b', 0, 1), L"??", R::SegmentOutOfRange},
    };
    const ZorvikanMS plc = Plc(2);
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
    EXPECT_EQ(plc.DeviceToTypedString(Dev(kO, 48, 'U'), typed, true), R::Ok);
    EXPECT_EQ(typed, L"u32:o3");
    EXPECT_EQ(Plc(1).DeviceToTypedString(Dev(kO, 48, 'U'), typed, true), R::NotAvailable);
    PqDevice d;
    EXPECT_EQ(plc.TypedStringToDevice(L"b:o3.b2", d, typed, true), R::Ok);
    EXPECT_EQ(d, Dev(kO, 50, 'b'));
}

TEST(MsRange, RunsAndRangeTexts) {
    struct Run {
        PqDevice device;
        int count;
        DeviceResult result;
    };
    const Run runs[] = {
        {Dev(kOB, 1023, 'b'), 1, R::Ok},
        {Dev(kOB, 1023, 'b'), 2, R::NumberCrossRange},
        {Dev(kOB, 0, 'i'), 64, R::Ok},
        {Dev(kOB, 0, 'i'), 65, R::NumberCrossRange},
        {Dev(kI, 960, 'I'), 2, R::Ok},
        {Dev(kO, 976, 'I'), 2, R::NumberCrossRange},
        {Dev(kM, 0, 'D'), 1024, R::Ok},
        {Dev(kM, 16, 'D'), 1024, R::NumberCrossRange},
        {Dev(kM, 0, 'i'), -1, R::NumberCrossRange},  // a negative count asks for a huge run
        {Dev(kM, 7, 'q'), 1, R::InvalidDeviceNumber},
        {Dev(kM, 7, 'b'), 1, R::Ok},
    };
    const ZorvikanMS plc = Plc(2);
    for (const Run& r : runs) {
        EXPECT_EQ(plc.CheckDeviceRange(r.device, r.count), r.result)
            << r.device.mCode << "/" << r.device.mNumber << " x" << r.count;
    }

    struct Texts {
        int code, type, flags;
        const wchar_t* high;
    };
    const Texts texts[] = {
        {kIB, 'b', 0, L"1023"}, {kOB, 'b', 4, L"1008"}, {kIB, 'd', 0, L"1008"},
        {kOB, 'F', 0, L"992"},  {kI, 'b', 4, L"63"},    {kO, 'u', 0, L"63"},
        {kI, 'U', 0, L"62"},    {kO, 'D', 0, L"62"},    {kM, 'i', 0, L"2047"},
        {kM, 'I', 0, L"2046"},  {kM, 'q', 0, L"2047"},  // an unknown type is as wide as 'i'
        {kGS, 'i', 0, L"511"},
    };
    for (const Texts& t : texts) {
        std::vector<std::wstring> lows = {L"stale"}, highs = {L"stale"};
        EXPECT_TRUE(Plc(2, t.flags).GetNumberRangeTexts(Dev(t.code, 0, t.type), lows, highs));
        EXPECT_EQ(lows, std::vector<std::wstring>{L"0"}) << t.code << char(t.type);
        EXPECT_EQ(highs, std::vector<std::wstring>{t.high}) << t.code << char(t.type);
    }
    std::vector<std::wstring> lows = {L"stale"}, highs;
    EXPECT_FALSE(Plc(2).GetNumberRangeTexts(Dev(999, 0, 'i'), lows, highs));
    EXPECT_EQ(lows, std::vector<std::wstring>{L""});
}

// The low and high texts are numbers the dialog accepts for the kind, type and flags; the
// numbers just outside are not.
TEST(MsRange, RangeTextsBoundWhatTheDialogAccepts) {
    for (int code : {kIB, kOB, kI, kM, kO}) {
        for (int type : kTypes) {
            for (int flags : {0, 4}) {
                const ZorvikanMS plc = Plc(2, flags);
                std::vector<std::wstring> lows, highs;
                ASSERT_TRUE(plc.GetNumberRangeTexts(Dev(code, 0, type), lows, highs));
                ASSERT_EQ(lows.size(), 1u);
                std::wstring prefix;
                plc.GetDevicePrefix(Dev(code, 0, type), prefix);
                auto accepts = [&](long number) {
                    DeviceFields fields;
                    fields.prefix = Narrow(prefix).c_str();
                    fields.number = std::to_string(number);
                    PqDevice d = Dev(code, 0, type);
                    return plc.FieldsToDevice(d, fields) == R::Ok;
                };
                const long low = std::stol(lows[0]), high = std::stol(highs[0]);
                SCOPED_TRACE(Narrow(prefix) + char(type) + std::to_string(flags));
                EXPECT_TRUE(accepts(low));
                EXPECT_TRUE(accepts(high));
                EXPECT_FALSE(accepts(low - 1));
                EXPECT_FALSE(accepts(high + 1));
            }
        }
    }
}

TEST(MsFlatAddress, WordKindsShareTheCodeOfM) {
    struct Case {
        int terminal;
        PqDevice device;
        int code, address, bit;
        PlcDataKind kind;
    };
    const Case cases[] = {
        {2, Dev(kIB, 5, 'b'), kIB, 5, 0, PlcDataKind::Bit},
        {2, Dev(kOB, 1023, 'b'), kOB, 1023, 0, PlcDataKind::Bit},
        {2, Dev(kOB, 16, 'i'), kOB, 16, 0, PlcDataKind::Int16},
        {2, Dev(kM, 128, 'i'), kM, 8, 0, PlcDataKind::Int16},
        {2, Dev(kM, 32767, 'b'), kM, 2047, 15, PlcDataKind::WordBit},
        {2, Dev(kI, 48, 'i'), kM, 8003, 0, PlcDataKind::Int16},
        {2, Dev(kI, 0, 'F'), kM, 8000, 0, PlcDataKind::Real},
        {2, Dev(kO, 48, 'i'), kM, 9003, 0, PlcDataKind::Int16},
        {2, Dev(kO, 1023, 'b'), kM, 9063, 15, PlcDataKind::WordBit},
        {2, Dev(kGD, 1605, 'b'), kGD, 100, 5, PlcDataKind::WordBit},
        {1, Dev(kGD, 1600, 'd'), 3842, 100, 0, PlcDataKind::Bcd16},
    };
    for (const Case& c : cases) {
        const ZorvikanMS plc = Plc(c.terminal);
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
        PqDevice back = Dev(kM, 16, 'F');
        ASSERT_EQ(plc.PlcAddressToDevice(a, back), R::Ok) << c.address;
        EXPECT_EQ(back, device);
    }
}

// Flat addresses of code 175 between and beyond the three folded ranges name no valid device.
TEST(MsFlatAddress, AddressesWithoutAValidRecord) {
    struct Case {
        int terminal;
        int code, address, bit;
        PlcDataKind kind;
        DeviceResult result;
        PqDevice device;
    };
    const Case cases[] = {
        {2, kM, 2048, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kM, 32768, 'i')},
        {2, kM, 7999, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kM, 127984, 'i')},
        {2, kM, 8000, 0, PlcDataKind::Bit, R::Ok, Dev(kI, 0, 'b')},
        {2, kM, 8064, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kI, 1024, 'i')},
        {2, kM, 8999, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kI, 15984, 'i')},
        {2, kM, 9064, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kO, 1024, 'i')},
        {2, kM, 65536, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kO, 904576, 'i')},
        {2, kM, -1, 0, PlcDataKind::Int16, R::NumberOutOfRange, Dev(kM, -16, 'i')},
        {2, kM, 0x7FFFFFFF, 15, PlcDataKind::WordBit, R::NumberOutOfRange, Dev(kO, -144001, 'b')},
        // The record codes of I and o are no flat codes.
        {2, kI, 3, 0, PlcDataKind::Int16, R::UnknownDeviceCode, {}},
        {2, kO, 3, 0, PlcDataKind::Int16, R::UnknownDeviceCode, {}},
        {2, kIB, 3, 4, PlcDataKind::BitOffset, R::Ok, Dev(kIB, 7, 'b')},
        {2, kIB, 3, 0, PlcDataKind::WordBit, R::Ok, PqDevice{}},  // a kind the form refuses
        {2, kM, 3, 0, PlcDataKind::BitOffset, R::Ok, PqDevice{}},
        {2, 0, 0, 0, PlcDataKind::None, R::Ok, PqDevice{}},
        {1, kM, 3, 0, static_cast<PlcDataKind>(11), R::InvalidDeviceType, PqDevice{}},
        {1, kIB, 3, 0, PlcDataKind::BitOffset, R::InvalidDeviceType, PqDevice{}},
    };
    for (const Case& c : cases) {
        PlcAddress a;
        a.code = c.code;
        a.address = c.address;
        a.bit = c.bit;
        a.kind = c.kind;
        PqDevice d = Dev(kM, 16, 'F');
        EXPECT_EQ(Plc(c.terminal).PlcAddressToDevice(a, d), c.result) << c.code << "/" << c.address;
        EXPECT_EQ(d, c.device) << c.code << "/" << c.address;
    }
}

TEST(MsTables, ByTerminalType) {
    const std::vector<std::string> names = {"GB", "GD", "GS", "OB", "IB", "I", "M", "o"};
    const std::vector<int> codes = {kGB, kGD, kGS, kOB, kIB, kI, kM, kO};
    for (int terminal = -1; terminal <= 9; ++terminal) {
        const ZorvikanMS plc = Plc(terminal);
        const int t = plc.TerminalType();
        const bool offered = t == 0 || (t >= 2 && t <= 7);
        for (int which : {0, 1, -1}) {
            int count = -1;
            const char* const* table = plc.GetDeviceNameTable(count, which);
            const bool expected = offered && which != -1;
            ASSERT_EQ(table != nullptr, expected) << terminal;
            EXPECT_EQ(count, expected ? 8 : 0);
            if (table) {
                EXPECT_EQ(std::vector<std::string>(table, table + count), names);
                EXPECT_EQ(table[count], nullptr);
            }
        }
        int count = -1;
        const int* codeTable = plc.GetDeviceCodeTable(count);
        ASSERT_EQ(codeTable != nullptr, offered);
        EXPECT_EQ(count, offered ? 8 : 0);
        if (codeTable) {
            EXPECT_EQ(std::vector<int>(codeTable, codeTable + count), codes);
            EXPECT_EQ(codeTable[count], 0);
        }
        for (std::size_t i = 0; i < codes.size(); ++i)
            EXPECT_EQ(plc.GetDeviceOrder(Dev(codes[i], 0, 'b')), offered ? int(i) + 1 : -1);
        EXPECT_EQ(plc.GetDeviceOrder(PqDevice{}), 0);
        EXPECT_EQ(plc.GetDeviceOrder(Dev(999, 0, 'i')), -1);

        // Kind lists: appended to what the caller holds; none at all on the compact terminal.
        for (int category = 0; category <= 5; ++category) {
            std::vector<std::wstring> list = {L"kept"};
            std::vector<int> listCodes = {0};
            plc.GetDeviceKinds(category, PqDevice{}, 'b', 0, list, listCodes);
            std::vector<std::wstring> expected;
            if (t != 1 && (category == 1 || category == 3))
                expected = {L"kept", L"OB", L"IB", L"GB"};
            if (t != 1 && (category == 2 || category == 4)) {
                expected = {L"kept", L"I", L"M", L"o"};
                if (t != 6) expected.push_back(L"GD");  // no GD for bit data on type 6
                expected.push_back(L"GS");
            }
            EXPECT_EQ(list, expected) << terminal << "/" << category;
            EXPECT_EQ(list.size(), listCodes.size());
        }
    }
    std::vector<std::wstring> list;
    std::vector<int> listCodes;
    Plc(4).GetDeviceKinds(1, PqDevice{}, 'b', 0, list, listCodes);
    EXPECT_EQ(listCodes, (std::vector<int>{kOB, kIB, kGB}));
}

TEST(MsQueries, KindsPrefixesAndBitAddresses) {
    struct Case {
        PqDevice device;
        bool bit, word;
        const wchar_t* prefix;
        bool known;
        const char* kind;
        int initial;  // -1: left alone
        bool bitOfWord;
    };
    const Case cases[] = {
        {Dev(kIB, 0, 'b'), true, false, L"IB", true, "BIT", 0, false},
        {Dev(kOB, 16, 'i'), true, false, L"OB", true, "BIT", 0, false},
        {Dev(kI, 0, 'i'), false, true, L"I", true, "WORD", 0, true},
        {Dev(kM, 0, 'b'), false, true, L"M", true, "WORD", 0, true},
        {Dev(kO, 0, 'i'), false, true, L"o", true, "WORD", 0, true},
        {Dev(kGB, 0, 'b'), true, false, L"GB", true, "BIT", 0, false},
        {Dev(kGS, 0, 'i'), false, true, L"GS", true, "WORD", 0, true},
        {Dev(kOB, 17, 'i'), false, false, L"OB", true, "BIT", 0, false},  // fails the check
        {Dev(999, 0, 'i'), false, false, L"??", false, "", -1, false},
    };
    const ZorvikanMS plc = Plc(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device.mCode);
        EXPECT_EQ(plc.IsBitDevice(c.device), c.bit);
        EXPECT_EQ(plc.IsWordDevice(c.device), c.word);
        std::wstring prefix;
        EXPECT_EQ(plc.GetDevicePrefix(c.device, prefix), c.known);
        EXPECT_EQ(prefix, c.prefix);
        int base = -1;
        EXPECT_EQ(plc.GetNumberBase(c.device, base), c.known);
        EXPECT_EQ(base, 10);  // also for a code the family does not know
        CString kind = "stale";
        plc.GetDeviceKindText(c.device, kind);
        EXPECT_EQ(kind, c.kind);
        std::int32_t initial = -1;
        plc.GetInitialNumber(c.device, initial);
        EXPECT_EQ(initial, c.initial);
        EXPECT_EQ(plc.CanUseBitOfWord(c.device, 'b'), c.bitOfWord);
        EXPECT_FALSE(plc.CanUseBitOfWord(c.device, 'u'));
    }
    for (int code : {kIB, kOB, kGB, kI, kM, kO, 3841}) {
        for (PlcDataKind kind : {PlcDataKind::Bit, PlcDataKind::WordBit, PlcDataKind::UInt16}) {
            PlcAddress a;
            a.code = code;
            a.kind = kind;
            const bool bitCode = code == kIB || code == kOB || code == kGB;
            EXPECT_EQ(plc.IsPlcBitAddress(a), bitCode && kind == PlcDataKind::Bit) << code;
            EXPECT_FALSE(Plc(1).IsPlcBitAddress(a));
        }
    }
}

TEST(MsEditor, SetDeviceByPrefix) {
    struct Case {
        const wchar_t* prefix;
        bool ok;
        int code;
        int channel;
    };
    const Case cases[] = {
        {L"IB", true, kIB, 9}, {L"OB", true, kOB, 9}, {L"M", true, kM, 9},   {L"I", true, kI, 9},
        {L"o", true, kO, 9},   {L"O", false, 0, 0},   {L"ib", false, 0, 0},  {L"IBX", false, 0, 0},
        {L"", false, 0, 0},    {L"GB", true, kGB, 0}, {L"GD", true, kGD, 0},
    };
    for (const Case& c : cases) {
        PqDevice d = Dev(kM, 160, 'F', 1, 2);
        d.mChannel = 9;
        EXPECT_EQ(Plc(2).SetDeviceByPrefix(c.prefix, 'd', d), c.ok) << Narrow(c.prefix);
        PqDevice expected = Dev(c.code, 0, 'd');
        expected.mChannel = c.channel;
        EXPECT_EQ(d, expected) << Narrow(c.prefix);
    }
}

TEST(MsFields, DialogTextsBothWays) {
    struct Case {
        PqDevice device;
        int flags;
        DeviceResult result;
        const char *prefix, *number, *bit;
    };
    const Case cases[] = {
        {Dev(kOB, 17, 'b'), 0, R::Ok, "OB", "17", ""},
        {Dev(kM, 1605, 'b'), 0, R::Ok, "M", "100", "5"},
        {Dev(kI, 48, 'i'), 0, R::Ok, "I", "3", ""},
        {Dev(kO, 51, 'b'), 0, R::Ok, "o", "3", "3"},
        {Dev(kO, 992, 'I'), 4, R::Ok, "o", "62", ""},
        {Dev(kIB, 17, 'b'), 4, R::InvalidDeviceNumber, "IB", "17", ""},
        {Dev(kIB, 16, 'b'), 4, R::Ok, "IB", "16", ""},
        {Dev(kGS, 16, 'i'), 0, R::Ok, "GS", "1", ""},
    };
    for (const Case& c : cases) {
        const ZorvikanMS plc = Plc(2, c.flags);
        DeviceFields f;
        f.station = "stale";
        EXPECT_EQ(plc.DeviceToFields(c.device, f), c.result);
        EXPECT_EQ(f.prefix, c.prefix);
        EXPECT_EQ(f.number, c.number);
        EXPECT_EQ(f.bit, c.bit);
        EXPECT_EQ(f.station, "");
        EXPECT_EQ(f.useNetwork, 0);
        PqDevice back = Dev(c.device.mCode, 0, c.device.mType);
        EXPECT_EQ(plc.FieldsToDevice(back, f), c.result);
        EXPECT_EQ(back, c.device);
    }
    // A record the range check refuses leaves every field empty.
    DeviceFields f;
    f.prefix = "stale";
    EXPECT_EQ(Plc(2).DeviceToFields(Dev(kIB, 17, 'i'), f), R::InvalidDeviceNumber);
    EXPECT_EQ(f.prefix, "");

    struct Compose {
        int code;
        const char *prefix, *number, *bit;
        int type, flags;
        DeviceResult result;
        PqDevice device;
    };
    const Compose composed[] = {
        {kO, "o", "12", "", 'i', 0, R::Ok, Dev(kO, 192, 'i')},
        {kM, "M", "", "", 'i', 0, R::Ok, Dev(kM, 0, 'i')},  // the dialog proposes number 0
        {kM, "M", "100", "5", 'b', 0, R::Ok, Dev(kM, 1605, 'b')},
        {kM, "??", "1", "", 'i', 0, R::UnknownDeviceCode, {}},
        {kM, "", "1", "", 'i', 0, R::UnknownDeviceCode, {}},
        {kM, "M", "1F", "", 'i', 0, R::InvalidDeviceFormat, {}},
        {kM, "M", "-1", "", 'i', 0, R::InvalidDeviceFormat, {}},
        {kM, "M", "1", "1.", 'b', 0, R::InvalidDeviceFormat, {}},
        {kM, "M", "1", "16", 'b', 0, R::NumberOutOfRange, {}},
        {kM, "M", "2048", "", 'i', 0, R::NumberOutOfRange, {}},
        {kM, "M", "1", "3", 'u', 0, R::InvalidDeviceType, {}},
        {kOB, "OB", "17", "", 'b', 4, R::InvalidDeviceNumber, {}},
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

TEST(MsFields, KindMustMatchThePrefixField) {
    struct Case {
        const char* prefix;
        PqDevice device;
        int count;
        DeviceResult result;
    };
    const Case cases[] = {
        {"o", Dev(kO, 16, 'i'), 1, R::Ok},
        {"O", Dev(kO, 16, 'i'), 1, R::InvalidDeviceNumber},  // compared exactly, case included
        {"M", Dev(kI, 16, 'i'), 1, R::InvalidDeviceNumber},
        {"IB", Dev(kIB, 1020, 'b'), 4, R::Ok},
        {"IB", Dev(kIB, 1020, 'b'), 5, R::NumberCrossRange},
        {"GD", Dev(kGD, 16, 'i'), 1, R::Ok},
        {"??", Dev(999, 0, 'i'), 1, R::UnknownDeviceCode},
    };
    for (const Case& c : cases) {
        DeviceFields fields;
        fields.prefix = c.prefix;
        PqDevice device = c.device, previous = Dev(kM, 32767, 'b');
        EXPECT_EQ(Plc(2).CheckDeviceFields(fields, device, c.count, previous), c.result)
            << c.prefix << "/" << c.device.mCode;
    }
}

// No text makes a result-code operation throw, in any terminal type and data type. (The contract
// suite checks every valid device's round trips.)
RC_GTEST_PROP(MsLaws, AnyTextGivesAResultWithoutThrowing, ()) {
    ZorvikanMS plc;
    test_support::CheckAnyTextGivesAResult(plc, L"0123456789IOBMoGDSE.b- :");
}

}  // namespace
