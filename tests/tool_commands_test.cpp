// The zorvikan commands list, parse, address, kinds, check and serve, run as a user or a client
// program runs them: the built executable loading the built module, judged by its output and
// exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

#include "tool_support.h"

namespace {

using nlohmann::json;
using namespace nlohmann::literals;
using tool_test::ReadFile;
using tool_test::ToolRun;
using tool_test::WriteFile;
using tool_test::Zorvikan;

// Every member of an expected object is in `actual` with the same value; an expected array has
// as many elements, each compared the same way; anything else must be equal.
::testing::AssertionResult Contains(const json& actual, const json& expected,
                                    const std::string& at = "$") {
    const bool sameShape = actual.type() == expected.type() &&
                           (!actual.is_array() || actual.size() == expected.size());
    if (!expected.is_structured() ? actual != expected : !sameShape)
        return ::testing::AssertionFailure()
               << at << " is " << actual.dump() << ", expected " << expected.dump();
    if (!expected.is_structured()) return ::testing::AssertionSuccess();
    for (const auto& [key, value] : expected.items()) {
        if (actual.is_object() && !actual.contains(key))
            return ::testing::AssertionFailure() << at << "." << key << " missing";
        const json& member = actual.is_array() ? actual[std::stoul(key)] : actual[key];
        if (auto r = Contains(member, value, at + "." + key); !r) return r;
    }
    return ::testing::AssertionSuccess();
}

json Parsed(const ToolRun& run) {
    json out = json::parse(run.out, nullptr, false);
    EXPECT_FALSE(out.is_discarded()) << "not JSON:\n" << run.out << run.err;
    return out;
}

// The summary and failures of "check --json": failures as "row:text:resultName;...".
json Report(int rows, const std::string& failures, const json& column = nullptr) {
    json list = json::array();
    std::istringstream in(failures);
    for (std::string row, text, name;
         std::getline(in, row, ':') && std::getline(in, text, ':') && std::getline(in, name, ';');)
        list.push_back({{"row", std::stoi(row)}, {"text", text}, {"resultName", name}});
    const int invalid = static_cast<int>(list.size());
    return {{"summary", {{"rows", rows}, {"valid", rows - invalid}, {"invalid", invalid}}},
            {"failures", list},
            {"deviceColumn", column}};
}

struct Case {
    std::string args;
    int status;
    json expected = nullptr;             // members of the JSON output; null: not JSON
    std::vector<std::string> says = {};  // in the output or in the error stream
    std::string input = {};
};

TEST(Zorvikan, EveryCommandAnswersWithItsOutputAndStatus) {
    const std::string noDevices = WriteFile("nodevices.csv", "Tag,Comment\nPump,Main pump\n");
    const std::string list = WriteFile("input.csv", "Address\nMW100\n");
    const json off = R"({"availableForTerminal": false, "networkAvailable": false})"_json;
    const std::string mpList = ZV_EXAMPLES_DIR "/mp-packaging-line.csv";
    // clang-format off
    const Case cases[] = {
        // Display names from the module's string table, leading blank included.
        {"list --json", 0, R"json([
            {"id": "ZORVIKAN-GL", "plcCode": 4, "displayName": " YASKAWA GL/PROGIC8",
             "networkAvailable": false},
            {"id": "ZORVIKAN-SH", "plcCode": 8, "displayName": " YASKAWA CP9200SH/MP900"},
            {"id": "ZORVIKAN-H", "plcCode": 10, "displayName": " YASKAWA CP9200(H)"},
            {"id": "ZORVIKAN-MS", "plcCode": 15, "displayName": " YASKAWA CP9300MS(MC compatible)"},
            {"id": "ZORVIKAN-MP", "plcCode": 25, "plcGroupCode": 25,
             "displayName": " YASKAWA MP2000/MP900", "interfaceLevel": 3,
             "availableForTerminal": true, "networkAvailable": true,
             "defaultBitDevice": {"code": 157, "type": "b"},
             "defaultWordDevice": {"code": 168, "type": "i"}}])json"_json},
        {"list --json --terminal=1", 0, json::array({off, off, off, off, off})},
        {"list", 0, nullptr, {"ZORVIKAN-GL", "ZORVIKAN-H ", "168/0/i      YASKAWA MP2000/MP900\n"}},
        {"list --terminal x", 2, nullptr, {"--terminal"}},
        {"--module /nonexistent/ZORVIKAN.PLC list", 2, nullptr,
         {"cannot load /nonexistent/ZORVIKAN.PLC"}},
        {"", 2, nullptr, {"a command is required"}},
        {"frobnicate", 2, nullptr, {"frobnicate"}},
        {"--help", 0, nullptr, {"list"}},

        {"parse --json MW100", 0, R"([{"text": "MW100", "result": 0, "resultName": "Ok",
            "message": null, "device": {"mCode": 175, "mNumber": 1600, "mType": "i",
            "mNetworkNo": 0}, "localText": "MW100", "fullText": "0-FF MW100",
            "typedText": "s16:MW100", "kind": "word",
            "address": {"code": 175, "address": 100, "bit": 0, "kind": 4, "station": 255}}])"_json},
        {"parse --json --type b IB0001F", 0, R"([{
            "device": {"mCode": 156, "mNumber": 31, "mType": "b"}, "typedText": "b:IB0001F",
            "address": {"kind": 1, "address": 31}, "kind": "bit"}])"_json},
        {"parse --json --terminal 4 \"1-3 MW100\"", 0, R"([{
            "device": {"mNetworkNo": 1, "mStationNo": 4}, "fullText": "1-3 MW100",
            "localText": "MW100", "typedText": "1-3:s16:MW100"}])"_json},
        // Each result with its message from the module's string table.
        {"parse --json MW100 MW-1 QW1 MW100X GB8", 1, R"([{"text": "MW100"},
            {"result": 2, "resultName": "NumberOutOfRange",
             "message": "Device number out of range"},
            {"result": 5, "resultName": "InvalidDeviceName", "message": "Invalid device name"},
            {"result": 6, "resultName": "InvalidDeviceFormat", "message": "Invalid device format"},
            {"result": 7, "message": "Invalid device number"}])"_json},
        {"parse MW100 MW-1", 1, nullptr,
         {"MW100: Ok (0)", "local MW100  full 0-FF MW100  typed s16:MW100",
          "MW-1: NumberOutOfRange (2): Device number out of range"}},
        {"parse", 2, nullptr, {"text is required"}},

        {"address --json --code 175 --address 100 --bit 3 --kind WordBit", 0, R"({"result": 0,
            "device": {"mNumber": 1603, "mType": "b"}, "localText": "MW100.b3",
            "address": {"kind": 2, "bit": 3}})"_json},
        {"address --json --code 999 --kind Int16", 1, R"({"result": 1,
            "resultName": "UnknownDeviceCode", "message": "Unknown device code"})"_json},
        {"address --code 1", 2, nullptr, {"--kind is required"}},
        {"address --code 1 --kind Int16 --station 256", 2, nullptr, {"--station"}},

        // Categories in dialog order, as the edit flags and data type select them.
        {"kinds --json", 0, R"({"kinds": [
            {"name": "IW", "code": 168, "kindText": "Word", "numberBase": 16,
             "rangeText": "0000\r\n-\r\n7FFF"}, {"name": "MW"}, {"name": "GD"}, {"name": "GS"},
            {"name": "MB"}, {"name": "IB", "kindText": "Bit"}, {"name": "GB"}]})"_json,
         {":16bit Signed BIN>\""}},  // the data type's text
        {"kinds --json --type b --flags 1", 0,
         R"({"kinds": [{"name": "MB"}, {"name": "IB"}, {"name": "GB"}]})"_json},
        // A kind of several ranges lists them all, one block each.
        {"kinds --json --plc ZORVIKAN-GL", 0, R"({"kinds": [{}, {}, {}, {"name": "R", "ranges": [{}, {}, {}],
            "rangeText": "1\r\n-\r\n2048\r\n\r\n10001\r\n-\r\n12048\r\n\r\n20001\r\n-\r\n22048"},
            {}, {}, {}, {}, {}, {}, {}, {}]})"_json},
        {"kinds", 0, nullptr, {":16bit Signed BIN>", "0000 - 7FFF"}},
        {"kinds --type xyz", 2, nullptr, {"not a data type: xyz"}},

        {"check --json -", 1, Report(4, "4:MW-1:NumberOutOfRange"), {},
         "MW100\n\n  mw 200  \nMW-1\r\nIW0010\n"},
        // Tag names that start like devices are no devices.
        {"check --json --format csv -", 1, Report(2, "3:QX1:InvalidDeviceName", "Address"), {},
         "Tag,Comment,Address\nMW_Speed,x,MW100\nMB_Run,y,QX1\n"},
        {"check --json --column address -", 0, Report(2, "", "Address"), {},
         "Address,Spare\nMW100,MW-1\nMW101,MW-2\n"},
        // Data-type tags, characters; empty cells take --type.
        {"check --json --type-column T --type b -", 1,
         Report(4, "5:MW100:InvalidDeviceType", "A"), {},
         "A,T\nMW100,s16\nMW102,I\nIB00001,\nMW100,q16\n"},
        // A short row has an empty device text.
        {"check --json --delimiter ; -", 1,
         Report(3, "3:MW-1:NumberOutOfRange;4::InvalidDeviceName", "Address"), {},
         "Tag;Address\nA;MW100\nB;MW-1\nC\n"},
        // An example tag list end to end: every kind of wrong row, and the summary in both forms.
        {"check --json --type-column DataType " + mpList, 1, Report(29,
         "6:MB00010G:InvalidDeviceFormat;14:MW100.b16:InvalidDeviceFormat;"
         "20:MW65534:NumberCrossRange;24:MW65535:NumberOutOfRange;28:QW100:InvalidDeviceName",
         "Address")},
        {"check --type-column DataType " + mpList, 1, nullptr,
         {"row 24: \"MW65535\": Device number out of range (NumberOutOfRange)\n",
          "29 rows: 24 valid, 5 invalid\n", "  2 InvalidDeviceFormat: Invalid device format\n",
          "  1 NumberCrossRange: Device number cross range\n"}},
        {"check /nonexistent/tags.csv", 2, nullptr, {"cannot read /nonexistent/tags.csv"}},
        {"check " + noDevices, 2, nullptr, {"no column looks like device addresses"}},
        {"check --column Where " + list, 2, nullptr,
         {"no column named 'Where' (columns: \"Address\")"}},
        {"check --normalize " + list + " " + list, 2, nullptr, {"must not name the input"}},
        {"check --plc ZORVIKAN-XX -", 2, nullptr, {"does not serve PLC type 'ZORVIKAN-XX'"},
         "MW100\n"},
        {"check --format csv -", 2, nullptr, {"a quoted field does not end"}, "A\n\"MW100\n"},
        {"check -", 2, nullptr, {"a record longer than"}, std::string(2 << 20, 'M')},
        {"check", 2, nullptr, {"file is required"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args, c.input);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out << run.err;
        if (!c.expected.is_null()) {
            const json out = Parsed(run);
            EXPECT_TRUE(Contains(out, c.expected)) << c.args;
            // A failed text shows no record: the module may have left it half made.
            for (const json& text : c.args.starts_with("parse") ? out : json::array())
                EXPECT_EQ(text.contains("device"), text["result"] == 0) << c.args;
        }
        for (const std::string& s : c.says)
            EXPECT_NE((run.out + run.err).find(s), std::string::npos)
                << c.args << " does not say " << s << "\n"
                << run.out << run.err;
    }
}

