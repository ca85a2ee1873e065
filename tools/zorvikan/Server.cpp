#include "Server.h"

#include <functional>
#include <iostream>
#include <set>
#include <tuple>
#include <type_traits>
#include <utility>
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

// The arguments of one call, by name, and the object it is made on.
class Args {
public:
    Args(RpcServer& server, const Json& params) : mServer(server), mParams(params) {}

    bool Has(const char* name) const { return mParams.contains(name); }

    const Json& Get(const char* name) const {
        if (!Has(name))
            throw RpcError(kInvalidParams, std::string("missing parameter '") + name + "'");
        return mParams.at(name);
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
            if (Has("terminal"))
                mOneShot->SetTerminalType(Int32FromJson(Get("terminal"), "terminal"));
            mPlc = mOneShot.get();
        } else {
            throw RpcError(kInvalidParams,
                           "plc must be a handle from CreatePlc or a PLC type identifier");
        }
        return *mPlc;
    }

    // The object through the interface that declares the operation.
    template <class Interface>
    Interface& On() {
        if constexpr (std::is_same_v<Interface, pqcore::PqPlcIF>) {
            return Plc();
        } else {
            try {
                return EditorOf(Plc());
            } catch (const ModuleError& e) {
                throw RpcError(kInternalError, e.what());
            }
        }
    }

    RpcServer& Server() { return mServer; }

private:
    RpcServer& mServer;
    const Json& mParams;
    pqcore::PqPlcIF* mPlc = nullptr;
    ModuleHost::Plc mOneShot{nullptr, ModuleHost::Deleter{nullptr}};
};

// How an argument is read: the operation's parameter type and the JSON form that gives it.
template <class T, T (*Reader)(const Json&, const std::string&)>
struct Form {
    using Type = T;
    static T Read(const Json& value, const char* name) { return Reader(value, name); }
};
using Int = Form<int, Int32FromJson>;
using Bool = Form<bool, BoolFromJson>;
using Text = Form<std::wstring, WideFromJson>;
using DataType = Form<int, TypeFromJson>;
using Device = Form<pqcore::PqDevice, DeviceFromJson>;
using Address = Form<PlcAddress, AddressFromJson>;
using Fields = Form<DeviceFields, FieldsFromJson>;
using NameList = Form<CPlcObject::Names, WideListFromJson>;
using CodeList = Form<CPlcObject::Codes, Int32ListFromJson>;
// A kind text (GetDeviceKindText), only ever written.
struct Kind {
    using Type = CString;
};

// How what an operation gives back is written.
struct Write {
    template <class T>
    requires std::is_arithmetic_v<T>
    static Json Of(T value) { return Json(value); }
    static Json Of(DeviceResult r) { return static_cast<int>(r); }
    static Json Of(const std::wstring& text) { return Utf8Of(text); }
    static Json Of(const CString& text) { return std::string(text.GetString()); }
    static Json Of(const pqcore::PqDevice& device) { return DeviceJson(device); }
    static Json Of(const PlcAddress& address) { return AddressJson(address); }
    static Json Of(const DeviceFields& fields) { return FieldsJson(fields); }
    static Json Of(const CPlcObject::Names& names) { return WideListJson(names); }
    static Json Of(const CPlcObject::Codes& codes) { return Json(codes); }
    static Json Of(Json value) { return value; }
};

// One argument of an operation, under its parameter name. It is read from the call unless the
// operation only writes it (an optional one left out is an empty value), and returned beside
// the result when the operation writes it.
enum class Flow { In, Opt, InOut, OptInOut, Out };

template <class F, Flow kFlow>
struct Slot {
    using Type = typename F::Type;
    static constexpr bool kTaken = kFlow != Flow::Out;
    const char* name;

    Type Read(const Args& a) const {
        if constexpr (kTaken) {
            const bool optional = kFlow == Flow::Opt || kFlow == Flow::OptInOut;
            if (!optional || a.Has(name)) return F::Read(a.Get(name), name);
        }
        return Type();
    }
    void Return(Json& reply, const Type& value) const {
        if constexpr (kFlow == Flow::InOut || kFlow == Flow::OptInOut || kFlow == Flow::Out)
            reply[name] = Write::Of(value);
    }
};
template <class F>
using In = Slot<F, Flow::In>;
template <class F>
using Opt = Slot<F, Flow::Opt>;
template <class F>
using InOut = Slot<F, Flow::InOut>;
template <class F>
using OptInOut = Slot<F, Flow::OptInOut>;
template <class F>
using Out = Slot<F, Flow::Out>;

