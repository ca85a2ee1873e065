#include "JsonForms.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <map>

#include "util/TextConvert.h"

namespace {

template <class T>
T Fit(const Json& value, const std::string& where) {
    return static_cast<T>(IntegerFromJson(value, std::numeric_limits<T>::min(),
                                          std::numeric_limits<T>::max(), where));
}

// Reads each member of an object with the reader registered for its name.
using Readers = std::map<std::string, std::function<void(const Json&, const std::string&)>>;

void ReadMembers(const Json& value, const std::string& where, const Readers& readers) {
    if (!value.is_object()) throw JsonFormError(where + " must be an object");
    for (const auto& [name, member] : value.items()) {
        const auto reader = readers.find(name);
        if (reader == readers.end()) {
            std::string known;
            for (const auto& r : readers)
                known += (known.empty() ? "" : ", ") + r.first;
            throw JsonFormError(where + " has no member '" + name + "' (members: " + known + ")");
        }
        reader->second(member, where + "." + name);
    }
}

template <class T>
std::vector<T> ListFromJson(const Json& value, const std::string& where, const char* of,
                            T (*read)(const Json&, const std::string&)) {
    if (!value.is_array()) throw JsonFormError(where + " must be an array of " + of);
    std::vector<T> list;
    for (std::size_t i = 0; i < value.size(); ++i)
        list.push_back(read(value[i], where + "[" + std::to_string(i) + "]"));
    return list;
}

CString CStringFromJson(const Json& value, const std::string& where) {
    return CString(StringFromJson(value, where));
}

}  // namespace

std::string Utf8Of(const std::wstring& text) {
    std::wstring clean = text;
    for (std::size_t i = 0; i < clean.size(); ++i) {
        const auto unit = static_cast<std::uint16_t>(clean[i]);
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        const bool low = unit >= 0xDC00 && unit < 0xE000;
        const bool paired = high && i + 1 < clean.size() &&
                            static_cast<std::uint16_t>(clean[i + 1]) >= 0xDC00 &&
                            static_cast<std::uint16_t>(clean[i + 1]) < 0xE000;
        if (paired)
            ++i;
        else if (high || low)
            clean[i] = static_cast<wchar_t>(0xFFFD);
    }
    return util::WStringToUtf8(clean);
}

long long IntegerFromJson(const Json& value, long long min, long long max,
                          const std::string& where) {
    if (!value.is_number_integer()) throw JsonFormError(where + " must be an integer");
    if (value.is_number_unsigned()
            ? value.get<unsigned long long>() > static_cast<unsigned long long>(max)
            : value.get<long long>() < min || value.get<long long>() > max)
        throw JsonFormError(where + " must lie in " + std::to_string(min) + ".." +
                            std::to_string(max));
    return value.get<long long>();
}

int Int32FromJson(const Json& value, const std::string& where) {
    return Fit<int>(value, where);
}

bool BoolFromJson(const Json& value, const std::string& where) {
    if (!value.is_boolean()) throw JsonFormError(where + " must be true or false");
    return value.get<bool>();
}

std::string StringFromJson(const Json& value, const std::string& where) {
    if (!value.is_string()) throw JsonFormError(where + " must be a string");
    return value.get<std::string>();
}

std::wstring WideFromJson(const Json& value, const std::string& where) {
    return util::Utf8ToWString(StringFromJson(value, where));
}

std::vector<std::wstring> WideListFromJson(const Json& value, const std::string& where) {
    return ListFromJson(value, where, "strings", WideFromJson);
}

std::vector<int> Int32ListFromJson(const Json& value, const std::string& where) {
    return ListFromJson(value, where, "integers", Int32FromJson);
}

Json WideListJson(const std::vector<std::wstring>& texts) {
    Json list = Json::array();
    for (const std::wstring& text : texts)
        list.push_back(Utf8Of(text));
    return list;
}

Json TypeJson(int type) {
    if (type > 32 && type < 127) return std::string(1, static_cast<char>(type));
    return type;
}

int TypeFromJson(const Json& value, const std::string& where) {
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        if (text.size() != 1) throw JsonFormError(where + " must be one character, like \"i\"");
        return static_cast<unsigned char>(text[0]);
    }
    if (value.is_number_integer()) return Fit<std::int32_t>(value, where);
    throw JsonFormError(where + " must be one character, like \"i\", or a number");
}

Json DeviceJson(const pqcore::PqDevice& d) {
    return Json{{"mChannel", d.mChannel},
                {"mNetworkNo", d.mSegment.mNetworkNo},
                {"mStationNo", d.mSegment.mStationNo},
                {"mExtNo", d.mSegment.mExtNo},
                {"mCode", d.mCode},
                {"mNumber", d.mNumber},
                {"mType", TypeJson(d.mType)},
                {"mName", Utf8Of(d.mName)},
                {"mAuxText", Utf8Of(d.mAuxText)},
                {"mLabelId", d.mLabelId}};
}

