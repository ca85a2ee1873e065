// Running the built zorvikan executable as a user or a client program does: arguments, standard
// input, and its two output streams read back separately; or a long-running child spoken to
// line by line over pipes.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
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

// A child process with pipes to its standard input, output and error.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
        mPid = fork();
        if (mPid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
                close(fd);
            std::vector<char*> argv;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        mIn = in[1];
        mOut = out[0];
        mErr = err[0];
        signal(SIGPIPE, SIG_IGN);
    }
    ~Child() {
        CloseInput();
        if (mPid > 0 && mStatus == -2) {
            kill(mPid, SIGKILL);
            Wait();
        }
        for (int fd : {mOut, mErr})
            if (fd >= 0) close(fd);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return mPid > 0; }
    // Resources the child used, once it has been waited for.
    const rusage& Usage() const { return mUsage; }

    bool Write(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
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

    // One line of standard output (without its '\n'); false when none comes within the time.
    bool ReadLine(std::string& line, int timeoutMs = 10000) {
        for (;;) {
            const auto newline = mOutBuffer.find('\n');
            if (newline != std::string::npos) {
                line = mOutBuffer.substr(0, newline);
                mOutBuffer.erase(0, newline + 1);
                return true;
            }
            pollfd p{mOut, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0) return false;
            char buffer[4096];
            const ssize_t n = read(mOut, buffer, sizeof buffer);
            if (n <= 0) return false;
            mOutBuffer.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // Reads both outputs to their end and waits for the exit.
    ToolRun Finish() {
        CloseInput();
        ToolRun run;
        run.out = mOutBuffer;
        bool outOpen = true, errOpen = true;
        while (outOpen || errOpen) {
            pollfd p[2] = {{outOpen ? mOut : -1, POLLIN, 0}, {errOpen ? mErr : -1, POLLIN, 0}};
            if (poll(p, 2, 60000) <= 0) break;
            char buffer[65536];
            for (int i = 0; i < 2; ++i) {
                if (p[i].revents == 0) continue;
                const ssize_t n = read(p[i].fd, buffer, sizeof buffer);
                if (n > 0)
                    (i == 0 ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
                else
                    (i == 0 ? outOpen : errOpen) = false;
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
        mStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return mStatus;
    }

private:
    pid_t mPid = -1;
    int mIn = -1, mOut = -1, mErr = -1;
    int mStatus = -2;  // not yet waited for
    rusage mUsage{};
    std::string mOutBuffer;
};

// Splits a command line at blanks; a quoted stretch ("...") may hold blanks.
inline std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

inline ToolRun Zorvikan(const std::string& args, const std::string& input = {}) {
    std::vector<std::string> argv = {ZV_TOOL_PATH};
    for (std::string& w : Words(args))
        argv.push_back(std::move(w));
    Child child(argv);
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
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace tool_test
