// Whatever a host hands over — identifiers, records with extreme fields, out-arguments that
// already hold data, very long texts — every operation answers with a defined result, "??" marks
// exactly the failed texts, and nothing throws.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "plc/CPlcObject.h"
#include "plc/Factory.h"
#include "support/Devices.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;

bool IsResult(DeviceResult r) {
    return static_cast<int>(r) >= 0 && static_cast<int>(r) <= 9;
}

TEST(HostileBoundary, IdentifiersOfAnySizeAndUnits) {
    std::wstring every;  // every 7th unit, surrogates included
    for (int u = 0; u < 0x10000; u += 7)
        every.push_back(static_cast<wchar_t>(u));
    for (const std::wstring& id : {std::wstring(100000, L'Z'), every, std::wstring(L"\xD83D")})
        EXPECT_EQ(CreatePlcObject(id), nullptr) << id.size();
}

// Records at the ends of every field's range and texts of thousands of units, in every family
// and terminal type, through every operation that takes a record or a text.
TEST(HostileBoundary, ExtremeRecordsAndTextsThroughEveryOperation) {
    const int codes[] = {INT_MIN, -1, 0, 156, 157, 175, 12289, 12290, 12291, 46100, INT_MAX};
    const int numbers[] = {INT_MIN, INT_MIN + 15, -16, -1, 0, 65535, INT_MAX - 15, INT_MAX};
    const int types[] = {'b', 'i', 'F', 'q', 0, -1, 0x10062, INT_MIN};
    const std::int16_t segments[] = {INT16_MIN, -1, 0, 1, INT16_MAX};
    const std::wstring texts[] = {std::wstring(5000, L'1'),
                                  L"MW" + std::wstring(5000, L'0'),
                                  L"MW1" + std::wstring(5000, L' '),
                                  std::wstring(3000, L'-') + L":" + std::wstring(3000, L':'),
                                  L"1-3 " + std::wstring(4000, L'9') + L" MW1",
                                  L"s16:" + std::wstring(8000, L'\uFFFF')};
    long calls = 0;
    for (const wchar_t* id :
         {L"ZORVIKAN-GL", L"ZORVIKAN-SH", L"ZORVIKAN-H", L"ZORVIKAN-MS", L"ZORVIKAN-MP"}) {
        const std::unique_ptr<pqcore::PqPlcIF, void (*)(pqcore::PqPlcIF*)> plc(
            CreatePlcObject(id), [](pqcore::PqPlcIF* p) { FreePlcObject(p); });
        auto* editor = dynamic_cast<CPlcObject*>(plc.get());
        ASSERT_NE(editor, nullptr);
        for (int terminal : {-1, 0, 1, 2, 4, 6, 7, 9}) {
            plc->SetTerminalType(terminal);
            for (const std::wstring& text : texts)
                for (int type : {'b', 'i', 'I'}) {
                    PqDevice d;
                    std::wstring tag;
                    ASSERT_TRUE(IsResult(plc->StringToDevice(text, type, d)));
                    ASSERT_TRUE(IsResult(plc->TypedStringToDevice(text, d, tag, true)));
                }
            for (int code : codes)
                for (int number : numbers)
                    for (int type : types)
                        for (std::int16_t segment : segments) {
                            PqDevice d = test_support::Dev(code, number, type, segment, -segment);
                            d.mSegment.mExtNo = segment;
                            d.mChannel = number;
                            SCOPED_TRACE(::testing::PrintToString(d) + " terminal " +
                                         std::to_string(terminal));
                            std::wstring text = L"held data";
                            const auto local = plc->DeviceToLocalString(d, text);
                            ASSERT_TRUE(IsResult(local));
                            ASSERT_EQ(local != DeviceResult::Ok, text == L"??");
                            const auto full = plc->DeviceToString(d, text);
                            ASSERT_TRUE(IsResult(full));
                            ASSERT_EQ(full != DeviceResult::Ok, text == L"??");
                            ASSERT_TRUE(IsResult(plc->DeviceToTypedString(d, text, true)));
                            ASSERT_TRUE(IsResult(plc->NetworkToString(d, text)));
                            ASSERT_TRUE(IsResult(plc->CheckDeviceRange(d, INT_MAX)));
                            ASSERT_TRUE(IsResult(plc->CheckDeviceRange(d, INT_MIN)));
                            PlcAddress a;
                            a.code = 99;
                            ASSERT_TRUE(IsResult(plc->DeviceToPlcAddress(d, a)));
                            PqDevice back = d;
                            ASSERT_TRUE(IsResult(plc->PlcAddressToDevice(a, back)));
                            (void)plc->IsBitDevice(d), (void)plc->IsWordDevice(d);
                            (void)plc->GetDeviceOrder(d), (void)plc->CompareDevices(d, back, false);
                            DeviceFields fields;
                            fields.prefix = "held";
                            ASSERT_TRUE(IsResult(editor->DeviceToFields(d, fields)));
                            ASSERT_TRUE(IsResult(editor->FieldsToDevice(back, fields)));
                            std::vector<std::wstring> lows = {L"held"}, highs = {L"held"};
                            editor->GetNumberRangeTexts(d, lows, highs);
                            ASSERT_EQ(lows.size(), highs.size());
                            ASSERT_LE(lows.size(), 3u);  // the lists are replaced, not extended
                            CString kind = "held";
                            editor->GetDeviceKindText(d, kind);
                            ASSERT_TRUE(kind == "BIT" || kind == "WORD" || kind == "");
                            std::wstring prefix = L"held";
                            editor->GetDevicePrefix(d, prefix);
                            ASSERT_NE(prefix, L"held");
                            ++calls;
                        }
        }
    }
    EXPECT_GT(calls, 100000);
}

}  // namespace