// Only the device texts that read back change; every other byte, line end and quote stays. In
// terminal type 4 the full text "0-FF MW100" reads back, in the default one only the local one.
TEST(Zorvikan, CheckNormalizeRewritesValidDevicesOnly) {
    const std::string csv =
        "\xEF\xBB\xBFTag,Address,Type,Note\r\na, mw 100 ,,\"x, y\"\r\n"
        "b,\"ib0001f\",b,\r\n\r\nc,MW-1,,keep \"as is\"\r\nd,MW200,s16,z";
    const std::string in = WriteFile("tags.csv", csv), out = tool_test::Scratch("normal.csv");
    const std::tuple<std::string, std::string, std::string, const char*> cases[] = {
        {"--type-column Type ", in,
         "\xEF\xBB\xBFTag,Address,Type,Note\r\na,MW100,,\"x, y\"\r\nb,\"IB0001F\",b,\r\n\r\n"
         "c,MW-1,,keep \"as is\"\r\nd,MW200,s16,z",
         "2 rows rewritten"},
        {"--type-column Type --terminal 4 ", in,
         "\xEF\xBB\xBFTag,Address,Type,Note\r\na,0-FF MW100,,\"x, y\"\r\nb,\"0-FF IB0001F\",b,\r\n"
         "\r\nc,MW-1,,keep \"as is\"\r\nd,0-FF MW200,s16,z",
         "3 rows rewritten"},
        {"--format lines --type b ", WriteFile("tags.txt", "ib0001f\r\n  mw 100.b3\nMW-1\n\nGB8"),
         "IB0001F\r\nMW100.b3\nMW-1\n\nGB8", "2 rows rewritten"},
    };
    for (const auto& [options, input, expected, says] : cases) {
        const ToolRun run = Zorvikan("check " + options + "--normalize " + out + " " + input);
        EXPECT_EQ(run.status, 1) << options << "\n" << run.out << run.err;
        EXPECT_EQ(ReadFile(out), expected) << options;
        EXPECT_NE(run.out.find(says), std::string::npos) << run.out;
        // The written list reads as the same devices.
        EXPECT_EQ(Parsed(Zorvikan("check --json " + options + out))["summary"],
                  Parsed(Zorvikan("check --json " + options + input))["summary"])
            << options;
    }
}

