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
    void Export(std::initializer_list<const CSmilie*> smilies)
    {
        CSequence<const CSmilie*> list;
        for (const CSmilie* p : smilies)
            list.Add(p);
        ExportSmilies(list, m_parent.Wnd());
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
    ASSERT_EQ(answerer.questions.size(), 1u) << "only the second grin.gif is asked about";
    EXPECT_EQ(answerer.questions[0], "Replace grin.gif?");
    EXPECT_EQ(answerer.layouts[0], MSGBOXLAYOUT_CHOICE);
    EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"grin.gif", "grin-001.gif", "x.txt"}));
    EXPECT_EQ(ReadBytes(Folder() + "grin.gif"), pictures.BytesOf(1));
    EXPECT_EQ(ReadBytes(Folder() + "grin-001.gif"), pictures.BytesOf(2));
    EXPECT_EQ(ReadText(Folder() + "x.txt"), "<>:\"/\\|x");

    // Nothing valid at all in the first 8 characters: named by its place.
    TvnxTempDir out2;
    answerer.strFolder = out2.Dir();
    answerer.answers = {IDCHOICE2};
    Export({Picture(3), Picture(3), Picture(3), Phrase("<<>>::||rest")});
    EXPECT_EQ(FilesIn(out2.Dir()), (std::set<std::string>{"wink.gif", "phrase0003.txt"}));
    EXPECT_EQ(ReadText(out2.Path("phrase0003.txt")), "<<>>::||rest");
}

// The page names each picture by file name (mode 2) or by "file:///" address
// (mode 3) with its uncropped size, and carries the phrases; names and texts
// that hold markup or address characters are escaped, and the page declares
// the code page its texts are in.
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
        Export({Picture(1, 0x43), Phrase("x < y & \"z\""), Picture(2)});
        EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"a&b #1%.gif", "a.gif", "index.html"}))
            << "a phrase goes into the page only";
        char szHead[256];
        wsprintfA(szHead, "charset=%s\">", GetACP() == 1252 ? "windows-1252" : "?");
        const std::string strExpected = std::string("<html>\n<head>\n<title>&nbsp;</title>\n") +
                                        "<meta http-equiv=\"Content-Type\" content=\"text/html; " + szHead +
                                        "\n</head>\n<body>" + r.strFirst + "\nx &lt; y &amp; &quot;z&quot;\n" +
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
        EXPECT_EQ(answerer.proposals[0], r.pszProposal);
        EXPECT_EQ(FilesIn(out.Dir()), r.files);
        if (!r.bPicture && r.nFilter == 2) {
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
    const POINT cells[] = {{0, 0}, {1, 0}, {2, 0}};
    field.AddSmilie(&cells[0], 1, "", NULL);
    field.AddSmilie(&cells[1], 0, "", "http://127.0.0.1/far.gif");
    field.AddSmilie(&cells[2], 0, "words", NULL);
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    ExportField(&field);
    EXPECT_EQ(answerer.folderTitles.size(), 1u);
    EXPECT_EQ(FilesIn(m_out.Dir()), (std::set<std::string>{"pic.gif", "words.txt"}));

    // Only an address: nothing to export, nothing asked.
    CSmiliesField empty;
    ASSERT_TRUE(fieldkit::MakeField(empty, m_parent, 300, 200, 35, 34));
    empty.AddSmilie(&cells[0], 0, "", "http://127.0.0.1/far.gif");
    ExportAnswerer none;
    ExportField(&empty);
    EXPECT_TRUE(none.folderTitles.empty() && none.fileTitles.empty());
}

// Suites named *CodePage932 run in a process started under the Japanese
// locale: the page declares that code page.
class ExportCodePage932 : public ExportTest
{
};

TEST_F(ExportCodePage932, ThePageDeclaresTheCodePageTheTextsAreIn)
{
    ASSERT_EQ(GetACP(), 932u);
    ExportAnswerer answerer;
    answerer.strFolder = m_out.Dir();
    answerer.nChoice = 1;
    Export({Phrase("a"), Phrase("b")});
    const std::string strPage = ReadText(Folder() + "index.html");
    EXPECT_NE(strPage.find("charset=shift_jis\""), std::string::npos) << strPage;
}

}  // namespace
