#include "Server.h"

#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <vector>

#include "Commands.h"
#include "Session.h"
#include "plc/CPlcObject.h"
#include "tools/support/InMemoryLabelMap.h"
#include "util/Exceptions.h"

namespace {

// JSON-RPC error codes: the protocol's own, then this server's.
enum RpcCode : int {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kUnknownHandle = -32000,
    kUnknownPlcType = -32001,
    kNotAvailable = -32002,
    kTextFormError = -32003,
    kTooManyObjects = -32004,
};

class RpcError : public std::runtime_error {
public:
    RpcError(int code, const std::string& message, Json data = Json())
        : std::runtime_error(message), mCode(code), mData(std::move(data)) {}
    int Code() const { return mCode; }
    const Json& Data() const { return mData; }

private:
    int mCode;
    Json mData;
};

// The arguments of one call, read by name and type, and the object it is made on.
class Args {
public:
    Args(RpcServer& server, const Json& params) : mServer(server), mParams(params) {}
    ~Args() { ReleaseOneShot(); }
    Args(const Args&) = delete;
    Args& operator=(const Args&) = delete;

    bool Has(const char* name) const { return mParams.contains(name); }

    const Json& Get(const char* name) const {
        if (!Has(name))
            throw RpcError(kInvalidParams, std::string("missing parameter '") + name + "'");
        return mParams.at(name);
    }

    int Int(const char* name) const {
        return static_cast<int>(IntegerFromJson(Get(name), INT32_MIN, INT32_MAX, name));
    }
    int IntOr(const char* name, int fallback) const { return Has(name) ? Int(name) : fallback; }
    bool Bool(const char* name) const { return BoolFromJson(Get(name), name); }
    std::wstring Text(const char* name) const { return WideFromJson(Get(name), name); }
    int DataType(const char* name) const { return TypeFromJson(Get(name), name); }
    pqcore::PqDevice Device(const char* name) const { return DeviceFromJson(Get(name), name); }
    pqcore::PqDevice DeviceOr(const char* name) const {
        return Has(name) ? Device(name) : pqcore::PqDevice();
    }
    PlcAddress Address(const char* name) const { return AddressFromJson(Get(name), name); }
    PlcAddress AddressOr(const char* name) const {
        return Has(name) ? Address(name) : PlcAddress();
    }
    DeviceFields Fields(const char* name) const { return FieldsFromJson(Get(name), name); }
    DeviceFields FieldsOr(const char* name) const {
        return Has(name) ? Fields(name) : DeviceFields();
    }

    CPlcObject::Names NamesOr(const char* name) const {
        CPlcObject::Names names;
        if (!Has(name)) return names;
        const Json& list = Get(name);
        if (!list.is_array())
            throw JsonFormError(std::string(name) + " must be an array of strings");
        for (std::size_t i = 0; i < list.size(); ++i)
            names.push_back(
                WideFromJson(list[i], std::string(name) + "[" + std::to_string(i) + "]"));
        return names;
    }
    CPlcObject::Codes CodesOr(const char* name) const {
        CPlcObject::Codes codes;
        if (!Has(name)) return codes;
        const Json& list = Get(name);
        if (!list.is_array())
            throw JsonFormError(std::string(name) + " must be an array of integers");
        for (std::size_t i = 0; i < list.size(); ++i)
            codes.push_back(static_cast<int>(IntegerFromJson(
                list[i], INT32_MIN, INT32_MAX, std::string(name) + "[" + std::to_string(i) + "]")));
        return codes;
    }

    // The object the call is made on: a handle from CreatePlc, or a PLC type identifier for an
    // object that lives for this call only (with the terminal type given, else 2).
    pqcore::PqPlcIF& Plc() {
        if (mPlc != nullptr) return *mPlc;
        const Json& plc = Get("plc");
        if (plc.is_number_integer()) {
            if (Has("terminal"))
                throw RpcError(kInvalidParams,
                               "terminal applies to a one-shot object (plc given as a PLC type "
                               "identifier); call SetTerminalType on a handle");
            mPlc = &mServer.Object(plc.get<std::int64_t>());
        } else if (plc.is_string()) {
            mOneShot = mServer.Host().Create(Widen(plc.get<std::string>()));
            if (!mOneShot)
                throw RpcError(kUnknownPlcType, "the module does not serve PLC type '" +
                                                    plc.get<std::string>() + "'");
            if (Has("terminal")) mOneShot->SetTerminalType(Int("terminal"));
            mPlc = mOneShot.get();
        } else {
            throw RpcError(kInvalidParams,
                           "plc must be a handle from CreatePlc or a PLC type identifier");
        }
        return *mPlc;
    }

