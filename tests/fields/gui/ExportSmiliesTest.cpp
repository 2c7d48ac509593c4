// Export of smilies into temporary folders, the save and folder dialogs and
// every question answered through the test seam: names (rename, numbered
// fallbacks, unique names), the modes and their pages (addresses, sizes,
// escaping, the code page), the overwrite answers, failed writes, stops and
// paths past MAX_PATH.
#include "fields/ExportSmilies.h"

#include "framework/ModalAnswerer.h"
#include "tests/fields/gui/FieldTestKit.h"
#include "tests/fields/gui/NamedPictures.h"
#include "tests/tools/NumberedLanguage.h"
#include "ui3d/dialogs/3DDirDialog.h"
#include "ui3d/dialogs/3DFileDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using fieldkit::FieldFixture;

// Answers the export's dialogs: the save dialog with a path and a filter,
// the folder dialog with a folder and a choice, and each message box with
// the next answer of the queue (Cancel when it is empty).
class ExportAnswerer : public CModalAnswerer
{
public:
    ExportAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~ExportAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        if (C3DDirDialog* pDir = dynamic_cast<C3DDirDialog*>(pDialog)) {
            folderTitles.push_back(pDir->m_strTitle.GetString());
            choices.push_back(pDir->m_strChoices.GetString());
            lstrcpynA(pDir->m_szPath, strFolder.c_str(), MAX_PATH);
            pDir->m_nChoice = nChoice;
        } else if (C3DFileDialog* pFile = dynamic_cast<C3DFileDialog*>(pDialog)) {
            OPENFILENAMEA& ofn = pFile->m_ofn;
            fileTitles.push_back(ofn.lpstrTitle != NULL ? ofn.lpstrTitle : "");
            fileFlags.push_back(ofn.Flags);
            proposals.push_back(ofn.lpstrFile != NULL ? ofn.lpstrFile : "");
            memset(ofn.lpstrFile, 0, ofn.nMaxFile);
            lstrcpynA(ofn.lpstrFile, strFile.c_str(), static_cast<int>(ofn.nMaxFile));
            ofn.nFilterIndex = static_cast<DWORD>(nFilter);
        }
        return nDialogAnswer;
    }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        C3DImgMessageBox* pBox = dynamic_cast<C3DImgMessageBox*>(pDialog);
        if (pBox == NULL)
            return -1;
        questions.push_back(pBox->m_strText.GetString());
        layouts.push_back(pBox->m_nLayout);
        if (answers.empty())
            return IDCANCEL;
        const int n = answers.front();
        answers.pop_front();
        return n;
    }

    INT_PTR nDialogAnswer = IDOK;
    std::string strFolder;  // the folder dialog's answer
    int nChoice = 0;
    std::string strFile;    // the save dialog's answer
    int nFilter = 1;
    std::deque<int> answers;
    std::vector<std::string> folderTitles, choices, fileTitles, proposals, questions;
    std::vector<int> layouts;
    std::vector<DWORD> fileFlags;

private:
    CModalAnswerer* m_pPrevious;
};

std::string ReadText(const std::string& strPath)
{
    const Bytes b = ReadBytes(strPath);
    return std::string(b.begin(), b.end());
}

// The names of the files of a folder, sorted.
std::set<std::string> FilesIn(const std::string& strDir)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strDir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

// The page address of a folder as a "file:///" address.
std::string FileAddress(std::string str)
{
    for (char& ch : str)
        ch = ch == ':' ? '|' : ch == '\\' ? '/' : ch;
    return "file:///" + str;
}

