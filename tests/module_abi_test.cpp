// The module as the screen editor sees it: loaded at run time, reached only through its three
// entry points, and driven through a declaration of the PLC interface written here on the host's
// side, independently of the module's own headers. A reordered, inserted or missing operation
// makes these calls land on the wrong function.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pqcore/PqPlcIF.h"
#include "support/Devices.h"

namespace host_view {

using pqcore::PqDevice;

// The host's view of a PLC object: results are plain ints, operations in their fixed order.
class Plc {
public:
    virtual ~Plc() = default;
    virtual int GetPlcCode() const = 0;
    virtual int GetPlcGroupCode() const = 0;
    virtual std::wstring GetPlcId() const = 0;
    virtual PqDevice GetDefaultBitDevice() const = 0;
    virtual PqDevice GetDefaultWordDevice() const = 0;
    virtual int DeviceToString(const PqDevice&, std::wstring&) const = 0;
    virtual int DeviceToTypedString(const PqDevice&, std::wstring&, bool) const = 0;
    virtual int DeviceToLocalString(const PqDevice&, std::wstring&) const = 0;
    virtual int NetworkToString(const PqDevice&, std::wstring&) const = 0;
    virtual int StringToDevice(const std::wstring&, int, PqDevice&) const = 0;
    virtual int TypedStringToDevice(const std::wstring&, PqDevice&, std::wstring&, bool) const = 0;
    virtual int CheckDeviceRange(const PqDevice&, int) const = 0;
    virtual int SetCompactTerminal(bool) = 0;
    virtual int SetTerminalType(int) = 0;
    virtual bool IsNetworkAvailable() const = 0;
    virtual bool IsNetworkAvailableEx() const = 0;
    virtual bool IsOptionAvailable() const = 0;
    virtual int DeviceToPlcAddress(const PqDevice&, PlcAddress&) const = 0;
    virtual int PlcAddressToDevice(const PlcAddress&, PqDevice&) const = 0;
    virtual bool IsPlcBitAddress(const PlcAddress&) const = 0;
    virtual bool IsAvailableForTerminal(int) const = 0;
    virtual bool IsAvailableForTerminalEx(int) const = 0;
    virtual bool IsBitOffsetAddress(const PlcAddress&) const = 0;
    virtual int GetInterfaceLevel() const = 0;
    virtual bool IsBitDevice(const PqDevice&) const = 0;
    virtual bool IsWordDevice(const PqDevice&) const = 0;
    virtual int CompareDevices(const PqDevice&, const PqDevice&, bool) const = 0;
    virtual int GetDeviceOrder(const PqDevice&) const = 0;
    virtual const char* const* GetDeviceNameTable(int&, int) const = 0;
    virtual const int* GetDeviceCodeTable(int&) const = 0;
    virtual bool IsInternalDeviceValid(const PqDevice&) const = 0;
    virtual bool EditDevice(int, int, int, PqDevice&, int) = 0;
    // Behind the host's operations.
    virtual int GetDataTypeTag(const PqDevice&, std::wstring&, bool) const = 0;
};

// The network family adds four operations behind those.
class NetworkPlc : public Plc {
public:
    virtual bool GetNetworkNumberRange(const PqDevice&, int&, int&, int&, int&) const = 0;
    virtual bool GetStationNumberRange(const PqDevice&, int&, int&, int&, int&) const = 0;
    virtual bool IsNetworkUnset(const PqDevice&) const = 0;
    virtual bool CanHaveNetwork(const PqDevice&) const = 0;
};

using Create = Plc* (*)(const std::wstring&);
using IdNames = void (*)(std::wstring&);
using Free = void (*)(Plc*);

}  // namespace host_view

namespace {

using pqcore::PqDevice;

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(ZV_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        create = reinterpret_cast<host_view::Create>(dlsym(handle, "CreatePlc"));
        idNames = reinterpret_cast<host_view::IdNames>(dlsym(handle, "GetPlcIdNames"));
        free = reinterpret_cast<host_view::Free>(dlsym(handle, "FreePlc"));
        ASSERT_NE(create, nullptr);
        ASSERT_NE(idNames, nullptr);
        ASSERT_NE(free, nullptr);
    }
    void TearDown() override {
        if (handle) dlclose(handle);
    }

