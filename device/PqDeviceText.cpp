// Text forms of the device-address record: the plain form ("9D.0/b"), the labelled form
// ("&N=Motor&A=1F&&") and the keyed form ("&N=...&A=...&L=...&D=...&&"), and the string and
// stream operations of the host's value base class that reach them.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <ios>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "pqcore/PqDevice.h"
#include "util/CompiledPattern.h"
#include "util/Escape.h"
#include "util/StaticFormat.h"
#include "util/StreamTokens.h"
#include "util/TextConvert.h"

namespace pqcore {

namespace {

using Traits = std::istream::traits_type;

// Switches a stream to hexadecimal number reads and gives the caller's formatting back however
// the parse ends, exceptions included.
class HexNumbers {
public:
    explicit HexNumbers(std::ios_base& stream) : mStream(stream), mSaved(stream.flags()) {
        stream.setf(std::ios_base::hex, std::ios_base::basefield);
    }
    ~HexNumbers() { mStream.flags(mSaved); }
    HexNumbers(const HexNumbers&) = delete;
    HexNumbers& operator=(const HexNumbers&) = delete;

private:
    std::ios_base& mStream;
    std::ios_base::fmtflags mSaved;
};

// Looks ahead without touching a stream that already failed or ended: peek() would turn a
// pending end-of-file into a failure that the caller then misreads as malformed text.
bool NextIs(std::istream& in, char c) {
    return in.good() && in.peek() == Traits::to_int_type(c);
}

// Escaped UTF-8 of a name or text, safe inside a keyed value.
std::string KeyedValue(const std::wstring& text) {
    return util::Escape(util::WStringToUtf8(text), false, true);
}

std::wstring FromKeyedValue(const std::string& value) {
    return util::Utf8ToWString(util::Unescape(value));
}

// printf's %X takes an unsigned int; negative fields print as their 32-bit two's complement.
unsigned Hex32(std::int32_t value) {
    return static_cast<unsigned>(value);
}

}  // namespace

// --- Host value base ------------------------------------------------------------------------

std::wstring& PqAtomADP::ToWString(std::wstring& out) const {
    std::string bytes;
    out = util::Utf8ToWString(ToString(bytes));
    return out;
}

std::string& PqAtomADP::ToString(std::string& out) const {
    std::ostringstream stream;
    Write(stream);
    out = stream.str();
    return out;
}

int PqAtomADP::FromWString(const std::wstring& text) {
    // The count returned is in UTF-8 bytes, as FromString counts them.
    return FromString(util::WStringToUtf8(text));
}

int PqAtomADP::FromString(const std::string& text) {
    std::istringstream stream(text);
    Read(stream);
    // Cleared first: tellg() reports -1 on a failed stream, and at the end of the text the
    // cleared stream reports the text's length.
    stream.clear();
    return static_cast<int>(stream.tellg());
}

// --- Device record --------------------------------------------------------------------------

namespace {

// A hex field of the plain form as the stream reads it, limited to what the direct path takes:
// one to eight digits whose value fits `max`. Anything else is left to the stream.
bool TakeHex(const char*& p, const char* end, std::uint32_t max, std::uint32_t& value) {
    value = 0;
    const char* const first = p;
    for (; p != end && p - first < 8; ++p) {
        const unsigned c = static_cast<unsigned char>(*p);
        unsigned digit;
        if (c - '0' < 10)
            digit = c - '0';
        else if ((c | 0x20u) - 'a' < 6)
            digit = (c | 0x20u) - 'a' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return p != first && value <= max &&
           (p == end || !std::isxdigit(static_cast<unsigned char>(*p)));
}

bool Take(const char*& p, const char* end, char c) {
    if (p == end || *p != c) return false;
    ++p;
    return true;
}

// The plain form exactly as the stream reads it when nothing is amiss: no blanks, no signs, each
// field within its type. Sets the device fields and returns true, or leaves the record alone.
bool ReadPlainDirectly(std::string_view text, PqDevice& device) {
    constexpr std::uint32_t kInt32 = 0x7FFFFFFF, kInt16 = 0x7FFF;
    const char* p = text.data();
    const char* const end = p + text.size();
    std::uint32_t first, number, network = 0, station = 0, ext = 0;
    bool ok =
        TakeHex(p, end, kInt32, first) && Take(p, end, '.') && TakeHex(p, end, kInt32, number);
    if (ok && Take(p, end, '@')) {
        ok = TakeHex(p, end, kInt16, network) && Take(p, end, '.') &&
             TakeHex(p, end, kInt16, station) &&
             (!Take(p, end, '.') || TakeHex(p, end, kInt16, ext));
    }
    ok = ok && Take(p, end, '/') && p + 1 == end && ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'z');
    if (!ok) return false;
    device.mChannel = static_cast<std::int32_t>(first) >> 16;
    device.mCode = static_cast<std::int32_t>(first & 0xFFFF);
    device.mNumber = static_cast<std::int32_t>(number);
    device.mSegment.mNetworkNo = static_cast<std::int16_t>(network);
    device.mSegment.mStationNo = static_cast<std::int16_t>(station);
    device.mSegment.mExtNo = static_cast<std::int16_t>(ext);
    device.mType = static_cast<unsigned char>(*p);
    return true;
}

}  // namespace

// The values of a keyed form that the record reads; of a key given twice the last counts.
struct PqDevice::KeyedValues {
    std::optional<std::string> device, label, name, aux;