class ExportTest : public FieldFixture
{
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ::OleInitialize(NULL);
        m_pfnAttributes = g_pfnExportFileAttributes;
        m_language.Set(450, "Replace [FILENAME]?");
    }
    void TearDown() override
    {
        g_pfnExportFileAttributes = m_pfnAttributes;
        for (CSmilie* p : m_smilies)
            delete p;
        ::OleUninitialize();
        FieldFixture::TearDown();
    }
    const CSmilie* Picture(uint32_t nRecord, BYTE nCrop = 0)
    {
        CSmilie* p = new CSmilie;
        p->SetImage(nRecord);
        p->m_nCrop = nCrop;
        m_smilies.push_back(p);
        return p;
    }
    const CSmilie* Phrase(const char* pszText, const char* pszSource = NULL)
    {
        CSmilie* p = new CSmilie;
        p->SetPhrase(pszText, FALSE);
        if (pszSource != NULL)
            p->SetSource(pszSource);
        m_smilies.push_back(p);
        return p;
    }
    void Export(std::initializer_list<const CSmilie*> smilies, const char* pszFieldName = "")
    {
        CSequence<const CSmilie*> list;
        for (const CSmilie* p : smilies)
            list.Add(p);
        ExportSmilies(list, m_parent.Wnd(), pszFieldName);
    }
    std::string Folder() const { return m_out.Dir() + "\\"; }

    CNumberedLanguage m_language;
    TvnxTempDir m_out;
    std::vector<CSmilie*> m_smilies;
    DWORD(WINAPI* m_pfnAttributes)(LPCSTR) = NULL;
};

TEST_F(ExportTest, SeveralGoIntoTheChosenFolderUnderTheirOwnNames)
{
    NamedPictures pictures({{"grin.gif", 20, 15}, {"grin.gif", 16, 16}, {"wink.gif", 10, 10}});
    ASSERT_TRUE(pictures.IsOpen());
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    answerer.answers = {IDCHOICE3};
    // The fourth smilie's name is all characters a file name cannot hold;
    // an address smilie without picture is left out.
    Export({Picture(1), Picture(2), Phrase("hello", "http://127.0.0.1/x.gif"), Phrase("<>:\"/\\|x")});

    ASSERT_EQ(answerer.folderTitles.size(), 1u);
    EXPECT_EQ(answerer.folderTitles[0], "L454");
    EXPECT_EQ(answerer.choices[0], "L193|L219|L357");
    EXPECT_TRUE(answerer.questions.empty()) << "the second grin.gif is numbered without a question";
    EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"grin.gif", "grin-001.gif", "x.txt"}));
    EXPECT_EQ(ReadBytes(Folder() + "grin.gif"), pictures.BytesOf(1));
    EXPECT_EQ(ReadBytes(Folder() + "grin-001.gif"), pictures.BytesOf(2));
    EXPECT_EQ(ReadText(Folder() + "x.txt"), "<>:\"/\\|x");

    // Three copies of one picture are three files; nothing valid at all in
    // the first 8 characters of a phrase: named by its place.
    TvnxTempDir out2;
    answerer.strFolder = out2.Dir();
    answerer.nChoice = 1;
    Export({Picture(3), Picture(3), Picture(3), Phrase("<<>>::||rest")});
    EXPECT_TRUE(answerer.questions.empty());
    EXPECT_EQ(FilesIn(out2.Dir()), (std::set<std::string>{"wink.gif", "wink-001.gif", "wink-002.gif", "index.html"}));
    const std::string strPage = ReadText(out2.Path("index.html"));
    EXPECT_NE(strPage.find("<body><img src=\"wink.gif\" width=\"10\" height=\"10\">\n"
                           "<img src=\"wink-001.gif\" width=\"10\" height=\"10\">\n"
                           "<img src=\"wink-002.gif\" width=\"10\" height=\"10\">\n"
                           "&lt;&lt;&gt;&gt;::||rest\n</body>"),
              std::string::npos)
        << strPage;
    TvnxTempDir out3;
    answerer.strFolder = out3.Dir();
    answerer.nChoice = 0;
    Export({Picture(3), Phrase("<<>>::||rest"), Phrase("<<>>::||rest"), Phrase("<<>>::||rest")});
    EXPECT_TRUE(answerer.questions.empty());
    EXPECT_EQ(FilesIn(out3.Dir()), (std::set<std::string>{"wink.gif", "phrase0001.txt", "phrase0002.txt",
                                                          "phrase0003.txt"}));
}

