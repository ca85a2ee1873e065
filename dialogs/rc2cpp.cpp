// rc2cpp: turns the string table of a resource script into the C++ resource image that a portable
// build compiles into the module, so that the script stays the one source of the texts.
//
//     rc2cpp SCRIPT.rc OUTPUT.cpp SYMBOL
//
// It reads the subset of the resource-script language that the module's script uses:
// `#include "file"` and `#define NAME value` (angle-bracket includes name the resource
// compiler's own headers and are skipped), `LANGUAGE`, and `STRINGTABLE` blocks whose entries
// are `ID[,] "text"` with the resource compiler's escapes (\n \r \t \a \\ \" \xHH \ooo and ""
// for a quote). Dialog, menu and similar resources are skipped whole. Anything else, conditional
// directives included, is refused with the line it stands on, rather than misread.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ScriptError : public std::runtime_error {
public:
    ScriptError(const fs::path& file, int line, const std::string& what)
        : std::runtime_error(file.string() + ":" + std::to_string(line) + ": " + what) {}
};

enum class Kind { Name, Number, Text, Punct };

struct Token {
    Kind kind;
    std::string text;  // the decoded text of a Text token
    int line;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Script {
public:
    void Read(const fs::path& path, bool statements) {
        const std::string text = ReadFile(path);
        std::istringstream lines(text);
        std::string line;
        std::string body;  // directive lines blanked, so token lines stay true
        for (int number = 1; std::getline(lines, line); ++number) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto first = line.find_first_not_of(" \t");
            if (first != std::string::npos && line[first] == '#') {
                Directive(path, number, line.substr(first + 1));
                line.clear();
            }
            body += line;
            body += '\n';
        }
        if (statements) Tokenize(path, body);
    }

    std::map<unsigned, std::string> StringTable() {
        std::map<unsigned, std::string> table;
        std::size_t at = 0;
        while (at < mTokens.size()) {
            const Token& t = mTokens[at];
            if (t.kind == Kind::Name && t.text == "LANGUAGE") {
                at = SkipLanguage(at + 1);
            } else if (t.kind == Kind::Name && t.text == "STRINGTABLE") {
                at = ReadStringTable(at + 1, table);
            } else {
                at = SkipResource(at);
            }
        }
        return table;
    }

private:
    void Directive(const fs::path& path, int line, const std::string& text) {
        std::istringstream words(text);
        std::string name;
        words >> name;
        if (name == "include") {
            std::string target;
            words >> std::ws;
            std::getline(words, target);
            while (!target.empty() && std::isspace(static_cast<unsigned char>(target.back())))
                target.pop_back();
            if (target.size() >= 2 && target.front() == '<' && target.back() == '>') return;
            if (target.size() < 2 || target.front() != '"' || target.back() != '"')
                throw ScriptError(path, line, "malformed #include");
            Read(path.parent_path() / target.substr(1, target.size() - 2), false);
        } else if (name == "define") {
            std::string macro, value;
            words >> macro >> std::ws;
            std::getline(words, value);
            if (macro.empty() || macro.find('(') != std::string::npos)
                throw ScriptError(path, line, "only object-like #define is supported");
            mDefines[macro] = {value, path, line};
        } else if (name == "undef") {
            std::string macro;
            words >> macro;
            mDefines.erase(macro);
        } else if (name != "pragma") {
            throw ScriptError(path, line, "unsupported directive #" + name);
        }
    }