    CPlcObject& Editor() {
        try {
            return EditorOf(Plc());
        } catch (const ModuleError& e) {
            throw RpcError(kInternalError, e.what());
        }
    }

    RpcServer& Server() { return mServer; }

private:
    void ReleaseOneShot() { mOneShot.reset(); }

    RpcServer& mServer;
    const Json& mParams;
    pqcore::PqPlcIF* mPlc = nullptr;
    ModuleHost::Plc mOneShot{nullptr, ModuleHost::Deleter{nullptr}};
};

Json Names(const CPlcObject::Names& names) {
    Json out = Json::array();
    for (const std::wstring& n : names)
        out.push_back(Utf8Of(n));
    return out;
}

int Code(DeviceResult r) {
    return static_cast<int>(r);
}

enum class Target { Module, Object, Record };

struct Method {
    const char* name;
    Target target;
    std::vector<const char*> params;  // beside plc and terminal for object methods
    std::function<Json(Args&)> run;
};

// Every method, in the order of the interfaces. Arguments are read before the operation runs,
// so a bad argument never leaves a half-made call behind.
const std::vector<Method>& Methods() {
    using pqcore::PqDevice;
    static const std::vector<Method> kMethods = {
        // ---- the module's entry points
        {"GetPlcIdNames",
         Target::Module,
         {},
         [](Args& a) {
             return Json{{"result", nullptr}, {"names", Narrow(a.Server().Host().IdNames())}};
         }},
        {"CreatePlc",
         Target::Module,
         {"id"},
         [](Args& a) {
             const std::wstring id = a.Text("id");
             auto plc = a.Server().Host().Create(id);
             return Json{{"result", plc ? Json(a.Server().Keep(std::move(plc))) : Json()}};
         }},
        {"FreePlc",
         Target::Module,
         {"plc"},
         [](Args& a) {
             const Json& plc = a.Get("plc");
             if (!plc.is_null()) {
                 if (!plc.is_number_integer())
                     throw RpcError(kInvalidParams, "plc must be a handle from CreatePlc or null");
                 if (!a.Server().Release(plc.get<std::int64_t>()))
                     throw RpcError(kUnknownHandle, "no PLC object has handle " + plc.dump());
             }
             return Json{{"result", nullptr}};
         }},
        {"LoadString",
         Target::Module,
         {"id"},
         [](Args& a) {
             const auto id = static_cast<unsigned>(IntegerFromJson(a.Get("id"), 0, 65535, "id"));
             try {
                 return Json{{"result", a.Server().Texts().Load(id)}};
             } catch (const ModuleError&) {
                 return Json{{"result", nullptr}};
             }
         }},

        // ---- PqPlcIF
        {"GetPlcCode",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Plc().GetPlcCode()}};
         }},
        {"GetPlcGroupCode",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Plc().GetPlcGroupCode()}};
         }},
        {"GetPlcId",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", Utf8Of(a.Plc().GetPlcId())}};
         }},
        {"GetDefaultBitDevice",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", DeviceJson(a.Plc().GetDefaultBitDevice())}};
         }},
        {"GetDefaultWordDevice",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", DeviceJson(a.Plc().GetDefaultWordDevice())}};
         }},
        {"DeviceToString",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::wstring text;
             const auto r = a.Plc().DeviceToString(d, text);
             return Json{{"result", Code(r)}, {"text", Utf8Of(text)}};
         }},
        {"DeviceToTypedString",
         Target::Object,
         {"device", "detailedType"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const bool detailed = a.Bool("detailedType");
             std::wstring text;
             const auto r = a.Plc().DeviceToTypedString(d, text, detailed);
             return Json{{"result", Code(r)}, {"text", Utf8Of(text)}};
         }},
        {"DeviceToLocalString",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::wstring text;
             const auto r = a.Plc().DeviceToLocalString(d, text);
             return Json{{"result", Code(r)}, {"text", Utf8Of(text)}};
         }},
        {"NetworkToString",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::wstring text;
             const auto r = a.Plc().NetworkToString(d, text);
             return Json{{"result", Code(r)}, {"text", Utf8Of(text)}};
         }},
        {"StringToDevice",
         Target::Object,
         {"text", "dataType", "device"},
         [](Args& a) {
             const std::wstring text = a.Text("text");
             const int type = a.DataType("dataType");
             PqDevice d = a.DeviceOr("device");
             const auto r = a.Plc().StringToDevice(text, type, d);
             return Json{{"result", Code(r)}, {"device", DeviceJson(d)}};
         }},
        {"TypedStringToDevice",
         Target::Object,
         {"text", "device", "detailedType"},
         [](Args& a) {
             const std::wstring text = a.Text("text");
             PqDevice d = a.DeviceOr("device");
             const bool detailed = a.Bool("detailedType");
             std::wstring tag;
             const auto r = a.Plc().TypedStringToDevice(text, d, tag, detailed);
             return Json{{"result", Code(r)}, {"device", DeviceJson(d)}, {"typeTag", Utf8Of(tag)}};
         }},
        {"CheckDeviceRange",
         Target::Object,
         {"device", "count"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const int count = a.Int("count");
             return Json{{"result", Code(a.Plc().CheckDeviceRange(d, count))}};
         }},
        {"SetCompactTerminal",
         Target::Object,
         {"compact"},
         [](Args& a) {
             const bool compact = a.Bool("compact");
             return Json{{"result", a.Plc().SetCompactTerminal(compact)}};
         }},
        {"SetTerminalType",
         Target::Object,
         {"type"},
         [](Args& a) {
             const int type = a.Int("type");
             return Json{{"result", a.Plc().SetTerminalType(type)}};
         }},
        {"IsNetworkAvailable",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Plc().IsNetworkAvailable()}};
         }},
        {"IsNetworkAvailableEx",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Plc().IsNetworkAvailableEx()}};
         }},
        {"IsOptionAvailable",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Plc().IsOptionAvailable()}};
         }},
        {"DeviceToPlcAddress",
         Target::Object,
         {"device", "address"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             PlcAddress address = a.AddressOr("address");
             const auto r = a.Plc().DeviceToPlcAddress(d, address);
             return Json{{"result", Code(r)}, {"address", AddressJson(address)}};
         }},
        {"PlcAddressToDevice",
         Target::Object,
         {"address", "device"},
         [](Args& a) {
             const PlcAddress address = a.Address("address");
             PqDevice d = a.DeviceOr("device");
             const auto r = a.Plc().PlcAddressToDevice(address, d);
             return Json{{"result", Code(r)}, {"device", DeviceJson(d)}};
         }},
        {"IsPlcBitAddress",
         Target::Object,
         {"address"},
         [](Args& a) {
             const PlcAddress address = a.Address("address");
             return Json{{"result", a.Plc().IsPlcBitAddress(address)}};
         }},
        {"IsAvailableForTerminal",
         Target::Object,
         {"ignored"},
         [](Args& a) {
             const int ignored = a.IntOr("ignored", 0);
             return Json{{"result", a.Plc().IsAvailableForTerminal(ignored)}};
         }},
        {"IsAvailableForTerminalEx",
         Target::Object,
         {"ignored"},
         [](Args& a) {
             const int ignored = a.IntOr("ignored", 0);
             return Json{{"result", a.Plc().IsAvailableForTerminalEx(ignored)}};
         }},
        {"IsBitOffsetAddress",
         Target::Object,
         {"address"},
         [](Args& a) {
             const PlcAddress address = a.Address("address");
             return Json{{"result", a.Plc().IsBitOffsetAddress(address)}};
         }},
        {"GetInterfaceLevel",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Plc().GetInterfaceLevel()}};
         }},
        {"IsBitDevice",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             return Json{{"result", a.Plc().IsBitDevice(d)}};
         }},
        {"IsWordDevice",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             return Json{{"result", a.Plc().IsWordDevice(d)}};
         }},
        {"CompareDevices",
         Target::Object,
         {"a", "b", "ignoreSegment"},
         [](Args& a) {
             const PqDevice first = a.Device("a");
             const PqDevice second = a.Device("b");
             const bool ignore = a.Bool("ignoreSegment");
             return Json{{"result", a.Plc().CompareDevices(first, second, ignore)}};
         }},
        {"GetDeviceOrder",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             return Json{{"result", a.Plc().GetDeviceOrder(d)}};
         }},
        {"GetDeviceNameTable",
         Target::Object,
         {"which"},
         [](Args& a) {
             const int which = a.Int("which");
             int count = 0;
             const char* const* names = a.Plc().GetDeviceNameTable(count, which);
             Json result;
             if (names != nullptr) {
                 result = Json::array();
                 for (int i = 0; i < count; ++i)
                     result.push_back(names[i] ? Json(names[i]) : Json());
             }
             return Json{{"result", result}, {"count", count}};
         }},
        {"GetDeviceCodeTable",
         Target::Object,
         {},
         [](Args& a) {
             int count = 0;
             const int* codes = a.Plc().GetDeviceCodeTable(count);
             Json result;
             if (codes != nullptr) result = std::vector<int>(codes, codes + count);
             return Json{{"result", result}, {"count", count}};
         }},
        {"IsInternalDeviceValid",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             return Json{{"result", a.Plc().IsInternalDeviceValid(d)}};
         }},
        {"EditDevice",
         Target::Object,
         {"parent", "dataType", "editFlags", "device", "extra"},
         [](Args&) -> Json {
             throw RpcError(kNotAvailable,
                            "EditDevice opens the device-entry dialog, which this server cannot "
                            "show; use GetDeviceKindList, DeviceToFields and FieldsToDevice");
         }},

        // ---- CPlcObject
        {"FieldsToDevice",
         Target::Object,
         {"device", "fields"},
         [](Args& a) {
             PqDevice d = a.Device("device");
             DeviceFields f = a.Fields("fields");
             const auto r = a.Editor().FieldsToDevice(d, f);
             return Json{{"result", Code(r)}, {"device", DeviceJson(d)}, {"fields", FieldsJson(f)}};
         }},
        {"DeviceToFields",
         Target::Object,
         {"device", "fields"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             DeviceFields f = a.FieldsOr("fields");
             const auto r = a.Editor().DeviceToFields(d, f);
             return Json{{"result", Code(r)}, {"fields", FieldsJson(f)}};
         }},
        {"GetNumberBase",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             int base = 0;
             const bool r = a.Editor().GetNumberBase(d, base);
             return Json{{"result", r}, {"base", base}};
         }},
        {"GetDevicePrefix",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::wstring prefix;
             const bool r = a.Editor().GetDevicePrefix(d, prefix);
             return Json{{"result", r}, {"prefix", Utf8Of(prefix)}};
         }},
        {"GetDeviceKindList",
         Target::Object,
         {"device", "dataType", "editFlags", "names", "codes"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const int type = a.DataType("dataType");
             const int flags = a.Int("editFlags");
             auto names = a.NamesOr("names");
             auto codes = a.CodesOr("codes");
             const bool r = a.Editor().GetDeviceKindList(d, type, flags, names, codes);
             return Json{{"result", r}, {"names", Names(names)}, {"codes", codes}};
         }},
        {"GetNumberRangeTexts",
         Target::Object,
         {"device", "lows", "highs"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             auto lows = a.NamesOr("lows");
             auto highs = a.NamesOr("highs");
             const bool r = a.Editor().GetNumberRangeTexts(d, lows, highs);
             return Json{{"result", r}, {"lows", Names(lows)}, {"highs", Names(highs)}};
         }},
        {"GetBitPositionRange",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             int base = 0, min = 0, max = 0, digits = 0;
             const bool r = a.Editor().GetBitPositionRange(d, base, min, max, digits);
             return Json{
                 {"result", r}, {"base", base}, {"min", min}, {"max", max}, {"digits", digits}};
         }},
        {"CanUseBitOfWord",
         Target::Object,
         {"device", "dataType"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const int type = a.DataType("dataType");
             return Json{{"result", a.Editor().CanUseBitOfWord(d, type)}};
         }},
        {"GetDeviceKindText",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             CString kind;
             const bool r = a.Editor().GetDeviceKindText(d, kind);
             return Json{{"result", r}, {"kind", std::string(kind.GetString())}};
         }},
        {"CheckDeviceFields",
         Target::Object,
         {"fields", "device", "count", "before"},
         [](Args& a) {
             DeviceFields f = a.Fields("fields");
             PqDevice d = a.Device("device");
             const int count = a.Int("count");
             PqDevice before = a.DeviceOr("before");
             const auto r = a.Editor().CheckDeviceFields(f, d, count, before);
             return Json{{"result", Code(r)},
                         {"fields", FieldsJson(f)},
                         {"device", DeviceJson(d)},
                         {"before", DeviceJson(before)}};
         }},
        {"GetInitialNumber",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::int32_t number = 0;
             const bool r = a.Editor().GetInitialNumber(d, number);
             return Json{{"result", r}, {"number", number}};
         }},
        {"IsCompactTerminal",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Editor().IsCompactTerminal()}};
         }},
        {"SetDeviceByPrefix",
         Target::Object,
         {"prefix", "dataType", "device"},
         [](Args& a) {
             const std::wstring prefix = a.Text("prefix");
             const int type = a.DataType("dataType");
             PqDevice d = a.DeviceOr("device");
             const bool r = a.Editor().SetDeviceByPrefix(prefix, type, d);
             return Json{{"result", r}, {"device", DeviceJson(d)}};
         }},
        {"GetDeviceKinds",
         Target::Object,
         {"category", "device", "dataType", "editFlags", "names", "codes"},
         [](Args& a) {
             const int category = a.Int("category");
             const PqDevice d = a.Device("device");
             const int type = a.DataType("dataType");
             const int flags = a.Int("editFlags");
             auto names = a.NamesOr("names");
             auto codes = a.CodesOr("codes");
             a.Editor().GetDeviceKinds(category, d, type, flags, names, codes);
             return Json{{"result", nullptr}, {"names", Names(names)}, {"codes", codes}};
         }},
        {"SetEditFlags",
         Target::Object,
         {"flags"},
         [](Args& a) {
             const int flags = a.Int("flags");
             return Json{{"result", a.Editor().SetEditFlags(flags)}};
         }},
        {"GetEditFlags",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", a.Editor().GetEditFlags()}};
         }},
        {"IsInternalDevice",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             return Json{{"result", a.Editor().IsInternalDevice(d)}};
         }},
        {"GetInternalNumberBase",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             int base = 0;
             const bool r = a.Editor().GetInternalNumberBase(d, base);
             return Json{{"result", r}, {"base", base}};
         }},
        {"GetInternalDevicePrefix",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::wstring prefix;
             const bool r = a.Editor().GetInternalDevicePrefix(d, prefix);
             return Json{{"result", r}, {"prefix", Utf8Of(prefix)}};
         }},
        {"AddInternalWordKinds",
         Target::Object,
         {"device", "dataType", "editFlags", "names", "codes"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const int type = a.DataType("dataType");
             const int flags = a.Int("editFlags");
             auto names = a.NamesOr("names");
             auto codes = a.CodesOr("codes");
             const bool r = a.Editor().AddInternalWordKinds(d, type, flags, names, codes);
             return Json{{"result", r}, {"names", Names(names)}, {"codes", codes}};
         }},
        {"AddInternalBitKinds",
         Target::Object,
         {"device", "dataType", "editFlags", "names", "codes"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const int type = a.DataType("dataType");
             const int flags = a.Int("editFlags");
             auto names = a.NamesOr("names");
             auto codes = a.CodesOr("codes");
             const bool r = a.Editor().AddInternalBitKinds(d, type, flags, names, codes);
             return Json{{"result", r}, {"names", Names(names)}, {"codes", codes}};
         }},
        {"GetInternalNumberRangeTexts",
         Target::Object,
         {"device", "lows", "highs"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             auto lows = a.NamesOr("lows");
             auto highs = a.NamesOr("highs");
             const bool r = a.Editor().GetInternalNumberRangeTexts(d, lows, highs);
             return Json{{"result", r}, {"lows", Names(lows)}, {"highs", Names(highs)}};
         }},
        {"CanUseInternalBitOfWord",
         Target::Object,
         {"device", "dataType"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             const int type = a.DataType("dataType");
             return Json{{"result", a.Editor().CanUseInternalBitOfWord(d, type)}};
         }},
        {"GetInternalDeviceKindText",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             CString kind;
             const bool r = a.Editor().GetInternalDeviceKindText(d, kind);
             return Json{{"result", r}, {"kind", std::string(kind.GetString())}};
         }},
        {"GetInternalInitialNumber",
         Target::Object,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::int32_t number = 0;
             const bool r = a.Editor().GetInternalInitialNumber(d, number);
             return Json{{"result", r}, {"number", number}};
         }},
        {"SetInternalDeviceByPrefix",
         Target::Object,
         {"prefix", "dataType", "device"},
         [](Args& a) {
             const std::wstring prefix = a.Text("prefix");
             const int type = a.DataType("dataType");
             PqDevice d = a.DeviceOr("device");
             const bool r = a.Editor().SetInternalDeviceByPrefix(prefix, type, d);
             return Json{{"result", r}, {"device", DeviceJson(d)}};
         }},
        {"GetDefaultInternalBitDevice",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", DeviceJson(a.Editor().GetDefaultInternalBitDevice())}};
         }},
        {"GetDefaultInternalWordDevice",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", DeviceJson(a.Editor().GetDefaultInternalWordDevice())}};
         }},
        {"GetFirstInternalBitDevice",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", DeviceJson(a.Editor().GetFirstInternalBitDevice())}};
         }},
        {"GetFirstInternalWordDevice",
         Target::Object,
         {},
         [](Args& a) {
             return Json{{"result", DeviceJson(a.Editor().GetFirstInternalWordDevice())}};
         }},

        // ---- the record's text forms, on records of the tool's own
        {"PqDevice.FromString",
         Target::Record,
         {"text"},
         [](Args& a) {
             const std::string text = StringFromJson(a.Get("text"), "text");
             PqDevice d;
             const int consumed = d.FromString(text);
             return Json{{"result", consumed}, {"device", DeviceJson(d)}};
         }},
        {"PqDevice.ToString",
         Target::Record,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::string text;
             d.ToString(text);
             return Json{{"result", text}};
         }},
        {"PqDevice.ToKeyedString",
         Target::Record,
         {"device"},
         [](Args& a) {
             const PqDevice d = a.Device("device");
             std::string text;
             d.ToKeyedString(text);
             return Json{{"result", text}};
         }},
    };
    return kMethods;
}