pqcore::PqDevice DeviceFromJson(const Json& value, const std::string& where) {
    pqcore::PqDevice d;
    const Readers readers = {
        {"mChannel",
         [&](const Json& v, const std::string& w) { d.mChannel = Fit<std::int32_t>(v, w); }},
        {"mNetworkNo",
         [&](const Json& v, const std::string& w) {
             d.mSegment.mNetworkNo = Fit<std::int16_t>(v, w);
         }},
        {"mStationNo",
         [&](const Json& v, const std::string& w) {
             d.mSegment.mStationNo = Fit<std::int16_t>(v, w);
         }},
        {"mExtNo",
         [&](const Json& v, const std::string& w) { d.mSegment.mExtNo = Fit<std::int16_t>(v, w); }},
        {"mCode", [&](const Json& v, const std::string& w) { d.mCode = Fit<std::int32_t>(v, w); }},
        {"mNumber",
         [&](const Json& v, const std::string& w) { d.mNumber = Fit<std::int32_t>(v, w); }},
        {"mType", [&](const Json& v, const std::string& w) { d.mType = TypeFromJson(v, w); }},
        {"mName", [&](const Json& v, const std::string& w) { d.mName = WideFromJson(v, w); }},
        {"mAuxText", [&](const Json& v, const std::string& w) { d.mAuxText = WideFromJson(v, w); }},
        {"mLabelId",
         [&](const Json& v, const std::string& w) { d.mLabelId = Fit<std::uint32_t>(v, w); }},
    };
    ReadMembers(value, where, readers);
    return d;
}

Json AddressJson(const PlcAddress& a) {
    return Json{{"channel", a.channel},
                {"network", a.network},
                {"station", a.station},
                {"reserved", a.reserved},
                {"kind", static_cast<int>(a.kind)},
                {"code", a.code},
                {"address", a.address},
                {"bit", a.bit}};
}

PlcAddress AddressFromJson(const Json& value, const std::string& where) {
    PlcAddress a;
    const Readers readers = {
        {"channel",
         [&](const Json& v, const std::string& w) { a.channel = Fit<std::uint8_t>(v, w); }},
        {"network",
         [&](const Json& v, const std::string& w) { a.network = Fit<std::uint8_t>(v, w); }},
        {"station",
         [&](const Json& v, const std::string& w) { a.station = Fit<std::uint8_t>(v, w); }},
        {"reserved",
         [&](const Json& v, const std::string& w) { a.reserved = Fit<std::uint8_t>(v, w); }},
        {"kind",
         [&](const Json& v, const std::string& w) {
             a.kind = static_cast<PlcDataKind>(Fit<std::uint8_t>(v, w));
         }},
        {"code", [&](const Json& v, const std::string& w) { a.code = Fit<std::int32_t>(v, w); }},
        {"address",
         [&](const Json& v, const std::string& w) { a.address = Fit<std::int32_t>(v, w); }},
        {"bit", [&](const Json& v, const std::string& w) { a.bit = Fit<std::int32_t>(v, w); }},
    };
    ReadMembers(value, where, readers);
    return a;
}

Json FieldsJson(const DeviceFields& f) {
    return Json{{"prefix", std::string(f.prefix.GetString())},
                {"number", std::string(f.number.GetString())},
                {"bit", std::string(f.bit.GetString())},
                {"unused1", std::string(f.unused1.GetString())},
                {"unused2", std::string(f.unused2.GetString())},
                {"network", std::string(f.network.GetString())},
                {"station", std::string(f.station.GetString())},
                {"unused3", std::string(f.unused3.GetString())},
                {"useNetwork", f.useNetwork}};
}

DeviceFields FieldsFromJson(const Json& value, const std::string& where) {
    DeviceFields f;
    const Readers readers = {
        {"prefix", [&](const Json& v, const std::string& w) { f.prefix = CStringFromJson(v, w); }},
        {"number", [&](const Json& v, const std::string& w) { f.number = CStringFromJson(v, w); }},
        {"bit", [&](const Json& v, const std::string& w) { f.bit = CStringFromJson(v, w); }},
        {"unused1",
         [&](const Json& v, const std::string& w) { f.unused1 = CStringFromJson(v, w); }},
        {"unused2",
         [&](const Json& v, const std::string& w) { f.unused2 = CStringFromJson(v, w); }},
        {"network",
         [&](const Json& v, const std::string& w) { f.network = CStringFromJson(v, w); }},
        {"station",
         [&](const Json& v, const std::string& w) { f.station = CStringFromJson(v, w); }},
        {"unused3",
         [&](const Json& v, const std::string& w) { f.unused3 = CStringFromJson(v, w); }},
        {"useNetwork", [&](const Json& v, const std::string& w) { f.useNetwork = Fit<int>(v, w); }},
    };
    ReadMembers(value, where, readers);
    return f;
}
