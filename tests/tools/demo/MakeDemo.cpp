// Writes the demo collection that ships beside the program, from pictures we
// draw here: a few fields of static and animated pictures of every format
// the program reads, phrases, and smilies that name a web address as their
// source but carry the picture already (none is a web smilie, so opening the
// demo downloads nothing). A manifest lists every cell for the tests:
//   field <name> <cell width> <cell height> <smilies> <the field's code, may be empty>
//   cell <column> <row> picture <format> <frames> <source or -> <picture record>
//   cell <column> <row> phrase <text>
//
//   makedemo <demo.tvnx> <manifest.txt>
#include "collection/Smilie.h"
#include "collection/TvnxBytes.h"
#include "collection/TvnxSave.h"
#include "tests/collection/PictureSamples.h"

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct DEMOCELL
{
    int nColumn, nRow;
    std::string strFormat;   // empty: a phrase
    int nFrames;
    Bytes data;
    std::string strText;     // the phrase, or the picture's source (may be empty)
    uint32_t nRecord;
};

struct DEMOFIELD
{
    std::string strName;
    COLORREF clrTab;
    std::string strCode;
    std::vector<DEMOCELL> cells;
    int nCellWidth = CSmilie::defaultCellWidth;
    int nCellHeight = CSmilie::defaultCellHeight;
};

// A face of the size in the colour: a disc with two eyes and a mouth.
std::vector<uint32_t> Face(int n, COLORREF clr, COLORREF clrBack, int nMood)
{
    std::vector<uint32_t> px(size_t(n) * n, clrBack);
    const double c = (n - 1) / 2.0, r = n / 2.0 - 0.5;
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            const double dx = x - c, dy = y - c;
            if (dx * dx + dy * dy <= r * r)
                px[size_t(y) * n + x] = clr;
        }
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < n && y < n)
            px[size_t(y) * n + x] = RGB(0, 0, 0);
    };
    const int e = n / 3;
    for (int d = 0; d < 2; d++) {
        put(e, e + d);
        put(n - 1 - e, e + d);
    }
    for (int x = n / 4; x <= n - 1 - n / 4; x++) {
        const int t = x - n / 2;
        const int y = nMood == 0 ? 2 * n / 3 + (n / 8) - t * t / (n / 3 + 1) : 2 * n / 3 + t * t / (n / 3 + 1);
        put(x, y);
    }
    return px;
}

Bytes Bmp(int n, COLORREF clr, int nMood)
{
    BmpRecipe s;
    s.cx = s.cy = n;
    s.pixels = Face(n, clr, RGB(255, 255, 255), nMood);
    return MakeBmp(s);
}

Bytes Png(int n, COLORREF clr, int nMood)
{
    PngRecipe s;
    s.cx = s.cy = n;
    s.nColorType = PNG_COLOR_TYPE_RGBA;
    const std::vector<uint32_t> px = Face(n, clr, 0xFF000000u, nMood);
    for (uint32_t p : px) {
        const bool bBack = p == 0xFF000000u;
        s.rows.push_back(GetRValue(p));
        s.rows.push_back(GetGValue(p));
        s.rows.push_back(GetBValue(p));
        s.rows.push_back(bBack ? 0 : 255);
    }
    return MakePng(s);
}

Bytes Jpeg(int n, COLORREF clr, int nMood)
{
    JpegRecipe s;
    s.cx = s.cy = n;
    for (uint32_t p : Face(n, clr, RGB(255, 255, 255), nMood)) {
        s.samples.push_back(GetRValue(p));
        s.samples.push_back(GetGValue(p));
        s.samples.push_back(GetBValue(p));
    }
    return MakeJpeg(s);
}

