// The module's records in JSON, under their member and field names: PqDevice (mChannel,
// mNetworkNo, ... with mType as a one-letter string), PlcAddress (channel, ..., bit) and
// DeviceFields (prefix, ..., useNetwork). Reading accepts any subset of the members (the rest keep
// the record's defaults) and refuses unknown members and values that do not fit.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "plc/DeviceFields.h"
#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

using Json = nlohmann::ordered_json;

// A JSON value that does not fit where it was given; the message names the place.
class JsonFormError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 of wide text; unpaired surrogates become U+FFFD, so any text can be shown.
std::string Utf8Of(const std::wstring& text);

Json DeviceJson(const pqcore::PqDevice& device);
pqcore::PqDevice DeviceFromJson(const Json& value, const std::string& where);

Json AddressJson(const PlcAddress& address);
PlcAddress AddressFromJson(const Json& value, const std::string& where);

Json FieldsJson(const DeviceFields& fields);
DeviceFields FieldsFromJson(const Json& value, const std::string& where);

// A data type (mType, dataType): a one-letter string, or a number for any other value.
Json TypeJson(int type);
int TypeFromJson(const Json& value, const std::string& where);

// Integers that must fit the given range; booleans and fractions are refused.
long long IntegerFromJson(const Json& value, long long min, long long max,
                          const std::string& where);
int Int32FromJson(const Json& value, const std::string& where);
bool BoolFromJson(const Json& value, const std::string& where);
std::string StringFromJson(const Json& value, const std::string& where);
std::wstring WideFromJson(const Json& value, const std::string& where);

// Lists of texts and of 32-bit integers (kind names and codes, range texts).
std::vector<std::wstring> WideListFromJson(const Json& value, const std::string& where);
std::vector<int> Int32ListFromJson(const Json& value, const std::string& where);
Json WideListJson(const std::vector<std::wstring>& texts);
