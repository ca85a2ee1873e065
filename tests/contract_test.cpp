// One contract for all five families: for each family, each terminal type 0-7 and each data type,
// every device number of every kind (internal devices included, a margin beyond each range too)
// obeys the same laws. Where the rules themselves break a law, the exception is named and checked
// as it stands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "plc/CPlcObject.h"
#include "plc/Factory.h"
#include "support/Devices.h"
#include "support/FamilyLaws.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;
using test_support::KindRange;
using test_support::Narrow;

struct Family {
    const wchar_t* id;
    std::vector<KindRange> kinds;  // the widest range any terminal type gives each own kind
    // Internal devices lose their channel on the way to a flat address.
    bool internalDropsChannel;
    // The compact terminal checks no number range of the family's own kinds: devices beyond them
    // pass and print, but only some of their texts are device texts again (not a negative
    // number, nor one too long for its kind); those that are read back the same.
    bool compactChecksNoRange;
};

const KindRange kInternal[] = {{12290, 0, 65536}, {12289, 0, 1048576}, {12291, 0, 32768}};

const Family kFamilies[] = {
    {L"ZORVIKAN-GL",
     {{156, 0, 63424},
      {157, 0, 63424},
      {160, 0, 6144},
      {168, 0, 509440},
      {175, 0, 452656},
      {177, 0, 452656},
      {180, 0, 98304},
      {46100, 0, 98304},
      {204, 0, 65536}},
     false,
     false},
    {L"ZORVIKAN-SH",
     {{156, 0, 65536}, {157, 0, 524288}, {168, 0, 524288}, {175, 0, 524288}},
     true,
     false},
    {L"ZORVIKAN-H",
     {{156, 0, 2048},
      {157, 0, 2048},
      {168, 0, 2048},
      {180, 0, 2048},
      {175, 0, 155888},
      {204, 0, 32768}},
     false,
     false},
    {L"ZORVIKAN-MS",
     {{156, 0, 1024}, {157, 0, 1024}, {168, 0, 1024}, {175, 0, 32768}, {180, 0, 1024}},
     false,
     false},
    {L"ZORVIKAN-MP",
     {{156, 0, 524288}, {157, 0, 1048560}, {168, 0, 524288}, {175, 0, 1048560}},
     true,
     true},
};

struct Param {
    int family;
    int terminal;
};

void PrintTo(const Param& p, std::ostream* os) {
    *os << Narrow(kFamilies[p.family].id) << " terminal " << p.terminal;
}

std::string ParamName(const ::testing::TestParamInfo<Param>& info) {
    const std::wstring id = kFamilies[info.param.family].id;
    return Narrow(id.substr(9)) + "_terminal" + std::to_string(info.param.terminal);
}

std::vector<Param> AllParams() {
    std::vector<Param> params;
    for (int f = 0; f < 5; ++f)
        for (int t = 0; t <= 7; ++t)
            params.push_back({f, t});
    return params;
}

struct PlcDeleter {
    void operator()(pqcore::PqPlcIF* p) const { FreePlcObject(p); }
};