// Progress is shown only when the error stream is a terminal and the input is large.
TEST(Zorvikan, CheckShowsProgressOnlyOnATerminalAndOnlyForLargeInput) {
    // Long comments make a large file of few rows, which keeps sanitizer builds quick.
    const auto rows = [](std::size_t n) {
        std::string list = "Tag,Address,Comment\n";
        for (std::size_t i = 0; i < n; ++i)
            list += "T" + std::to_string(i) + ",MW" + std::to_string(i) + "," +
                    std::string(100, 'c') + "\n";
        return list;
    };
    const std::string large = WriteFile("large.csv", rows(45000));  // over 4 MiB
    const std::string small = WriteFile("small.csv", rows(100));
    const std::string shown = Zorvikan("check " + large, "", true).err;
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown.substr(0, 200);
    EXPECT_EQ(Zorvikan("check --no-progress " + large, "", true).err, "");
    EXPECT_EQ(Zorvikan("check " + small, "", true).err, "");
    const ToolRun piped = Zorvikan("check " + large);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
}

#if !defined(ZV_SANITIZED)
// Peak memory of a check fed through a pipe: a list twenty times as long must not need noticeably
// more. (Sanitizer builds hold freed memory back on purpose, so they cannot show this.)
TEST(Zorvikan, CheckMemoryStaysFlatWhateverTheLength) {
    const auto peakKilobytes = [](std::size_t rows) {
        // Every row valid, so that the report stays short and the pipes never fill up.
        tool_test::Child child({ZV_TOOL_PATH, "check", "--format", "csv", "-"});
        std::string block = "Tag,Address\n";
        for (std::size_t i = 0; i < rows; ++i) {
            block += "Tag" + std::to_string(i) + ",MW" + std::to_string(i % 65535) + "\n";
            if (block.size() > 60000 || i + 1 == rows) child.Write(block), block.clear();
        }
        EXPECT_EQ(child.Finish().status, 0);
        return child.Usage().ru_maxrss;
    };
    const long small = peakKilobytes(20000), large = peakKilobytes(400000);
    EXPECT_LT(large - small, 8 * 1024) << small << " KiB for 20000 rows, " << large << " KiB";
}
#endif

