// The MS family: bit devices OB and IB, word devices I, M and the lower-case "o", the folded
// flat addresses of the word kinds, tables and dialog fields.
#include <gtest/gtest.h>

#include "families/ZorvikanMS.h"
#include "support/FamilyLaws.h"

namespace {

using namespace test_support;

constexpr int kIB = 156, kOB = 157, kI = 168, kM = 175, kO = 180, kGD = 12289, kGB = 12290,
              kGS = 12291;

ZorvikanMS Plc(int terminal) {
    ZorvikanMS plc;
    plc.SetTerminalType(terminal);
    return plc;
}

// "o" is written lower-case and read in either case; bit devices take no bit suffix; a word out
// of range is refused before the rest of the text.
TEST(MsText, ParsedAndPrinted) {
    const TextRow rows[] = {{L"ob 17", 'b', R::Ok, Dev(kOB, 17, 'b'), L"OB17"},
                            {L"IB1023", 'b', R::Ok, Dev(kIB, 1023, 'b')},
                            {L"OB8388609", 'b', R::NumberOutOfRange},
                            {L"OB5.1", 'b', R::InvalidDeviceFormat},
                            {L"IB17", 'i', R::InvalidDeviceNumber},
                            {L"O12", 'i', R::Ok, Dev(kO, 192, 'i'), L"o12"},
                            {L"o63.b0", 'b', R::Ok, Dev(kO, 1008, 'b')},
                            {L"i3.B5", 'b', R::Ok, Dev(kI, 53, 'b'), L"I3.b5"},
                            {L"M2047.b15", 'b', R::Ok, Dev(kM, 32767, 'b')},
                            {L"M2047.b16", 'b', R::InvalidDeviceFormat},
                            {L"M2048.b16", 'b', R::NumberOutOfRange},
                            {L"M5.b3", 'i', R::InvalidDeviceType}};
    CheckTexts(Plc(2), rows);
    // The compact terminal lists no kinds but still reads typed texts.
    CheckTexts(Plc(1), std::vector<TextRow>{{L"M5", 'i', R::Ok, Dev(kM, 80, 'i')}});

    // No network part: a segment is not looked at, and not shown.
    std::wstring text, network = L"stale";
    EXPECT_EQ(Plc(2).DeviceToString(Dev(kM, 1600, 'i', 1, 4), text), R::Ok);
    EXPECT_EQ(Plc(2).NetworkToString(Dev(kM, 1600, 'i', 1, 4), network), R::Ok);
    EXPECT_EQ(text + L"|" + network, L"M100|");
    PqDevice d;
    EXPECT_EQ(Plc(2).TypedStringToDevice(L"b:o3.b2", d, text, true), R::Ok);
    EXPECT_EQ(d, Dev(kO, 50, 'b'));
}

TEST(MsRange, RunsAndRangeTexts) {
    const RangeRow runs[] = {{Dev(kOB, 1023, 'b'), R::NumberCrossRange, 2},
                             {Dev(kOB, 0, 'i'), R::NumberCrossRange, 65},
                             {Dev(kI, 1, 'u'), R::InvalidDeviceNumber},
                             {Dev(kO, 976, 'I'), R::NumberCrossRange, 2},
                             {Dev(kM, 16, 'D'), R::NumberCrossRange, 1024}};
    CheckRanges(Plc(2), runs);

    // The range texts bound what the dialog accepts, for every kind, type and flag.
    const RangeTextRow texts[] = {
        {Dev(kM, 0, 'q'), "0", "2047"}, {Dev(kGS, 0, 'i'), "0", "511"}, {Dev(999, 0, 'i'), "", ""}};
    CheckRangeTexts(Plc(2), texts);
    CheckRangeTextsBoundTheDialog(Plc(2), {"IB", "OB", "I", "M", "o"});
}

TEST(MsFlatAddress, WordKindsShareTheCodeOfM) {
    const FlatRow rows[] = {{Dev(kIB, 5, 'b'), kIB, 5, 0, K::Bit},
                            {Dev(kOB, 1023, 'b'), kOB, 1023, 0, K::Bit},
                            {Dev(kOB, 16, 'i'), kOB, 16, 0, K::Int16},
                            {Dev(kM, 128, 'i'), kM, 8, 0, K::Int16},
                            {Dev(kM, 32767, 'b'), kM, 2047, 15, K::WordBit},
                            {Dev(kI, 48, 'i'), kM, 8003, 0, K::Int16},
                            {Dev(kI, 0, 'F'), kM, 8000, 0, K::Real},
                            {Dev(kO, 48, 'i'), kM, 9003, 0, K::Int16},
                            {Dev(kO, 1023, 'b'), kM, 9063, 15, K::WordBit},
                            {Dev(kGD, 1605, 'b'), kGD, 100, 5, K::WordBit}};
    CheckFlatAddresses(Plc(2), rows);
    CheckFlatAddresses(Plc(1), std::vector<FlatRow>{{Dev(kGD, 1600, 'd'), 3842, 100, 0, K::Bcd16}});

    // Code 175 between and beyond the three folded ranges names no valid device; I's and o's
    // record codes are no flat codes; a kind the form refuses gives no device.
    const AddressRow addresses[] = {
        {kM, 2048, K::Int16, R::NumberOutOfRange, Dev(kM, 32768, 'i')},
        {kM, 8000, K::Bit, R::Ok, Dev(kI, 0, 'b')},
        {kM, 8064, K::Int16, R::NumberOutOfRange, Dev(kI, 1024, 'i')},
        {kM, 9064, K::Int16, R::NumberOutOfRange, Dev(kO, 1024, 'i')},
        {kM, 65536, K::Int16, R::NumberOutOfRange, Dev(kO, 904576, 'i')},
        {kM, 0x7FFFFFFF, K::WordBit, R::NumberOutOfRange, Dev(kO, -144001, 'b'), 15},
        {kI, 3, K::Int16, R::UnknownDeviceCode},
        {kIB, 3, K::BitOffset, R::Ok, Dev(kIB, 7, 'b'), 4},
        {kM, 3, K::BitOffset, R::Ok}};
    CheckAddresses(Plc(2), addresses);
    const AddressRow compact[] = {{kM, 3, static_cast<K>(11), R::InvalidDeviceType},
                                  {kIB, 3, K::BitOffset, R::InvalidDeviceType}};
    CheckAddresses(Plc(1), compact);
    CheckBitAddressCodes(Plc(2), {kIB, kOB, kGB, kI, kM, kO, 3841}, {kIB, kOB, kGB});
}

TEST(MsEditor, TablesKindsAndPrefixes) {
    CheckTablesAndKindLists<ZorvikanMS>({"GB", "GD", "GS", "OB", "IB", "I", "M", "o"},
                                        {kGB, kGD, kGS, kOB, kIB, kI, kM, kO}, {L"OB", L"IB"},
                                        {L"I", L"M", L"o"});
    // Decimal even for a code of no kind.
    const KindRow kinds[] = {{Dev(kOB, 17, 'i'), L"OB", 10, "BIT", 0, false},  // out of range
                             {Dev(kO, 0, 'i'), L"o", 10, "WORD", 0, true},
                             {Dev(kGS, 0, 'i'), L"GS", 10, "WORD", 0, true},
                             {Dev(999, 0, 'i'), L"??", 10, "", -1, false}};
    CheckKinds(Plc(2), kinds);
    CheckRefusedPrefixes(Plc(2), {L"O", L"ib", L"IBX", L""});
}

// A refused record leaves every field empty; an empty number is the first, 0.
TEST(MsFields, DialogTexts) {
    const FieldsRow rows[] = {{Dev(kOB, 17, 'b'), R::Ok, "OB", "17", ""},
                              {Dev(kM, 1605, 'b'), R::Ok, "M", "100", "5"},
                              {Dev(kO, 992, 'I'), R::Ok, "o", "62", "", 4},
                              {Dev(kIB, 17, 'i'), R::InvalidDeviceNumber, "", "", ""}};
    CheckFields(Plc(2), rows);
    const FieldsRow typed[] = {{Dev(kM, 0, 'i'), R::Ok, "M", "", ""},
                               {Typed('i'), R::InvalidDeviceFormat, "M", "-1", ""},
                               {Typed('i'), R::NumberOutOfRange, "M", "2048", ""},
                               {Typed('u'), R::InvalidDeviceType, "M", "1", "3"}};
    CheckCompose(Plc(2), typed);

    // The kind chosen in the dialog must still be the kind of the record, case included.
    const std::tuple<const char*, PqDevice, int, R> cases[] = {
        {"o", Dev(kO, 16, 'i'), 1, R::Ok},
        {"O", Dev(kO, 16, 'i'), 1, R::InvalidDeviceNumber},
        {"IB", Dev(kIB, 1020, 'b'), 4, R::Ok},
        {"IB", Dev(kIB, 1020, 'b'), 5, R::NumberCrossRange},
        {"??", Dev(999, 0, 'i'), 1, R::UnknownDeviceCode}};
    for (auto [prefix, device, count, result] : cases) {
        DeviceFields fields;
        fields.prefix = prefix;
        PqDevice previous = Dev(kM, 32767, 'b');
        EXPECT_EQ(Plc(2).CheckDeviceFields(fields, device, count, previous), result) << prefix;
    }
}

}  // namespace
