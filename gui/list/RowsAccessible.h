#pragma once
// What a screen reader reads of a UniformRowsView: a table of the model's
// rows under the header's shown columns, each cell's text from the model's
// AccessibleTextRole (else DisplayRole). Qt makes such a table only for its
// own QTableView and QListView. Nothing is made for a row until it is asked
// for, and the cells asked for are kept only in a small cache: a list of fifty
// million rows costs what a screen of them does. UI thread only.
#include <QAccessible>

class QModelIndex;

namespace trawlscope {

class UniformRowsView;

// Cells made and not yet dropped, at most: enough for a few screens of rows.
inline constexpr int kCachedAccessibleCells = 1024;

// Lets QAccessible answer for every UniformRowsView; once is enough.
void InstallRowsAccessibility();

// The index of `index`'s cell among the view's accessible children (the
// header cells come first), or -1 when its column is hidden.
int AccessibleChildIndex(const UniformRowsView& view, const QModelIndex& index);

}  // namespace trawlscope
