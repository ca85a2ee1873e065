#include "plc/DeviceText.h"

#include <array>

namespace {

// What normalising needs of each 7-bit unit, looked up once instead of tested case by case.
struct UnitClass {
    char upper;  // the unit, upper-cased if a letter
    bool blank;  // ' ' or '\t'..'\r'
    bool alnum;  // a letter or digit
};

constexpr std::array<UnitClass, 128> kUnitClasses = [] {
    std::array<UnitClass, 128> classes{};
    for (int c = 0; c < 128; ++c) {
        const bool lower = c >= 'a' && c <= 'z';
        const bool upper = c >= 'A' && c <= 'Z';
        classes[c] = {static_cast<char>(lower ? c - 'a' + 'A' : c),
                      c == ' ' || (c >= '\t' && c <= '\r'),
                      lower || upper || (c >= '0' && c <= '9')};
    }
    return classes;
}();

}  // namespace

std::string NormalizeDeviceText(const std::wstring& text, bool upperCase) {
    // A blank run becomes at most one blank, so the result never outgrows the text: it is written
    // through a pointer into storage sized once.
    std::string result(text.size(), '\0');
    char* out = result.data();
    // The common text, printable ASCII without blanks, maps unit by unit; the general loop takes
    // over from the first unit that is not.
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const unsigned u = static_cast<char16_t>(text[i]);
        if (u - 0x21u > 0x7Eu - 0x21u) break;
        *out++ = upperCase ? kUnitClasses[u].upper : static_cast<char>(u);
    }
    bool pendingBlank = false;
    bool previousAlnum = i > 0 && kUnitClasses[static_cast<char16_t>(text[i - 1])].alnum;
    for (; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        // Only 16 bits of a unit are meaningful; anything outside 7-bit ASCII matches no pattern.
        const unsigned u = static_cast<char16_t>(unit);
        char c = '?';
        bool alnum = false;
        if (u < 128) {
            const UnitClass& k = kUnitClasses[u];
            if (k.blank) {
                pendingBlank = true;
                continue;
            }
            c = upperCase ? k.upper : static_cast<char>(u);
            alnum = k.alnum;
        }
        if (pendingBlank && previousAlnum && alnum) *out++ = ' ';
        *out++ = c;
        pendingBlank = false;
        previousAlnum = alnum;
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

std::optional<int> ParseDataTypeTag(std::string_view tag, bool detailed) {
    struct Entry {
        std::string_view tag;
        int type;
    };
    static constexpr Entry kTags[] = {{"b", 'b'},   {"w", 'i'},   {"s16", 'i'},
                                      {"u16", 'u'}, {"d16", 'd'}, {"s32", 'I'},
                                      {"u32", 'U'}, {"d32", 'D'}, {"flt", 'F'}};
    for (const Entry& e : kTags) {
        if (e.tag != tag) continue;
        if (e.type == 'b') return 'b';
        return detailed ? e.type : 'i';
    }
    return std::nullopt;
}
