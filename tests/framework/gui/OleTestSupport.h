// Shared by the OLE tests that run with real windows and the real clipboard.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include "framework/Framework.h"
#include "tests/tools/Pump.h"

namespace oletest {

inline HGLOBAL MakeBlock(const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block != NULL && !bytes.empty()) {
        memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

inline std::string BytesOf(HGLOBAL block)
{
    if (block == NULL)
        return "<null>";
    std::string bytes(GlobalSize(block), '\0');
    if (!bytes.empty()) {
        memcpy(&bytes[0], GlobalLock(block), bytes.size());
        GlobalUnlock(block);
    }
    return bytes;
}

inline std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

// What a test data source renders, and what it was asked.
struct RenderPlan
{
    std::map<UINT, std::string> payloads;  // formats rendered with these bytes; others are refused
    std::map<UINT, int> renders;           // OnRenderGlobalData calls per format
    int destroyed = 0;
};

class PlannedSource : public COleDataSource
{
public:
    explicit PlannedSource(RenderPlan* plan) : m_plan(plan) {}
    ~PlannedSource() override { ++m_plan->destroyed; }

protected:
    BOOL OnRenderGlobalData(LPFORMATETC format, HGLOBAL* block) override
    {
        ++m_plan->renders[format->cfFormat];
        auto it = m_plan->payloads.find(format->cfFormat);
        if (it == m_plan->payloads.end())
            return FALSE;
        if (*block != NULL)
            return FALSE;
        *block = MakeBlock(it->second);
        return *block != NULL;
    }

private:
    RenderPlan* m_plan;
};

// OLE for the calling thread, for the length of a test.
class OleThread
{
public:
    OleThread() : m_ok(SUCCEEDED(OleInitialize(NULL))) {}
    ~OleThread()
    {
        if (m_ok)
            OleUninitialize();
    }
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

}  // namespace oletest
