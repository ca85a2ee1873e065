#include "plc/DeviceText.h"

namespace {

bool IsBlank(unsigned c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string NormalizeDeviceText(const std::wstring& text, bool upperCase) {
    // A blank run becomes at most one blank, so the result never outgrows the text: it is written
    // through a pointer into storage sized once.
    std::string result(text.size(), '\0');
    char* out = result.data();
    bool pendingBlank = false;
    char previous = '\0';
    for (const wchar_t unit : text) {
        // Only 16 bits of a unit are meaningful; anything outside 7-bit ASCII matches no pattern.
        const unsigned u = static_cast<char16_t>(unit);
        char c = u > 127 ? '?' : static_cast<char>(u);
        if (upperCase && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (IsBlank(static_cast<unsigned char>(c))) {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && IsAlnum(previous) && IsAlnum(c)) *out++ = ' ';
        *out++ = c;
        pendingBlank = false;
        previous = c;
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
