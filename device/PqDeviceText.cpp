// Text forms of the device-address record: the plain form ("9D.0/b"), the labelled form
// ("&N=Motor&A=1F&&") and the keyed form ("&N=...&A=...&L=...&D=...&&"), and the string and
// stream operations of the host's value base class that reach them.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ios>
#include <istream>
#include <limits>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "pqcore/PqDevice.h"
#include "util/Escape.h"
#include "util/Format.h"
#include "util/Scanner.h"
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

std::string& PqDevice::ToString(std::string& out) const {
    if (mLabelMap == nullptr || mName.empty()) return ToDeviceString(out);
    // The map may assign the label number now, so it is read only afterwards.
    mLabelMap->UpdateLabel(const_cast<PqDevice*>(this));
    out = "&N=" + KeyedValue(mName) + "&A=" + util::FormatA("%X", mLabelId) + "&&";
    return out;
}

std::ostream& PqDevice::Write(std::ostream& out) const {
    std::string text;
    ToString(text);
    // write(), not <<: a field width left on the stream must not pad the item.
    return out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string& PqDevice::ToDeviceString(std::string& out) const {
    // "FFFFFFFF.FFFFFFFF@FFFFFFFF.FFFFFFFF.FFFFFFFF/x" is the longest text: 46 characters.
    char buffer[100];
    constexpr int kSize = sizeof buffer;
    // Channel and code share one number; unsigned arithmetic wraps instead of overflowing.
    const std::uint32_t first =
        (static_cast<std::uint32_t>(mChannel) << 16) + static_cast<std::uint32_t>(mCode);
    int length = std::snprintf(buffer, kSize, "%X.%X", first, Hex32(mNumber));
    if (!mSegment.IsNull()) {
        length +=
            std::snprintf(buffer + length, kSize - length, "@%X.%X.%X", Hex32(mSegment.mNetworkNo),
                          Hex32(mSegment.mStationNo), Hex32(mSegment.mExtNo));
        if (mSegment.mExtNo == 0) length -= 2;  // "@1.2.0" is written "@1.2"
    }
    length += std::snprintf(buffer + length, kSize - length, "/%c", mType);
    out.assign(buffer, static_cast<std::size_t>(length));
    return out;
}

std::string& PqDevice::ToKeyedString(std::string& out) const {
    std::string text;
    if (!mName.empty()) text += "&N=" + KeyedValue(mName);
    if (mLabelId != 0) text += "&A=" + util::FormatA("%X", mLabelId);
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
    static constexpr util::FormatSpec<wchar_t> kLabelSuffix(L"&A=%X");
    std::wstring text = mName;
    util::AppendFormat(text, kLabelSuffix, mLabelId);
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
    std::map<char, std::string> values;
    for (int key = in.get(); in && key != '&'; key = in.get()) {
        if (NextIs(in, '=')) {
            in.get();
            std::string value;
            std::getline(in, value, '&');
            values[Traits::to_char_type(key)] = std::move(value);
        } else {
            in.ignore(std::numeric_limits<std::streamsize>::max(), '&');
        }
    }

    if (const auto it = values.find('D'); it != values.end()) {
        // Its own stream: error positions count within the value.
        std::istringstream device(it->second);
        ParseDevice(device);
    }
    if (const auto it = values.find('A'); it != values.end()) {
        static constexpr util::ScanPattern kLabelId("%X");
        util::Scan(it->second, kLabelId, mLabelId);  // leaves 0 when nothing scans
    }
    if (const auto it = values.find('N'); it != values.end()) mName = FromKeyedValue(it->second);
    if (const auto it = values.find('L'); it != values.end()) {
        mAuxText = FromKeyedValue(it->second);
    }

    if (mLabelMap != nullptr && !mName.empty()) mLabelMap->ResolveLabel(LabelKey(), this);
    return in;
}

}  // namespace pqcore
