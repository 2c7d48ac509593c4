// A data source on the real clipboard, read by another process the way a
// target program pastes (the clip_reader stand-in), and the clipboard read
// back through COleDataObject. Delayed formats must be rendered when a reader
// asks, once per format, and never before.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/framework/gui/OleTestSupport.h"

using namespace oletest;

namespace {

const DWORD kReaderTimeout = 15000;

// Runs clip_reader.exe with the items, pumping messages meanwhile (the system
// asks this thread for delayed data), and returns its output lines.
std::vector<std::string> RunReader(const std::vector<std::string>& items)
{
    std::vector<std::string> lines;
    char dir[MAX_PATH], out[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "clr", 0, out)) {
        ADD_FAILURE() << "no temporary file";
        return lines;
    }
    std::string exe = std::string(TVNX_BINARY_DIR) + "\\tests\\standins\\clip_reader.exe";
    std::string cmd = "\"" + exe + "\" \"" + out + "\"";
    for (const std::string& item : items)
        cmd += " \"" + item + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmdLine(cmd.begin(), cmd.end());
    cmdLine.push_back('\0');
    if (!CreateProcessA(exe.c_str(), cmdLine.data(), NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << exe << " (error " << GetLastError() << ")";
        DeleteFileA(out);
        return lines;
    }
    bool ended = PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, kReaderTimeout);
    if (!ended) {
        ADD_FAILURE() << "the clipboard reader did not finish in time: " << cmd;
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (FILE* f = fopen(out, "r")) {
        char line[8192];
        while (fgets(line, sizeof(line), f)) {
            std::string s(line);
            while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
                s.pop_back();
            lines.push_back(s);
        }
        fclose(f);
    }
    DeleteFileA(out);
    return lines;
}

std::string DataLine(const char* name, const std::string& bytes)
{
    return std::string(name) + " data " + Hex(bytes);
}

class OleClipboardTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ole.Ok());
        cfA = RegisterClipboardFormatA(kA);
        cfB = RegisterClipboardFormatA(kB);
        cfCached = RegisterClipboardFormatA(kCached);
    }
    void TearDown() override
    {
        // Emptying the clipboard lets the data source go without rendering.
        OleSetClipboard(NULL);
    }

    static constexpr const char* kA = "TvnxTest Delayed A";
    static constexpr const char* kB = "TvnxTest Delayed B";
    static constexpr const char* kCached = "TvnxTest Cached";
    OleThread ole;
    UINT cfA = 0, cfB = 0, cfCached = 0;
    RenderPlan plan;
};

TEST_F(OleClipboardTest, DelayedFormatsAreRenderedWhenAnotherProcessReadsThem)
{
    const std::string alpha("alpha payload\0", 14);
    const std::string beta = "beta";
    const std::string cached = "cached bytes";
    plan.payloads[cfA] = alpha;
    plan.payloads[cfB] = beta;
    PlannedSource* source = new PlannedSource(&plan);
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfA));
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfB));
    source->CacheGlobalData(static_cast<CLIPFORMAT>(cfCached), MakeBlock(cached));
    ASSERT_TRUE(source->SetClipboard());
    EXPECT_EQ(plan.renders[cfA] + plan.renders[cfB], 0) << "rendered while being offered";

    // Asking whether a format is there renders nothing.
    std::vector<std::string> offered = RunReader({std::string("?") + kA, std::string("?") + kB,
                                                  std::string("?") + kCached});
    EXPECT_EQ(offered, (std::vector<std::string>{std::string(kA) + " offered", std::string(kB) + " offered",
                                                 std::string(kCached) + " offered"}));
    EXPECT_EQ(plan.renders[cfA] + plan.renders[cfB], 0) << "rendered for a question";

    // A read renders that format once; the system keeps what it got.
    std::vector<std::string> read = RunReader({kA, kA, kCached});
    EXPECT_EQ(read, (std::vector<std::string>{DataLine(kA, alpha), DataLine(kA, alpha), DataLine(kCached, cached)}));
    EXPECT_EQ(plan.renders[cfA], 1);
    EXPECT_EQ(plan.renders[cfB], 0);

    read = RunReader({kB, kA});
    EXPECT_EQ(read, (std::vector<std::string>{DataLine(kB, beta), DataLine(kA, alpha)}));
    EXPECT_EQ(plan.renders[cfA], 1);
    EXPECT_EQ(plan.renders[cfB], 1);

    // Replacing the clipboard releases the source, with nothing rendered on the way.
    ASSERT_EQ(OleSetClipboard(NULL), S_OK);
    EXPECT_EQ(plan.destroyed, 1);
    EXPECT_EQ(plan.renders[cfA], 1);
    EXPECT_EQ(plan.renders[cfB], 1);
}