// ---- serve --------------------------------------------------------------------------------

// The server driven over a pipe the way a client program drives it: one request at a time,
// each reply read before the next request is sent.
class ZorvikanServe : public ::testing::Test {
protected:
    // Sends one line and returns the reply to it (null when none comes).
    json Send(const std::string& line) {
        EXPECT_TRUE(mServer.Write(line + "\n")) << line;
        std::string reply;
        if (mServer.ReadLine(reply)) return json::parse(reply);
        ADD_FAILURE() << "no reply to " << line;
        return nullptr;
    }

    json Call(const std::string& method, const json& params) {
        const json reply = Send(
            json{{"jsonrpc", "2.0"}, {"id", ++mId}, {"method", method}, {"params", params}}.dump());
        EXPECT_EQ(reply["id"], mId) << method;
        return reply;
    }

    json Result(const std::string& method, const json& params) {
        const json reply = Call(method, params);
        EXPECT_TRUE(reply.contains("result")) << method << " " << params << ": " << reply;
        return reply.value("result", json());
    }

    tool_test::Child mServer{{ZV_TOOL_PATH, "serve"}};
    int mId = 0;
};

// A session: each call is a method, its parameters, and members its result must hold (or its
// error). Handles are numbered from 1 and keep their state until freed. Every method goes through
// one generic table, so one call per argument form and direction (in, optional, in-out, out)
// stands for all; methods the protocol document's examples show are replayed there.
TEST_F(ZorvikanServe, ASessionAnswersWithResultsOutArgumentsAndHandleState) {
    std::string text = R"(
        CreatePlc {"id": "ZORVIKAN-MP"} {"result": 1}
        CreatePlc {"id": "ZORVIKAN-MP"} {"result": 2}
        SetEditFlags {"plc": 1, "flags": 4} {"result": 4}
        GetEditFlags {"plc": 1} {"result": 4}
        GetEditFlags {"plc": 2} {"result": 0}
        SetCompactTerminal {"plc": 1, "compact": true} {"result": 0}
        IsAvailableForTerminal {"plc": 1} {"result": false}
        IsAvailableForTerminal {"plc": 2, "ignored": 3} {"result": true}
        FreePlc {"plc": 1} {"result": null}
        GetPlcCode {"plc": 1} {"error": {"code": -32000}}
        FreePlc {"plc": 1} {"error": {"code": -32000}}
        GetPlcCode {"plc": 2} {"result": 25}
        FreePlc {"plc": null} {"result": null}

        NetworkToString {"plc": "ZORVIKAN-MP", "terminal": 4,
                         "device": {"mNetworkNo": 1, "mStationNo": 4, "mCode": 175}}
            {"result": 0, "text": "1-3"}
        TypedStringToDevice {"plc": "ZORVIKAN-MP", "text": "u16:MW100", "detailedType": true}
            {"result": 0, "typeTag": "u16", "device": {"mType": "u"}}
        GetDeviceCodeTable {"plc": "ZORVIKAN-SH"} {"count": 7}
        GetBitPositionRange {"plc": "ZORVIKAN-MP", "device": $MW100}
            {"result": true, "base": 10, "min": 0, "max": 15, "digits": 1}
        SetDeviceByPrefix {"plc": "ZORVIKAN-MP", "prefix": "IB", "dataType": "b"}
            {"result": true, "device": {"mCode": 156, "mType": "b"}}
        CheckDeviceFields {"plc": "ZORVIKAN-MP", "fields": {"prefix": "MW", "number": "100"},
                           "device": $MW100, "count": 1}
            {"result": 0, "device": {"mNumber": 1600}, "before": {"mCode": 0}}
        AddInternalWordKinds {"plc": "ZORVIKAN-MP", "device": {}, "dataType": "i", "editFlags": 0,
                              "names": ["MW"], "codes": [175]}
            {"result": true, "names": ["MW", "GD", "GS"], "codes": [175, 12289, 12291]}
        LoadString {"id": 57004} {"result": null}
    )";
    // $MW100 stands for the record of MW100.
    for (std::size_t at; (at = text.find("$MW100")) != std::string::npos;)
        text.replace(at, 6, R"({"mCode": 175, "mNumber": 1600, "mType": "i"})");
    std::istringstream script(text);
    int calls = 0;
    for (std::string method; script >> method; ++calls) {
        json params, expected;
        script >> params >> expected;
        const json reply = Call(method, params);
        EXPECT_TRUE(
            Contains(expected.contains("error") ? reply : reply.value("result", json()), expected))
            << method << " " << params << ": " << reply;
    }
    EXPECT_EQ(calls, 21);
}

