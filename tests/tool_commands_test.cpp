// The zorvikan commands parse, address, kinds and check, run as a user runs them: the built
// executable loading the built module, judged by its output and exit status.
#include <gtest/gtest.h>
#include <pty.h>

#include <nlohmann/json.hpp>

#include "tool_support.h"

namespace {

using nlohmann::json;
using tool_test::ReadFile;
using tool_test::ToolRun;
using tool_test::WriteFile;
using tool_test::Zorvikan;

// Every member of `expected` is in `actual` with the same value (objects compared member-wise,
// everything else exactly).
::testing::AssertionResult Contains(const json& actual, const json& expected,
                                    const std::string& at = "") {
    if (expected.is_object()) {
        if (!actual.is_object()) return ::testing::AssertionFailure() << at << " is not an object";
        for (const auto& [key, value] : expected.items()) {
            if (!actual.contains(key))
                return ::testing::AssertionFailure() << at << "." << key << " missing";
            if (auto r = Contains(actual[key], value, at + "." + key); !r) return r;
        }
        return ::testing::AssertionSuccess();
    }
    if (actual != expected)
        return ::testing::AssertionFailure()
               << at << " is " << actual.dump() << ", expected " << expected.dump();
    return ::testing::AssertionSuccess();
}

json Parsed(const ToolRun& run) {
    try {
        return json::parse(run.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not JSON: " << e.what() << "\n" << run.out << run.err;
        return {};
    }
}

// ---- parse --------------------------------------------------------------------------------

TEST(ZorvikanParse, EachTextGivesItsResultMessageRecordTextsAndAddress) {
    struct Case {
        const char* args;
        int status;
        json first;
    };
    const Case cases[] = {
        {"parse --json MW100",
         0,
         {{"text", "MW100"},
          {"result", 0},
          {"resultName", "Ok"},
          {"message", nullptr},
          {"device", {{"mCode", 175}, {"mNumber", 1600}, {"mType", "i"}, {"mNetworkNo", 0}}},
          {"localText", "MW100"},
          {"fullText", "0-FF MW100"},
          {"typedText", "s16:MW100"},
          {"address", {{"code", 175}, {"address", 100}, {"bit", 0}, {"kind", 4}, {"station", 255}}},
          {"kind", "word"}}},
        {"parse --json --type b IB0001F",
         0,
         {{"result", 0},
          {"device", {{"mCode", 156}, {"mNumber", 31}, {"mType", "b"}}},
          {"typedText", "b:IB0001F"},
          {"address", {{"kind", 1}, {"address", 31}}},
          {"kind", "bit"}}},
        {"parse --json --type u32 --plc ZORVIKAN-H DW200",
         0,
         {{"device", {{"mType", "U"}}}, {"typedText", "u32:DW200"}, {"address", {{"kind", 7}}}}},
        {"parse --json --terminal 4 \"1-3 MW100\"",
         0,
         {{"device", {{"mNetworkNo", 1}, {"mStationNo", 4}}},
          {"fullText", "1-3 MW100"},
          {"localText", "MW100"},
          {"typedText", "1-3:s16:MW100"}}},
        {"parse --json --terminal 1 MW100", 0, {{"result", 0}, {"typedText", "??"}}},
        {"parse --json --plc ZORVIKAN-SH MW32768",
         1,
         {{"result", 2},
          {"resultName", "NumberOutOfRange"},
          {"message", "Device number out of range"}}},
        {"parse --json --type s32 MW65534",
         1,
         {{"result", 3},
          {"resultName", "NumberCrossRange"},
          {"message", "Device number cross range"}}},
        {"parse --json QW1",
         1,
         {{"result", 5}, {"resultName", "InvalidDeviceName"}, {"message", "Invalid device name"}}},
        {"parse --json MW100X",
         1,
         {{"result", 6},
          {"resultName", "InvalidDeviceFormat"},
          {"message", "Invalid device format"}}},
        {"parse --json --type b GB8", 0, {{"result", 0}, {"kind", "bit"}}},
        {"parse --json GB8", 1, {{"result", 7}, {"message", "Invalid device number"}}},
    };
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out << run.err;
        const json all = Parsed(run);
        ASSERT_TRUE(all.is_array() && all.size() == 1) << c.args << "\n" << run.out;
        EXPECT_TRUE(Contains(all[0], c.first)) << c.args;
        // A failed text shows no record: the module may have left it half made.
        EXPECT_EQ(all[0].contains("device"), c.status == 0) << c.args;
    }
}

TEST(ZorvikanParse, SeveralTextsKeepTheirOrderAndOneFailureMakesStatusOne) {
    const ToolRun run = Zorvikan("parse --json MW100 MW-1 IW0010");
    EXPECT_EQ(run.status, 1);
    const json all = Parsed(run);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0]["text"], "MW100");
    EXPECT_EQ(all[1]["resultName"], "NumberOutOfRange");
    EXPECT_EQ(all[2]["result"], 0);
}