struct Method {
    const char* name;
    std::vector<const char*> params;  // every name the method accepts
    std::function<Json(Args&)> run;
};

template <class Interface, auto Operation, class... Slots, std::size_t... I>
Json Call(Args& a, const std::tuple<Slots...>& slots, std::index_sequence<I...>) {
    // A braced list reads the arguments in order, and all before the object is looked up: the
    // first bad argument is the one reported, whatever the object.
    std::tuple<typename Slots::Type...> values{std::get<I>(slots).Read(a)...};
    Interface& object = a.On<Interface>();
    const auto run = [&] { return std::invoke(Operation, object, std::get<I>(values)...); };
    Json reply = Json::object();
    if constexpr (std::is_void_v<decltype(run())>) {
        run();
        reply["result"] = nullptr;
    } else {
        reply["result"] = Write::Of(run());
    }
    (std::get<I>(slots).Return(reply, std::get<I>(values)), ...);
    return reply;
}

// An object method. Its operation is a member of Interface or a function taking the object
// first; the slots are the operation's arguments in order.
template <class Interface, auto Operation, class... Slots>
Method Op(const char* name, Slots... slots) {
    std::vector<const char*> params{"plc", "terminal"};
    ((Slots::kTaken ? params.push_back(slots.name) : void()), ...);
    return {name, std::move(params), [slots = std::tuple(slots...)](Args& a) {
                return Call<Interface, Operation>(a, slots, std::index_sequence_for<Slots...>());
            }};
}

