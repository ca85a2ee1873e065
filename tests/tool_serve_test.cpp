// zorvikan serve driven over a pipe the way a client program drives it: one request at a time,
// each reply read before the next request is sent.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tool_support.h"

namespace {

using nlohmann::json;

class ZorvikanServe : public ::testing::Test {
protected:
    ZorvikanServe() : mServer({ZV_TOOL_PATH, "serve"}) {}

    // Sends one line and returns the reply to it (null when none comes).
    json Send(const std::string& line) {
        EXPECT_TRUE(mServer.Write(line + "\n")) << line;
        std::string reply;
        if (!mServer.ReadLine(reply)) {
            ADD_FAILURE() << "no reply to " << line;
            return nullptr;
        }
        return json::parse(reply);
    }

    json Call(const std::string& method, const json& params) {
        const json reply = Send(
            json{{"jsonrpc", "2.0"}, {"id", ++mId}, {"method", method}, {"params", params}}.dump());
        EXPECT_EQ(reply["id"], mId) << method;
        return reply;
    }

    json Result(const std::string& method, const json& params) {
        const json reply = Call(method, params);
        EXPECT_TRUE(reply.contains("result"))
            << method << " " << params.dump() << ": " << reply.dump();
        return reply.value("result", json());
    }

    int ErrorCode(const std::string& method, const json& params) {
        const json reply = Call(method, params);
        EXPECT_TRUE(reply.contains("error")) << method << ": " << reply.dump();
        return reply.contains("error") ? reply["error"]["code"].get<int>() : 0;
    }