TEST(ZorvikanParse, HumanOutputNamesResultAndMessage) {
    const ToolRun run = Zorvikan("parse MW100 MW-1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("MW100: Ok (0)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("local MW100  full 0-FF MW100  typed s16:MW100"), std::string::npos);
    EXPECT_NE(run.out.find("MW-1: NumberOutOfRange (2): Device number out of range"),
              std::string::npos);
}

// ---- address ------------------------------------------------------------------------------

TEST(ZorvikanAddress, FlatAddressesComeBackAsRecordsAndTexts) {
    struct Case {
        const char* args;
        int status;
        json expected;
    };
    const Case cases[] = {
        {"address --json --code 175 --address 100 --kind Int16",
         0,
         {{"result", 0},
          {"device", {{"mCode", 175}, {"mNumber", 1600}, {"mType", "i"}}},
          {"localText", "MW100"}}},
        {"address --json --code 175 --address 100 --bit 3 --kind WordBit",
         0,
         {{"device", {{"mNumber", 1603}, {"mType", "b"}}},
          {"localText", "MW100.b3"},
          {"address", {{"kind", 2}, {"bit", 3}}}}},
        {"address --json --code 175 --address 100 --kind 7",
         0,
         {{"input", {{"kind", 7}}}, {"device", {{"mType", "U"}}}}},
        {"address --json --code 999 --kind Int16",
         1,
         {{"result", 1}, {"resultName", "UnknownDeviceCode"}, {"message", "Unknown device code"}}},
    };
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out << run.err;
        EXPECT_TRUE(Contains(Parsed(run), c.expected)) << c.args;
    }
}

// ---- kinds --------------------------------------------------------------------------------

std::vector<std::string> KindNames(const json& out) {
    std::vector<std::string> names;
    for (const json& k : out["kinds"])
        names.push_back(k["name"]);
    return names;
}

TEST(ZorvikanKinds, CategoriesInDialogOrderWithKindTextBaseAndRanges) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* args;
        Names names;
    };
    const Case cases[] = {
        {"kinds --json", {"IW", "MW", "GD", "GS", "MB", "IB", "GB"}},
        {"kinds --json --type b", {"IW", "MW", "GD", "GS", "MB", "IB", "GB"}},
        {"kinds --json --flags 2", {"IW", "MW", "GD", "GS"}},
        {"kinds --json --type b --flags 1", {"MB", "IB", "GB"}},
        {"kinds --json --flags 7", {}},
    };
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args);
        ASSERT_EQ(run.status, 0) << c.args << "\n" << run.err;
        const json out = Parsed(run);
        EXPECT_EQ(KindNames(out), c.names) << c.args;
        // Until the module lists kinds itself, the listing says where it came from.
        EXPECT_TRUE(out["source"] == "GetDeviceKindList" || out.contains("categories")) << c.args;
    }

    const json mp = Parsed(Zorvikan("kinds --json"));
    EXPECT_EQ(mp["dataTypeText"], " <Specification:16bit Signed BIN>");
    EXPECT_TRUE(Contains(mp["kinds"][0], {{"name", "IW"},
                                          {"code", 168},
                                          {"kindText", "Word"},
                                          {"numberBase", 16},
                                          {"rangeText", "0000\r\n-\r\n7FFF"}}));
    EXPECT_EQ(mp["kinds"][5]["kindText"], "Bit");
    const json gl = Parsed(Zorvikan("kinds --json --plc ZORVIKAN-GL"));
    const json r = gl["kinds"][3];
    EXPECT_EQ(r["name"], "R");
    EXPECT_EQ(r["ranges"].size(), 3u);
    EXPECT_EQ(r["rangeText"],
              "1\r\n-\r\n2048\r\n\r\n10001\r\n-\r\n12048\r\n\r\n20001\r\n-\r\n22048");
}

TEST(ZorvikanKinds, TableShowsRangesOnOneLine) {
    const ToolRun run = Zorvikan("kinds");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(" <Specification:16bit Signed BIN>"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("0000 - 7FFF"), std::string::npos) << run.out;
}

// ---- check --------------------------------------------------------------------------------

struct Failure {
    std::int64_t row;
    const char* text;
    const char* resultName;
};

