// Text steps every device parser shares.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Turns a wide device text into the narrow text the scan patterns run on: units above 127
// become '?', letters are optionally upper-cased, white space disappears except that a run of it
// between two letters or digits becomes exactly one blank.
std::string NormalizeDeviceText(const std::wstring& text, bool upperCase);

// The data-type character of a type tag ("b", "w", "s16", "u16", "d16", "s32", "u32", "d32",
// "flt"; exact, case-sensitive). Without `detailed`, every word tag reads as 'i'.
std::optional<int> ParseDataTypeTag(std::string_view tag, bool detailed);