// Malformed requests and parameters; the errors the protocol document's examples show (parse
// errors, unknown methods, handles and types, dialogs, device texts) are replayed there.
TEST_F(ZorvikanServe, BadMessagesGetErrorsAndTheServerGoesOn) {
    const std::string call = R"({"jsonrpc":"2.0","id":1,"method":)";
    const std::string mp = R"("params":{"plc":"ZORVIKAN-MP")";
    // clang-format off
    const std::tuple<std::string, int, const char*> cases[] = {
        {"[]", -32600, "empty batch"},
        {"42", -32600, "must be a JSON object"},
        {R"({"jsonrpc":"2.0","id":{"x":1},"method":"GetPlcIdNames"})", -32600, "id must be"},
        {call + "7}", -32600, "method must be a string"},
        {call + R"("GetPlcIdNames","extra":1})", -32600, "no member 'extra'"},
        {call + R"("GetPlcCode","params":[1]})", -32602, "arguments go by name"},
        {call + R"("GetPlcCode"})", -32602, "missing parameter 'plc'"},
        {call + R"("GetPlcCode","params":{"plc":true}})", -32602, "plc must be"},
        {call + R"("GetPlcCode",)" + mp + R"(,"x":1}})", -32602,
         "unknown parameter 'x' for GetPlcCode (parameters: plc, terminal)"},
        {call + R"("DeviceToString",)" + mp + "}}", -32602, "missing parameter 'device'"},
        {call + R"("DeviceToString",)" + mp + R"(,"device":{"code":1}}})", -32602,
         "device has no member 'code'"},
        {call + R"("DeviceToString",)" + mp + R"(,"device":{"mNumber":1.5}}})", -32602,
         "device.mNumber must be an integer"},
        {call + R"("IsPlcBitAddress",)" + mp + R"(,"address":{"station":256}}})", -32602,
         "address.station must lie in 0..255"},
        {call + R"("DeviceToTypedString",)" + mp + R"(,"device":{},"detailedType":1}})", -32602,
         "detailedType must be true or false"},
        {call + R"("GetDeviceKinds",)" + mp +
             R"(,"category":1,"device":{},"dataType":"b","editFlags":0,"names":[1]}})",
         -32602, "names[0] must be a string"},
    };
    // clang-format on
    for (const auto& [line, code, says] : cases) {
        const json reply = Send(line);
        EXPECT_EQ(reply["error"]["code"], code) << line << "\n" << reply;
        EXPECT_NE(reply["error"].value("message", "").find(says), std::string::npos) << reply;
        EXPECT_EQ(Result("GetPlcCode", {{"plc", "ZORVIKAN-H"}})["result"], 10) << "after " << line;
    }
}

