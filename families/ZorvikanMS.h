// The ZORVIKAN-MS family.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanMS final : public FamilyPlc<ZorvikanMS> {
public:
    static constexpr int kPlcCode = 15;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-MS";
};
