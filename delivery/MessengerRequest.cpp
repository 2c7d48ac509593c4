#include "delivery/MessengerRequest.h"

MSNEXPORTREQUEST g_MsnExportRequest = {};

void ClearMessengerRequest()
{
    g_MsnExportRequest.app.Clear();
}