const Method* FindMethod(const std::string& name) {
    for (const Method& m : Methods())
        if (name == m.name) return &m;
    return nullptr;
}

void CheckParamNames(const Method& method, const Json& params) {
    std::set<std::string> allowed(method.params.begin(), method.params.end());
    if (method.target == Target::Object) allowed.insert({"plc", "terminal"});
    for (const auto& [name, value] : params.items()) {
        (void)value;
        if (allowed.count(name) != 0) continue;
        std::string list;
        for (const std::string& a : allowed)
            list += (list.empty() ? "" : ", ") + a;
        throw RpcError(kInvalidParams,
                       std::string("unknown parameter '") + name + "' for " + method.name +
                           (list.empty() ? " (it takes none)" : " (parameters: " + list + ")"));
    }
}

Json Reply(const Json& id, Json result) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

Json ErrorReply(const Json& id, int code, const std::string& message, const Json& data = Json()) {
    Json error{{"code", code}, {"message", message}};
    if (!data.is_null()) error["data"] = data;
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", std::move(error)}};
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; the rest is the news.
std::string WithoutExceptionTag(const std::string& what) {
    const auto close = what.find("] ");
    return what.rfind("[json.exception", 0) == 0 && close != std::string::npos
               ? what.substr(close + 2)
               : what;
}

}  // namespace

