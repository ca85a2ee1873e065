// The factory as the host uses it: exact identifiers, fresh objects, release by run-time type.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "families/ZorvikanGL.h"
#include "families/ZorvikanH.h"
#include "families/ZorvikanMP.h"
#include "families/ZorvikanMS.h"
#include "families/ZorvikanSH.h"
#include "plc/Factory.h"
#include "support/FakePlc.h"

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
    {L"ZORVIKAN-GL", 4, &Is<ZorvikanGL>},  {L"ZORVIKAN-SH", 8, &Is<ZorvikanSH>},
    {L"ZORVIKAN-H", 10, &Is<ZorvikanH>},   {L"ZORVIKAN-MS", 15, &Is<ZorvikanMS>},
    {L"ZORVIKAN-MP", 25, &Is<ZorvikanMP>},
};

using PlcPtr = std::unique_ptr<pqcore::PqPlcIF, decltype(&FreePlcObject)>;

PlcPtr Make(const std::wstring& id) {
    return PlcPtr(CreatePlcObject(id), &FreePlcObject);
}

// Two objects of one family share no state; the host frees what it was given, the host
// interface being the start of the object.
TEST(Factory, EachIdentifierGivesItsClassWithFreshState) {
    for (const Served& s : kServed) {
        SCOPED_TRACE(std::string(s.id.begin(), s.id.end()));
        const PlcPtr plc = Make(s.id), other = Make(s.id);
        ASSERT_NE(plc, nullptr);
        ASSERT_NE(plc.get(), other.get());
        EXPECT_TRUE(s.isClass(plc.get()));
        EXPECT_EQ(plc->GetPlcCode(), s.code);
        const auto* common = dynamic_cast<CommonPlc*>(plc.get());
        auto* editor = dynamic_cast<CPlcObject*>(plc.get());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(static_cast<void*>(plc.get()), static_cast<const void*>(common));
        other->SetTerminalType(6);
        dynamic_cast<CPlcObject*>(other.get())->SetEditFlags(4);
        EXPECT_EQ(std::make_tuple(common->TerminalType(), editor->EditorTerminalType(),
                                  editor->GetEditFlags()),
                  std::make_tuple(2, 2, 0));
    }
}

// Near misses of every kind, and every one-unit change and every prefix of every identifier.
TEST(Factory, OnlyExactIdentifiersMatch) {
    EXPECT_EQ(PlcIdNames(), L"ZORVIKAN-GL,ZORVIKAN-SH,ZORVIKAN-H,ZORVIKAN-MS,ZORVIKAN-MP");
    for (const std::wstring& id :
         {std::wstring(L"ZORVIKAN-MP "), std::wstring(L" ZORVIKAN-MP"),
          std::wstring(L"ZORVIKAN-MPX"), std::wstring(L"ZORVIKAN_MP"),
          std::wstring(L"ZORVIKAN-MP\0", 12), PlcIdNames(), std::wstring(L"\uFF3AORVIKAN-MP")})
        EXPECT_EQ(Make(id), nullptr) << "length " << id.size();
    for (const Served& s : kServed) {
        for (std::size_t i = 0; i < s.id.size(); ++i) {
            std::wstring changed = s.id;
            changed[i] = static_cast<wchar_t>(changed[i] ^ 0x20);  // case, or another sign
            EXPECT_EQ(Make(changed), nullptr);
            EXPECT_EQ(Make(s.id.substr(0, i)), nullptr);
        }
    }
}

// An object of another origin is neither destroyed nor freed (freeing this one, on the stack,
// would abort); every own class goes back through its own destructor (the sanitizer build's leak
// checker reports any object FreePlcObject failed to free).
TEST(Factory, FreeReleasesOnlyOwnObjects) {
    FreePlcObject(nullptr);
    FakePlc foreign;
    FreePlcObject(&foreign);
    EXPECT_EQ(foreign.GetPlcId(), L"FAKE");
    for (const Served& s : kServed) {
        pqcore::PqPlcIF* plc = CreatePlcObject(s.id);
        ASSERT_NE(plc, nullptr);
        FreePlcObject(plc);
    }
}

}  // namespace
