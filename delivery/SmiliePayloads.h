// The variants of one smilie picture that other programs may ask for. The
// picture is first written to a temporary file (mail clients read it again
// when the message is sent, so the file outlives the transfer); every variant
// is then prepared from that file's path, or from the smilie's web address.
//
// Every renderer follows one convention: without a buffer it returns the bytes
// it needs (text plus its zero; UTF-16 text plus its two-byte zero); with a
// buffer it fills it, or returns 0 and writes nothing when the buffer is
// smaller. An empty path or address renders nothing (0).
#pragma once

#include "framework/Str.h"

#include <windows.h>

#include <cstdint>

class CSmilie;

// One rendering: heap bytes (new[]) and their count; null and 0 when not made.
struct PAYLOADBYTES
{
    BYTE* pData = nullptr;
    UINT nSize = 0;
};

struct SMILIEPAYLOADS
{
    char* picturePath = nullptr;        // the temporary file (new[])
    int pictureWidth = 0;               // full, uncropped size of the picture
    int pictureHeight = 0;
    PAYLOADBYTES htmlPage;
    PAYLOADBYTES incrediMailPage;
    PAYLOADBYTES htmlMail;
    PAYLOADBYTES htmlFragmentByAddress;
    PAYLOADBYTES textHtml;              // a preset nSize of 1 asks for none
    PAYLOADBYTES textHtmlByAddress;
    PAYLOADBYTES htmlFragment;
    PAYLOADBYTES netscapeEditor;
    PAYLOADBYTES dib;
    PAYLOADBYTES rtf;
    PAYLOADBYTES htmlMailByAddress;
    PAYLOADBYTES htmlFragmentSized;

    SMILIEPAYLOADS() {}
    ~SMILIEPAYLOADS() { Free(); }
    // Frees every rendering and the path; the record is empty afterwards.
    void Free();

    SMILIEPAYLOADS(const SMILIEPAYLOADS&) = delete;
    SMILIEPAYLOADS& operator=(const SMILIEPAYLOADS&) = delete;
};

// Writes the smilie's picture to a new temporary file and renders every
// variant into *out. 1 when the record was filled, 0 without a picture, open
// collection file, known picture format or temporary file, or on a failed
// allocation (the record is then emptied).
int RenderSmiliePayloads(SMILIEPAYLOADS* out, const CSmilie* picture, CString sourceText);

// CF_HTML "Version:1.0" with six 9-digit offsets, then head,
// "<!--StartFragment-->", imageOpen, path, imageClose, "<!--EndFragment-->",
// tail. At most 10240 characters in all.
int BuildHtmlClipboard(char* buffer, int size, const char* head, const char* imageOpen, const char* path,
                       const char* imageClose, const char* tail);

// The renderers, by the variant they make.
int RenderHtmlPage(const char* path, char* buffer, int size);
int RenderIncrediMailPage(const char* path, char* buffer, int size);
int RenderHtmlMail(const char* pathOrAddress, char* buffer, int size);
int RenderHtmlFragment(const char* path, char* buffer, int size);
int RenderHtmlFragmentByAddress(const char* address, char* buffer, int size);
int RenderHtmlFragmentSized(const char* path, int width, int height, char* buffer, int size);
// UTF-16 "text/html": bFromPath adds "file:///" before the text.
int RenderTextHtml(const char* pathOrAddress, BOOL bFromPath, int width, int height, BYTE* buffer, int size);
int RenderNetscapeEditor(const char* path, int width, int height, BYTE* buffer, int size);
int RenderRtf(const char* path, int width, int height, char* buffer, int size);
// CF_DIB of the cached picture's first frame over white, 24 bits per pixel.
int RenderDib(uint32_t imageId, int width, int height, BYTE* buffer, int size);

// Creates "<folder>\tarvenex-tmp<i x tick, 9 digits>.<ext>" for the first i
// whose name is free, opened for exclusive writing; a name that exists is
// skipped, a bounded number of times. INVALID_HANDLE_VALUE, path empty, when
// no name could be created.
HANDLE CreateTempPictureFile(const char* folder, const char* extension, DWORD tick, CString& path);

// Deletes the temporary picture files of the temp folder made more than 72
// whole hours before now. Errors are ignored.
void DeleteTempFiles();
// The same for a given folder and time.
void DeleteTempFilesIn(const char* folder, const FILETIME& now);