// A method takes the name of its operation, so the two cannot drift apart.
#define ZV_OP(Interface, Operation, ...) \
    Op<Interface, &Interface::Operation>(#Operation __VA_OPT__(, ) __VA_ARGS__)

// The module's entry points.
Json GetPlcIdNames(Args& a) {
    return Json{{"result", nullptr}, {"names", Narrow(a.Server().Host().IdNames())}};
}

Json CreatePlc(Args& a) {
    auto plc = a.Server().Host().Create(WideFromJson(a.Get("id"), "id"));
    return Json{{"result", plc ? Json(a.Server().Keep(std::move(plc))) : Json()}};
}

Json FreePlc(Args& a) {
    const Json& plc = a.Get("plc");
    if (!plc.is_null()) {
        if (!plc.is_number_integer())
            throw RpcError(kInvalidParams, "plc must be a handle from CreatePlc or null");
        if (!a.Server().Release(plc.get<std::int64_t>()))
            throw RpcError(kUnknownHandle, "no PLC object has handle " + plc.dump());
    }
    return Json{{"result", nullptr}};
}

Json LoadString(Args& a) {
    const auto id = static_cast<unsigned>(IntegerFromJson(a.Get("id"), 0, 65535, "id"));
    try {
        return Json{{"result", a.Server().Texts().Load(id)}};
    } catch (const ModuleError&) {
        return Json{{"result", nullptr}};
    }
}

// The tables come back as a pointer and a count; the reply gives the pointer as an array.
Json NameTable(const pqcore::PqPlcIF& plc, int& count, int which) {
    const char* const* names = plc.GetDeviceNameTable(count, which);
    if (names == nullptr) return Json();
    Json list = Json::array();
    for (int i = 0; i < count; ++i)
        list.push_back(names[i] ? Json(names[i]) : Json());
    return list;
}

Json CodeTable(const pqcore::PqPlcIF& plc, int& count) {
    const int* codes = plc.GetDeviceCodeTable(count);
    return codes != nullptr ? Json(std::vector<int>(codes, codes + count)) : Json();
}

Json EditDevice(Args&) {
    throw RpcError(kNotAvailable,
                   "EditDevice opens the device-entry dialog, which this server cannot show; use "
                   "GetDeviceKindList, DeviceToFields and FieldsToDevice");
}

// The record's text forms, on records of the tool's own.
Json DeviceFromString(Args& a) {
    const std::string text = StringFromJson(a.Get("text"), "text");
    pqcore::PqDevice d;
    const int consumed = d.FromString(text);
    return Json{{"result", consumed}, {"device", DeviceJson(d)}};
}

template <std::string& (pqcore::PqDevice::*Print)(std::string&) const>
Json PrintDevice(Args& a) {
    const pqcore::PqDevice d = DeviceFromJson(a.Get("device"), "device");
    std::string text;
    (d.*Print)(text);
    return Json{{"result", text}};
}

// Every method, in the order of the interfaces. Arguments are read before the operation runs,
// so a bad argument never leaves a half-made call behind.
const std::vector<Method>& Methods() {
    using pqcore::PqDevice;
    using pqcore::PqPlcIF;
    static const std::vector<Method> kMethods = {
        {"GetPlcIdNames", {}, GetPlcIdNames},
        {"CreatePlc", {"id"}, CreatePlc},
        {"FreePlc", {"plc"}, FreePlc},
        {"LoadString", {"id"}, LoadString},

        // ---- PqPlcIF
        ZV_OP(PqPlcIF, GetPlcCode),
        ZV_OP(PqPlcIF, GetPlcGroupCode),
        ZV_OP(PqPlcIF, GetPlcId),
        ZV_OP(PqPlcIF, GetDefaultBitDevice),
        ZV_OP(PqPlcIF, GetDefaultWordDevice),
        ZV_OP(PqPlcIF, DeviceToString, In<Device>{"device"}, Out<Text>{"text"}),
        ZV_OP(PqPlcIF, DeviceToTypedString, In<Device>{"device"}, Out<Text>{"text"},
              In<Bool>{"detailedType"}),
        ZV_OP(PqPlcIF, DeviceToLocalString, In<Device>{"device"}, Out<Text>{"text"}),
        ZV_OP(PqPlcIF, NetworkToString, In<Device>{"device"}, Out<Text>{"text"}),
        ZV_OP(PqPlcIF, StringToDevice, In<Text>{"text"}, In<DataType>{"dataType"},
              OptInOut<Device>{"device"}),
        ZV_OP(PqPlcIF, TypedStringToDevice, In<Text>{"text"}, OptInOut<Device>{"device"},
              Out<Text>{"typeTag"}, In<Bool>{"detailedType"}),
        ZV_OP(PqPlcIF, CheckDeviceRange, In<Device>{"device"}, In<Int>{"count"}),
        ZV_OP(PqPlcIF, SetCompactTerminal, In<Bool>{"compact"}),
        ZV_OP(PqPlcIF, SetTerminalType, In<Int>{"type"}),
        ZV_OP(PqPlcIF, IsNetworkAvailable),
        ZV_OP(PqPlcIF, IsNetworkAvailableEx),
        ZV_OP(PqPlcIF, IsOptionAvailable),
        ZV_OP(PqPlcIF, DeviceToPlcAddress, In<Device>{"device"}, OptInOut<Address>{"address"}),
        ZV_OP(PqPlcIF, PlcAddressToDevice, In<Address>{"address"}, OptInOut<Device>{"device"}),
        ZV_OP(PqPlcIF, IsPlcBitAddress, In<Address>{"address"}),
        ZV_OP(PqPlcIF, IsAvailableForTerminal, Opt<Int>{"ignored"}),
        ZV_OP(PqPlcIF, IsAvailableForTerminalEx, Opt<Int>{"ignored"}),
        ZV_OP(PqPlcIF, IsBitOffsetAddress, In<Address>{"address"}),
        ZV_OP(PqPlcIF, GetInterfaceLevel),
        ZV_OP(PqPlcIF, IsBitDevice, In<Device>{"device"}),
        ZV_OP(PqPlcIF, IsWordDevice, In<Device>{"device"}),
        ZV_OP(PqPlcIF, CompareDevices, In<Device>{"a"}, In<Device>{"b"}, In<Bool>{"ignoreSegment"}),
        ZV_OP(PqPlcIF, GetDeviceOrder, In<Device>{"device"}),
        Op<PqPlcIF, NameTable>("GetDeviceNameTable", Out<Int>{"count"}, In<Int>{"which"}),
        Op<PqPlcIF, CodeTable>("GetDeviceCodeTable", Out<Int>{"count"}),
        ZV_OP(PqPlcIF, IsInternalDeviceValid, In<Device>{"device"}),
        {"EditDevice",
         {"plc", "terminal", "parent", "dataType", "editFlags", "device", "extra"},
         EditDevice},

        // ---- CPlcObject
        ZV_OP(CPlcObject, FieldsToDevice, InOut<Device>{"device"}, InOut<Fields>{"fields"}),
        ZV_OP(CPlcObject, DeviceToFields, In<Device>{"device"}, OptInOut<Fields>{"fields"}),
        ZV_OP(CPlcObject, GetNumberBase, In<Device>{"device"}, Out<Int>{"base"}),
        ZV_OP(CPlcObject, GetDevicePrefix, In<Device>{"device"}, Out<Text>{"prefix"}),
        ZV_OP(CPlcObject, GetDeviceKindList, In<Device>{"device"}, In<DataType>{"dataType"},
              In<Int>{"editFlags"}, OptInOut<NameList>{"names"}, OptInOut<CodeList>{"codes"}),
        ZV_OP(CPlcObject, GetNumberRangeTexts, In<Device>{"device"}, OptInOut<NameList>{"lows"},
              OptInOut<NameList>{"highs"}),
        ZV_OP(CPlcObject, GetBitPositionRange, In<Device>{"device"}, Out<Int>{"base"},
              Out<Int>{"min"}, Out<Int>{"max"}, Out<Int>{"digits"}),
        ZV_OP(CPlcObject, CanUseBitOfWord, In<Device>{"device"}, In<DataType>{"dataType"}),
        ZV_OP(CPlcObject, GetDeviceKindText, In<Device>{"device"}, Out<Kind>{"kind"}),
        ZV_OP(CPlcObject, CheckDeviceFields, InOut<Fields>{"fields"}, InOut<Device>{"device"},
              In<Int>{"count"}, OptInOut<Device>{"before"}),
        ZV_OP(CPlcObject, GetInitialNumber, In<Device>{"device"}, Out<Int>{"number"}),
        ZV_OP(CPlcObject, IsCompactTerminal),
        ZV_OP(CPlcObject, SetDeviceByPrefix, In<Text>{"prefix"}, In<DataType>{"dataType"},
              OptInOut<Device>{"device"}),
        ZV_OP(CPlcObject, GetDeviceKinds, In<Int>{"category"}, In<Device>{"device"},
              In<DataType>{"dataType"}, In<Int>{"editFlags"}, OptInOut<NameList>{"names"},
              OptInOut<CodeList>{"codes"}),
        ZV_OP(CPlcObject, SetEditFlags, In<Int>{"flags"}),
        ZV_OP(CPlcObject, GetEditFlags),
        ZV_OP(CPlcObject, IsInternalDevice, In<Device>{"device"}),
        ZV_OP(CPlcObject, GetInternalNumberBase, In<Device>{"device"}, Out<Int>{"base"}),
        ZV_OP(CPlcObject, GetInternalDevicePrefix, In<Device>{"device"}, Out<Text>{"prefix"}),
        ZV_OP(CPlcObject, AddInternalWordKinds, In<Device>{"device"}, In<DataType>{"dataType"},
              In<Int>{"editFlags"}, OptInOut<NameList>{"names"}, OptInOut<CodeList>{"codes"}),
        ZV_OP(CPlcObject, AddInternalBitKinds, In<Device>{"device"}, In<DataType>{"dataType"},
              In<Int>{"editFlags"}, OptInOut<NameList>{"names"}, OptInOut<CodeList>{"codes"}),
        ZV_OP(CPlcObject, GetInternalNumberRangeTexts, In<Device>{"device"},
              OptInOut<NameList>{"lows"}, OptInOut<NameList>{"highs"}),
        ZV_OP(CPlcObject, CanUseInternalBitOfWord, In<Device>{"device"}, In<DataType>{"dataType"}),
        ZV_OP(CPlcObject, GetInternalDeviceKindText, In<Device>{"device"}, Out<Kind>{"kind"}),
        ZV_OP(CPlcObject, GetInternalInitialNumber, In<Device>{"device"}, Out<Int>{"number"}),
        ZV_OP(CPlcObject, SetInternalDeviceByPrefix, In<Text>{"prefix"}, In<DataType>{"dataType"},
              OptInOut<Device>{"device"}),
        ZV_OP(CPlcObject, GetDefaultInternalBitDevice),
        ZV_OP(CPlcObject, GetDefaultInternalWordDevice),
        ZV_OP(CPlcObject, GetFirstInternalBitDevice),
        ZV_OP(CPlcObject, GetFirstInternalWordDevice),

        // ---- the record's text forms, without plc
        {"PqDevice.FromString", {"text"}, DeviceFromString},
        {"PqDevice.ToString", {"device"}, PrintDevice<&PqDevice::ToString>},
        {"PqDevice.ToKeyedString", {"device"}, PrintDevice<&PqDevice::ToKeyedString>},
    };
    return kMethods;
}

#undef ZV_OP

const Method* FindMethod(const std::string& name) {
    for (const Method& m : Methods())
        if (name == m.name) return &m;
    return nullptr;
}

void CheckParamNames(const Method& method, const Json& params) {
    const std::set<std::string> allowed(method.params.begin(), method.params.end());
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