class Contract : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override {
        family = &kFamilies[GetParam().family];
        plc.reset(CreatePlcObject(family->id));
        ASSERT_NE(plc, nullptr);
        plc->SetTerminalType(GetParam().terminal);
        editor = dynamic_cast<CPlcObject*>(plc.get());
        ASSERT_NE(editor, nullptr);
    }

    // Laws of a device the family accepts.
    void CheckValid(const PqDevice& d, bool internal) {
        std::wstring local;
        ASSERT_EQ(plc->DeviceToLocalString(d, local), DeviceResult::Ok)
            << ::testing::PrintToString(d);
        ASSERT_NE(local, L"??");

        PqDevice back;
        back.mChannel = d.mChannel;
        ASSERT_EQ(plc->StringToDevice(local, d.mType, back), DeviceResult::Ok) << Narrow(local);
        ASSERT_EQ(back, d) << Narrow(local);

        PlcAddress a;
        ASSERT_EQ(plc->DeviceToPlcAddress(d, a), DeviceResult::Ok) << Narrow(local);
        ASSERT_EQ(plc->PlcAddressToDevice(a, back), DeviceResult::Ok) << Narrow(local);
        PqDevice flat = d;
        if (internal && family->internalDropsChannel) flat.mChannel = 0;
        ASSERT_EQ(back, flat) << Narrow(local);

        // A bit device or a word device, as its kind says, never both.
        CString kind;
        ASSERT_TRUE(editor->GetDeviceKindText(d, kind)) << Narrow(local);
        ASSERT_EQ(plc->IsBitDevice(d), kind == "BIT") << Narrow(local);
        ASSERT_EQ(plc->IsWordDevice(d), kind == "WORD") << Narrow(local);

        // The dialog's texts compose the same device again.
        DeviceFields fields;
        ASSERT_EQ(editor->DeviceToFields(d, fields), DeviceResult::Ok) << Narrow(local);
        PqDevice composed = Dev(d.mCode, 0, d.mType);
        composed.mChannel = d.mChannel;
        ASSERT_EQ(editor->FieldsToDevice(composed, fields), DeviceResult::Ok)
            << Narrow(local) << " fields " << fields.prefix.str() << "|" << fields.number.str()
            << "|" << fields.bit.str();
        ASSERT_EQ(composed, d) << Narrow(local);
    }

    // A refused device prints as "??" from every formatter, with one result.
    void CheckRefused(const PqDevice& d, DeviceResult check) {
        std::wstring local, full, typed;
        const DeviceResult l = plc->DeviceToLocalString(d, local);
        ASSERT_NE(l, DeviceResult::Ok) << ::testing::PrintToString(d);
        if (check != DeviceResult::Ok) {
            ASSERT_EQ(l, check) << ::testing::PrintToString(d);
        }
        ASSERT_EQ(local, L"??");
        ASSERT_EQ(plc->DeviceToString(d, full), l);
        ASSERT_EQ(full, L"??");
        // The compact terminal has no typed text at all.
        ASSERT_EQ(plc->DeviceToTypedString(d, typed, true),
                  GetParam().terminal == 1 ? DeviceResult::NotAvailable : l);
        ASSERT_EQ(typed, L"??");
    }

    void CheckKinds(std::span<const KindRange> kinds, bool internal,
                    std::vector<PqDevice>& sample) {
        for (const KindRange& k : kinds) {
            for (int type : test_support::kDataTypes) {
                // Bits one by one; word-wide types on every word, plus some unaligned starts.
                const std::int32_t step = (type == 'b' ? 1 : 16) * test_support::kLawStride;
                for (std::int32_t n = k.first - 17; n < k.end + 17;
                     n += (n < k.first || n >= k.end - 17) ? 1 : step) {
                    if (type != 'b' && n >= k.first && n < k.end - 17 && n % 16 != 0) {
                        continue;
                    }
                    PqDevice d = Dev(k.code, n, type);
                    d.mChannel = static_cast<std::int32_t>(static_cast<std::uint32_t>(n) % 256);
                    const DeviceResult r = plc->CheckDeviceRange(d, 1);
                    const bool beyond = n < k.first || n >= k.end;
                    if (r == DeviceResult::Ok && !internal && beyond &&
                        family->compactChecksNoRange && GetParam().terminal == 1) {
                        std::wstring text;
                        ASSERT_EQ(plc->DeviceToLocalString(d, text), DeviceResult::Ok);
                        PqDevice back;
                        back.mChannel = d.mChannel;
                        if (plc->StringToDevice(text, type, back) == DeviceResult::Ok) {
                            ASSERT_EQ(back, d) << Narrow(text);
                        }
                    } else if (r == DeviceResult::Ok &&
                               (!internal || plc->IsInternalDeviceValid(d))) {
                        CheckValid(d, internal);
                        ++valid;
                        if (n % 4099 == 0) sample.push_back(d);
                    } else {
                        CheckRefused(d, r);
                        ++refused;
                    }
                    if (HasFatalFailure()) return;
                }
            }
        }
    }

    const Family* family = nullptr;
    long valid = 0;
    long refused = 0;
    std::unique_ptr<pqcore::PqPlcIF, PlcDeleter> plc;
    CPlcObject* editor = nullptr;
};

TEST_P(Contract, EveryDeviceObeysTheLaws) {
    std::vector<PqDevice> sample;
    CheckKinds(family->kinds, false, sample);
    if (HasFatalFailure()) return;
    CheckKinds(kInternal, true, sample);
    if (HasFatalFailure()) return;

    // Ordering: antisymmetric, transitive, and 0 only for devices at the same flat address.
    std::sort(sample.begin(), sample.end(), [&](const PqDevice& a, const PqDevice& b) {
        return plc->CompareDevices(a, b, false) < 0;
    });
    for (std::size_t i = 0; i + 1 < sample.size(); ++i) {
        const PqDevice& a = sample[i];
        const PqDevice& b = sample[i + 1];
        const int ab = plc->CompareDevices(a, b, false);
        ASSERT_EQ(ab, -plc->CompareDevices(b, a, false));
        ASSERT_LE(ab, 0);
        PlcAddress pa, pb;
        plc->DeviceToPlcAddress(a, pa);
        plc->DeviceToPlcAddress(b, pb);
        ASSERT_EQ(ab == 0, pa == pb && plc->GetDeviceOrder(a) == plc->GetDeviceOrder(b));
        if (i + 2 < sample.size() && ab < 0 && plc->CompareDevices(b, sample[i + 2], false) < 0) {
            ASSERT_LT(plc->CompareDevices(a, sample[i + 2], false), 0);
        }
    }
    RecordProperty("sampled", static_cast<int>(sample.size()));
    std::printf(
        "%ls terminal %d: %ld valid devices (7 laws each), %ld refused (3 laws each), "
        "%zu ordered\n",
        family->id, GetParam().terminal, valid, refused, sample.size());
}

INSTANTIATE_TEST_SUITE_P(AllFamilies, Contract, ::testing::ValuesIn(AllParams()), ParamName);

}  // namespace
