#include "search/result_list.h"

#include <utility>

namespace fw {

ResultList::ResultList(int columnCount, std::vector<int> indexedColumns) : columnCount_(columnCount) {
    for (const int column : indexedColumns) {
        if (column >= 0 && column < columnCount_) {
            indexes_[column];
        }
    }
}

int ResultList::RowCount() const {
    std::lock_guard guard(mutex_);
    return static_cast<int>(rows_.size());
}

void ResultList::DeleteAllRows() {
    {
        std::lock_guard guard(mutex_);
        rows_.clear();
        for (auto& [column, index] : indexes_) {
            index.clear();
        }
        selectedRow_ = -1;
        lastScrollRequest_ = -1;
    }
    Notify({ListChange::Kind::Cleared, -1});
}

int ResultList::AppendRow(std::string_view column0) {
    return AppendRow(std::vector<Text>{Text(column0)});
}

int ResultList::AppendRow(std::vector<Text> cells) {
    cells.resize(static_cast<std::size_t>(columnCount_));
    int row = 0;
    {
        std::lock_guard guard(mutex_);
        row = static_cast<int>(rows_.size());
        rows_.push_back(std::move(cells));
        for (auto& [column, index] : indexes_) {
            IndexCell(row, column, rows_.back()[static_cast<std::size_t>(column)]);
        }
    }
    Notify({ListChange::Kind::RowsAppended, row});
    return row;
}

void ResultList::SetCell(int row, int column, std::string_view text) {
    {
        std::lock_guard guard(mutex_);
        if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= columnCount_) {
            return;
        }
        Text& cell = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        if (indexes_.count(column) != 0) {
            UnindexCell(row, column, cell);
            cell = Text(text);
            IndexCell(row, column, cell);
        } else {
            cell = Text(text);
        }
    }
    Notify({ListChange::Kind::CellChanged, row});
}

Text ResultList::CellText(int row, int column) const {
    std::lock_guard guard(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= columnCount_) {
        return {};
    }
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

int ResultList::FindRow(int column, std::string_view text) const {
    std::lock_guard guard(mutex_);
    if (const auto indexed = indexes_.find(column); indexed != indexes_.end()) {
        const auto found = indexed->second.find(Text(text));
        return found == indexed->second.end() || found->second.empty() ? -1 : *found->second.begin();
    }
    if (column < 0 || column >= columnCount_) {
        return -1;
    }
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row][static_cast<std::size_t>(column)] == text) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

void ResultList::ScrollIntoView(int row) {
    {
        std::lock_guard guard(mutex_);
        if (row < 0 || row >= static_cast<int>(rows_.size())) {
            return;
        }
        lastScrollRequest_ = row;
    }
    Notify({ListChange::Kind::ScrollRequested, row});
}

int ResultList::LastScrollRequest() const {
    std::lock_guard guard(mutex_);
    return lastScrollRequest_;
}

int ResultList::SelectedRow() const {
    std::lock_guard guard(mutex_);
    return selectedRow_;
}

void ResultList::SetSelectedRow(int row) {
    std::lock_guard guard(mutex_);
    selectedRow_ = (row >= 0 && row < static_cast<int>(rows_.size())) ? row : -1;
}

std::vector<std::vector<Text>> ResultList::Rows() const {
    std::lock_guard guard(mutex_);
    return rows_;
}

std::vector<Text> ResultList::Row(int row) const {
    std::lock_guard guard(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return {};
    }
    return rows_[static_cast<std::size_t>(row)];
}

void ResultList::SetListener(std::function<void(const ListChange&)> listener) {
    std::lock_guard guard(mutex_);
    listener_ = std::move(listener);
}

void ResultList::IndexCell(int row, int column, const Text& text) {
    indexes_[column][text].insert(row);
}

void ResultList::UnindexCell(int row, int column, const Text& text) {
    auto& index = indexes_[column];
    if (const auto found = index.find(text); found != index.end()) {
        found->second.erase(row);
        if (found->second.empty()) {
            index.erase(found);
        }
    }
}

void ResultList::Notify(const ListChange& change) const {
    std::function<void(const ListChange&)> listener;
    {
        std::lock_guard guard(mutex_);
        listener = listener_;
    }
    if (listener) {
        listener(change);
    }
}

}  // namespace fw
