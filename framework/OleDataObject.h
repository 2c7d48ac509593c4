// The reading side of OLE data: a view of someone's IDataObject (a drop, or
// the clipboard) that answers which formats are offered and hands out their
// data as global memory blocks that the caller owns.
#pragma once

#include <windows.h>
#include <ole2.h>

class COleDataObject
{
public:
    COleDataObject();
    ~COleDataObject();

    // Views lpDataObject. With bAutoRelease the view takes over one reference
    // of the caller's and releases it in Release(); without, the caller keeps
    // the object alive while the view is used. A previous object is released.
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    // Gives the object up without releasing it.
    LPDATAOBJECT Detach();
    // Views the clipboard as it is now. FALSE when it cannot be read.
    BOOL AttachClipboard();
    // Lets go of the object (releasing it when the view owns a reference).
    void Release();

    // TRUE when cfFormat is offered as global memory (the data is not fetched).
    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    // The data of cfFormat in a new block that the caller frees with
    // GlobalFree; NULL when it is not offered or cannot be fetched.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);

    // Walks the offered formats: BeginEnumFormats, then GetNextFormat until it
    // returns FALSE. A returned target device (ptd) is the caller's to free
    // with CoTaskMemFree.
    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

    // The viewed object, with a reference added when bAddRef is TRUE.
    LPDATAOBJECT GetIDataObject(BOOL bAddRef);

private:
    LPDATAOBJECT m_lpDataObject;
    BOOL m_bAutoRelease;
    LPENUMFORMATETC m_lpEnumerator;

    void ReleaseEnumerator();

    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;
};
