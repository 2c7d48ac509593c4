// Answers the modal dialog of a test: while it is installed, the dialog whose
// loop goes idle is handed to the test's function as its own class, and is
// then ended with OK.
#pragma once

#include "framework/Framework.h"

#include <functional>

template <class TDialog> class CWorkingAnswerer : public CModalAnswerer
{
public:
    explicit CWorkingAnswerer(std::function<void(TDialog*)> work) : m_work(work)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CWorkingAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        ++nAsked;
        m_work(static_cast<TDialog*>(pDialog));
        return IDOK;
    }
    int nAsked = 0;

private:
    std::function<void(TDialog*)> m_work;
    CModalAnswerer* m_pPrevious;
};
