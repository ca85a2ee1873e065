// The ZORVIKAN-SH family.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanSH final : public FamilyPlc<ZorvikanSH> {
public:
    static constexpr int kPlcCode = 8;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-SH";
};