// A notification is not answered: the next reply is the batch's, and it shows that the
// notification's objects exist. Objects are limited; an over-long line is refused and skipped.
// The end of the input ends the server cleanly.
TEST_F(ZorvikanServe, NotificationsBatchesLimitsAndTheEnd) {
    std::string requests;
    for (int i = 0; i < 4096; ++i)
        requests += R"({"jsonrpc":"2.0","method":"CreatePlc","params":{"id":"ZORVIKAN-GL"}})"
                    "\n";
    ASSERT_TRUE(mServer.Write(requests));
    EXPECT_TRUE(
        Contains(Send(R"([{"jsonrpc":"2.0","id":"a","method":"GetPlcId","params":{"plc":1}},)"
                      R"({"jsonrpc":"2.0","method":"GetPlcId","params":{"plc":1}},)"
                      R"({"jsonrpc":"2.0","id":"b","method":"Nope"}])"),
                 R"([{"id": "a", "result": {"result": "ZORVIKAN-GL"}},
                     {"id": "b", "error": {"code": -32601}}])"_json));
    EXPECT_EQ(Call("CreatePlc", {{"id", "ZORVIKAN-SH"}})["error"]["code"], -32004);
    EXPECT_EQ(Result("FreePlc", {{"plc", 4096}})["result"], nullptr);
    const json handle = Result("CreatePlc", {{"id", "ZORVIKAN-SH"}})["result"];
    EXPECT_TRUE(handle.is_number_integer());
    EXPECT_EQ(Send("[" + std::string(17 << 20, ' ') + "]")["error"]["code"], -32600);
    EXPECT_EQ(Result("GetPlcCode", {{"plc", handle}})["result"], 8);
    const ToolRun end = mServer.Finish();
    EXPECT_EQ(end.status, 0);
    EXPECT_EQ(end.out + end.err, "");
}

}  // namespace
