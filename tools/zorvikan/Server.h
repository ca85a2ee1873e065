// zorvikan serve: JSON-RPC 2.0 over a pair of streams, one message per line. Every operation of
// the module's two object interfaces is a method of the same name, with arguments by the names
// of the operation's parameters and out-arguments returned by name beside "result"
// (docs/protocol.md).
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <ostream>
#include <string>

#include "JsonForms.h"
#include "ModuleHost.h"
#include "Texts.h"

class RpcServer {
public:
    // Objects a client may keep at once; CreatePlc fails beyond that.
    static constexpr std::size_t kMaxObjects = 4096;
    // Longest request line read; a longer one is answered with an error and skipped.
    static constexpr std::size_t kMaxLine = 16u << 20;

    explicit RpcServer(const ModuleHost& host);
    ~RpcServer();
    RpcServer(const RpcServer&) = delete;
    RpcServer& operator=(const RpcServer&) = delete;

    // Serves until the input ends. Every reply is one line, flushed at once.
    void Serve(std::istream& in, std::ostream& out);

    // The reply to one message (a request or a batch); null for notifications only.
    Json Handle(const std::string& line);

    // Used by the method table.
    pqcore::PqPlcIF& Object(std::int64_t handle);
    std::int64_t Keep(ModuleHost::Plc plc);
    bool Release(std::int64_t handle);
    const ModuleHost& Host() const { return mHost; }
    const ModuleTexts& Texts() const { return mTexts; }

private:
    Json HandleOne(const Json& request);

    const ModuleHost& mHost;
    ModuleTexts mTexts;
    std::map<std::int64_t, ModuleHost::Plc> mObjects;
    std::int64_t mNextHandle = 1;
};