// Only a file that was in the folder before the export is asked about; a
// name the export has used before is numbered without a question, also
// after an answer that renamed, kept or replaced the file there.
TEST_F(ExportTest, OnlyFilesThereBeforeAreAskedAbout)
{
    NamedPictures pictures({{"grin.gif", 20, 15}, {"grin.gif", 16, 16}, {"grin-001.gif", 10, 10}});
    ASSERT_TRUE(pictures.IsOpen());
    struct Row {
        const char* pszName;
        std::vector<int> answers;
        size_t nQuestions;
        std::set<std::string> files;
        std::string strOld;  // the file that was there: kept ("old") or replaced
        std::vector<uint32_t> written;  // the records in page order; 0 one that was kept out
    } rows[] = {
        {"replace", {IDYES}, 1, {"grin.gif", "grin-001.gif", "grin-001-001.gif", "index.html"}, "", {1, 2, 3}},
        {"replace all", {IDCHOICE1}, 1, {"grin.gif", "grin-001.gif", "grin-001-001.gif", "index.html"}, "",
         {1, 2, 3}},
        {"keep, then replace", {IDNO, IDYES}, 2, {"grin.gif", "grin-001.gif", "index.html"}, "", {2, 3}},
        {"keep all", {IDCHOICE2}, 1, {"grin.gif", "grin-001.gif", "index.html"}, "old", {0, 3}},
        {"rename all", {IDCHOICE4}, 1, {"grin.gif", "grin-001.gif", "grin-002.gif", "grin-001-001.gif",
                                        "index.html"}, "old", {1, 2, 3}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszName);
        TvnxTempDir out;
        ASSERT_TRUE(WriteBytes(out.Path("grin.gif"), Text("old")));
        ExportAnswerer answerer;
        answerer.strFolder = out.Dir();
        answerer.nChoice = 1;
        answerer.answers = std::deque<int>(r.answers.begin(), r.answers.end());
        Export({Picture(1), Picture(2), Picture(3)});
        EXPECT_EQ(answerer.questions.size(), r.nQuestions);
        for (const std::string& q : answerer.questions)
            EXPECT_EQ(q, "Replace grin.gif?");
        EXPECT_EQ(FilesIn(out.Dir()), r.files);
        if (r.strOld == "old")
            EXPECT_EQ(ReadText(out.Path("grin.gif")), "old");
        // Each picture is in the file the page names for it.
        const std::string strPage = ReadText(out.Path("index.html"));
        size_t nAt = 0;
        for (uint32_t nRecord : r.written) {
            if (nRecord == 0)
                continue;
            const size_t nSrc = strPage.find("<img src=\"", nAt);
            ASSERT_NE(nSrc, std::string::npos) << strPage;
            const size_t nEnd = strPage.find('"', nSrc + 10);
            const std::string strFile = strPage.substr(nSrc + 10, nEnd - nSrc - 10);
            EXPECT_EQ(ReadBytes(out.Path(strFile)), pictures.BytesOf(nRecord)) << strFile;
            nAt = nEnd;
        }
        EXPECT_EQ(strPage.find("<img src=\"", nAt), std::string::npos) << strPage;
    }
}

// A smilie named as a device ("nul", "com1", "lpt1.txt") would ask to
// replace a file that does not exist and then write into the device: it is
// named as a smilie without a name.
TEST_F(ExportTest, DeviceNamesAreNamedByTheirPlace)
{
    NamedPictures pictures({{"nul.gif", 8, 8}, {"COM1.gif", 8, 8}, {"lpt1.txt.gif", 8, 8}, {"aux .gif", 8, 8}});
    ASSERT_TRUE(pictures.IsOpen());
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    Export({Picture(1), Picture(2), Picture(3), Picture(4), Phrase("com9"), Phrase("prn.txt")});
    EXPECT_TRUE(answerer.questions.empty());
    EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"smilie0000.gif", "smilie0001.gif", "smilie0002.gif",
                                                            "smilie0003.gif", "phrase0004.txt", "phrase0005.txt"}));
    EXPECT_EQ(ReadBytes(Folder() + "smilie0001.gif"), pictures.BytesOf(2));

    // One smilie saved as a device name.
    TvnxTempDir out;
    ExportAnswerer one;
    one.strFile = out.Path("nul.gif");
    one.nFilter = 2;
    Export({Picture(1)});
    EXPECT_TRUE(one.questions.empty());
    EXPECT_EQ(FilesIn(out.Dir()), (std::set<std::string>{"smilie0000.gif", "smilie0000.html"}));
}