    tool_test::Child mServer;
    int mId = 0;
};

const json kMW100 = {{"mCode", 175}, {"mNumber", 1600}, {"mType", "i"}};

TEST_F(ZorvikanServe, HandlesKeepTheirStateAcrossCalls) {
    const json handle = Result("CreatePlc", {{"id", "ZORVIKAN-MP"}})["result"];
    ASSERT_TRUE(handle.is_number_integer());
    const json other = Result("CreatePlc", {{"id", "ZORVIKAN-MP"}})["result"];
    EXPECT_NE(handle, other);

    EXPECT_EQ(Result("SetEditFlags", {{"plc", handle}, {"flags", 4}})["result"], 4);
    EXPECT_EQ(Result("GetEditFlags", {{"plc", handle}})["result"], 4);
    EXPECT_EQ(Result("GetEditFlags", {{"plc", other}})["result"], 0);
    EXPECT_EQ(Result("SetCompactTerminal", {{"plc", handle}, {"compact", true}})["result"], 0);
    EXPECT_EQ(Result("IsCompactTerminal", {{"plc", handle}})["result"], true);
    EXPECT_EQ(Result("IsAvailableForTerminal", {{"plc", handle}})["result"], false);
    EXPECT_EQ(Result("IsAvailableForTerminal", {{"plc", other}, {"ignored", 3}})["result"], true);

    EXPECT_EQ(Result("FreePlc", {{"plc", handle}})["result"], nullptr);
    EXPECT_EQ(ErrorCode("GetPlcCode", {{"plc", handle}}), -32000);
    EXPECT_EQ(ErrorCode("FreePlc", {{"plc", handle}}), -32000);
    EXPECT_EQ(Result("GetPlcCode", {{"plc", other}})["result"], 25);
    EXPECT_EQ(Result("FreePlc", {{"plc", nullptr}})["result"], nullptr);
    EXPECT_EQ(Result("CreatePlc", {{"id", "zorvikan-mp"}})["result"], nullptr);
}

TEST_F(ZorvikanServe, OperationsAnswerWithResultAndOutArguments) {
    struct Case {
        const char* method;
        json params;
        json expected;  // members of the reply's result
    };
    const json mp = "ZORVIKAN-MP";
    const Case cases[] = {
        {"GetPlcId", {{"plc", "ZORVIKAN-GL"}}, {{"result", "ZORVIKAN-GL"}}},
        {"GetDefaultWordDevice", {{"plc", mp}}, {{"result", {{"mCode", 168}, {"mType", "i"}}}}},
        {"DeviceToLocalString",
         {{"plc", mp}, {"device", kMW100}},
         {{"result", 0}, {"text", "MW100"}}},
        {"DeviceToLocalString",
         {{"plc", mp}, {"device", {{"mCode", 175}, {"mNumber", -16}, {"mType", "i"}}}},
         {{"result", 2}, {"text", "??"}}},
        {"NetworkToString",
         {{"plc", mp},
          {"terminal", 4},
          {"device", {{"mNetworkNo", 1}, {"mStationNo", 4}, {"mCode", 175}}}},
         {{"result", 0}, {"text", "1-3"}}},
        {"StringToDevice",
         {{"plc", mp}, {"text", "MW100"}, {"dataType", "i"}, {"device", {{"mChannel", 2}}}},
         {{"result", 0}, {"device", {{"mChannel", 2}, {"mCode", 175}}}}},
        {"TypedStringToDevice",
         {{"plc", mp}, {"text", "u16:MW100"}, {"detailedType", true}},
         {{"result", 0}, {"typeTag", "u16"}, {"device", {{"mType", "u"}}}}},
        {"TypedStringToDevice",
         {{"plc", mp}, {"text", "MW100"}, {"detailedType", true}},
         {{"result", 6}}},
        {"CheckDeviceRange", {{"plc", mp}, {"device", kMW100}, {"count", 70000}}, {{"result", 3}}},
        {"IsPlcBitAddress",
         {{"plc", mp}, {"address", {{"code", 157}, {"kind", 1}}}},
         {{"result", true}}},
        {"IsBitOffsetAddress", {{"plc", mp}, {"address", {{"kind", 10}}}}, {{"result", true}}},
        {"IsWordDevice", {{"plc", mp}, {"device", kMW100}}, {{"result", true}}},
        {"CompareDevices",
         {{"plc", mp},
          {"a", kMW100},
          {"b", {{"mCode", 175}, {"mNumber", 1616}, {"mType", "i"}}},
          {"ignoreSegment", false}},
         {{"result", -1}}},
        {"GetDeviceCodeTable", {{"plc", "ZORVIKAN-SH"}}, {{"count", 7}}},
        {"GetNumberBase",
         {{"plc", mp}, {"device", {{"mCode", 168}, {"mType", "i"}}}},
         {{"result", true}, {"base", 16}}},
        {"GetDevicePrefix",
         {{"plc", mp}, {"device", kMW100}},
         {{"result", true}, {"prefix", "MW"}}},
        {"GetBitPositionRange",
         {{"plc", mp}, {"device", kMW100}},
         {{"result", true}, {"base", 10}, {"min", 0}, {"max", 15}, {"digits", 1}}},
        {"GetInitialNumber", {{"plc", mp}, {"device", kMW100}}, {{"result", true}, {"number", 0}}},
        {"SetDeviceByPrefix",
         {{"plc", mp}, {"prefix", "IB"}, {"dataType", "b"}},
         {{"result", true}, {"device", {{"mCode", 156}, {"mType", "b"}}}}},
        {"CheckDeviceFields",
         {{"plc", mp},
          {"fields", {{"prefix", "MW"}, {"number", "100"}}},
          {"device", kMW100},
          {"count", 1}},
         {{"result", 0}, {"device", {{"mNumber", 1600}}}, {"before", {{"mCode", 0}}}}},
        {"AddInternalWordKinds",
         {{"plc", mp},
          {"device", json::object()},
          {"dataType", "i"},
          {"editFlags", 0},
          {"names", {"MW"}},
          {"codes", {175}}},
         {{"result", true}, {"names", {"MW", "GD", "GS"}}, {"codes", {175, 12289, 12291}}}},
        {"GetInternalNumberRangeTexts",
         {{"plc", mp}, {"device", {{"mCode", 12291}, {"mType", "i"}}}},
         {{"result", true}, {"lows", {"0"}}, {"highs", {"511"}}}},
        {"GetInternalDeviceKindText",
         {{"plc", mp}, {"device", {{"mCode", 12290}, {"mType", "b"}}}},
         {{"result", true}, {"kind", "BIT"}}},
        {"IsInternalDevice", {{"plc", mp}, {"device", {{"mCode", 12289}}}}, {{"result", true}}},
        {"GetFirstInternalWordDevice", {{"plc", mp}}, {{"result", {{"mCode", 12289}}}}},
        {"GetDeviceKindList",
         {{"plc", mp}, {"device", kMW100}, {"dataType", "i"}, {"editFlags", 0}},
         {{"names", json::array()}, {"codes", json::array()}}},
        {"LoadString", {{"id", 57048}}, {{"result", " YASKAWA MP2000/MP900"}}},
        {"LoadString", {{"id", 57004}}, {{"result", nullptr}}},
        {"PqDevice.ToString",
         {{"device", {{"mCode", 157}, {"mNumber", 0}, {"mType", "b"}, {"mChannel", 1}}}},
         {{"result", "1009D.0/b"}}},
    };
    for (const Case& c : cases) {
        const json result = Result(c.method, c.params);
        for (const auto& [key, value] : c.expected.items()) {
            ASSERT_TRUE(result.contains(key)) << c.method << " " << key << ": " << result.dump();
            if (value.is_object()) {
                for (const auto& [member, expected] : value.items())
                    EXPECT_EQ(result[key][member], expected)
                        << c.method << " " << key << "." << member;
            } else {
                EXPECT_EQ(result[key], value) << c.method << " " << key << ": " << result.dump();
            }
        }
    }
}

TEST_F(ZorvikanServe, BadMessagesGetErrorsAndTheServerGoesOn) {
    struct Case {
        std::string line;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"{\"jsonrpc\":\"2.0\",\"id\":1,", -32700, "parse error"},
        {"[]", -32600, "empty batch"},
        {"42", -32600, "must be a JSON object"},
        {R"({"jsonrpc":"2.0","id":{"x":1},"method":"GetPlcIdNames"})", -32600, "id must be"},
        {R"({"id":1,"method":"GetPlcIdNames"})", -32600, "jsonrpc must be \"2.0\""},
        {R"({"jsonrpc":"2.0","id":1,"method":7})", -32600, "method must be a string"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetPlcIdNames","extra":1})", -32600,
         "no member 'extra'"},
        {R"({"jsonrpc":"2.0","id":1,"method":"Frobnicate"})", -32601, "no method 'Frobnicate'"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetPlcCode","params":[1]})", -32602,
         "arguments go by name"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetPlcCode"})", -32602, "missing parameter 'plc'"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetPlcCode","params":{"plc":true}})", -32602,
         "plc must be"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetPlcCode","params":{"plc":"ZORVIKAN-MP","x":1}})",
         -32602, "unknown parameter 'x' for GetPlcCode (parameters: plc, terminal)"},
        {R"({"jsonrpc":"2.0","id":1,"method":"DeviceToString","params":{"plc":"ZORVIKAN-MP"}})",
         -32602, "missing parameter 'device'"},
        {R"({"jsonrpc":"2.0","id":1,"method":"DeviceToString","params":{"plc":"ZORVIKAN-MP","device":{"code":1}}})",
         -32602, "device has no member 'code'"},
        {R"({"jsonrpc":"2.0","id":1,"method":"DeviceToString","params":{"plc":"ZORVIKAN-MP","device":{"mType":"ii"}}})",
         -32602, "device.mType must be one character"},
        {R"({"jsonrpc":"2.0","id":1,"method":"DeviceToString","params":{"plc":"ZORVIKAN-MP","device":{"mNumber":1.5}}})",
         -32602, "device.mNumber must be an integer"},
        {R"({"jsonrpc":"2.0","id":1,"method":"IsPlcBitAddress","params":{"plc":"ZORVIKAN-MP","address":{"station":256}}})",
         -32602, "address.station must lie in 0..255"},
        {R"({"jsonrpc":"2.0","id":1,"method":"DeviceToTypedString","params":{"plc":"ZORVIKAN-MP","device":{},"detailedType":1}})",
         -32602, "detailedType must be true or false"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetDeviceKinds","params":{"plc":"ZORVIKAN-MP","category":1,"device":{},"dataType":"b","editFlags":0,"names":[1]}})",
         -32602, "names[0] must be a string"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetPlcCode","params":{"plc":"ZORVIKAN"}})", -32001,
         "does not serve"},
        {R"({"jsonrpc":"2.0","id":1,"method":"EditDevice","params":{"plc":"ZORVIKAN-MP"}})", -32002,
         "dialog"},
        {R"({"jsonrpc":"2.0","id":1,"method":"PqDevice.FromString","params":{"text":"9D.0/"}})",
         -32003, "unknown device type"},
    };
    for (const Case& c : cases) {
        const json reply = Send(c.line);
        ASSERT_TRUE(reply.contains("error")) << c.line << "\n" << reply.dump();
        EXPECT_EQ(reply["error"]["code"], c.code) << c.line;
        EXPECT_NE(reply["error"]["message"].get<std::string>().find(c.says), std::string::npos)
            << c.line << "\n"
            << reply.dump();
        // Still serving.
        EXPECT_EQ(Result("GetPlcCode", {{"plc", "ZORVIKAN-H"}})["result"], 10) << c.line;
    }
}