void ExpectFailures(const json& out, const std::vector<Failure>& expected,
                    const std::string& what) {
    ASSERT_EQ(out["failures"].size(), expected.size()) << what << "\n" << out.dump(1);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(out["failures"][i]["row"], expected[i].row) << what << " #" << i;
        EXPECT_EQ(out["failures"][i]["text"], expected[i].text) << what << " #" << i;
        EXPECT_EQ(out["failures"][i]["resultName"], expected[i].resultName) << what << " #" << i;
    }
}

TEST(ZorvikanCheck, ExampleTagListsReportTheirWrongRows) {
    struct Case {
        const char* plc;
        const char* file;
        int rows;
        std::vector<Failure> failures;
    };
    const Case cases[] = {
        {"ZORVIKAN-MP",
         "mp-packaging-line.csv",
         29,
         {{6, "MB00010G", "InvalidDeviceFormat"},
          {14, "MW100.b16", "InvalidDeviceFormat"},
          {20, "MW65534", "NumberCrossRange"},
          {24, "MW65535", "NumberOutOfRange"},
          {28, "QW100", "InvalidDeviceName"}}},
        {"ZORVIKAN-SH",
         "sh-press-line.csv",
         27,
         {{5, "XB0000", "InvalidDeviceName"},
          {12, "MB32768A", "NumberOutOfRange"},
          {18, "MW32767", "NumberCrossRange"},
          {23, "MW1Z", "InvalidDeviceFormat"},
          {28, "MW32768", "NumberOutOfRange"}}},
        {"ZORVIKAN-H",
         "h-water-treatment.csv",
         26,
         {{5, "DW2048", "NumberOutOfRange"},
          {11, "MW7695", "NumberOutOfRange"},
          {16, "IB800", "NumberOutOfRange"},
          {19, "ZD5Q", "InvalidDeviceFormat"},
          {26, "XB10", "InvalidDeviceName"}}},
        {"ZORVIKAN-GL",
         "gl-boiler-house.csv",
         26,
         {{7, "R2049", "NumberOutOfRange"},
          {14, "R30001", "NumberOutOfRange"},
          {18, "D3000X", "NumberOutOfRange"},
          {24, "Q100", "InvalidDeviceName"}}},
        {"ZORVIKAN-MS",
         "ms-assembly-cell.csv",
         23,
         {{6, "M2048", "NumberOutOfRange"},
          {10, "M2047", "NumberCrossRange"},
          {14, "I64", "NumberOutOfRange"},
          {18, "IB-1", "NumberOutOfRange"},
          {21, "X1", "InvalidDeviceName"}}},
    };
    for (const Case& c : cases) {
        const std::string args = std::string("check --json --type-column DataType --plc ") + c.plc +
                                 " " + ZV_EXAMPLES_DIR + "/" + c.file;
        const ToolRun run = Zorvikan(args);
        EXPECT_EQ(run.status, 1) << args << "\n" << run.err;
        const json out = Parsed(run);
        EXPECT_EQ(out["deviceColumn"], "Address") << c.file;
        EXPECT_TRUE(
            Contains(out["summary"], {{"rows", c.rows},
                                      {"valid", c.rows - static_cast<int>(c.failures.size())},
                                      {"invalid", c.failures.size()}}))
            << c.file;
        ExpectFailures(out, c.failures, c.file);
    }
}