// The page names each picture by file name (mode 2) or by "file:///" address
// (mode 3) with its uncropped size, and carries the phrases; names and texts
// that hold markup or address characters are escaped, the field's name is
// the page's title and heading, and the page declares the code page its
// texts are in.
TEST_F(ExportTest, PagesReferToThePicturesAndEscapeWhatTheyQuote)
{
    NamedPictures pictures({{"a&b #1%.gif", 20, 15}, {"a.gif", 12, 9}});
    ASSERT_TRUE(pictures.IsOpen());
    struct Row {
        int nChoice;
        std::string strFirst, strSecond;
    } rows[] = {
        {1, "<img src=\"a%26b%20%231%25.gif\" width=\"20\" height=\"15\">",
         "<img src=\"a.gif\" width=\"12\" height=\"9\">"},
        {2, "<img src=\"" + FileAddress(Folder()) + "a%26b%20%231%25.gif\" width=\"20\" height=\"15\">",
         "<img src=\"" + FileAddress(Folder()) + "a.gif\" width=\"12\" height=\"9\">"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.nChoice);
        ExportAnswerer answerer;
        answerer.strFolder = m_out.Dir();
        answerer.nChoice = r.nChoice;
        answerer.answers = {IDCHOICE1};
        Export({Picture(1, 0x43), Phrase("x < y & \"z\""), Picture(2)}, "Faces & <more>");
        EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"a&b #1%.gif", "a.gif", "index.html"}))
            << "a phrase goes into the page only";
        char szHead[256];
        wsprintfA(szHead, "charset=%s\">", GetACP() == 1252 ? "windows-1252" : "?");
        const std::string strExpected = std::string("<html>\n<head>\n<title>Faces &amp; &lt;more&gt;</title>\n") +
                                        "<meta http-equiv=\"Content-Type\" content=\"text/html; " + szHead +
                                        "\n</head>\n<body>\n<h1>Faces &amp; &lt;more&gt;</h1>\n" + r.strFirst + "\nx &lt; y &amp; &quot;z&quot;\n" +
                                        r.strSecond + "\n</body>\n</html>";
        EXPECT_EQ(ReadText(Folder() + "index.html"), strExpected);
    }
}

TEST_F(ExportTest, OneSmilieGoesWhereTheSaveDialogSays)
{
    NamedPictures pictures({{"folder\\smile.gif", 20, 15}});
    ASSERT_TRUE(pictures.IsOpen());
    struct Row {
        const char* pszName;
        bool bPicture;
        const char* pszChosen;
        int nFilter;
        std::set<std::string> files;
        const char* pszTitle;
        const char* pszProposal;
    } rows[] = {
        {"a picture as a file", true, "mine.gif", 1, {"mine.gif"}, "L452", "smile"},
        {"a picture with its page", true, "mine.gif", 2, {"mine.gif", "mine.html"}, "L452", "smile"},
        {"a phrase as a text file", false, "note.txt", 1, {"note.txt"}, "L453", "Good mor"},
        {"a phrase with the page filter: only the page", false, "note.html", 2, {"note.html"}, "L453",
         "Good mor"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszName);
        TvnxTempDir out;
        ExportAnswerer answerer;
        answerer.strFile = out.Path(r.pszChosen);
        answerer.nFilter = r.nFilter;
        Export({r.bPicture ? Picture(1) : Phrase("Good morning")});
        ASSERT_EQ(answerer.fileTitles.size(), 1u);
        EXPECT_EQ(answerer.fileTitles[0], r.pszTitle);
        EXPECT_TRUE(answerer.fileFlags[0] & OFN_NOCHANGEDIR) << "the working folder stays where it was";
        EXPECT_EQ(answerer.proposals[0], r.pszProposal);
        EXPECT_EQ(FilesIn(out.Dir()), r.files);
        if (!r.bPicture && r.nFilter == 2) {
            EXPECT_NE(ReadText(out.Path("note.html")).find("<title>&nbsp;</title>"), std::string::npos);
            EXPECT_NE(ReadText(out.Path("note.html")).find("<body>Good morning\n</body>"), std::string::npos);
        }
    }
    // Cancelled: nothing written.
    ExportAnswerer answerer;
    answerer.nDialogAnswer = IDCANCEL;
    answerer.strFile = Folder() + "mine.gif";
    Export({Picture(1)});
    EXPECT_TRUE(FilesIn(m_out.Dir()).empty());
}

