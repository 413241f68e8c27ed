#pragma once
// Paints one cell of the result list from its hit: the left context
// right-aligned against the red keyword, the right context starting exactly
// where the keyword ends, the file name and the line.
#include <QFontMetrics>
#include <QStyledItemDelegate>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "results/RowTable.h"
#include "search/review/ReplacePreview.h"

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
  KwicDelegate(const RowTable& rows, QObject* parent);
  // The list's font changed: keyword widths are measured again.
  void FontChanged() { widths_.reset(); }
  // While `preview` is set, the keyword cell shows each keyword struck through
  // and what a replace with `replacement` puts in its place after it. Only
  // rows that are painted are worked out. Null ends the preview.
  void SetPreview(const ReplacePreview* preview, std::u16string replacement);
  bool Previewing() const { return preview_ != nullptr; }
  // Shown where a row's replacement depends on text the hit does not keep.
  static const QString kUnknownReplacement;
  static QString UnknownReplacementTip();
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Over a "(?)", the tooltip says why the replacement is not shown.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

  // Where row `row`'s keyword and right context are drawn inside a cell of `cell`.
  struct KeywordLayout {
    int keywordLeft;
    int keywordWidth;
    int replacementLeft;  // the previewed replacement; rightContextLeft when none
    int rightContextLeft;
  };
  KeywordLayout LayOutKeyword(const QRect& cell, size_t row) const;

 private:
  void PaintKeywordAndRight(QPainter* painter, const QRect& cell, size_t row, const QColor& text) const;
  void PaintCodePage(QPainter* painter, const QRect& cell, const HitFile& file) const;
  KeywordLayout LayOutKeyword(const QRect& cell, size_t row,
                              const std::optional<ReplacePreview::Outcome>& preview) const;
  std::optional<ReplacePreview::Outcome> PreviewOf(size_t row) const;
  // Whether the replace will leave the file as it is: it is compressed, or
  // the previewed replacement has characters the file's page cannot write.
  bool CannotHold(const HitFile& file) const;
  int ReplacementWidth(const ReplacePreview::Outcome& outcome) const;

  const RowTable& rows_;
  mutable std::unique_ptr<CharacterWidths> widths_;
  const ReplacePreview* preview_ = nullptr;
  std::u16string replacement_;
  mutable std::map<CodePage, bool> cannotHold_;  // for replacement_, by page
};

QColor RowBackground(int row, bool selected);

}  // namespace trawlscope
