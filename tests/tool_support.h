// Running the built zorvikan executable as a user or a client program does: arguments, standard
// input, and its two output streams read back separately; or a long-running child spoken to
// line by line over pipes.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tool_test {

struct ToolRun {
    int status = -1;  // exit status, or -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// A child process with a pipe to its standard input and from its standard output, and its
// standard error on a pipe or on a terminal (a pseudo-terminal).
class Child {
public:
    explicit Child(const std::vector<std::string>& args, bool errOnTerminal = false) {
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        if (errOnTerminal ? openpty(&err[0], &err[1], nullptr, nullptr, nullptr) : pipe(err))
            return;
        mPid = fork();
        if (mPid == 0) {
            dup2(in[0], 0), dup2(out[1], 1), dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
                close(fd);
            std::vector<char*> argv;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]), close(out[1]), close(err[1]);
        mIn = in[1], mOut = out[0], mErr = err[0];
        signal(SIGPIPE, SIG_IGN);
    }
    ~Child() {
        CloseInput();
        if (mPid > 0 && mStatus == -2) kill(mPid, SIGKILL), Wait();
        for (int fd : {mOut, mErr})
            if (fd >= 0) close(fd);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return mPid > 0; }
    // Resources the child used, once it has been waited for.
    const rusage& Usage() const { return mUsage; }

    bool Write(const std::string& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = write(mIn, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    void CloseInput() {
        if (mIn >= 0) close(mIn);
        mIn = -1;
    }

    // One line of standard output (without its '\n'); false when none comes within 10 s.
    bool ReadLine(std::string& line) {
        for (std::size_t newline; (newline = mOutBuffer.find('\n')) == std::string::npos;) {
            pollfd p{mOut, POLLIN, 0};
            char buffer[4096];
            const ssize_t n = poll(&p, 1, 10000) > 0 ? read(mOut, buffer, sizeof buffer) : 0;
            if (n <= 0) return false;
            mOutBuffer.append(buffer, static_cast<std::size_t>(n));
        }
        line = mOutBuffer.substr(0, mOutBuffer.find('\n'));
        mOutBuffer.erase(0, line.size() + 1);
        return true;
    }

    // Reads both outputs to their end and waits for the exit.
    ToolRun Finish() {
        CloseInput();
        ToolRun run;
        run.out = mOutBuffer;
        bool open[2] = {true, true};
        while (open[0] || open[1]) {
            pollfd p[2] = {{open[0] ? mOut : -1, POLLIN, 0}, {open[1] ? mErr : -1, POLLIN, 0}};
            if (poll(p, 2, 60000) <= 0) break;
            char buffer[65536];
            for (int i = 0; i < 2; ++i) {
                if (p[i].revents == 0) continue;
                const ssize_t n = read(p[i].fd, buffer, sizeof buffer);  // a terminal ends in EIO
                if (n > 0)
                    (i == 0 ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
                else
                    open[i] = false;
            }
        }
        run.status = Wait();
        return run;
    }

    int Wait() {
        if (mStatus != -2) return mStatus;
        int raw = 0;
        while (wait4(mPid, &raw, 0, &mUsage) < 0 && errno == EINTR) {
        }
        return mStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

private:
    pid_t mPid = -1;
    int mIn = -1, mOut = -1, mErr = -1;
    int mStatus = -2;  // not yet waited for
    rusage mUsage{};
    std::string mOutBuffer;
};

// The tool run with a command line split at blanks (a quoted stretch "..." may hold blanks).
inline ToolRun Zorvikan(const std::string& line, const std::string& input = {},
                        bool errOnTerminal = false) {
    std::vector<std::string> argv = {ZV_TOOL_PATH};
    bool quoted = false, any = false;
    std::string word;
    for (const char c : line + ' ') {
        if (c == ' ' && !quoted) {
            if (any) argv.push_back(word);
            word.clear(), any = false;
        } else {
            quoted ^= c == '"', any = true;
            if (c != '"') word += c;
        }
    }
    Child child(argv, errOnTerminal);
    if (!child.Started()) return {};
    child.Write(input);
    return child.Finish();
}

// A scratch directory of the test program, removed when the program ends.
inline std::string Scratch(const std::string& name) {
    struct Directory {
        std::string path = testing::TempDir() + "zorvikan_tool_" + std::to_string(getpid());
        Directory() { std::filesystem::create_directories(path); }
        ~Directory() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Directory dir;
    return dir.path + "/" + name;
}

inline std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = Scratch(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string ReadFile(const std::string& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

}  // namespace tool_test