TEST_F(ZorvikanServe, NotificationsAndBatches) {
    ASSERT_TRUE(
        mServer.Write(R"({"jsonrpc":"2.0","method":"CreatePlc","params":{"id":"ZORVIKAN-GL"}})"
                      "\n"));
    // A notification is not answered: the next reply is the next request's, and it shows that
    // the notification's object exists.
    const json batch = Send(R"([{"jsonrpc":"2.0","id":"a","method":"GetPlcId","params":{"plc":1}},)"
                            R"({"jsonrpc":"2.0","method":"GetPlcId","params":{"plc":1}},)"
                            R"({"jsonrpc":"2.0","id":"b","method":"Nope"}])");
    ASSERT_TRUE(batch.is_array()) << batch.dump();
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0]["result"]["result"], "ZORVIKAN-GL");
    EXPECT_EQ(batch[1]["id"], "b");
    EXPECT_EQ(batch[1]["error"]["code"], -32601);
}

TEST_F(ZorvikanServe, ObjectsAreLimitedAndLongLinesSkipped) {
    std::string requests;
    for (int i = 0; i < 4096; ++i)
        requests += R"({"jsonrpc":"2.0","method":"CreatePlc","params":{"id":"ZORVIKAN-SH"}})"
                    "\n";
    ASSERT_TRUE(mServer.Write(requests));
    EXPECT_EQ(ErrorCode("CreatePlc", {{"id", "ZORVIKAN-SH"}}), -32004);
    EXPECT_EQ(Result("FreePlc", {{"plc", 4096}})["result"], nullptr);
    EXPECT_TRUE(Result("CreatePlc", {{"id", "ZORVIKAN-SH"}})["result"].is_number_integer());

    const json tooLong = Send("[" + std::string(17 << 20, ' ') + "]");
    EXPECT_EQ(tooLong["error"]["code"], -32600);
    EXPECT_EQ(Result("GetPlcCode", {{"plc", 1}})["result"], 8);
}

TEST_F(ZorvikanServe, EndOfInputEndsTheServerCleanly) {
    EXPECT_TRUE(Result("CreatePlc", {{"id", "ZORVIKAN-MS"}})["result"].is_number_integer());
    const tool_test::ToolRun run = mServer.Finish();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

}  // namespace