RpcServer::RpcServer(const ModuleHost& host) : mHost(host), mTexts(host) {}

RpcServer::~RpcServer() = default;

pqcore::PqPlcIF& RpcServer::Object(std::int64_t handle) {
    const auto found = mObjects.find(handle);
    if (found == mObjects.end())
        throw RpcError(kUnknownHandle, "no PLC object has handle " + std::to_string(handle));
    return *found->second;
}

std::int64_t RpcServer::Keep(ModuleHost::Plc plc) {
    if (mObjects.size() >= kMaxObjects)
        throw RpcError(kTooManyObjects, "too many PLC objects (" + std::to_string(kMaxObjects) +
                                            "); free some with FreePlc");
    const std::int64_t handle = mNextHandle++;
    mObjects.emplace(handle, std::move(plc));
    return handle;
}

bool RpcServer::Release(std::int64_t handle) {
    return mObjects.erase(handle) != 0;
}

Json RpcServer::HandleOne(const Json& request) {
    if (!request.is_object())
        return ErrorReply(nullptr, kInvalidRequest, "a request must be a JSON object");
    Json id;
    const bool notification = !request.contains("id");
    if (!notification) {
        id = request["id"];
        if (!id.is_string() && !id.is_number_integer() && !id.is_null())
            return ErrorReply(nullptr, kInvalidRequest, "id must be a string, an integer or null");
    }
    if (request.value("jsonrpc", Json()) != "2.0")
        return ErrorReply(id, kInvalidRequest, "jsonrpc must be \"2.0\"");
    if (!request.contains("method") || !request["method"].is_string())
        return ErrorReply(id, kInvalidRequest, "method must be a string");
    for (const auto& [name, value] : request.items()) {
        (void)value;
        if (name != "jsonrpc" && name != "method" && name != "params" && name != "id")
            return ErrorReply(id, kInvalidRequest, "a request has no member '" + name + "'");
    }

    Json reply;
    const std::string name = request["method"].get<std::string>();
    try {
        const Method* method = FindMethod(name);
        if (method == nullptr) throw RpcError(kMethodNotFound, "no method '" + name + "'");
        const Json params = request.value("params", Json::object());
        if (!params.is_object())
            throw RpcError(kInvalidParams, "params must be an object: arguments go by name");
        CheckParamNames(*method, params);
        Args args(*this, params);
        reply = Reply(id, method->run(args));
    } catch (const RpcError& e) {
        reply = ErrorReply(id, e.Code(), e.what(), e.Data());
    } catch (const JsonFormError& e) {
        reply = ErrorReply(id, kInvalidParams, e.what());
    } catch (const util::invalid_format_argument& e) {
        reply = ErrorReply(id, kTextFormError, e.what(), Json{{"position", e.position}});
    } catch (const std::exception& e) {
        reply = ErrorReply(id, kInternalError, e.what());
    }
    return notification ? Json() : reply;
}