    void* handle = nullptr;
    host_view::Create create = nullptr;
    host_view::IdNames idNames = nullptr;
    host_view::Free free = nullptr;
};

struct Expected {
    const wchar_t* id;
    int code;
    bool network;
};

const Expected kExpected[] = {{L"ZORVIKAN-GL", 4, false},
                              {L"ZORVIKAN-SH", 8, false},
                              {L"ZORVIKAN-H", 10, false},
                              {L"ZORVIKAN-MS", 15, false},
                              {L"ZORVIKAN-MP", 25, true}};

using test_support::Dev;

TEST_F(LoadedModule, ExportsListAndCreateEveryType) {
    std::wstring names = L"left over";
    idNames(names);
    EXPECT_EQ(names, L"ZORVIKAN-GL,ZORVIKAN-SH,ZORVIKAN-H,ZORVIKAN-MS,ZORVIKAN-MP");
    EXPECT_EQ(create(L"ZORVIKAN-mp"), nullptr);
    free(nullptr);
}

TEST_F(LoadedModule, EveryOperationAnswersInItsSlot) {
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(std::string(e.id, e.id + std::wcslen(e.id)));
        host_view::Plc* plc = create(e.id);
        ASSERT_NE(plc, nullptr);

        EXPECT_EQ(plc->GetPlcCode(), e.code);
        EXPECT_EQ(plc->GetPlcGroupCode(), e.code);
        EXPECT_EQ(plc->GetPlcId(), e.id);
        EXPECT_EQ(plc->GetDefaultBitDevice(), Dev(157, 0, 'b'));
        EXPECT_EQ(plc->GetDefaultWordDevice(), Dev(168, 0, 'i'));
        EXPECT_EQ(plc->GetInterfaceLevel(), 3);
        EXPECT_EQ(plc->IsNetworkAvailable(), e.network);
        EXPECT_EQ(plc->IsNetworkAvailableEx(), e.network);
        EXPECT_FALSE(plc->IsOptionAvailable());
        EXPECT_TRUE(plc->IsAvailableForTerminal(0));
        EXPECT_TRUE(plc->IsAvailableForTerminalEx(0));
        EXPECT_TRUE(plc->IsInternalDeviceValid(Dev(12290, 100, 'b')));
        EXPECT_FALSE(plc->IsInternalDeviceValid(Dev(12290, 16384, 'b')));

        std::wstring text;
        EXPECT_EQ(plc->GetDataTypeTag(Dev(157, 0, 'D'), text, true), 0);
        EXPECT_EQ(text, L"d32");
        EXPECT_EQ(plc->GetDataTypeTag(Dev(157, 0, 'q'), text, true), 8);

        std::wstring tag = L"kept";
        PqDevice device;
        EXPECT_EQ(plc->TypedStringToDevice(L"no colon", device, tag, true), 6);
        EXPECT_EQ(tag, L"kept");
        EXPECT_EQ(plc->TypedStringToDevice(L"x:MW1", device, tag, true), 8);
        EXPECT_EQ(tag, L"x");

        PqDevice a = Dev(175, 16, 'i');
        PqDevice b = a;
        b.mSegment.mNetworkNo = 1;
        EXPECT_EQ(plc->CompareDevices(a, b, false), -1);
        EXPECT_EQ(plc->CompareDevices(b, a, false), 1);

        PlcAddress offset;
        offset.kind = PlcDataKind::BitOffset;
        EXPECT_TRUE(plc->IsBitOffsetAddress(offset));

        EXPECT_EQ(plc->SetTerminalType(9), 0);
        EXPECT_EQ(plc->IsNetworkAvailable(), e.network);  // 9 is stored as 4
        EXPECT_EQ(plc->SetCompactTerminal(true), 0);
        EXPECT_FALSE(plc->IsAvailableForTerminal(0));
        EXPECT_FALSE(plc->IsAvailableForTerminalEx(0));
        EXPECT_FALSE(plc->IsBitOffsetAddress(offset));
        EXPECT_FALSE(plc->IsNetworkAvailable());
        EXPECT_EQ(plc->DeviceToTypedString(a, text, true), 9);
        EXPECT_EQ(text, L"??");
        EXPECT_EQ(plc->SetCompactTerminal(false), 0);
        EXPECT_TRUE(plc->IsAvailableForTerminal(0));

        if (e.network) {
            auto* mp = static_cast<host_view::NetworkPlc*>(plc);
            int base = 0, min = 0, max = 0, digits = 0;
            EXPECT_TRUE(mp->GetNetworkNumberRange(a, base, min, max, digits));
            EXPECT_EQ(max, 239);
            EXPECT_TRUE(mp->GetStationNumberRange(a, base, min, max, digits));
            EXPECT_EQ(max, 64);
            EXPECT_TRUE(mp->IsNetworkUnset(a));
            EXPECT_FALSE(mp->IsNetworkUnset(b));
            EXPECT_TRUE(mp->CanHaveNetwork(a));
            EXPECT_FALSE(mp->CanHaveNetwork(Dev(12289, 0, 'i')));
        }
        free(plc);
    }
}

