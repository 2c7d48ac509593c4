// A link dragged out of a web page carries only the link's target. When the
// link wraps a picture, the browser's document knows which: the element under
// the point where the drag began, or else one of the page's images, whose
// parent link points at that target.
#include "fields/DroppedData.h"

#include "delivery/ForeignWindows.h"
#include "ui3d/system/SysUtils.h"

#include <mshtml.h>
#include <oleauto.h>

namespace {

CString TakeBstr(BSTR b)
{
    CString str;
    if (b != NULL) {
        str = WideToAnsi(b, int(SysStringLen(b)));
        SysFreeString(b);
    }
    return str;
}

bool IsBrowserWindow(HWND hWnd)
{
    char szClass[64];
    return IsWindow(hWnd) && GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 &&
           lstrcmpiA(szClass, "Internet Explorer_Server") == 0;
}

// When the element is a picture whose parent's text form (for a link, its
// target) is strUrl, strUrl becomes the picture's address.
bool TakeImageOfLink(IHTMLElement* pElement, CString& strUrl)
{
    if (pElement == NULL)
        return false;
    CComPtr<IHTMLElement> parent;
    if (FAILED(pElement->get_parentElement(&parent)) || !parent)
        return false;
    BSTR bParent = NULL;
    if (FAILED(parent->toString(&bParent)) || TakeBstr(bParent) != strUrl)
        return false;
    CComPtr<IHTMLImgElement> image;
    if (FAILED(pElement->QueryInterface(IID_IHTMLImgElement, image.Out())) || !image)
        return false;
    BSTR bHref = NULL;
    if (FAILED(image->get_href(&bHref)))
        return false;
    const CString strHref = TakeBstr(bHref);
    if (strHref.IsEmpty())
        return false;
    strUrl = strHref;
    return true;
}

bool TakeImageFromCollection(IHTMLDocument2* pDocument, CString& strUrl)
{
    CComPtr<IHTMLElementCollection> images;
    if (FAILED(pDocument->get_images(&images)) || !images)
        return false;
    long nCount = 0;
    if (FAILED(images->get_length(&nCount)))
        return false;
    for (long i = 0; i < nCount; i++) {
        VARIANT vIndex, vEmpty;
        VariantInit(&vIndex);
        VariantInit(&vEmpty);
        vIndex.vt = VT_I4;
        vIndex.lVal = i;
        CComPtr<IDispatch> item;
        if (FAILED(images->item(vIndex, vEmpty, &item)) || !item)
            continue;
        CComPtr<IHTMLElement> element;
        if (SUCCEEDED(item->QueryInterface(IID_IHTMLElement, element.Out())) && element &&
            TakeImageOfLink(element.Get(), strUrl))
            return true;
    }
    return false;
}

} // namespace

BOOL ResolveLinkedImage(HWND hBrowser, CString& strUrl, int x, int y)
{
    CComPtr<IHTMLDocument2> document;
    if (strUrl.IsEmpty() || !IsBrowserWindow(hBrowser) || !GetBrowserDocument(hBrowser, document))
        return FALSE;

    if (x >= 0 && y >= 0) {
        CComPtr<IHTMLElement> element;
        if (SUCCEEDED(document->elementFromPoint(x, y, &element)) && element &&
            TakeImageOfLink(element.Get(), strUrl))
            return TRUE;
    }
    return TakeImageFromCollection(document.Get(), strUrl);
}
