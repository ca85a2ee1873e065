// The module's string table as a host reaches it: generated from dialogs/ZORVIKAN.rc, carried by
// the loaded module, and found by the module's handle or through the resource chain of the
// framework's runtime. Also the runtime's own rules and the generator's refusals.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

#include "mfc/Afx.h"
#include "mfc/AfxImage.h"
#include "mfc/CString.h"
#include "tool_support.h"

namespace {

// Texts of each shape: the first and the last, after gaps, a leading blank, line breaks. The tool
// tests see the others through the tool's output.
struct Text {
    UINT id;
    const char* text;
};
constexpr Text kTable[] = {
    {57001, "Unknown device code"},
    {57006, "Network number out of range"},
    {57010, "Segment out of range"},
    {57016, "Invalid network number format"},
    {57021, "Unexpected error"},
    {57030, "\r\n-\r\n"},
    {57033, " CH"},
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
        EXPECT_EQ(LoadString(instance, t.id, buffer, sizeof buffer),
                  static_cast<int>(std::strlen(t.text)))
            << t.id;
        EXPECT_STREQ(buffer, t.text) << t.id;
    }
    // Ids between and beside the table's give an empty text.
    for (const UINT id : {0u, 57000u, 57004u, 57046u, 57049u, 65535u}) {
        char buffer[8] = "x";
        EXPECT_EQ(LoadString(instance, id, buffer, sizeof buffer), 0) << id;
        EXPECT_STREQ(buffer, "") << id;
    }
    // What fits is copied and terminated; no room, no copy.
    for (const auto& [size, text] : {std::pair{1, ""}, {2, "B"}, {3, "Bi"}, {4, "Bit"}}) {
        char buffer[8] = "xxxxxxx";
        EXPECT_EQ(LoadString(instance, 57031, buffer, size), static_cast<int>(std::strlen(text)))
            << size;
        EXPECT_STREQ(buffer, text) << size;
    }
    char untouched[2] = "x";
    EXPECT_EQ(LoadString(instance, 57031, untouched, 0), 0);
    EXPECT_STREQ(untouched, "x");
    EXPECT_EQ(LoadString(instance, 57031, nullptr, 8), 0);
}

// Resources of the test program itself, under a handle of its own.
constexpr AFX_STRING_RESOURCE kOwnStrings[] = {{57002, "own text", 8}, {60000, "only here", 9}};
constexpr AFX_RESOURCE_IMAGE kOwnImage = {kOwnStrings, 2};

// Loading links the module into the chain, unloading unlinks it. The current handle is searched
// first, then libraries newest first, then system ones.
TEST(ZorvikanResources, TheResourceChain) {
    EXPECT_EQ(AfxFindStringResourceHandle(57002), nullptr);
    LoadedModule module;
    ASSERT_TRUE(module.Loaded());
    EXPECT_EQ(AfxFindStringResourceHandle(57002), module.Instance());
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

    module.Unload();
    EXPECT_EQ(AfxFindStringResourceHandle(57002), nullptr);
    EXPECT_FALSE(text.LoadString(57003));
    EXPECT_EQ(text, "Device number out of range");  // unchanged on failure
}

// The generator reads escapes and skips dialogs, and refuses what it cannot read faithfully,
// naming the line.
TEST(ZorvikanResources, GeneratorReadsWhatItCanAndRefusesTheRest) {
    const std::tuple<std::string, int, const char*> cases[] = {
        // Accepted: a piece of the generated table.
        {"STRINGTABLE\nBEGIN\n 1, \"a\"\"b\\x41\\101\\t\"\nEND\n", 0, "\"a\\\"bAA\\011\""},
        {"#define IDD_X 5\nIDD_X DIALOGEX 0,0,10,10\nCAPTION \"x\"\nBEGIN\n PUSHBUTTON "
         "\"OK\",1,2,3,4,5\nEND\nSTRINGTABLE { 2 \"two\" }\n",
         0, "{2u, \"two\", 3}"},
        // Refused: the message.
        {"STRINGTABLE\nBEGIN\n 1 \"open\nEND\n", 1, "script.rc:3: unterminated text"},
        {"STRINGTABLE\nBEGIN\n IDS_NONE \"x\"\nEND\n", 1, "script.rc:3: unknown id IDS_NONE"},
        {"STRINGTABLE\nBEGIN\n 1 \"x\"\n 0x1 \"y\"\nEND\n", 1, "script.rc:4: string id 1"},
        {"STRINGTABLE\nBEGIN\n 1 \"\"\nEND\n", 1, "empty text"},
        {"STRINGTABLE\nBEGIN\n 1 \"\\q\"\nEND\n", 1, "unsupported escape \\q"},
        {"#ifdef X\nSTRINGTABLE { 1 \"x\" }\n#endif\n", 1,
         "script.rc:1: unsupported directive #ifdef"},
        {"STRINGTABLE { 70000 \"x\" }\n", 1, "not a 16-bit id"},
        {"LANGUAGE 9, 1\n", 1, "no string table"},
    };
    for (const auto& [script, status, says] : cases) {
        const std::string out = tool_test::Scratch("out.cpp");
        std::remove(out.c_str());
        tool_test::Child child(
            {ZV_RC2CPP_PATH, tool_test::WriteFile("script.rc", script), out, "kImage"});
        const tool_test::ToolRun run = child.Finish();
        EXPECT_EQ(run.status, status) << script << run.err;
        const std::string said = status == 0 ? tool_test::ReadFile(out) : run.err;
        EXPECT_NE(said.find(says), std::string::npos) << script << "\n" << said;
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
