#pragma once

// The commands on a result row: copy a magnet link and hand it to the system's magnet handler, or open a
// play page in the web browser. They run on the GUI thread; the effects go through a port that the window
// implements with the clipboard, its hidden browser control and the desktop's "open" action.

#include "search/result_list.h"
#include "util/types.h"

namespace fw {

class CommandEffects {
  public:
    virtual ~CommandEffects() = default;
    virtual void SetClipboardText(const Text& text) = 0;
    // Hands an address to the hidden browser control, which passes a magnet link on to the program the
    // system has registered for magnet links.
    virtual void OpenInBrowserControl(const Text& address) = 0;
    // The system's "open" action: a web page opens in the default browser.
    virtual void OpenWithSystem(const Text& address) = 0;
};

// Puts column 2 of the selected magnet row on the clipboard, then hands it to the magnet handler. Nothing
// without a selected row.
void CopyMagnetLink(const ResultList& magnetList, CommandEffects& effects);

// Opens column 4 of the selected play row. Nothing without a selected row.
void OpenPlayPage(const ResultList& playList, CommandEffects& effects);

// Whether a right-click on a list opens its pop-up menu: only over a selected row.
bool ShowsPopupMenu(const ResultList& list);

}  // namespace fw