// The same call through the module's own declaration and through the host's view reaches the
// same function, for every operation (also those whose family rules come later).
TEST_F(LoadedModule, BothDeclarationsReachTheSameOperations) {
    const std::vector<PqDevice> devices = {Dev(0, 0, 'b'), Dev(157, 31, 'b'), Dev(175, 1600, 'I'),
                                           Dev(12289, 1605, 'b'), Dev(12291, 16, 'q')};
    for (const Expected& e : kExpected) {
        host_view::Plc* view = create(e.id);
        ASSERT_NE(view, nullptr);
        auto* own = reinterpret_cast<pqcore::PqPlcIF*>(view);
        for (const PqDevice& d : devices) {
            std::wstring t1, t2;
            EXPECT_EQ(view->DeviceToString(d, t1), static_cast<int>(own->DeviceToString(d, t2)));
            EXPECT_EQ(t1, t2);
            EXPECT_EQ(view->DeviceToLocalString(d, t1),
                      static_cast<int>(own->DeviceToLocalString(d, t2)));
            EXPECT_EQ(t1, t2);
            EXPECT_EQ(view->NetworkToString(d, t1), static_cast<int>(own->NetworkToString(d, t2)));
            EXPECT_EQ(t1, t2);
            EXPECT_EQ(view->DeviceToTypedString(d, t1, true),
                      static_cast<int>(own->DeviceToTypedString(d, t2, true)));
            EXPECT_EQ(t1, t2);
            EXPECT_EQ(view->CheckDeviceRange(d, 2), static_cast<int>(own->CheckDeviceRange(d, 2)));
            PlcAddress a1, a2;
            EXPECT_EQ(view->DeviceToPlcAddress(d, a1),
                      static_cast<int>(own->DeviceToPlcAddress(d, a2)));
            EXPECT_EQ(a1, a2);
            PqDevice d1, d2;
            EXPECT_EQ(view->PlcAddressToDevice(a1, d1),
                      static_cast<int>(own->PlcAddressToDevice(a2, d2)));
            EXPECT_EQ(d1, d2);
            EXPECT_EQ(view->IsPlcBitAddress(a1), own->IsPlcBitAddress(a2));
            EXPECT_EQ(view->IsBitDevice(d), own->IsBitDevice(d));
            EXPECT_EQ(view->IsWordDevice(d), own->IsWordDevice(d));
            EXPECT_EQ(view->GetDeviceOrder(d), own->GetDeviceOrder(d));
            EXPECT_EQ(view->IsInternalDeviceValid(d), own->IsInternalDeviceValid(d));
            EXPECT_EQ(view->CompareDevices(d, devices[1], true),
                      own->CompareDevices(d, devices[1], true));
            EXPECT_EQ(view->StringToDevice(L"MW100", 'i', d1),
                      static_cast<int>(own->StringToDevice(L"MW100", 'i', d2)));
            EXPECT_EQ(d1, d2);
        }
        for (int which : {0, 1, 2}) {
            int c1 = -1, c2 = -2;
            EXPECT_EQ(view->GetDeviceNameTable(c1, which), own->GetDeviceNameTable(c2, which));
            EXPECT_EQ(c1, c2);
        }
        int c1 = -1, c2 = -2;
        EXPECT_EQ(view->GetDeviceCodeTable(c1), own->GetDeviceCodeTable(c2));
        EXPECT_EQ(c1, c2);
        free(view);
    }
}

}  // namespace
