// Text conversions and unescaping: documented exceptions only, positions inside the input.
#include "FuzzSupport.h"
#include "util/Escape.h"
#include "util/Exceptions.h"
#include "util/TextConvert.h"

namespace {

template <class F>
void ThrowsOnlyFormatErrors(F&& f, std::size_t length) {
    try {
        f();
    } catch (const util::invalid_format_argument& e) {
        fuzz::Require(e.position >= 0 && static_cast<std::size_t>(e.position) <= length,
                      "error position outside the input");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring units = in.RestUnits(true);

    ThrowsOnlyFormatErrors([&] { (void)util::Utf8ToWString(bytes); }, bytes.size());
    ThrowsOnlyFormatErrors([&] { (void)util::WStringToUtf8(units); }, units.size());
    ThrowsOnlyFormatErrors([&] { (void)util::Unescape(bytes); }, bytes.size());
    ThrowsOnlyFormatErrors([&] { (void)util::Unescape(units); }, units.size());
    ThrowsOnlyFormatErrors([&] { (void)util::AsciiToWString(bytes); }, bytes.size());

    // Escaping never fails and always comes back.
    fuzz::Require(util::Unescape(util::Escape(bytes, false, true)) == bytes,
                  "byte escape round trip");
    std::wstring sixteen;
    for (wchar_t u : units)
        sixteen.push_back(static_cast<wchar_t>(static_cast<char16_t>(u)));
    fuzz::Require(util::Unescape(util::Escape(sixteen, false)) == sixteen,
                  "wide escape round trip");

    // Valid UTF-16 survives UTF-8.
    try {
        const std::string utf8 = util::WStringToUtf8(sixteen);
        fuzz::Require(util::Utf8ToWString(utf8) == sixteen, "UTF-8 round trip");
    } catch (const util::invalid_format_argument&) {
    }
    return 0;
}
