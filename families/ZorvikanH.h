// The ZORVIKAN-H family.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanH final : public FamilyPlc<ZorvikanH> {
public:
    static constexpr int kPlcCode = 10;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-H";
};
