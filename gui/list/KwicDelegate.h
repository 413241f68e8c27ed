#pragma once
// Paints one cell of the result list from its model's roles (KwicModel.h):
// the left context right-aligned against the red keyword, the right context
// starting exactly where the keyword ends, the file name and the line. What
// a row says is the model's; the delegate only decides how it looks.
#include <QFontMetrics>
#include <QStyledItemDelegate>
#include <memory>
#include <string_view>
#include <vector>

#include "gui/list/KwicModel.h"

namespace trawlscope {

// Rows are never less tall than this.
inline constexpr int kKwicRowHeight = 18;

// A row tall enough for every family of the font, descenders and underscores
// included, and never less than kKwicRowHeight.
int KwicRowHeight(const QFont& font);

// Widths of single UTF-16 code units, measured once each: a keyword's width
// is their sum, so that every row's right context starts where its keyword ends.
class CharacterWidths {
 public:
  explicit CharacterWidths(const QFont& font);
  int Width(char16_t unit);
  int TextWidth(std::u16string_view text);
  int Advance(const QString& text) const { return metrics_.horizontalAdvance(text); }

 private:
  QFontMetrics metrics_;
  std::vector<int> widths_;  // 0: not measured yet
};

class KwicDelegate final : public QStyledItemDelegate {
  Q_OBJECT
 public:
  KwicDelegate(const KwicModel& model, QObject* parent);
  // The list's font changed: keyword widths are measured again.
  void FontChanged() { widths_.reset(); }
  // While the model previews a replace, the keyword cell shows each keyword
  // struck through and what the replace puts in its place after it.
  bool Previewing() const { return model_.Previewing(); }
  // Shown where a row's replacement depends on text the hit does not keep.
  static const QString kUnknownReplacement;
  static QString UnknownReplacementTip();
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Where row `row`'s keyword and right context are drawn inside a cell of `cell`.
  struct KeywordLayout {
    int keywordLeft;
    int keywordWidth;
    int replacementLeft;  // the previewed replacement; rightContextLeft when none
    int rightContextLeft;
  };
  KeywordLayout LayOutKeyword(const QRect& cell, size_t row) const;

 private:
  // A previewed replacement, as the model's roles say it.
  struct Replacement {
    bool shown = false;  // a replace is previewed
    bool known = false;
    QString text;
  };
  static Replacement ReplacementOf(const QModelIndex& index);
  void PaintKeywordAndRight(QPainter* painter, const QRect& cell, const QModelIndex& index, const QColor& text) const;
  void PaintCodePage(QPainter* painter, const QRect& cell, const QModelIndex& index) const;
  KeywordLayout LayOutKeyword(const QRect& cell, const QString& keyword, const Replacement& replacement) const;
  int ReplacementWidth(const Replacement& replacement) const;

  // Only for LayOutKeyword by row; painting goes by the index it is given.
  const KwicModel& model_;
  mutable std::unique_ptr<CharacterWidths> widths_;
};

QColor RowBackground(int row, bool selected);

}  // namespace trawlscope
