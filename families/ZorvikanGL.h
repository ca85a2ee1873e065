// The ZORVIKAN-GL family.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanGL final : public FamilyPlc<ZorvikanGL> {
public:
    static constexpr int kPlcCode = 4;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-GL";
};
