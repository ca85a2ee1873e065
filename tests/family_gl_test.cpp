// The GL family: decimal numbers counted from 1, the three blocks of D, R and SR, the flat codes
// of SW and SR, tables and dialog fields.
#include <gtest/gtest.h>

#include "families/ZorvikanGL.h"
#include "support/FamilyLaws.h"

namespace {

using namespace test_support;

constexpr int kI = 156, kO = 157, kD = 160, kZ = 168, kW = 175, kSW = 177, kR = 180, kK = 204,
              kSR = 46100, kGD = 12289, kGB = 12290, kGS = 12291;

ZorvikanGL Plc(int terminal) {
    ZorvikanGL plc;
    plc.SetTerminalType(terminal);
    return plc;
}

// Bit devices take no bit suffix and eight digits at most; D's blocks are 1-2048, 10001-12048
// and 20001-22048; R and SR count words the same way and only the last block's end is a
// crossing; a number out of range is refused before the rest of the text.
TEST(GlText, ParsedAndPrinted) {
    const TextRow rows[] = {{L"o1", 'b', R::Ok, Dev(kO, 0, 'b'), L"O1"},
                            {L"I63424", 'b', R::Ok, Dev(kI, 63423, 'b')},
                            {L"I63425", 'b', R::NumberOutOfRange},
                            {L"I0", 'b', R::NumberOutOfRange},
                            {L"I5.3", 'b', R::InvalidDeviceFormat},
                            {L"I000000001", 'b', R::InvalidDeviceFormat},
                            {L"O2", 'i', R::InvalidDeviceNumber},
                            {L"O17", 'i', R::Ok, Dev(kO, 16, 'i')},
                            {L"I63410", 'i', R::NumberCrossRange},
                            {L"D2048", 'b', R::Ok, Dev(kD, 2047, 'b')},
                            {L"D2049", 'b', R::NumberOutOfRange},
                            {L"D10000", 'b', R::NumberOutOfRange},
                            {L"D10001", 'b', R::Ok, Dev(kD, 2048, 'b')},
                            {L"D22048", 'b', R::Ok, Dev(kD, 6143, 'b')},
                            {L"D22049", 'b', R::NumberOutOfRange},
                            {L"D22033", 'i', R::Ok, Dev(kD, 6128, 'i')},
                            {L"D3000X", 'b', R::NumberOutOfRange},
                            {L"D2034", 'i', R::NumberCrossRange},
                            {L"Z2.3", 'b', R::Ok, Dev(kZ, 19, 'b'), L"Z2.b3"},
                            {L"Z 1", 'b', R::Ok, Dev(kZ, 0, 'b'), L"Z1.b0"},
                            {L"Z2.b3", 'i', R::InvalidDeviceType},
                            {L"Z2.b16", 'b', R::InvalidDeviceFormat},
                            {L"Z0", 'i', R::NumberOutOfRange},
                            {L"Z31840", 'i', R::Ok, Dev(kZ, 509424, 'i')},
                            {L"Z31840", 'I', R::NumberCrossRange},
                            {L"Z31841", 'i', R::NumberOutOfRange},
                            {L"W28291", 'u', R::Ok, Dev(kW, 452640, 'u')},
                            {L"SW28291.b15", 'b', R::Ok, Dev(kSW, 452655, 'b')},
                            {L"SW28292", 'i', R::NumberOutOfRange},
                            {L"K4096", 'd', R::Ok, Dev(kK, 65520, 'd')},
                            {L"K4096", 'F', R::NumberCrossRange},
                            {L"R10001", 'i', R::Ok, Dev(kR, 32768, 'i')},
                            {L"SR22048.b15", 'b', R::Ok, Dev(kSR, 98303, 'b')},
                            {L"R2047", 'I', R::Ok, Dev(kR, 32736, 'I')},
                            {L"R2048", 'I', R::NumberOutOfRange},
                            {L"R22048", 'I', R::NumberCrossRange},
                            {L"Z1X", 'i', R::InvalidDeviceFormat},
                            {L"XY1", 'i', R::InvalidDeviceName},
                            {L"EG1", 'i', R::UnknownDeviceCode}};
    CheckTexts(Plc(2), rows);
    // The compact terminal still reads the family's own texts.
    const TextRow compact[] = {{L"GB0", 'i', R::InvalidDeviceType},
                               {L"SR1", 'i', R::Ok, Dev(kSR, 0, 'i')}};
    CheckTexts(Plc(1), compact);
    // No network part: a segment is not looked at, and not shown.
    std::wstring text, network = L"stale";
    EXPECT_EQ(Plc(2).DeviceToString(Dev(kSW, 64, 'i', 1, 4), text), R::Ok);
    EXPECT_EQ(Plc(2).NetworkToString(Dev(kSW, 64, 'i', 1, 4), network), R::Ok);
    EXPECT_EQ(text + L"|" + network, L"SW5|");
}

// Runs end at their block's end; a negative count asks for a huge run.
TEST(GlRange, RunsAndRangeTexts) {
    const RangeRow runs[] = {{Dev(kO, 1, 'i'), R::InvalidDeviceNumber},
                             {Dev(kD, -1, 'b'), R::NumberOutOfRange},
                             {Dev(kD, 2047, 'b'), R::NumberCrossRange, 2},
                             {Dev(kD, 4095, 'b'), R::NumberCrossRange, 2},
                             {Dev(kD, 4080, 'i'), R::NumberCrossRange, 2},
                             {Dev(kR, 32767, 'b'), R::NumberOutOfRange, 2},
                             {Dev(kR, 98303, 'b'), R::NumberCrossRange, 2},
                             {Dev(kR, 98304, 'b'), R::NumberOutOfRange},
                             {Dev(kSR, 65520, 'i'), R::NumberOutOfRange, 2},
                             {Dev(kK, 0, 'i'), R::Ok, 4096},
                             {Dev(kK, 0, 'i'), R::NumberCrossRange, 4097},
                             {Dev(kW, 0, 'i'), R::Ok, 0},
                             {Dev(kW, 0, 'i'), R::NumberCrossRange, -1},
                             {Dev(kZ, 17, 'q'), R::InvalidDeviceNumber},
                             {Dev(999, 0, 'i'), R::UnknownDeviceCode},
                             {Dev(kGB, 16380, 'b'), R::NumberCrossRange, 8},
                             {Dev(kGB, 5, 'b', 1, 0), R::SegmentOutOfRange}};
    CheckRanges(Plc(2), runs);

    // Any type but the known ones counts as 32-bit.
    const char *one = "1", *blocks = "1,10001,20001";
    const RangeTextRow texts[] = {{Dev(kI, 0, 'b'), one, "63424"},
                                  {Dev(kO, 0, 'b'), one, "63409", 4},
                                  {Dev(kI, 0, 'd'), one, "63409"},
                                  {Dev(kO, 0, 'F'), one, "63393"},
                                  {Dev(kD, 0, 'b'), blocks, "2048,12048,22048"},
                                  {Dev(kD, 0, 'u'), blocks, "2033,12033,22033"},
                                  {Dev(kD, 0, 'I'), blocks, "2017,12017,22017", 4},
                                  {Dev(kZ, 0, 'b'), one, "31840", 4},
                                  {Dev(kZ, 0, 'D'), one, "31839"},
                                  {Dev(kW, 0, 'i'), one, "28291"},
                                  {Dev(kSW, 0, 'U'), one, "28290"},
                                  {Dev(kR, 0, 'b'), blocks, "2048,12048,22048"},
                                  {Dev(kSR, 0, 'q'), blocks, "2047,12047,22047"},
                                  {Dev(kK, 0, 'F'), one, "4095"},
                                  {Dev(kGB, 0, 'b'), "0", "16383"},
                                  {Dev(999, 0, 'i'), "", ""}};
    CheckRangeTexts(Plc(2), texts);
    CheckRangeTextsBoundTheDialog(Plc(2), {"I", "O", "D", "Z", "W", "SW", "R", "SR", "K"});
}

TEST(GlFlatAddress, BothWays) {
    const FlatRow rows[] = {{Dev(kI, 0, 'b'), kI, 1, 0, K::Bit},
                            {Dev(kO, 63423, 'b'), kO, 63424, 0, K::Bit},
                            {Dev(kD, 2048, 'b'), kD, 10001, 0, K::Bit},
                            {Dev(kD, 6128, 'i'), kD, 22033, 0, K::Int16},
                            {Dev(kZ, 19, 'b'), kZ, 2, 3, K::WordBit},
                            {Dev(kW, 16, 'u'), kW, 2, 0, K::UInt16},
                            {Dev(kSW, 64, 'i'), 45056, 5, 0, K::Int16},
                            {Dev(kR, 65551, 'b'), kR, 20001, 15, K::WordBit},
                            {Dev(kSR, 32768, 'i'), 46080, 10001, 0, K::Int16},
                            {Dev(kK, 65504, 'F'), kK, 4095, 0, K::Real},
                            {Dev(kGD, 1605, 'b'), kGD, 100, 5, K::WordBit}};
    CheckFlatAddresses(Plc(2), rows);
    const FlatRow compact[] = {{Dev(kGB, 5, 'b'), 3841, 5, 0, K::Bit},
                               {Dev(kSR, 98272, 'D'), 46080, 22047, 0, K::Bcd32}};
    CheckFlatAddresses(Plc(1), compact);

    // Numbers in the gaps between the blocks land in the next block (D3000 is D10952); SW's and
    // SR's record codes are no flat codes; a kind the form refuses gives no device; any number
    // converts in 32-bit arithmetic before the address is refused.
    const AddressRow addresses[] = {
        {kD, 3000, K::Bit, R::Ok, Dev(kD, 2999, 'b')},
        {kR, 2049, K::Int16, R::Ok, Dev(kR, 32768, 'i')},
        {kSW, 5, K::Int16, R::UnknownDeviceCode},
        {kSR, 5, K::Int16, R::UnknownDeviceCode},
        {kI, 0, K::Bit, R::NumberOutOfRange, Dev(kI, -1, 'b')},
        {kW, 65536, K::Int16, R::NumberOutOfRange, Dev(kW, 65535 * 16, 'i')},
        {kI, 10, K::BitOffset, R::Ok, Dev(kI, 14, 'b'), 5},
        {kI, 1, K::WordBit, R::Ok},
        {kR, 1, K::BitOffset, R::Ok},
        {kD, 0x7FFFFFFF, K::Bit, R::NumberOutOfRange, Dev(kD, 439807550, 'b')},
        {kR, -0x7FFFFFFF - 1, K::WordBit, R::NumberOutOfRange, Dev(kR, 1553013743, 'b'), -1}};
    CheckAddresses(Plc(2), addresses);
    const AddressRow compactAddresses[] = {{kZ, 1, static_cast<K>(9), R::InvalidDeviceType},
                                           {kZ, 1, K::BitOffset, R::InvalidDeviceType}};
    CheckAddresses(Plc(1), compactAddresses);
    CheckTexts(Plc(2), std::vector<TextRow>{{L"D10952", 'b', R::Ok, Dev(kD, 2999, 'b')}});
    CheckBitAddressCodes(Plc(2), {kI, kO, kD, kGB, kZ, kW, 45056, kR, 46080, kK, kGD, 3841},
                         {kI, kO, kD, kGB});
}

TEST(GlEditor, TablesKindsAndPrefixes) {
    CheckTablesAndKindLists<ZorvikanGL>(
        {"GB", "GD", "GS", "O", "I", "D", "Z", "W", "SW", "R", "SR", "K"},
        {kGB, kGD, kGS, kO, kI, kD, kZ, kW, kSW, kR, kSR, kK}, {L"O", L"I", L"D"},
        {L"Z", L"W", L"SW", L"R", L"SR", L"K"});
    const KindRow kinds[] = {{Dev(kD, 0, 'i'), L"D", 10, "BIT", 1, false},
                             {Dev(kK, 1, 'i'), L"K", 10, "WORD", 1, true},  // out of range
                             {Dev(kGD, 0, 'i'), L"GD", 10, "WORD", 0, true},
                             {Dev(999, 0, 'i'), L"??", -1, "", -1, false}};
    CheckKinds(Plc(2), kinds);
    CheckRefusedPrefixes(Plc(2), {L"sr", L"S", L"SWX", L""});
    // GS is no internal device on the compact terminal: the channel stays.
    PqDevice d;
    d.mChannel = 9;
    EXPECT_TRUE(Plc(1).SetDeviceByPrefix(L"GS", 'u', d));
    EXPECT_EQ(d.mChannel, 9);
}

// A refused record still shows its kind; an empty number is the first, 1.
TEST(GlFields, DialogTexts) {
    const FieldsRow rows[] = {{Dev(kZ, 19, 'b'), R::Ok, "Z", "2", "3"},
                              {Dev(kD, 2048, 'b'), R::Ok, "D", "10001", ""},
                              {Dev(kSR, 65551, 'b'), R::Ok, "SR", "20001", "15"},
                              {Dev(kR, 32768, 'I'), R::Ok, "R", "10001", ""},
                              {Dev(kI, 17, 'b'), R::InvalidDeviceNumber, "I", "18", "", 4},
                              {Dev(kI, 16, 'b'), R::Ok, "I", "17", "", 4},
                              {Dev(kO, 1, 'i'), R::InvalidDeviceNumber, "O", "", ""}};
    CheckFields(Plc(2), rows);
    const FieldsRow typed[] = {{Dev(kZ, 0, 'i'), R::Ok, "Z", "", ""},
                               {Typed('i'), R::UnknownDeviceCode, "??", "1", ""},
                               {Typed('i'), R::UnknownDeviceCode, "", "1", ""},
                               {Typed('i'), R::InvalidDeviceFormat, "Z", "1F", ""},
                               {Typed('i'), R::InvalidDeviceFormat, "Z", "+1", ""},
                               {Typed('b'), R::InvalidDeviceFormat, "Z", "1", "x"},
                               {Typed('b'), R::NumberOutOfRange, "Z", "1", "16"},
                               {Typed('i'), R::InvalidDeviceType, "Z", "1", "3"},
                               {Typed('b'), R::NumberOutOfRange, "D", "3000", ""}};
    CheckCompose(Plc(2), typed);

    // A run entered in the dialog stays in the block of the record it continues; only the
    // numbers are compared.
    const std::tuple<PqDevice, PqDevice, int, R> runs[] = {
        {Dev(kD, 2047, 'b'), Dev(kD, 0, 'b'), 1, R::Ok},
        {Dev(kD, 2047, 'b'), Dev(kD, 2048, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kD, 4096, 'b'), Dev(kD, 4095, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kD, 4096, 'b'), Dev(kZ, 40000, 'i'), 1, R::Ok},
        {Dev(kD, 2040, 'b'), Dev(kD, 2040, 'b'), 9, R::NumberCrossRange},
        {Dev(kSR, 65536, 'i'), Dev(kSR, 65535, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kSR, 65536, 'i'), Dev(kSR, 98303, 'b'), 1, R::Ok},
        {Dev(kR, 32752, 'i'), Dev(kR, 0, 'i'), 2, R::NumberOutOfRange}};
    for (auto [device, reference, count, result] : runs) {
        DeviceFields fields;
        EXPECT_EQ(Plc(2).CheckDeviceFields(fields, device, count, reference), result)
            << device.mNumber << " after " << reference.mNumber;
    }
}

}  // namespace