TEST(ZorvikanCheck, HumanReportListsRowsAndSummary) {
    const ToolRun run = Zorvikan(std::string("check --type-column DataType ") + ZV_EXAMPLES_DIR +
                                 "/mp-packaging-line.csv");
    EXPECT_EQ(run.status, 1);
    for (const char* line :
         {"row 24: \"MW65535\": Device number out of range (NumberOutOfRange)\n",
          "29 rows: 24 valid, 5 invalid\n", "  2 InvalidDeviceFormat: Invalid device format\n",
          "  1 NumberCrossRange: Device number cross range\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
}

TEST(ZorvikanCheck, ListsAndColumnsAreReadAsWritten) {
    struct Case {
        const char* name;
        const char* args;
        std::string input;
        int status;
        json summary;
        std::vector<Failure> failures;
        json column;
    };
    const Case cases[] = {
        {"lines from standard input",
         "check --json -",
         "MW100\n\n  mw 200  \nMW-1\r\nIW0010\n",
         1,
         {{"rows", 4}, {"valid", 3}},
         {{4, "MW-1", "NumberOutOfRange"}},
         nullptr},
        {"all valid",
         "check --json -",
         "MW100\nMW200\n",
         0,
         {{"rows", 2}, {"invalid", 0}},
         {},
         nullptr},
        {"empty input", "check --json -", "", 0, {{"rows", 0}}, {}, nullptr},
        {"a header and blank lines only",
         "check --json --format csv -",
         "Tag,Address\n\n\n",
         0,
         {{"rows", 0}},
         {},
         nullptr},
        {"tag names that start like devices are no devices",
         "check --json --format csv -",
         "Tag,Comment,Address\nMW_Speed,x,MW100\nMB_Run,y,QX1\n",
         1,
         {{"rows", 2}, {"valid", 1}},
         {{3, "QX1", "InvalidDeviceName"}},
         "Address"},
        {"byte-order mark, CRLF, quotes with commas, quotes and line breaks",
         "check --json --format csv -",
         "\xEF\xBB\xBFName,Address\r\n\"Pump, \"\"main\"\"\nsecond "
         "line\",MW100\r\nValve,\"MW-1\"\r\n",
         1,
         {{"rows", 2}, {"valid", 1}},
         {{4, "MW-1", "NumberOutOfRange"}},
         "Address"},
        {"named column, any case",
         "check --json --column address -",
         "Address,Spare\nMW100,MW-1\nMW101,MW-2\n",
         0,
         {{"rows", 2}},
         {},
         "Address"},
        {"data-type column: tags, characters, empty cells take --type",
         "check --json --type-column T --type b -",
         "A,T\nMW100,s16\nMW102,I\nIB00001,\nMW100,q16\n",
         1,
         {{"rows", 4}, {"valid", 3}},
         {{5, "MW100", "InvalidDeviceType"}},
         "A"},
        {"semicolons",
         "check --json --delimiter ; -",
         "Tag;Address\nA;MW100\nB;MW-1\n",
         1,
         {{"rows", 2}},
         {{3, "MW-1", "NumberOutOfRange"}},
         "Address"},
        {"short rows have an empty device text",
         "check --json --format csv -",
         "Tag,Address\nA,MW100\nB\n",
         1,
         {{"rows", 2}},
         {{3, "", "InvalidDeviceName"}},
         "Address"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args, c.input);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.out << run.err;
        const json out = Parsed(run);
        EXPECT_TRUE(Contains(out["summary"], c.summary)) << c.name;
        EXPECT_EQ(out["deviceColumn"], c.column) << c.name;
        ExpectFailures(out, c.failures, c.name);
    }
}

TEST(ZorvikanCheck, UsageAndInputErrorsGiveStatusTwo) {
    const std::string noDevices = WriteFile("nodevices.csv", "Tag,Comment\nPump,Main pump\n");
    const std::string input = WriteFile("input.csv", "Address\nMW100\n");
    struct Case {
        std::string args;
        std::string input;
        const char* says;
    };
    const Case cases[] = {
        {"check /nonexistent/tags.csv", "", "cannot read /nonexistent/tags.csv"},
        {"check " + noDevices, "", "no column looks like device addresses"},
        {"check --column Where " + input, "", "no column named 'Where' (columns: \"Address\")"},
        {"check --normalize " + input + " " + input, "", "must not name the input"},
        {"check --plc ZORVIKAN-XX -", "MW100\n", "does not serve PLC type 'ZORVIKAN-XX'"},
        {"check --type xyz -", "MW100\n", "not a data type"},
        {"check --format csv -", "A\n\"MW100\n", "a quoted field does not end"},
        {"check -", std::string(2 << 20, 'M'), "a record longer than"},
        {"check", "", "file is required"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args, c.input);
        EXPECT_EQ(run.status, 2) << c.args << "\n" << run.out;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << "\n" << run.err;
    }
}

TEST(ZorvikanCheck, NormalizeRewritesValidDevicesOnlyAndKeepsEveryOtherByte) {
    const std::string list =
        "\xEF\xBB\xBFTag,Address,Type,Note\r\n"
        "a, mw 100 ,,\"x, y\"\r\n"
        "b,\"ib0001f\",b,\r\n"
        "\r\n"
        "c,MW-1,,keep \"as is\"\r\n"
        "d,MW200,s16,z";
    struct Case {
        const char* args;
        std::string expected;
        const char* rewritten;
    };
    const Case cases[] = {
        // In terminal type 2 the full text "0-FF MW100" does not read back, the local one does.
        {"",
         "\xEF\xBB\xBFTag,Address,Type,Note\r\na,MW100,,\"x, y\"\r\nb,\"IB0001F\",b,\r\n\r\n"
         "c,MW-1,,keep \"as is\"\r\nd,MW200,s16,z",
         "2 rows rewritten"},
        {"--terminal 4",
         "\xEF\xBB\xBFTag,Address,Type,Note\r\na,0-FF MW100,,\"x, y\"\r\nb,\"0-FF "
         "IB0001F\",b,\r\n\r\n"
         "c,MW-1,,keep \"as is\"\r\nd,0-FF MW200,s16,z",
         "3 rows rewritten"},
    };
    for (const Case& c : cases) {
        const std::string in = WriteFile("tags.csv", list);
        const std::string out = tool_test::Scratch("normalized.csv");
        const std::string options = std::string("--type-column Type ") + c.args;
        const ToolRun run = Zorvikan("check " + options + " --normalize " + out + " " + in);
        EXPECT_EQ(run.status, 1) << c.args << "\n" << run.out << run.err;
        EXPECT_EQ(ReadFile(out), c.expected) << c.args;
        EXPECT_NE(run.out.find(c.rewritten), std::string::npos) << run.out;
        // The written list reads as the same devices.
        const ToolRun again = Zorvikan("check --json " + options + " " + out);
        EXPECT_TRUE(Contains(Parsed(again)["summary"], {{"rows", 4}, {"valid", 3}})) << c.args;
    }
}

TEST(ZorvikanCheck, NormalizeOfPlainLinesKeepsTheirLineEnds) {
    const std::string out = tool_test::Scratch("lines.txt");
    const ToolRun run =
        Zorvikan("check --type b --normalize " + out + " -", "ib0001f\r\n  mw 100.b3\nMW-1\n\nGB8");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(ReadFile(out), "IB0001F\r\nMW100.b3\nMW-1\n\nGB8");
}

// ---- progress and memory ------------------------------------------------------------------

// Long comments make a large file of few rows, which keeps sanitizer builds quick.
std::string LargeList(std::size_t rows) {
    const std::string comment(100, 'c');
    std::string list = "Tag,Address,Comment\n";
    for (std::size_t i = 0; i < rows; ++i)
        list +=
            "Tag" + std::to_string(i) + ",MW" + std::to_string(i % 65535) + "," + comment + "\n";
    return list;
}

// stderr is a terminal (a pseudo-terminal here); stdout goes to a file.
std::string StderrOnTerminal(const std::string& args) {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "openpty failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(master);
        dup2(slave, 2);
        const int out = open("/dev/null", O_WRONLY);
        dup2(out, 1);
        std::vector<std::string> words = tool_test::Words(args);
        std::vector<char*> argv = {const_cast<char*>(ZV_TOOL_PATH)};
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(slave);
    std::string err;
    char buffer[4096];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
        err.append(buffer, static_cast<std::size_t>(n));
    close(master);
    waitpid(pid, nullptr, 0);
    return err;
}

TEST(ZorvikanCheck, ProgressBarOnlyOnATerminalAndOnlyForLargeInput) {
    const std::string large = WriteFile("large.csv", LargeList(45000));  // over 4 MiB
    const std::string small = WriteFile("small.csv", LargeList(100));
    const std::string shown = StderrOnTerminal("check " + large);
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown.substr(0, 200);
    EXPECT_EQ(StderrOnTerminal("check --no-progress " + large), "");
    EXPECT_EQ(StderrOnTerminal("check " + small), "");
    const ToolRun piped = Zorvikan("check " + large);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
}

#if !defined(ZV_SANITIZED)
// Peak memory of a check fed through a pipe: a list ten times as long must not need noticeably
// more. (Sanitizer builds hold freed memory back on purpose, so they cannot show this.)
long PeakKilobytes(std::size_t rows) {
    // Every row valid, so that the report stays short and the pipes never fill up.
    tool_test::Child child({ZV_TOOL_PATH, "check", "--format", "csv", "-"});
    child.Write("Tag,Address\n");
    std::string block;
    for (std::size_t i = 0; i < rows; ++i) {
        block += "Tag" + std::to_string(i) + ",MW" + std::to_string(i % 65535) + "\n";
        if (block.size() > 60000) {
            child.Write(block);
            block.clear();
        }
    }
    child.Write(block);
    const ToolRun run = child.Finish();
    EXPECT_EQ(run.status, 0) << run.err;
    return child.Usage().ru_maxrss;
}

TEST(ZorvikanCheck, MemoryStaysFlatWhateverTheLength) {
    const long small = PeakKilobytes(20000);
    const long large = PeakKilobytes(400000);
    EXPECT_LT(large - small, 8 * 1024)
        << small << " KiB for 20000 rows, " << large << " KiB for 400000";
}
#endif

}  // namespace