TEST_F(ExportTest, CheckOverwriteAnswers)
{
    const std::string strPath = Folder() + "there.gif";
    ASSERT_TRUE(WriteBytes(strPath, Text("old")));
    struct Row {
        int nAnswer;
        int nResult;
        BOOL bForAll;
    } rows[] = {
        {IDYES, OVERWRITE_WRITE, FALSE},    {IDNO, OVERWRITE_SKIP, FALSE},
        {IDCANCEL, OVERWRITE_STOP, FALSE},  {IDCHOICE1, OVERWRITE_WRITE, TRUE},
        {IDCHOICE2, OVERWRITE_SKIP, TRUE},  {IDCHOICE3, OVERWRITE_RENAME, FALSE},
        {IDCHOICE4, OVERWRITE_RENAME, TRUE},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.nAnswer);
        ExportAnswerer answerer;
        answerer.answers = {r.nAnswer};
        int nDecision = -1;
        BOOL bForAll = FALSE;
        EXPECT_EQ(CheckOverwrite(&nDecision, "there.gif", &bForAll, strPath.c_str()), r.nResult);
        EXPECT_EQ(bForAll, r.bForAll);
        ASSERT_EQ(answerer.questions.size(), 1u);
        EXPECT_EQ(answerer.questions[0], "Replace there.gif?");
        if (!r.bForAll)
            continue;
        EXPECT_EQ(nDecision, r.nResult);
        // The answer holds for the next file without a question.
        EXPECT_EQ(CheckOverwrite(&nDecision, "there.gif", &bForAll, strPath.c_str()), r.nResult);
        EXPECT_EQ(answerer.questions.size(), 1u);
    }
    ExportAnswerer answerer;
    int nDecision = OVERWRITE_SKIP;
    BOOL bForAll = TRUE;
    EXPECT_EQ(CheckOverwrite(&nDecision, "new.gif", &bForAll, (Folder() + "new.gif").c_str()), OVERWRITE_WRITE)
        << "no file, no conflict";
    EXPECT_TRUE(answerer.questions.empty());
}

