// The H family: DW/MW on one code, bit-addressed IB/OB, two folded flat-address spaces.
#include <gtest/gtest.h>

#include "families/ZorvikanH.h"
#include "support/FamilyLaws.h"

namespace {

using namespace test_support;

constexpr int kIB = 156, kOB = 157, kIW = 168, kOW = 180, kReg = 175, kZD = 204;

ZorvikanH Plc(int terminal) {
    ZorvikanH plc;
    plc.SetTerminalType(terminal);
    return plc;
}

TEST(HText, ParsedAndPrinted) {
    const TextRow rows[] = {
        {L"DW2047", 'i', R::Ok, Dev(kReg, 32752, 'i')},
        {L"DW2047.b15", 'b', R::Ok, Dev(kReg, 32767, 'b')},
        {L"MW0", 'i', R::Ok, Dev(kReg, 32768, 'i')},
        {L"MW7694", 'i', R::Ok, Dev(kReg, 155872, 'i')},
        {L"IB7FF", 'b', R::Ok, Dev(kIB, 2047, 'b'), L"IB07FF"},
        {L"IB800", 'b', R::NumberOutOfRange},
        {L"IB10", 'i', R::Ok, Dev(kIB, 16, 'i'), L"IB0010"},  // the bit address, whatever the type
        {L"IB11", 'i', R::InvalidDeviceNumber},
        {L"IB7F0", 'I', R::NumberCrossRange},
        {L"OB7E0", 'D', R::Ok, Dev(kOB, 0x7E0, 'D'), L"OB07E0"},
        {L"IB7.b1", 'b', R::InvalidDeviceFormat},  // no suffix on bit kinds
        {L"IW7F.b15", 'b', R::Ok, Dev(kIW, 2047, 'b'), L"IW007F.b15"},
        {L"OW10", 'u', R::Ok, Dev(kOW, 256, 'u'), L"OW0010"},
        {L"OW1.b3", 'i', R::InvalidDeviceType},
        {L"ZD2047", 'i', R::Ok, Dev(kZD, 32752, 'i')},
        {L"ZD99999999999", 'i', R::NumberOutOfRange},
        {L"zd5.b2", 'b', R::Ok, Dev(kZD, 82, 'b'), L"ZD5.b2"},
        {L"1-3 MW100", 'i', R::InvalidDeviceName}};
    for (int terminal : {1, 2, 6}) {  // the family's own texts do not depend on the terminal
        SCOPED_TRACE(terminal);
        CheckTexts(Plc(terminal), rows);
    }
    // Register numbers of neither kind.
    CheckRanges(Plc(2), std::vector<RangeRow>{{Dev(kReg, 155888, 'i'), R::NumberOutOfRange}});
}

TEST(HFlatAddress, FoldedSpacesBothWays) {
    const FlatRow rows[] = {{Dev(kIB, 2047, 'b'), kOB, 2047, 0, K::Bit},
                            {Dev(kOB, 5, 'b'), kOB, 2053, 0, K::Bit},
                            {Dev(kOB, 2032, 'i'), kOB, 4080, 0, K::Int16},
                            {Dev(kReg, 1600, 'i'), kReg, 100, 0, K::Int16},
                            {Dev(kReg, 32768, 'i'), kReg, 2048, 0, K::Int16},
                            {Dev(kReg, 155887, 'b'), kReg, 9742, 15, K::WordBit},
                            {Dev(kIW, 32, 'i'), kReg, 9745, 0, K::Int16},
                            {Dev(kIW, 2047, 'b'), kReg, 9870, 15, K::WordBit},
                            {Dev(kOW, 0, 'i'), kReg, 9871, 0, K::Int16},
                            {Dev(kOW, 2032, 'u'), kReg, 9998, 0, K::UInt16},
                            {Dev(kZD, 32752, 'i'), kZD, 2047, 0, K::Int16}};
    CheckFlatAddresses(Plc(2), rows);
    // Only OB's code carries bits; a bit offset lands on the folded bit number.
    CheckBitAddressCodes(Plc(2), {kOB, kIB, kReg, 12290, 12289}, {kOB, 12290});
    CheckAddresses(Plc(2),
                   std::vector<AddressRow>{{kOB, 2050, K::BitOffset, R::Ok, Dev(kOB, 5, 'b'), 3}});
    CheckAddresses(Plc(1),
                   std::vector<AddressRow>{{kOB, 2050, K::BitOffset, R::InvalidDeviceType, {}, 3}});
}

TEST(HTables, OrderFollowsTheRegisterNumber) {
    CheckTablesAndKindLists<ZorvikanH>({"GB", "GD", "GS", "OB", "IB", "IW", "OW", "DW", "ZD", "MW"},
                                       {12290, 12289, 12291, kOB, kIB, kIW, kOW, kReg, kZD, kReg},
                                       {L"OB", L"IB"}, {L"IW", L"OW", L"DW", L"ZD", L"MW"});
    // The register code is DW or MW by its number; numbers of neither have no order.
    for (int terminal : {1, 2}) {
        for (const auto& [number, order] :
             {std::pair{32767, 8}, {32768, 10}, {155887, 10}, {155888, -1}, {-16, -1}})
            EXPECT_EQ(Plc(terminal).GetDeviceOrder(Dev(kReg, number, 'i')),
                      terminal == 2 ? order : -1);
    }
}

TEST(HEditor, PrefixesRangesAndFields) {
    const ZorvikanH plc = Plc(2);
    const KindRow kinds[] = {{Dev(kReg, 32752, 'i'), L"DW", 10, "WORD", 0, true},
                             {Dev(kReg, 32768, 'I'), L"MW", 10, "WORD", 0, true},
                             {Dev(kReg, 155888, 'i'), L"??", 10, "WORD", 0, true},  // neither kind
                             {Dev(kIB, 0, 'b'), L"IB", 16, "BIT", 0, false},
                             {Dev(kOW, 0, 'b'), L"OW", 16, "WORD", 0, true}};
    CheckKinds(plc, kinds);
    EXPECT_TRUE(Plc(1).CanUseBitOfWord(Dev(kZD, 0, 'i'), 'b'));  // in every terminal type

    const RangeTextRow ranges[] = {
        {Dev(kReg, 32752, 'i'), "0", "2047"},  {Dev(kReg, 32768, 'I'), "0", "7693"},
        {Dev(kReg, 155888, 'i'), "", ""},      {Dev(kIB, 0, 'b'), "0000", "07FF"},
        {Dev(kIB, 0, 'b'), "0000", "07F0", 4}, {Dev(kOB, 0, 'U'), "0000", "07E0"},
        {Dev(kOW, 0, 'b'), "0000", "007F"},    {Dev(kIW, 0, 'F'), "0000", "007E"}};
    CheckRangeTexts(plc, ranges);
    CheckRangeTextsBoundTheDialog(plc, {"DW", "MW", "ZD"});  // DW cannot run on into MW

    // "MW" starts at its own word 0, that is register word 2048.
    PqDevice d;
    EXPECT_TRUE(plc.SetDeviceByPrefix(L"MW", 'i', d));
    EXPECT_EQ(d, Dev(kReg, 32768, 'i'));
    EXPECT_TRUE(plc.SetDeviceByPrefix(L"DW", 'i', d));
    EXPECT_EQ(d, Dev(kReg, 0, 'i'));
    CheckRefusedPrefixes(plc, {L"dw"});

    // The prefix field must still name the device the number belongs to.
    DeviceFields fields;
    fields.prefix = "DW";
    PqDevice mw5 = Dev(kReg, (2048 + 5) * 16, 'i');
    EXPECT_EQ(plc.CheckDeviceFields(fields, mw5, 1, d), R::InvalidDeviceNumber);
    fields.prefix = "MW";
    EXPECT_EQ(plc.CheckDeviceFields(fields, mw5, 1, d), R::Ok);
    EXPECT_EQ(plc.CheckDeviceFields(fields, mw5, 8000, d), R::NumberCrossRange);
    CheckFields(plc, std::vector<FieldsRow>{{mw5, R::Ok, "MW", "5", ""}});
}

}  // namespace