// A GIF of the faces in turn (one frame: a still picture); index 0 is transparent.
Bytes Gif(int n, const std::vector<COLORREF>& colours, int nDelayCs)
{
    GifRecipe s;
    s.cx = s.cy = n;
    s.globalTable = {RGB(255, 255, 255), RGB(0, 0, 0)};
    for (COLORREF c : colours)
        s.globalTable.push_back(c);
    while (s.globalTable.size() & (s.globalTable.size() - 1))
        s.globalTable.push_back(RGB(255, 255, 255));
    for (size_t f = 0; f < colours.size(); f++) {
        GifFrameRecipe frame;
        frame.cx = frame.cy = n;
        frame.bControl = true;
        frame.nDelayCs = nDelayCs;
        frame.nTransparent = 0;
        for (uint32_t p : Face(n, colours[f], 0xFF000000u, int(f) & 1))
            frame.pixels.push_back(p == 0xFF000000u ? 0 : (p == RGB(0, 0, 0) ? 1 : BYTE(2 + f)));
        s.frames.push_back(frame);
    }
    return MakeGif(s);
}

DEMOCELL Picture(int c, int r, const char* pszFormat, int nFrames, Bytes data, const std::string& strSource)
{
    return DEMOCELL{c, r, pszFormat, nFrames, std::move(data), strSource, 0};
}

DEMOCELL Phrase(int c, int r, const char* pszText)
{
    return DEMOCELL{c, r, "", 0, Bytes(), pszText, 0};
}

std::vector<DEMOFIELD> Fields()
{
    const std::string web = "http://www.tarvenex.example/smilies/";
    std::vector<DEMOFIELD> fields;
    DEMOFIELD f1{"Faces", RGB(255, 200, 80), "", {}};
    const COLORREF colours[] = {RGB(255, 220, 0), RGB(255, 150, 40), RGB(120, 200, 255), RGB(140, 230, 120),
                                RGB(255, 120, 160), RGB(200, 160, 255)};
    for (int i = 0; i < 6; i++)
        f1.cells.push_back(Picture(i, 0, "gif", 1, Gif(19, {colours[i]}, 0), ""));
    f1.cells.push_back(Picture(0, 1, "gif", 2, Gif(19, {colours[0], colours[1]}, 40), web + "blink.gif"));
    f1.cells.push_back(Picture(1, 1, "gif", 3, Gif(19, {colours[2], colours[3], colours[4]}, 30), ""));
    f1.cells.push_back(Picture(2, 1, "gif", 2, Gif(27, {colours[5], colours[0]}, 50), web + "wave.gif"));
    fields.push_back(f1);

    DEMOFIELD f2{"Formats", RGB(120, 200, 255), "[img]<SMILIE>[/img]", {}};
    f2.cells.push_back(Picture(0, 0, "bmp", 1, Bmp(19, colours[0], 0), ""));
    f2.cells.push_back(Picture(1, 0, "bmp", 1, Bmp(23, colours[2], 1), web + "sad.bmp"));
    f2.cells.push_back(Picture(2, 0, "png", 1, Png(19, colours[3], 0), ""));
    f2.cells.push_back(Picture(3, 0, "png", 1, Png(25, colours[4], 1), web + "pink.png"));
    f2.cells.push_back(Picture(4, 0, "jpg", 1, Jpeg(19, colours[1], 0), ""));
    f2.cells.push_back(Picture(5, 0, "jpg", 1, Jpeg(24, colours[5], 1), web + "violet.jpg"));
    f2.cells.push_back(Picture(0, 2, "gif", 2, Gif(19, {colours[3], colours[2]}, 60), web + "green.gif"));
    fields.push_back(f2);

    // Cells wide enough for a word of the cell font: five columns fill the
    // fields as seven of the default width do.
    DEMOFIELD f3{"Phrases", RGB(140, 230, 120), "", {}, 49, CSmilie::defaultCellHeight};
    f3.cells.push_back(Phrase(0, 0, ":-)"));
    f3.cells.push_back(Phrase(1, 0, ";-)"));
    f3.cells.push_back(Phrase(2, 0, ":-D"));
    f3.cells.push_back(Phrase(3, 0, "Hello!"));
    f3.cells.push_back(Phrase(0, 1, "See you"));
    f3.cells.push_back(Phrase(1, 1, "Thanks"));
    fields.push_back(f3);
    return fields;
}

void Put32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back(BYTE(v >> (8 * i)));
}

