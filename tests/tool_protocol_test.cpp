// The examples of docs/protocol.md, replayed against the built server: every "-->" line is sent,
// and the reply must equal the "<--" line after it. A document whose examples drift from the
// server fails here.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "tool_support.h"

namespace {

using nlohmann::json;

struct Exchange {
    int line;
    std::string request;
    std::optional<std::string> reply;
};

std::vector<std::vector<Exchange>> Sessions(const std::string& path) {
    std::ifstream doc(path);
    std::vector<std::vector<Exchange>> sessions;
    bool inBlock = false;
    std::string text;
    for (int number = 1; std::getline(doc, text); ++number) {
        if (!inBlock && text == "```jsonrpc") {
            inBlock = true;
            sessions.emplace_back();
        } else if (inBlock && text == "```") {
            inBlock = false;
        } else if (inBlock && text.rfind("--> ", 0) == 0) {
            sessions.back().push_back({number, text.substr(4), std::nullopt});
        } else if (inBlock && text.rfind("<-- ", 0) == 0) {
            if (sessions.back().empty() || sessions.back().back().reply)
                ADD_FAILURE() << path << ":" << number << ": a reply without a request";
            else
                sessions.back().back().reply = text.substr(4);
        } else if (inBlock && !text.empty()) {
            ADD_FAILURE() << path << ":" << number << ": neither --> nor <--";
        }
    }
    return sessions;
}

TEST(ZorvikanProtocol, DocumentedExamplesAreWhatTheServerAnswers) {
    const auto sessions = Sessions(ZV_PROTOCOL_DOC);
    std::size_t exchanges = 0;
    for (const auto& session : sessions) {
        tool_test::Child server({ZV_TOOL_PATH, "serve"});
        for (const Exchange& e : session) {
            ASSERT_TRUE(server.Write(e.request + "\n")) << "line " << e.line;
            if (!e.reply) continue;
            ++exchanges;
            std::string reply;
            ASSERT_TRUE(server.ReadLine(reply)) << "no reply to line " << e.line;
            EXPECT_EQ(json::parse(reply), json::parse(*e.reply)) << "line " << e.line;
        }
        const tool_test::ToolRun end = server.Finish();
        // Notifications get no reply, so nothing may be left over.
        EXPECT_EQ(end.out, "") << "unexpected replies";
        EXPECT_EQ(end.status, 0);
    }
    // The document's format changing must not make this test pass on nothing.
    EXPECT_GE(sessions.size(), 4u);
    EXPECT_GE(exchanges, 30u);
}

}  // namespace
