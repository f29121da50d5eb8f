#include "search/list_commands.h"

#include "search/search_engine.h"

namespace fw {

void CopyMagnetLink(const ResultList& magnetList, CommandEffects& effects) {
    const int row = magnetList.SelectedRow();
    if (row < 0) {
        return;
    }
    effects.SetClipboardText(magnetList.CellText(row, kMagnetLinkColumn));
    effects.OpenInBrowserControl(magnetList.CellText(row, kMagnetLinkColumn));
}

void OpenPlayPage(const ResultList& playList, CommandEffects& effects) {
    // Both ways here (double-click, menu item) come only over a selected row; the test stays so that a
    // caller that forgets cannot open an empty address.
    const int row = playList.SelectedRow();
    if (row < 0) {
        return;
    }
    effects.OpenWithSystem(playList.CellText(row, kPlayAddressColumn));
}

bool ShowsPopupMenu(const ResultList& list) {
    return list.SelectedRow() >= 0;
}

}  // namespace fw