void PutText(Bytes& b, const std::string& s)
{
    Put32(b, uint32_t(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}

Bytes LayoutBlock(const std::vector<DEMOFIELD>& fields)
{
    Bytes block;
    Put32(block, uint32_t(fields.size()));
    for (const DEMOFIELD& f : fields) {
        Bytes body;
        PutText(body, f.strName);
        Put32(body, 0);
        Put32(body, 1);
        PutText(body, f.strCode);
        Put32(body, uint32_t(f.cells.size()));
        for (const DEMOCELL& cell : f.cells) {
            CSmilie smilie(f.nCellWidth, f.nCellHeight);
            smilie.SetCell(cell.nColumn, cell.nRow);
            if (cell.strFormat.empty()) {
                smilie.SetPhrase(cell.strText.c_str(), TRUE);
            } else {
                smilie.SetImage(cell.nRecord);
                if (!cell.strText.empty())
                    smilie.SetSource(cell.strText.c_str());
            }
            uint32_t nSize = smilie.SaveRecord(NULL, NULL);
            Bytes record(nSize);
            nSize = smilie.SaveRecord(record.data(), &nSize);
            Put32(body, nSize);
            body.insert(body.end(), record.begin(), record.begin() + nSize);
        }
        Put32(block, 0x10000010);
        Put32(block, uint32_t(f.nCellWidth));
        Put32(block, uint32_t(f.nCellHeight));
        Put32(block, 1);
        Put32(block, f.clrTab);
        Put32(block, uint32_t(body.size()));
        block.insert(block.end(), body.begin(), body.end());
    }
    return block;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: makedemo <demo.tvnx> <manifest.txt>\n");
        return 2;
    }
    const char* pszOut = argv[1];
    ::DeleteFileA(pszOut);
    std::vector<DEMOFIELD> fields = Fields();

    // An empty collection first, then the pictures appended to it, then the
    // whole file written again with the layout that refers to them.
    CTvnxSave file;
    file.SetLevelByte(0);
    const Bytes none = LayoutBlock({});
    if (file.SaveCollection(uint32_t(none.size()), none.data(), pszOut, FALSE, 0) != 0 ||
        file.OpenCollection(pszOut, FALSE, 0) != 0) {
        fprintf(stderr, "makedemo: cannot create %s\n", pszOut);
        return 1;
    }
    int nPicture = 0;
    for (DEMOFIELD& f : fields)
        for (DEMOCELL& cell : f.cells) {
            if (cell.strFormat.empty())
                continue;
            char szName[32];
            sprintf(szName, "demo%02d.%s", ++nPicture, cell.strFormat.c_str());
            cell.nRecord = file.AppendRecord(cell.data.data(), szName, uint32_t(cell.data.size()));
            if (cell.nRecord == 0) {
                fprintf(stderr, "makedemo: cannot store %s\n", szName);
                return 1;
            }
        }
    const Bytes block = LayoutBlock(fields);
    file.SetLevelByte(0);
    if (file.SaveCollection(uint32_t(block.size()), block.data(), pszOut, FALSE, 0) != 0) {
        fprintf(stderr, "makedemo: cannot write %s\n", pszOut);
        return 1;
    }
    file.Close();

    FILE* pManifest = fopen(argv[2], "w");
    if (pManifest == NULL)
        return 1;
    for (const DEMOFIELD& f : fields) {
        fprintf(pManifest, "field %s %d %d %d %s\n", f.strName.c_str(), f.nCellWidth, f.nCellHeight,
                int(f.cells.size()), f.strCode.c_str());
        for (const DEMOCELL& cell : f.cells) {
            if (cell.strFormat.empty())
                fprintf(pManifest, "cell %d %d phrase %s\n", cell.nColumn, cell.nRow, cell.strText.c_str());
            else
                fprintf(pManifest, "cell %d %d picture %s %d %s %u\n", cell.nColumn, cell.nRow,
                        cell.strFormat.c_str(), cell.nFrames, cell.strText.empty() ? "-" : cell.strText.c_str(),
                        unsigned(cell.nRecord));
        }
    }
    fclose(pManifest);
    return 0;
}