TEST_F(OleClipboardTest, UnicodeTextAskedOfDelayedAnsiTextRendersItOnce)
{
    // Most programs paste CF_UNICODETEXT; the system makes it from the
    // delayed CF_TEXT, which it asks for once.
    plan.payloads[CF_TEXT] = std::string("smile\0", 6);
    PlannedSource* source = new PlannedSource(&plan);
    source->DelayRenderData(CF_TEXT);
    ASSERT_TRUE(source->SetClipboard());
    const std::string wide("s\0m\0i\0l\0e\0\0\0", 12);
    EXPECT_EQ(RunReader({"#13", "#1", "#13"}),
              (std::vector<std::string>{"#13 data " + Hex(wide), "#1 data " + Hex(std::string("smile\0", 6)),
                                        "#13 data " + Hex(wide)}));
    EXPECT_EQ(plan.renders[CF_TEXT], 1);
}

TEST_F(OleClipboardTest, ARefusedFormatStaysOfferedAndIsAskedAgain)
{
    PlannedSource* source = new PlannedSource(&plan);  // renders nothing: every request is refused
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfA));
    ASSERT_TRUE(source->SetClipboard());

    EXPECT_EQ(RunReader({kA}), (std::vector<std::string>{std::string(kA) + " none"}));
    EXPECT_EQ(plan.renders[cfA], 1);
    EXPECT_EQ(RunReader({std::string("?") + kA, kA}),
              (std::vector<std::string>{std::string(kA) + " offered", std::string(kA) + " none"}));
    EXPECT_EQ(plan.renders[cfA], 2);
}

TEST_F(OleClipboardTest, DataObjectReadsTheClipboard)
{
    // Our own source on the clipboard: availability renders nothing, a read renders.
    plan.payloads[cfA] = "alpha";
    PlannedSource* source = new PlannedSource(&plan);
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfA));
    source->CacheGlobalData(CF_TEXT, MakeBlock(std::string("our text\0", 9)));
    ASSERT_TRUE(source->SetClipboard());
    {
        COleDataObject clipboard;
        ASSERT_TRUE(clipboard.AttachClipboard());
        EXPECT_TRUE(clipboard.IsDataAvailable(static_cast<CLIPFORMAT>(cfA)));
        EXPECT_TRUE(clipboard.IsDataAvailable(CF_TEXT));
        EXPECT_FALSE(clipboard.IsDataAvailable(static_cast<CLIPFORMAT>(cfB)));
        EXPECT_EQ(plan.renders[cfA], 0);
        HGLOBAL got = clipboard.GetGlobalData(static_cast<CLIPFORMAT>(cfA));
        EXPECT_EQ(BytesOf(got), "alpha");
        GlobalFree(got);
        EXPECT_EQ(plan.renders[cfA], 1);
        got = clipboard.GetGlobalData(CF_TEXT);
        EXPECT_STREQ(BytesOf(got).c_str(), "our text");
        GlobalFree(got);
        EXPECT_TRUE(clipboard.GetGlobalData(static_cast<CLIPFORMAT>(cfB)) == NULL);
    }

    // Plain clipboard text put there without OLE, as other programs do.
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    HGLOBAL text = MakeBlock(std::string("plain text\0", 11));
    ASSERT_TRUE(SetClipboardData(CF_TEXT, text) != NULL);
    CloseClipboard();
    EXPECT_EQ(plan.destroyed, 1);
    COleDataObject clipboard;
    ASSERT_TRUE(clipboard.AttachClipboard());
    EXPECT_TRUE(clipboard.IsDataAvailable(CF_TEXT));
    EXPECT_FALSE(clipboard.IsDataAvailable(static_cast<CLIPFORMAT>(cfA)));
    HGLOBAL got = clipboard.GetGlobalData(CF_TEXT);
    EXPECT_STREQ(BytesOf(got).c_str(), "plain text");
    GlobalFree(got);
    bool listed = false;
    clipboard.BeginEnumFormats();
    FORMATETC f;
    while (clipboard.GetNextFormat(&f)) {
        listed = listed || f.cfFormat == CF_TEXT;
        CoTaskMemFree(f.ptd);
    }
    EXPECT_TRUE(listed);
}

}  // namespace
