#pragma once

// A result list of the main window without the widget: rows of column texts, appended at the end and
// emptied at the start of a run. Thread-safe: adapters append from worker threads (under the run lock,
// which orders rows and numbers them), the window and the command line read at any time. The window
// learns of changes through a listener and shows the rows through a table model.

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/types.h"

namespace fw {

struct ListChange {
    enum class Kind { RowsAppended, CellChanged, Cleared, ScrollRequested };
    Kind kind;
    int row;  // the row concerned; -1 for Cleared
};

class ResultList {
  public:
    // `indexedColumns` keep an index, so finding a row by their text costs the same at 20,000 rows as at
    // 20 (the magnet list's link column).
    ResultList(int columnCount, std::vector<int> indexedColumns = {});

    int ColumnCount() const { return columnCount_; }
    int RowCount() const;
    void DeleteAllRows();

    // Appends a row whose column 0 is `column0` (other columns empty); returns its index.
    int AppendRow(std::string_view column0);

    // Appends a complete row (missing trailing columns empty, extra ones dropped) in one step, so that no
    // reader ever sees it half filled; returns its index.
    int AppendRow(std::vector<Text> cells);

    // Does nothing for a row or column that does not exist (the list may have been emptied meanwhile).
    void SetCell(int row, int column, std::string_view text);
    Text CellText(int row, int column) const;

    // The first row, from row 0, whose text in `column` equals `text` byte for byte; -1 if none.
    int FindRow(int column, std::string_view text) const;

    void ScrollIntoView(int row);
    int LastScrollRequest() const;  // -1 when none since the last DeleteAllRows

    int SelectedRow() const;  // -1 when none
    void SetSelectedRow(int row);

    std::vector<std::vector<Text>> Rows() const;
    std::vector<Text> Row(int row) const;  // empty when the row does not exist

    // Called after every change, on the thread that made it, without the list's lock held. The window
    // uses it to post a notice to its own thread; it must not block.
    void SetListener(std::function<void(const ListChange&)> listener);

  private:
    void IndexCell(int row, int column, const Text& text);    // mutex_ held
    void UnindexCell(int row, int column, const Text& text);  // mutex_ held
    void Notify(const ListChange& change) const;

    const int columnCount_;
    mutable std::mutex mutex_;
    std::vector<std::vector<Text>> rows_;
    // For each indexed column: text -> the rows holding it, in row order.
    std::map<int, std::unordered_map<Text, std::set<int>>> indexes_;
    int selectedRow_ = -1;
    int lastScrollRequest_ = -1;
    std::function<void(const ListChange&)> listener_;
};

}  // namespace fw
