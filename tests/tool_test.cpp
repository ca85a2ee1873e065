// The zorvikan host tool, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

ToolRun Zorvikan(const std::string& args) {
    const std::string command = std::string(ZV_TOOL_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, {}};
    std::string out;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out};
}

TEST(ZorvikanList, JsonReportsEveryTypeWithItsFixedAnswers) {
    const ToolRun run = Zorvikan("list --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto all = nlohmann::json::parse(run.out);
    ASSERT_EQ(all.size(), 5u);
    struct Expected {
        const char* id;
        int code;
        const char* displayName;  // from the module's string table, leading blank included
    };
    const Expected expected[] = {{"ZORVIKAN-GL", 4, " YASKAWA GL/PROGIC8"},
                                 {"ZORVIKAN-SH", 8, " YASKAWA CP9200SH/MP900"},
                                 {"ZORVIKAN-H", 10, " YASKAWA CP9200(H)"},
                                 {"ZORVIKAN-MS", 15, " YASKAWA CP9300MS(MC compatible)"},
                                 {"ZORVIKAN-MP", 25, " YASKAWA MP2000/MP900"}};
    for (std::size_t i = 0; i < 5; ++i) {
        const auto& e = all[i];
        EXPECT_EQ(e["id"], expected[i].id);
        EXPECT_EQ(e["plcCode"], expected[i].code);
        EXPECT_EQ(e["plcGroupCode"], expected[i].code);
        EXPECT_EQ(e["displayName"], expected[i].displayName);
        EXPECT_EQ(e["interfaceLevel"], 3);
        EXPECT_EQ(e["availableForTerminal"], true);
        EXPECT_EQ(e["networkAvailable"], i == 4);
        EXPECT_EQ(e["defaultBitDevice"]["code"], 157);
        EXPECT_EQ(e["defaultBitDevice"]["type"], "b");
        EXPECT_EQ(e["defaultWordDevice"]["code"], 168);
        EXPECT_EQ(e["defaultWordDevice"]["type"], "i");
    }
}

TEST(ZorvikanList, TerminalTypeIsAppliedAsTheModuleStoresIt) {
    struct Case {
        const char* terminal;
        bool available;
        bool mpNetwork;
    };
    const Case cases[] = {
        {"1", false, false}, {"3", true, false}, {"9", true, true}, {"-1", true, false}};
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(std::string("list --json --terminal=") + c.terminal);
        ASSERT_EQ(run.status, 0) << run.out;
        const auto all = nlohmann::json::parse(run.out);
        for (const auto& e : all)
            EXPECT_EQ(e["availableForTerminal"], c.available) << c.terminal;
        EXPECT_EQ(all[4]["networkAvailable"], c.mpNetwork) << c.terminal;
    }
}

TEST(ZorvikanList, TableNamesEveryType) {
    const ToolRun run = Zorvikan("list");
    ASSERT_EQ(run.status, 0);
    for (const char* id :
         {"ZORVIKAN-GL", "ZORVIKAN-SH", "ZORVIKAN-H ", "ZORVIKAN-MS", "ZORVIKAN-MP"})
        EXPECT_NE(run.out.find(id), std::string::npos) << id;
    EXPECT_NE(run.out.find("168/0/i      YASKAWA MP2000/MP900\n"), std::string::npos) << run.out;
}

TEST(ZorvikanUsage, ErrorsAreReportedWithStatusTwo) {
    struct Case {
        const char* args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"--module /nonexistent/ZORVIKAN.PLC list", 2, "cannot load /nonexistent/ZORVIKAN.PLC"},
        {"--module /etc/hostname list", 2, "cannot load"},
        {"", 2, "a command is required"},
        {"frobnicate", 2, "frobnicate"},
        {"list --terminal x", 2, "--terminal"},
        {"--help", 0, "list"},
        {"list --help", 0, "--json"},
        {"parse", 2, "text is required"},
        {"parse --plc ZORVIKAN-XX MW100", 2, "does not serve PLC type 'ZORVIKAN-XX'"},
        {"kinds --type xyz", 2, "not a data type: xyz"},
        {"address --code 1", 2, "--kind is required"},
        {"address --code 1 --kind Nope", 2, "not a data kind: Nope"},
        {"address --code 1 --kind Int16 --station 256", 2, "--station"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Zorvikan(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.args << "\n" << run.out;
    }
}

}  // namespace
