#pragma once
// The keyword-in-context list: a table of uniform rows over the row table with KwicModel and
// KwicDelegate; sorting by a header click, column widths kept in the settings,
// Ctrl+C and a context menu over the selected rows.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "gui/list/KwicDelegate.h"
#include "gui/list/KwicModel.h"
#include "gui/list/UniformRowsView.h"
#include "results/RowArranger.h"
#include "results/RowTable.h"
#include "search/hits/HitPicks.h"

class QMenu;

namespace trawlscope {

class KwicListView final : public UniformRowsView {
  Q_OBJECT
 public:
  // Reads the column widths from the settings and writes them back at the end
  // of every column drag and when the list goes.
  KwicListView(RowTable& rows, SettingsStore& settings, QWidget* parent);
  ~KwicListView() override;

  KwicModel* Model() const { return model_; }
  KwicDelegate* Delegate() const { return delegate_; }
  void SaveColumnWidths();
  // Sorts and filters on a thread of its own; a later call replaces an
  // earlier one still running. The rows change when it is done.
  void Arrange(const RowArrangement& wanted);
  // Stops the running sort or filter and waits for it: before the hits change.
  void CancelArranging();
  // The arrangement being made, or the one shown when none is.
  RowArrangement Pending() const;
  bool Arranging() const { return arranger_.Busy(); }
  // The Line column's width when none is stored: its title or five digits, whichever is wider.
  int DefaultLineWidth() const;
  // The selected rows, in the list's order.
  std::vector<size_t> SelectedRows() const;
  // Their hits, in the same order.
  HitPicks SelectedHits() const;
  // Puts the selected rows on the clipboard: one TAB-separated line each.
  void CopySelectedRows() const;
  void CopySelectedPaths() const;
  // Shows each selected hit's folder in the file manager, and says which
  // could not be shown (no file manager registered, for one).
  void OpenSelectedFolders() const;
  // Seams for tests: how a folder is shown, and how the list speaks.
  std::function<bool(const std::string& nativeFolder)> folderOpener;
  std::function<void(const QString& text)> messageSink;
  // The pages "Read this file as" offers first, and the one "Other..." asks for (kNone: none).
  std::function<std::vector<CodePage>(const std::u16string& path, CodePage current)> readAsCandidates;
  std::function<CodePage(CodePage current)> otherCodePage;
  // How many files are read in a page chosen for them: the menu offers to forget those pages.
  void SetPagesChosen(size_t files) { pagesChosen_ = files; }
  // The context menu for the selection, built anew each time.
  QMenu* MakeContextMenu();
  // The header's menu: which of the columns that may be hidden are shown.
  QMenu* MakeHeaderMenu();
  // The Code page column's width when none is stored: a typical name's.
  int DefaultCodePageWidth() const;
  // A column's title with a sort arrow, as the header draws it.
  int TitleWidth(int column) const;
  // `text` in a cell, with the cell's margins.
  int CellWidth(const QString& text) const;
  // The Folder column's: a typical folder's below the one searched.
  int DefaultFolderWidth() const;

 signals:
  void OpenRequested(std::vector<size_t> rows);
  void ReplaceSelectedRequested();
  // "Read this file as": the current row's file, in `page`.
  void ReadFileAsRequested(std::u16string path, CodePage page);
  void ForgetPagesRequested();
  // A sort or filter started (busy) or ended, its rows shown or cancelled.
  void ArrangingChanged(bool busy);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  void FitRowsToFont();
  // "Read this file as", for the current row's file.
  void AddReadAsMenu(QMenu& menu);
  CodePage AskOtherCodePage(CodePage current);
  void ShareWidth();
  // What the widest file name of the list needs, measured again when the hits or the font change.
  int WholeNameWidth();
  struct MeasuredName {
    size_t measuredHits = SIZE_MAX;
    QFont font;
    int width = 0;
  } wholeName_;
  void KeepProportions();
  // The columns that share the list's width, and their proportions as
  // loaded or last dragged.
  static constexpr std::array<int, 3> kSharedColumns = {static_cast<int>(ResultColumn::LeftContext),
                                                        static_cast<int>(ResultColumn::KeywordAndRight),
                                                        static_cast<int>(ResultColumn::FileName)};
  std::array<int, 3> proportions_{};
  // The selected rows as first-last spans, in order, none overlapping.
  std::vector<std::pair<int, int>> SelectedSpans() const;

  RowTable& rows_;
  SettingsStore& settings_;
  KwicModel* model_;
  KwicDelegate* delegate_;
  void ShowArranged(const RowArrangement& arrangement, ArrangedRows rows);
  // Stops the running sort or filter without waiting for its thread; the hits must not change.
  void StopArranging();
  void HeaderClicked(int column);
  void ShowSortIndicator(const RowArrangement& arrangement);
  RowArranger arranger_;
  bool dragging_ = false;  // a column divider moved since the mouse went down
  size_t pagesChosen_ = 0;
};

}  // namespace trawlscope