    void Set(char key, std::string value) {
        switch (key) {
            case 'D':
                device = std::move(value);
                break;
            case 'A':
                label = std::move(value);
                break;
            case 'N':
                name = std::move(value);
                break;
            case 'L':
                aux = std::move(value);
                break;
            default:
                break;  // other keys are skipped
        }
    }
};

int PqDevice::FromString(const std::string& text) {
    // Records are stored by the thousand in a project, in their plain or keyed form: read those
    // directly, the same as the stream would. Anything else (leading blanks, signs, errors in
    // the plain form) goes the stream's way.
    if (!text.empty() && text[0] == '&') {
        Clear();
        mLabelId = 0;
        // As the stream walks it: after the '&', a key and "=value" up to the next '&' (a key
        // without '=' skips to it), until a key is '&' itself or the text ends.
        KeyedValues values;
        std::size_t pos = 1;
        while (pos < text.size()) {
            const char key = text[pos++];
            if (key == '&') break;
            const std::size_t amp = text.find('&', pos);
            if (pos < text.size() && text[pos] == '=') {
                ++pos;
                values.Set(key, text.substr(
                                    pos, amp == std::string::npos ? std::string::npos : amp - pos));
            }
            pos = amp == std::string::npos ? text.size() : amp + 1;
        }
        ApplyKeyedValues(values);
        return static_cast<int>(pos);
    }
    // The stream's Read starts the same way, so a text the direct path leaves is no worse off.
    Clear();
    mLabelId = 0;
    if (ReadPlainDirectly(text, *this)) return static_cast<int>(text.size());
    return PqAtomADP::FromString(text);
}

void PqDevice::ApplyKeyedValues(const KeyedValues& values) {
    if (values.device && !ReadPlainDirectly(*values.device, *this)) {
        // Its own stream: error positions count within the value.
        std::istringstream device(*values.device);
        ParseDevice(device);
    }
    if (values.label) {
        // Leaves 0 when nothing scans.
        util::CompiledPattern<"%X">::Scan(*values.label, mLabelId);
    }
    if (values.name) mName = FromKeyedValue(*values.name);
    if (values.aux) mAuxText = FromKeyedValue(*values.aux);
    if (mLabelMap != nullptr && !mName.empty()) mLabelMap->ResolveLabel(LabelKey(), this);
}

std::string& PqDevice::ToString(std::string& out) const {
    if (mLabelMap == nullptr || mName.empty()) return ToDeviceString(out);
    // The map may assign the label number now, so it is read only afterwards.
    mLabelMap->UpdateLabel(const_cast<PqDevice*>(this));
    out = "&N=" + KeyedValue(mName) + "&A=";
    util::StaticFormat<"%X">::Append(out, mLabelId);
    out += "&&";
    return out;
}

std::ostream& PqDevice::Write(std::ostream& out) const {
    std::string text;
    ToString(text);
    // write(), not <<: a field width left on the stream must not pad the item.
    return out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string& PqDevice::ToDeviceString(std::string& out) const {
    out.clear();
    // Channel and code share one number; unsigned arithmetic wraps instead of overflowing.
    const std::uint32_t first =
        (static_cast<std::uint32_t>(mChannel) << 16) + static_cast<std::uint32_t>(mCode);
    util::StaticFormat<"%X.%X">::Append(out, first, Hex32(mNumber));
    if (!mSegment.IsNull()) {
        const auto& s = mSegment;
        if (s.mExtNo == 0)  // "@1.2.0" is written "@1.2"
            util::StaticFormat<"@%X.%X">::Append(out, Hex32(s.mNetworkNo), Hex32(s.mStationNo));
        else
            util::StaticFormat<"@%X.%X.%X">::Append(out, Hex32(s.mNetworkNo), Hex32(s.mStationNo),
                                                    Hex32(s.mExtNo));
    }
    // The type as "%c" writes it: its low byte.
    out += '/';
    out += static_cast<char>(static_cast<unsigned char>(mType));
    return out;
}

std::string& PqDevice::ToKeyedString(std::string& out) const {
    std::string text;
    if (!mName.empty()) text += "&N=" + KeyedValue(mName);
    if (mLabelId != 0) {
        text += "&A=";
        util::StaticFormat<"%X">::Append(text, mLabelId);
    }
    if (!mAuxText.empty()) text += "&L=" + KeyedValue(mAuxText);
    if (!IsNullDevice()) {
        std::string device;
        text += "&D=" + ToDeviceString(device);
    }
    out = text + "&&";
    return out;
}

std::wstring PqDevice::LabelKey() const {
    // The name is appended, not formatted: a long name must not hit the formatting limit.
    std::wstring text = mName;
    util::StaticFormat<L"&A=%X">::Append(text, mLabelId);
    return text;
}

std::istream& PqDevice::ParseDevice(std::istream& in) {
    const HexNumbers hex(in);
    // Blanks first, so that a failed read below can tell "no number here" (left to the end
    // check, which meets the unread character) from a number it consumed and could not hold.
    while (in.good() && std::isspace(in.peek()))
        in.get();
    const auto start = in.tellg();
    // std::int32_t and std::int16_t reads fail outside their range, which gives every platform
    // the behaviour of the host's 32-bit long.
    if (!(in >> mCode)) {
        mCode = 0;
        in.clear();
        if (start >= 0 && in.tellg() != start) util::RaiseFormatError(in, "unknown device format");
        in.setstate(std::ios_base::failbit);
    } else {
        util::ExpectChar(in, '.');
        in >> mNumber;
        if (in.fail()) util::RaiseFormatError(in, "unknown device format");
        const std::int32_t combined = mCode;
        mChannel = combined >> 16;
        mCode = combined & 0xFFFF;

        if (NextIs(in, '@')) {
            in.get();
            in >> mSegment.mNetworkNo;
            util::ExpectChar(in, '.');
            in >> mSegment.mStationNo;
            if (NextIs(in, '.')) {
                in.get();
                in >> mSegment.mExtNo;
            }
            if (in.fail()) util::RaiseFormatError(in, "unknown device-segment format");
        }

        util::ExpectChar(in, '/');
        util::ReadLetter(in, mType);
        if (in.fail()) util::RaiseFormatError(in, "unknown device type");
    }
    // A first number that cannot be read is left to the end check, which then meets it.
    return util::ExpectEnd(in);
}

std::istream& PqDevice::Read(std::istream& in) {
    Clear();
    mLabelId = 0;
    util::SkipSpace(in);
    if (!NextIs(in, '&')) return ParseDevice(in);

    in.get();
    KeyedValues values;
    for (int key = in.get(); in && key != '&'; key = in.get()) {
        if (NextIs(in, '=')) {
            in.get();
            std::string value;
            std::getline(in, value, '&');
            values.Set(Traits::to_char_type(key), std::move(value));
        } else {
            in.ignore(std::numeric_limits<std::streamsize>::max(), '&');
        }
    }
    ApplyKeyedValues(values);
    return in;
}

}  // namespace pqcore