// A file that cannot be written asks whether to go on; anything but Yes
// stops, and a stopped export writes no page. A path past MAX_PATH is such
// a file, also where the system would take it.
TEST_F(ExportTest, FailedWritesAskAndAStopWritesNoPage)
{
    NamedPictures pictures({{"blocked.gif", 8, 8}, {"fine.gif", 8, 8}, {"picture-with-a-long-name.gif", 8, 8}});
    ASSERT_TRUE(pictures.IsOpen());
    struct Row {
        const char* pszName;
        uint32_t nFailing;
        int nAnswer;
        std::set<std::string> files;
    } rows[] = {
        {"go on", 1, IDYES, {"fine.gif", "index.html"}},
        {"stop", 1, IDNO, {}},
        {"cancel", 1, IDCANCEL, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszName);
        TvnxTempDir out;
        ASSERT_TRUE(CreateDirectoryA(out.Path("blocked.gif").c_str(), NULL)) << "a folder where the file would go";
        ExportAnswerer answerer;
        answerer.strFolder = out.Dir();
        answerer.nChoice = 1;
        answerer.answers = {r.nAnswer};
        Export({Picture(r.nFailing), Picture(2)});
        ASSERT_EQ(answerer.questions.size(), 1u);
        EXPECT_EQ(answerer.questions[0], "L456 \"blocked.gif\". L458");
        EXPECT_EQ(answerer.layouts[0], MSGBOXLAYOUT_STANDARD);
        EXPECT_EQ(FilesIn(out.Dir()), r.files);
        RemoveDirectoryA(out.Path("blocked.gif").c_str());
    }

    // A folder of its own whose path leaves too little room for the name.
    std::string strDeep = m_out.Dir();
    std::vector<std::string> made;
    while (strDeep.size() < 240) {
        strDeep += "\\" + std::string(std::min<size_t>(30, 239 - strDeep.size()), 'd');
        ASSERT_TRUE(CreateDirectoryA(strDeep.c_str(), NULL)) << strDeep.size();
        made.push_back(strDeep);
    }
    ExportAnswerer answerer;
    answerer.strFolder = strDeep;
    answerer.answers = {IDYES};
    Export({Picture(3), Picture(2)});
    ASSERT_EQ(answerer.questions.size(), 1u) << "the long path counts as a failed write";
    EXPECT_EQ(answerer.questions[0], "L456 \"picture-with-a-long-name.gif\". L458");
    EXPECT_EQ(FilesIn(strDeep), (std::set<std::string>{"fine.gif"}));
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        DeleteFileA((*it + "\\fine.gif").c_str());
        RemoveDirectoryA(it->c_str());
    }
}

std::set<std::string> g_taken;
bool g_bAllTaken = false;

DWORD WINAPI FakeAttributes(LPCSTR pszPath)
{
    std::string str(pszPath);
    str = str.substr(str.find_last_of('\\') + 1);
    return g_bAllTaken || g_taken.count(str) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
}

TEST_F(ExportTest, UniqueNamesNumberBeforeTheExtension)
{
    g_pfnExportFileAttributes = FakeAttributes;
    g_bAllTaken = false;
    g_taken = {"a-001.gif", "noext-001"};
    struct Row {
        const char* pszName;
        const char* pszUnique;
    } rows[] = {
        {"a.gif", "a-002.gif"},
        {"a.b.gif", "a.b-001.gif"},
        {"noext", "noext-002"},
        {".hidden", ".hidden-001"},
    };
    for (const Row& r : rows) {
        CString str(r.pszName);
        EXPECT_TRUE(MakeUniqueFileName(str, "C:\\x\\")) << r.pszName;
        EXPECT_STREQ(str, r.pszUnique) << r.pszName;
    }
    g_bAllTaken = true;
    CString str("a.gif");
    EXPECT_FALSE(MakeUniqueFileName(str, "C:\\x\\"));
    EXPECT_STREQ(str, "a-65535.gif");
}

// Renaming finds no free name: the file is skipped, the one there kept.
TEST_F(ExportTest, NoFreeNameSkipsTheFileInsteadOfOverwriting)
{
    NamedPictures pictures({{"same.gif", 8, 8}, {"other.gif", 8, 8}});
    ASSERT_TRUE(pictures.IsOpen());
    ASSERT_TRUE(WriteBytes(Folder() + "same.gif", Text("keep me")));
    g_pfnExportFileAttributes = FakeAttributes;
    g_bAllTaken = true;
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    answerer.answers = {IDCHOICE3};
    Export({Picture(1), Picture(2)});
    EXPECT_EQ(answerer.questions.size(), 1u) << "no failed write is reported";
    EXPECT_EQ(ReadText(Folder() + "same.gif"), "keep me");
    EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"same.gif", "other.gif"}));
}

