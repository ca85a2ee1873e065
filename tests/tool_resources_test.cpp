// The module's string table as a host reaches it: generated from dialogs/ZORVIKAN.rc, carried by
// the loaded module, and found by the module's handle or through the resource chain of the
// framework's runtime. Also the runtime's own rules and the generator's refusals.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "mfc/Afx.h"
#include "mfc/AfxImage.h"
#include "mfc/CString.h"
#include "tool_support.h"

namespace {

struct Text {
    UINT id;
    const char* text;
};

// Every text of the table, exactly.
constexpr Text kTable[] = {
    {57001, "Unknown device code"},
    {57002, "Device number out of range"},
    {57003, "Bit position out of range"},
    {57006, "Network number out of range"},
    {57007, "Station number out of range"},
    {57009, "Device number cross range"},
    {57010, "Segment out of range"},
    {57011, "Invalid device name"},
    {57012, "Invalid device format"},
    {57013, "Invalid bit position format"},
    {57016, "Invalid network number format"},
    {57017, "Invalid station number format"},
    {57019, "Invalid device number"},
    {57020, "Invalid device type"},
    {57021, "Unexpected error"},
    {57022, " <Specification:Bit>"},
    {57023, " <Specification:16bit Signed BIN>"},
    {57024, " <Specification:16bit Unsigned BIN>"},
    {57025, " <Specification:16bit BCD>"},
    {57026, " <Specification:32bit Signed BIN>"},
    {57027, " <Specification:32bit Unsigned BIN>"},
    {57028, " <Specification:32bit BCD>"},
    {57029, " <Specification:Real>"},
    {57030, "\r\n-\r\n"},
    {57031, "Bit"},
    {57032, "Word"},
    {57033, " CH"},
    {57034, " YASKAWA GL/PROGIC8"},
    {57035, " YASKAWA CP9200(H)"},
    {57036, " YASKAWA CP9300MS(MC compatible)"},
    {57047, " YASKAWA CP9200SH/MP900"},
    {57048, " YASKAWA MP2000/MP900"},
};

class LoadedModule {
public:
    LoadedModule() : mHandle(dlopen(ZV_MODULE_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedModule() { Unload(); }
    void Unload() {
        if (mHandle != nullptr) dlclose(mHandle);
        mHandle = nullptr;
    }
    HINSTANCE Instance() const { return AfxImageHandleOf(dlsym(mHandle, "CreatePlc")); }
    bool Loaded() const { return mHandle != nullptr; }

private:
    void* mHandle;
};

TEST(ZorvikanResources, TheModuleCarriesTheStringTableByItsHandle) {
    LoadedModule module;
    ASSERT_TRUE(module.Loaded()) << dlerror();
    HINSTANCE const instance = module.Instance();
    ASSERT_NE(instance, nullptr);
    for (const Text& t : kTable) {
        char buffer[128];
        const int length = LoadString(instance, t.id, buffer, sizeof buffer);
        EXPECT_EQ(length, static_cast<int>(std::strlen(t.text))) << t.id;
        EXPECT_STREQ(buffer, t.text) << t.id;
    }
    // Ids between and beside the table's.
    for (const UINT id : {0u, 57000u, 57004u, 57046u, 57049u, 65535u}) {
        char buffer[8] = "x";
        EXPECT_EQ(LoadString(instance, id, buffer, sizeof buffer), 0) << id;
        EXPECT_STREQ(buffer, "") << id;
    }
}

TEST(ZorvikanResources, LoadStringCopiesWhatFitsAndTerminatesIt) {
    LoadedModule module;
    ASSERT_TRUE(module.Loaded());
    struct Case {
        int size;
        int length;
        const char* text;
    };
    const Case cases[] = {{1, 0, ""}, {4, 3, "Bit"}, {3, 2, "Bi"}, {2, 1, "B"}};
    for (const Case& c : cases) {
        char buffer[8] = "xxxxxxx";
        EXPECT_EQ(LoadString(module.Instance(), 57031, buffer, c.size), c.length) << c.size;
        EXPECT_STREQ(buffer, c.text) << c.size;
    }
    char untouched[2] = "x";
    EXPECT_EQ(LoadString(module.Instance(), 57031, untouched, 0), 0);
    EXPECT_STREQ(untouched, "x");
    EXPECT_EQ(LoadString(module.Instance(), 57031, nullptr, 8), 0);
}

TEST(ZorvikanResources, LoadingLinksTheModuleIntoTheChainAndUnloadingUnlinksIt) {
    EXPECT_EQ(AfxFindStringResourceHandle(57002), nullptr);
    LoadedModule module;
    ASSERT_TRUE(module.Loaded());
    EXPECT_EQ(AfxFindStringResourceHandle(57002), module.Instance());
    CString text("before");
    EXPECT_TRUE(text.LoadString(57002));
    EXPECT_EQ(text, "Device number out of range");

    module.Unload();
    EXPECT_EQ(AfxFindStringResourceHandle(57002), nullptr);
    EXPECT_FALSE(text.LoadString(57003));
    EXPECT_EQ(text, "Device number out of range");  // unchanged on failure
}

// Resources of the test program itself, under a handle of its own.
constexpr AFX_STRING_RESOURCE kOwnStrings[] = {{57002, "own text", 8}, {60000, "only here", 9}};
constexpr AFX_RESOURCE_IMAGE kOwnImage = {kOwnStrings, 2};

TEST(ZorvikanResources, CurrentHandleFirstThenLibrariesNewestFirstThenSystemOnes) {
    LoadedModule module;
    ASSERT_TRUE(module.Loaded());
    static char anchorA, anchorB;
    const auto own = reinterpret_cast<HINSTANCE>(&anchorA);
    const auto system = reinterpret_cast<HINSTANCE>(&anchorB);
    ASSERT_TRUE(AfxMapImageResources(own, &kOwnImage));
    ASSERT_TRUE(AfxMapImageResources(system, &kOwnImage));

    CString text;
    AfxSetResourceHandle(own);
    EXPECT_TRUE(text.LoadString(57002));
    EXPECT_EQ(text, "own text");
    AfxSetResourceHandle(nullptr);
    EXPECT_TRUE(text.LoadString(57002));
    EXPECT_EQ(text, "Device number out of range");

    // A system library is searched after the module even when linked later; a newer
    // non-system one comes first.
    AFX_EXTENSION_MODULE systemState = {};
    ASSERT_TRUE(AfxInitExtensionModule(systemState, system));
    new CDynLinkLibrary(systemState, TRUE);
    EXPECT_EQ(AfxFindStringResourceHandle(57002), module.Instance());
    EXPECT_EQ(AfxFindStringResourceHandle(60000), system);

    AFX_EXTENSION_MODULE ownState = {};
    ASSERT_TRUE(AfxInitExtensionModule(ownState, own));
    new CDynLinkLibrary(ownState);
    EXPECT_EQ(AfxFindStringResourceHandle(57002), own);

    AfxTermExtensionModule(ownState);
    EXPECT_EQ(AfxFindStringResourceHandle(57002), module.Instance());
    AfxTermExtensionModule(systemState);
    EXPECT_EQ(AfxFindStringResourceHandle(60000), nullptr);
    AfxUnmapImageResources(own);
    AfxUnmapImageResources(system);

    AFX_EXTENSION_MODULE none = {};
    EXPECT_FALSE(AfxInitExtensionModule(none, nullptr));
    EXPECT_FALSE(AfxMapImageResources(own, nullptr));
}

// The generator refuses what it cannot read faithfully, naming the line.
TEST(ZorvikanResources, GeneratorRefusesWhatItCannotRead) {
    struct Case {
        const char* name;
        std::string script;
        const char* says;  // null: accepted
        const char* literal;
    };
    const Case cases[] = {
        {"escapes", "STRINGTABLE\nBEGIN\n 1, \"a\"\"b\\x41\\101\\t\"\nEND\n", nullptr,
         "\"a\\\"bAA\\011\""},
        {"dialog blocks are skipped",
         "#define IDD_X 5\nIDD_X DIALOGEX 0,0,10,10\nCAPTION \"x\"\nBEGIN\n PUSHBUTTON "
         "\"OK\",1,2,3,4,5\nEND\n"
         "STRINGTABLE { 2 \"two\" }\n",
         nullptr, "{2u, \"two\", 3}"},
        {"unterminated text", "STRINGTABLE\nBEGIN\n 1 \"open\nEND\n",
         "script.rc:3: unterminated text", nullptr},
        {"unknown id", "STRINGTABLE\nBEGIN\n IDS_NONE \"x\"\nEND\n",
         "script.rc:3: unknown id IDS_NONE", nullptr},
        {"twice", "STRINGTABLE\nBEGIN\n 1 \"x\"\n 0x1 \"y\"\nEND\n", "script.rc:4: string id 1",
         nullptr},
        {"empty text", "STRINGTABLE\nBEGIN\n 1 \"\"\nEND\n", "empty text", nullptr},
        {"escape", "STRINGTABLE\nBEGIN\n 1 \"\\q\"\nEND\n", "unsupported escape \\q", nullptr},
        {"conditional", "#ifdef X\nSTRINGTABLE { 1 \"x\" }\n#endif\n",
         "script.rc:1: unsupported directive #ifdef", nullptr},
        {"16 bits", "STRINGTABLE { 70000 \"x\" }\n", "not a 16-bit id", nullptr},
        {"no table", "LANGUAGE 9, 1\n", "no string table", nullptr},
    };
    for (const Case& c : cases) {
        const std::string script = tool_test::WriteFile("script.rc", c.script);
        const std::string out = tool_test::Scratch("out.cpp");
        std::remove(out.c_str());
        tool_test::Child child({ZV_RC2CPP_PATH, script, out, "kImage"});
        const tool_test::ToolRun run = child.Finish();
        if (c.says == nullptr) {
            EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
            EXPECT_NE(tool_test::ReadFile(out).find(c.literal), std::string::npos)
                << c.name << "\n"
                << tool_test::ReadFile(out);
        } else {
            EXPECT_EQ(run.status, 1) << c.name;
            EXPECT_NE(run.err.find(c.says), std::string::npos) << c.name << ": " << run.err;
        }
    }
}

// The tool carries none of the module's texts: whatever it prints, it loaded from the module.
TEST(ZorvikanResources, TheToolHasNoCopyOfTheTexts) {
    const std::string tool = tool_test::ReadFile(ZV_TOOL_PATH);
    ASSERT_FALSE(tool.empty());
    for (const char* text : {"Device number cross range", " YASKAWA CP9300MS(MC compatible)"})
        EXPECT_EQ(tool.find(text), std::string::npos) << text;
    EXPECT_NE(tool_test::ReadFile(ZV_MODULE_PATH).find("Device number cross range"),
              std::string::npos);
}

}  // namespace
