// The factory as the host uses it: exact identifiers, fresh objects, release by run-time type.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "families/ZorvikanGL.h"
#include "families/ZorvikanH.h"
#include "families/ZorvikanMP.h"
#include "families/ZorvikanMS.h"
#include "families/ZorvikanSH.h"
#include "plc/Factory.h"

namespace {

struct Served {
    std::wstring id;
    int code;
    bool (*isClass)(pqcore::PqPlcIF*);
};

template <class T>
bool Is(pqcore::PqPlcIF* p) {
    return dynamic_cast<T*>(p) != nullptr;
}

const Served kServed[] = {
    {L"ZORVIKAN-GL", 4, &Is<ZorvikanGL>}, {L"ZORVIKAN-SH", 8, &Is<ZorvikanSH>},
    {L"ZORVIKAN-H", 10, &Is<ZorvikanH>},  {L"ZORVIKAN-MS", 15, &Is<ZorvikanMS>},
    {L"ZORVIKAN-MP", 25, &Is<ZorvikanMP>},
};

using PlcPtr = std::unique_ptr<pqcore::PqPlcIF, decltype(&FreePlcObject)>;

PlcPtr Make(const std::wstring& id) { return PlcPtr(CreatePlcObject(id), &FreePlcObject); }

TEST(Factory, EachIdentifierGivesItsClassWithFreshState) {
    for (const Served& s : kServed) {
        SCOPED_TRACE(std::string(s.id.begin(), s.id.end()));
        const PlcPtr plc = Make(s.id);
        ASSERT_NE(plc, nullptr);
        EXPECT_TRUE(s.isClass(plc.get()));
        EXPECT_EQ(plc->GetPlcCode(), s.code);
        EXPECT_EQ(plc->GetPlcGroupCode(), s.code);
        EXPECT_EQ(plc->GetPlcId(), s.id);
        const auto* common = dynamic_cast<CommonPlc*>(plc.get());
        const auto* editor = dynamic_cast<CPlcObject*>(plc.get());
        ASSERT_NE(common, nullptr);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(common->TerminalType(), 2);
        EXPECT_EQ(editor->EditorTerminalType(), 2);
        EXPECT_EQ(editor->GetEditFlags(), 0);
        // The host interface is the start of the object: the host frees what it was given.
        EXPECT_EQ(static_cast<void*>(plc.get()), static_cast<const void*>(common));
    }
}

TEST(Factory, OnlyExactIdentifiersMatch) {
    const std::wstring nearMisses[] = {
        L"",
        L"zorvikan-mp",
        L"ZORVIKAN-mp",
        L"ZORVIKAN-MP ",
        L" ZORVIKAN-MP",
        L"ZORVIKAN-",
        L"ZORVIKAN-M",
        L"ZORVIKAN-MPX",
        L"ZORVIKAN_MP",
        std::wstring(L"ZORVIKAN-MP\0", 12),  // a trailing NUL unit is a different identifier
        L"ZORVIKAN-GL,ZORVIKAN-SH,ZORVIKAN-H,ZORVIKAN-MS,ZORVIKAN-MP",
        L"ＺORVIKAN-MP",  // full-width letter
    };
    for (const std::wstring& id : nearMisses) {
        EXPECT_EQ(Make(id), nullptr) << "length " << id.size();
    }
    // Every one-unit change of every identifier is refused too.
    for (const Served& s : kServed) {
        for (std::size_t i = 0; i < s.id.size(); ++i) {
            std::wstring changed = s.id;
            changed[i] = static_cast<wchar_t>(changed[i] ^ 0x20);
            EXPECT_EQ(Make(changed), nullptr);
            EXPECT_EQ(Make(s.id.substr(0, i)), nullptr);
        }
    }
}

TEST(Factory, IdentifierListReplacesWhatTheStringHeld) {
    EXPECT_EQ(PlcIdNames(), L"ZORVIKAN-GL,ZORVIKAN-SH,ZORVIKAN-H,ZORVIKAN-MS,ZORVIKAN-MP");
}

TEST(Factory, TwoObjectsOfOneFamilyAreDistinct) {
    for (const Served& s : kServed) {
        const PlcPtr a = Make(s.id);
        const PlcPtr b = Make(s.id);
        ASSERT_NE(a.get(), b.get());
        a->SetTerminalType(6);
        EXPECT_EQ(dynamic_cast<CommonPlc*>(b.get())->TerminalType(), 2);
        dynamic_cast<CPlcObject*>(a.get())->SetEditFlags(4);
        EXPECT_EQ(dynamic_cast<CPlcObject*>(b.get())->GetEditFlags(), 0);
    }
}

// An object of another origin must be neither destroyed nor freed.
class ForeignPlc final : public pqcore::PqPlcIF {
public:
    using PqDevice = pqcore::PqDevice;
    explicit ForeignPlc(bool& destroyed) : mDestroyed(destroyed) {}
    ~ForeignPlc() override { mDestroyed = true; }
    int GetPlcCode() const override { return 0; }
    int GetPlcGroupCode() const override { return 0; }
    std::wstring GetPlcId() const override { return {}; }
    PqDevice GetDefaultBitDevice() const override { return {}; }
    PqDevice GetDefaultWordDevice() const override { return {}; }
    DeviceResult DeviceToString(const PqDevice&, std::wstring&) const override { return {}; }
    DeviceResult DeviceToTypedString(const PqDevice&, std::wstring&, bool) const override {
        return {};
    }
    DeviceResult DeviceToLocalString(const PqDevice&, std::wstring&) const override { return {}; }
    DeviceResult NetworkToString(const PqDevice&, std::wstring&) const override { return {}; }
    DeviceResult StringToDevice(const std::wstring&, int, PqDevice&) const override { return {}; }
    DeviceResult TypedStringToDevice(const std::wstring&, PqDevice&, std::wstring&,
                                     bool) const override {
        return {};
    }
    DeviceResult CheckDeviceRange(const PqDevice&, int) const override { return {}; }
    int SetCompactTerminal(bool) override { return 0; }
    int SetTerminalType(int) override { return 0; }
    bool IsNetworkAvailable() const override { return false; }
    bool IsNetworkAvailableEx() const override { return false; }
    bool IsOptionAvailable() const override { return false; }
    DeviceResult DeviceToPlcAddress(const PqDevice&, PlcAddress&) const override { return {}; }
    DeviceResult PlcAddressToDevice(const PlcAddress&, PqDevice&) const override { return {}; }
    bool IsPlcBitAddress(const PlcAddress&) const override { return false; }
    bool IsAvailableForTerminal(int) const override { return false; }
    bool IsAvailableForTerminalEx(int) const override { return false; }
    bool IsBitOffsetAddress(const PlcAddress&) const override { return false; }
    int GetInterfaceLevel() const override { return 0; }
    bool IsBitDevice(const PqDevice&) const override { return false; }
    bool IsWordDevice(const PqDevice&) const override { return false; }
    int CompareDevices(const PqDevice&, const PqDevice&, bool) const override { return 0; }
    int GetDeviceOrder(const PqDevice&) const override { return 0; }
    const char* const* GetDeviceNameTable(int&, int) const override { return nullptr; }
    const int* GetDeviceCodeTable(int&) const override { return nullptr; }
    bool IsInternalDeviceValid(const PqDevice&) const override { return false; }
    bool EditDevice(int, int, int, PqDevice&, int) override { return false; }

private:
    bool& mDestroyed;
};

TEST(Factory, FreeReleasesOnlyOwnObjects) {
    FreePlcObject(nullptr);  // no effect, no crash

    bool destroyed = false;
    auto foreign = std::make_unique<ForeignPlc>(destroyed);
    FreePlcObject(foreign.get());
    EXPECT_FALSE(destroyed);
    foreign.reset();
    EXPECT_TRUE(destroyed);

    // Every class goes back through its own destructor; the leak checker of the sanitizer build
    // reports any object that FreePlcObject failed to free.
    for (const Served& s : kServed) {
        pqcore::PqPlcIF* plc = CreatePlcObject(s.id);
        ASSERT_NE(plc, nullptr);
        FreePlcObject(plc);
    }
}

}  // namespace
