#pragma once
// The keyword-in-context list: a table that knows only its row count and
// paints each visible row on demand from the row table: the left context
// right-aligned against the red keyword, the right context starting exactly
// where the keyword ends, the file name and the line. No widget holds a copy
// of any hit's text.
#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <vector>

#include "app/SettingsStore.h"
#include "results/RowTable.h"

namespace trawlscope {

// Rows are this tall, as the list always had them.
inline constexpr int kKwicRowHeight = 18;

class KwicModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit KwicModel(RowTable& rows, QObject* parent = nullptr) : QAbstractTableModel(parent), rows_(rows) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void RowsReordered();

 private:
  RowTable& rows_;
};

// Widths of single UTF-16 code units, measured once each: a keyword's width
// is their sum, so that every row's right context starts where its keyword ends.
class CharacterWidths {
 public:
  explicit CharacterWidths(const QFont& font);
  int Width(char16_t unit);
  int TextWidth(std::u16string_view text);

 private:
  QFontMetrics metrics_;
  std::vector<int> widths_;  // 0: not measured yet
};

class KwicDelegate final : public QStyledItemDelegate {
  Q_OBJECT
 public:
  KwicDelegate(const RowTable& rows, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Where row `row`'s keyword and right context are drawn inside a cell of `cell`.
  struct KeywordLayout {
    int keywordLeft;
    int keywordWidth;
    int rightContextLeft;
  };
  KeywordLayout LayOutKeyword(const QRect& cell, size_t row) const;

 private:
  const RowTable& rows_;
  mutable std::unique_ptr<CharacterWidths> widths_;
};

QColor RowBackground(int row, bool selected);

class KwicListView final : public QTableView {
  Q_OBJECT
 public:
  // Reads the column widths from the settings and writes them back at the end
  // of every column drag and when the list goes.
  KwicListView(RowTable& rows, SettingsStore& settings, QWidget* parent);
  ~KwicListView() override;

  KwicModel* Model() const { return model_; }
  KwicDelegate* Delegate() const { return delegate_; }
  void SaveColumnWidths();

 signals:
  void OpenRequested(std::vector<size_t> rows);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  RowTable& rows_;
  SettingsStore& settings_;
  KwicModel* model_;
  KwicDelegate* delegate_;
  bool dragging_ = false;  // a column divider moved since the mouse went down
};

}  // namespace trawlscope
