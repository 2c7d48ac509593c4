// The program's one progress window, as long operations see it: they advance
// its bar and need not know whether it is shown. Opening, saving and creating
// a collection show it, the reading and writing under them advance it, and
// the one who showed it closes it. While it is up, a nested operation that
// asks for a window of its own shares the first one (and its title).
#pragma once

#include "ui3d/dialogs/3DDialog.h"

// The progress window: a small skinned window with a title and a bar that
// runs once from 0 to 65535 over all stages of an operation. It never fades
// (it comes and goes with work, not with the user), and at most one exists.
class CDlgAutoProgress : public C3DDialog
{
public:
    explicit CDlgAutoProgress(CWnd* pParent = NULL);
    ~CDlgAutoProgress() override;

    void SetTitle(LPCSTR pszTitle) { m_strTitle = pszTitle; }
    const CString& GetTitle() const { return m_strTitle; }

    // Moves the bar to dFraction (of 65535) of a stage whose share of the
    // whole bar is dWeight (of 65535); returns 1.
    int SetProgress(double dFraction, double dWeight);

    // The one progress window, or NULL.
    static CDlgAutoProgress* GetCurrent() { return s_pCurrent; }

protected:
    BOOL OnInitDialogEx() override;
    // Esc and the close box: the work under way cannot be stopped, and the
    // window goes only with it (CloseAutoProgress).
    void OnCancel() override {}

private:
    CString m_strTitle;
    double m_dBase;           // the weights of the stages done
    double m_dLastWeight;     // the weight of the stage under way
    double m_dLastFraction;   // the last fraction of that stage (-1: none yet)

    static CDlgAutoProgress* s_pCurrent;
};

// Creates and shows the progress window under pParent, titled pszTitle (NULL:
// untitled). Returns the result of creating it, or 0 without
// doing anything when a progress window exists already.
int ShowAutoProgress(LPCSTR pszTitle, CWnd* pParent);

// Moves the progress bar to the given fraction (of 65535) of a stage whose share
// of the whole bar is dWeight (of 65535). Returns 0 when there is no progress
// window.
int UpdateAutoProgress(double dFraction, double dWeight);

// Destroys the progress window, when there is one; the next ShowAutoProgress
// makes a new one.
void CloseAutoProgress();
