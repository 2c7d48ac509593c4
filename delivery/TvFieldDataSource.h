// One smilie transfer, by clipboard or by an OLE drag: a data source that
// offers every format for delayed rendering and holds one prepared payload per
// variant. Nothing is decided when the data is offered. When a program asks
// for a format, the source finds out which program asks and renders the
// payload whose target lists fit it best, or refuses, or takes the road of the
// instant messenger or of AOL, or tells the user why nothing arrives.
#pragma once

#include "collection/Sequence.h"
#include "delivery/AppAttr.h"
#include "framework/OleDataSource.h"

#include <windows.h>

class CSmilie;

// One prepared payload: its format, its bytes and the programs it is meant for.
class CTvDataObject
{
public:
    enum {
        kindGeneric = 0,   // offered to any program; a rendering reminds of the connection
        kindPicture = 1,
        kindTextOnly = 2   // the text of a text-only smilie
    };

    CTvDataObject() : cfFormat(0), data(NULL), size(0), kind(kindPicture) {}
    CTvDataObject(const CTvDataObject& src);
    CTvDataObject& operator=(const CTvDataObject& src);
    ~CTvDataObject();

    // Replaces the bytes by a copy of nSize bytes at pData (none for 0).
    // Throws CMemoryException*.
    void SetData(const void* pData, UINT nSize);

    CLIPFORMAT cfFormat;
    BYTE* data;                       // text payloads include their terminating zero
    UINT size;
    int kind;
    CSequence<CAppAttr> targets;      // programs that accept it
    CSequence<CAppAttr> exclusions;   // programs that must not get it
};

class CTvFieldDataSource : public COleDataSource
{
public:
    CTvFieldDataSource();
    ~CTvFieldDataSource() override;

    // Offers cfFormat for delayed rendering and keeps a copy of the payload
    // (with that format). Throws CMemoryException*.
    void AddDataObject(UINT cfFormat, const CTvDataObject& payload);

    // After a paste rendered a payload (bDropped 0), and from the drag source
    // after a drop elsewhere (bDropped 1). A generic payload starts the
    // connection probe when the user wants to be told about a missing
    // connection.
    virtual void OnDataRendered(CTvDataObject* payload, int bDropped);

    CSequence<CTvDataObject> m_Payloads;
    BOOL m_bDragging;                   // serves an OLE drag rather than the clipboard
    CTvDataObject* m_pLastRendered;     // none after a refusal or a messenger text
    BOOL m_bEudoraRefused;              // Eudora 6.0 refused dragged data
    HWND m_hNotifyWindow;               // the field window that gets WM_EXPORTTOMESSENGER
    char m_szPicturePath[MAX_PATH];     // the temporary copy of the picture
    int m_nPictureWidth;
    int m_nPictureHeight;
    BOOL m_bRequestSent;                // the messenger request or the AOL insertion was made

protected:
    BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal) override;

private:
    // The payload of the asked format whose lists fit the asking program
    // best; else the first of that format without lists (*pbListMatch 0).
    CTvDataObject* ChoosePayload(CLIPFORMAT cfFormat, const CAppAttr& asking, BOOL* pbListMatch);
};

// Fills the source with a text payload and one payload per picture variant of
// the first smilie; with bEudoraOnly only the bitmap for Eudora (and the text
// of a text-only smilie). On the clipboard road the use of every smilie is
// counted here; a drag counts its use itself, after a drop elsewhere. 1 when
// at least one payload was added.
int FillDataSource(CSequence<CSmilie*>* smilies, HWND fieldWindow, CTvFieldDataSource* source, BOOL bEudoraOnly);

// Last use now and one more use for every smilie; the open collection's usage
// data changed.
void RecordSmilieUse(CSequence<CSmilie*>* smilies);

// Stores what the messenger request needs (the path cut to 259 characters)
// and lets the next messenger request happen.
void SetMessengerRequest(HWND fieldWindow, const char* picturePath, CTvFieldDataSource* source, int width,
                         int height);

// Copies nSize bytes into *phGlobal: into the given block when it is big
// enough (else 0), or into a new movable block when none was given.
int CopyToGlobal(const void* pBytes, UINT nSize, HGLOBAL* phGlobal);