Json RpcServer::Handle(const std::string& line) {
    Json message;
    try {
        message = Json::parse(line);
    } catch (const Json::parse_error& e) {
        return ErrorReply(nullptr, kParseError, WithoutExceptionTag(e.what()));
    }
    if (!message.is_array()) return HandleOne(message);
    if (message.empty()) return ErrorReply(nullptr, kInvalidRequest, "an empty batch");
    Json replies = Json::array();
    for (const Json& request : message) {
        Json reply = HandleOne(request);
        if (!reply.is_null()) replies.push_back(std::move(reply));
    }
    return replies.empty() ? Json() : replies;
}

void RpcServer::Serve(std::istream& in, std::ostream& out) {
    const auto send = [&out](const Json& reply) {
        out << reply.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n' << std::flush;
    };
    std::string line;
    for (;;) {
        line.clear();
        bool tooLong = false;
        int c;
        while ((c = in.get()) != std::char_traits<char>::eof() && c != '\n') {
            if (line.size() < kMaxLine)
                line += static_cast<char>(c);
            else
                tooLong = true;
        }
        if (c == std::char_traits<char>::eof() && line.empty()) return;
        if (tooLong) {
            send(ErrorReply(nullptr, kInvalidRequest,
                            "a request line longer than " + std::to_string(kMaxLine) + " bytes"));
            continue;
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const Json reply = Handle(line);
        if (!reply.is_null()) send(reply);
    }
}

void RegisterServeCommand(CLI::App& app, const GlobalOptions& global, int& status) {
    CLI::App* cmd = app.add_subcommand(
        "serve",
        "Serve the module over JSON-RPC 2.0 on standard input and output, one message per line");
    cmd->callback([&global, &status] {
        const ModuleHost host(ModulePath(global));
        // Labelled records keep their labels for the session, as in a host's project.
        zorvikan::InMemoryLabelMap labels;
        struct LabelMapInUse {
            explicit LabelMapInUse(pqcore::project::PqLabelMapIF* map) {
                pqcore::PqDevice::mLabelMap = map;
            }
            ~LabelMapInUse() { pqcore::PqDevice::mLabelMap = nullptr; }
        } inUse(&labels);
        RpcServer server(host);
        server.Serve(std::cin, std::cout);
        status = kExitOk;
    });
}
