// The one messenger export request of the program: filled when the messenger
// asks for a picture smilie, read by the field window and the exporter
// dialog. Each new request overwrites it; the program's exit clears it.
#pragma once

#include "delivery/AppAttr.h"

#include <windows.h>

// The request's size field, which readers check.
const int kMsnExportRequestSize = 312;

struct MSNEXPORTREQUEST
{
    int size;                   // kMsnExportRequestSize once filled
    HWND window;                // the conversation window that asked
    CAppAttr app;               // the messenger: executable, version as both bounds, title
    BOOL dragging;              // the data source served a drag
    char picturePath[MAX_PATH];
    int pictureWidth;
    int pictureHeight;
};

extern MSNEXPORTREQUEST g_MsnExportRequest;

// Frees the texts of the request's application row and zeroes its versions.
void ClearMessengerRequest();