TEST_F(ExportTest, AFieldExportsItsPicturesAndPhrasesButNotItsAddresses)
{
    NamedPictures pictures({{"pic.gif", 8, 8}});
    ASSERT_TRUE(pictures.IsOpen());
    CSmiliesField field;
    ASSERT_TRUE(fieldkit::MakeField(field, m_parent, 300, 200, 35, 34));
    field.SetWindowText("Mine");
    const POINT cells[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    field.AddSmilie(&cells[0], 1, "", NULL);
    field.AddSmilie(&cells[1], 0, "", "http://127.0.0.1/far.gif");
    field.AddSmilie(&cells[2], 0, "words", NULL);
    field.AddSmilie(&cells[3], 1, "", NULL);
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    answerer.nChoice = 1;
    ExportField(&field);
    EXPECT_EQ(answerer.folderTitles.size(), 1u);
    EXPECT_TRUE(answerer.questions.empty()) << "two copies of one picture in an empty folder";
    EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"pic.gif", "pic-001.gif", "index.html"}));
    EXPECT_NE(ReadText(Folder() + "index.html").find("<title>Mine</title>"), std::string::npos);

    // Only an address: nothing to export, nothing asked.
    CSmiliesField empty;
    ASSERT_TRUE(fieldkit::MakeField(empty, m_parent, 300, 200, 35, 34));
    empty.AddSmilie(&cells[0], 0, "", "http://127.0.0.1/far.gif");
    ExportAnswerer none;
    ExportField(&empty);
    EXPECT_TRUE(none.folderTitles.empty() && none.fileTitles.empty());
}

// Suites named *CodePage932 run in a process started under the Japanese
// locale: the page declares that code page, and a lead byte before a markup
// character does not carry it into the page raw (no trail byte is below 0x40).
class ExportCodePage932 : public ExportTest
{
};

TEST_F(ExportCodePage932, ThePageEscapesMarkupAfterLeadBytes)
{
    ASSERT_EQ(GetACP(), 932u);
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    answerer.nChoice = 1;
    Export({Phrase("\x81<b\x81>"), Phrase("\x83\x5C&\x81\"\x95\x5C")}, "\x81<script>");
    const std::string strPage = ReadText(Folder() + "index.html");
    EXPECT_NE(strPage.find("charset=shift_jis\""), std::string::npos) << strPage;
    EXPECT_NE(strPage.find("<title>\x81&lt;script&gt;</title>"), std::string::npos) << strPage;
    EXPECT_NE(strPage.find("<h1>\x81&lt;script&gt;</h1>"), std::string::npos) << strPage;
    EXPECT_NE(strPage.find("\x81&lt;b\x81&gt;\n\x83\x5C&amp;\x81&quot;\x95\x5C\n</body>"), std::string::npos)
        << strPage;
    for (const char* pszRaw : {"\x81<", "\x81>", "\x81\"", "<script", "<b>"})
        EXPECT_EQ(strPage.find(pszRaw), std::string::npos) << pszRaw << " in " << strPage;
}

TEST_F(ExportCodePage932, PictureAddressesEscapeAfterLeadBytes)
{
    ASSERT_EQ(GetACP(), 932u);
    const struct Row {
        const char* pszName;
        BOOL bFileAddress;
        const char* pszAddress;
    } rows[] = {
        {"\x81\"\x81>x.gif", FALSE, "\x81%22\x81%3Ex.gif"},
        {"\x81#\x81%\x81'\x81 .gif", FALSE, "\x81%23\x81%25\x81%27\x81%20.gif"},
        {"\x83\x5C\x95\x5C.gif", FALSE, "\x83\x5C\x95\x5C.gif"},  // second bytes '\' stay
        {"C:\\\x83\x5C\\a.gif", TRUE, "file:///C|/\x83\x5C/a.gif"},
        {"C:\\\x81:\\a.gif", TRUE, "file:///C|/\x81|/a.gif"},
    };
    for (const Row& r : rows)
        EXPECT_STREQ(PageAddress(r.pszName, r.bFileAddress), r.pszAddress) << r.pszName;
}

}  // namespace