    void Tokenize(const fs::path& path, const std::string& s) {
        mPath = path;
        int line = 1;
        std::size_t i = 0;
        while (i < s.size()) {
            const char c = s[i];
            if (c == '\n') {
                ++line;
                ++i;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (s.compare(i, 2, "//") == 0) {
                i = s.find('\n', i);
                if (i == std::string::npos) i = s.size();
            } else if (s.compare(i, 2, "/*") == 0) {
                const auto end = s.find("*/", i + 2);
                if (end == std::string::npos) throw ScriptError(path, line, "unterminated comment");
                line += static_cast<int>(std::count(s.begin() + static_cast<long>(i),
                                                    s.begin() + static_cast<long>(end), '\n'));
                i = end + 2;
            } else if (c == '"') {
                mTokens.push_back({Kind::Text, ReadText(s, i, line), line});
            } else if (IsNameStart(c)) {
                const std::size_t start = i;
                while (i < s.size() && IsNameChar(s[i]))
                    ++i;
                mTokens.push_back({Kind::Name, s.substr(start, i - start), line});
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                const std::size_t start = i;
                while (i < s.size() && IsNameChar(s[i]))
                    ++i;
                mTokens.push_back({Kind::Number, s.substr(start, i - start), line});
            } else {
                mTokens.push_back({Kind::Punct, std::string(1, c), line});
                ++i;
            }
        }
    }

    // A quoted text at s[i] == '"'; leaves i behind the closing quote.
    std::string ReadText(const std::string& s, std::size_t& i, int line) const {
        std::string text;
        ++i;
        for (;;) {
            if (i >= s.size() || s[i] == '\n') throw ScriptError(mPath, line, "unterminated text");
            const char c = s[i++];
            if (c == '"') {
                if (i < s.size() && s[i] == '"') {
                    text += '"';
                    ++i;
                    continue;
                }
                return text;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (i >= s.size()) throw ScriptError(mPath, line, "unterminated text");
            const char e = s[i++];
            switch (e) {
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case 't':
                    text += '\t';
                    break;
                case 'a':
                    text += '\a';
                    break;
                case '\\':
                    text += '\\';
                    break;
                case '"':
                    text += '"';
                    break;
                case 'x':
                case 'X': {
                    int value = 0, digits = 0;
                    while (digits < 2 && i < s.size() && HexValue(s[i]) >= 0) {
                        value = value * 16 + HexValue(s[i++]);
                        ++digits;
                    }
                    if (digits == 0) throw ScriptError(mPath, line, "\\x without hex digits");
                    text += static_cast<char>(value);
                    break;
                }
                default:
                    if (e < '0' || e > '7')
                        throw ScriptError(mPath, line, std::string("unsupported escape \\") + e);
                    int value = e - '0', digits = 1;
                    while (digits < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7') {
                        value = value * 8 + (s[i++] - '0');
                        ++digits;
                    }
                    text += static_cast<char>(value & 0xFF);
            }
        }
    }

    const Token& At(std::size_t at, const char* expecting) const {
        if (at >= mTokens.size()) {
            const int line = mTokens.empty() ? 1 : mTokens.back().line;
            throw ScriptError(mPath, line, std::string("unexpected end, expecting ") + expecting);
        }
        return mTokens[at];
    }

    static bool Opens(const Token& t) {
        return (t.kind == Kind::Name && t.text == "BEGIN") ||
               (t.kind == Kind::Punct && t.text == "{");
    }
    static bool Closes(const Token& t) {
        return (t.kind == Kind::Name && t.text == "END") ||
               (t.kind == Kind::Punct && t.text == "}");
    }

    std::size_t SkipLanguage(std::size_t at) const {
        At(at, "a language");
        if (At(at + 1, "','").text != ",")
            throw ScriptError(mPath, mTokens[at].line, "malformed LANGUAGE");
        At(at + 2, "a sublanguage");
        return at + 3;
    }

    std::size_t ReadStringTable(std::size_t at, std::map<unsigned, std::string>& table) const {
        while (!Opens(At(at, "BEGIN")))
            ++at;  // optional statements of the table
        ++at;
        while (!Closes(At(at, "END"))) {
            const Token& id = mTokens[at++];
            if (id.kind != Kind::Name && id.kind != Kind::Number)
                throw ScriptError(mPath, id.line, "expected a string id, found '" + id.text + "'");
            if (At(at, "a text").text == "," && mTokens[at].kind == Kind::Punct) ++at;
            const Token& text = At(at++, "a text");
            if (text.kind != Kind::Text)
                throw ScriptError(mPath, text.line, "expected a quoted text for " + id.text);
            if (text.text.empty())
                throw ScriptError(
                    mPath, text.line,
                    "empty text for " + id.text + " (it could not be told from a missing one)");
            const unsigned value = Resolve(id.text, id.line, 0);
            if (value > 0xFFFF) throw ScriptError(mPath, id.line, id.text + " is not a 16-bit id");
            if (!table.emplace(value, text.text).second)
                throw ScriptError(
                    mPath, id.line,
                    "string id " + std::to_string(value) + " (" + id.text + ") is defined twice");
        }
        return at + 1;
    }

    std::size_t SkipResource(std::size_t at) const {
        static const std::set<std::string> kBlocks = {"DIALOG",  "DIALOGEX",     "MENU",
                                                      "MENUEX",  "ACCELERATORS", "VERSIONINFO",
                                                      "TOOLBAR", "DESIGNINFO",   "DLGINIT"};
        static const std::set<std::string> kFiles = {"ICON", "BITMAP", "CURSOR", "FONT", "HTML"};
        const Token& name = mTokens[at];
        const Token& type = At(at + 1, "a resource type");
        if (name.kind == Kind::Punct || type.kind != Kind::Name)
            throw ScriptError(mPath, name.line, "unsupported statement '" + name.text + "'");
        if (kFiles.count(type.text) != 0) {
            if (At(at + 2, "a file name").kind != Kind::Text)
                throw ScriptError(mPath, type.line, type.text + " without a file name");
            return at + 3;
        }
        if (kBlocks.count(type.text) == 0)
            throw ScriptError(mPath, name.line, "unsupported resource type " + type.text);
        at += 2;
        while (!Opens(At(at, "BEGIN")))
            ++at;
        for (int depth = 0;; ++at) {
            const Token& t = At(at, "END");
            if (Opens(t)) ++depth;
            if (Closes(t) && --depth == 0) return at + 1;
        }
    }

    unsigned Resolve(const std::string& text, int line, int depth) const {
        if (depth > 16) throw ScriptError(mPath, line, "#define chain too deep at " + text);
        std::string value = text;
        value.erase(
            std::remove_if(value.begin(), value.end(),
                           [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
            value.end());
        while (value.size() >= 2 && value.front() == '(' && value.back() == ')')
            value = value.substr(1, value.size() - 2);
        if (!value.empty() && IsNameStart(value[0])) {
            const auto define = mDefines.find(value);
            if (define == mDefines.end()) throw ScriptError(mPath, line, "unknown id " + value);
            return Resolve(define->second.value, define->second.line, depth + 1);
        }
        std::size_t used = 0;
        unsigned long number = 0;
        try {
            number = std::stoul(value, &used, 0);
        } catch (const std::exception&) {
            used = 0;
        }
        while (used < value.size() && (value[used] == 'L' || value[used] == 'l' ||
                                       value[used] == 'U' || value[used] == 'u'))
            ++used;
        if (value.empty() || used != value.size())
            throw ScriptError(mPath, line, "not a number: '" + text + "'");
        return static_cast<unsigned>(std::min<unsigned long>(number, 0x10000));
    }

    struct Define {
        std::string value;
        fs::path file;
        int line;
    };
    std::map<std::string, Define> mDefines;
    std::vector<Token> mTokens;
    fs::path mPath;
};

// A C++ literal that holds exactly these bytes: octal escapes have at most three digits, so
// a digit that follows one cannot join it.
std::string Literal(const std::string& bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", u);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string Generate(const std::map<unsigned, std::string>& table, const fs::path& script,
                     const std::string& symbol) {
    std::ostringstream out;
    out << "// Generated by rc2cpp from " << script.filename().string()
        << "; edit the resource script, not this file.\n"
        << "#include \"mfc/AfxImage.h\"\n\n"
        << "namespace {\n\n"
        << "constexpr AFX_STRING_RESOURCE kStrings[] = {\n";
    for (const auto& [id, text] : table)
        out << "    {" << id << "u, " << Literal(text) << ", " << text.size() << "},\n";
    out << "};\n\n"
        << "}  // namespace\n\n"
        << "extern constinit const AFX_RESOURCE_IMAGE " << symbol << ";\n"
        << "constinit const AFX_RESOURCE_IMAGE " << symbol << " = {kStrings, " << table.size()
        << "};\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: rc2cpp SCRIPT.rc OUTPUT.cpp SYMBOL\n";
        return 2;
    }
    try {
        Script script;
        script.Read(argv[1], true);
        const auto table = script.StringTable();
        if (table.empty()) throw std::runtime_error(std::string(argv[1]) + ": no string table");
        const std::string code = Generate(table, argv[1], argv[3]);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out << code;
        out.close();
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "rc2cpp: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
