#pragma once
#include "HbBasis.h"
#include "HbRSet.h"
#include "KelvorDlg.h"
#include <string>

// The walk of every step that goes through the rows its lookup found: before each
// row the progress bar moves (and every 16 rows the window is served), then the
// step handles the row and returns the result of the Next() or Delete() that
// moved on; 0 means a further row is current. Returns the number of rows found.
template <class HandleRow>
long WalkRows(CKelvorDlg& dlg, CHbRSet& rows, HandleRow handleRow)
{
    const long total = rows.AnzHits();
    for (long done = 0;;) {
        dlg.SetProgress(done, total);
        ++done;
        if (handleRow() != 0)
            return total;
    }
}

// "... <removed><detail> gelöscht.", written only when something was removed.
inline void AddCountLine(CKelvorDlg& dlg, long removed, const std::string& detail = {})
{
    if (removed > 0)
        dlg.AddStatusLine("... " + itoc(removed) + detail + " gelöscht.");
}

// The detail of a count line that names how many rows were examined.
inline std::string OfTotal(long total)
{
    return " von " + itoc(total);
}
