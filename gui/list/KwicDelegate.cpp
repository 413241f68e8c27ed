#include "gui/list/KwicDelegate.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace trawlscope {
namespace {

const QColor kSelected(195, 220, 252);
const QColor kOddRow(239, 242, 255);
const QColor kEvenRow(255, 255, 255);
const QColor kKeyword(255, 0, 0);
const QColor kReplacement(0, 128, 0);
const QColor kUnknown(128, 128, 128);
const QColor kReplacedTint(255, 214, 214);  // behind the text a replace takes out

// Single line, every character literal (an "&" stays an "&"), cut with an
// ellipsis. Right-aligned text is cut at its start: the left context keeps the
// characters next to the keyword, which are the ones that matter.
void DrawCellText(QPainter* painter, const QRect& rect, const QString& text, Qt::Alignment alignment,
                  Qt::TextElideMode elide) {
  const QString shown = painter->fontMetrics().elidedText(text, elide, rect.width());
  painter->drawText(rect, static_cast<int>(alignment | Qt::AlignTop | Qt::TextSingleLine), shown);
}

void DrawCellText(QPainter* painter, const QRect& rect, const QString& text, Qt::Alignment alignment) {
  DrawCellText(painter, rect, text, alignment, (alignment & Qt::AlignRight) ? Qt::ElideLeft : Qt::ElideRight);
}

std::u16string_view Units(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

// Room before the code page's name.
constexpr int kCodePageIndent = 6;

// Room above the text (the cell starts a pixel down) and below its descenders.
constexpr int kRowPadding = 3;

}  // namespace

int KwicRowHeight(const QFont& font) {
  int height = QFontMetrics(font).height();
  // A glyph from a fallback family (a Japanese font beside a Latin one) may
  // reach further than the first family's metrics say.
  for (const QString& family : font.families()) {
    QFont one(font);
    one.setFamilies({family});
    height = std::max(height, QFontMetrics(one).height());
  }
  return std::max(kKwicRowHeight, height + kRowPadding);
}

QColor RowBackground(int row, bool selected) {
  if (selected) return kSelected;
  return row % 2 == 1 ? kOddRow : kEvenRow;
}

CharacterWidths::CharacterWidths(const QFont& font) : metrics_(font), widths_(0x10000, 0) {}

int CharacterWidths::Width(char16_t unit) {
  int& width = widths_[unit];
  // A unit measured as 0 wide is measured again at every use.
  if (width == 0) width = metrics_.horizontalAdvance(QChar(unit));
  return width;
}

int CharacterWidths::TextWidth(std::u16string_view text) {
  int sum = 0;
  for (const char16_t unit : text) sum += Width(unit);
  return sum;
}

KwicDelegate::KwicDelegate(const KwicModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}

QSize KwicDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(0, KwicRowHeight(option.font));
}

const QString KwicDelegate::kUnknownReplacement = QStringLiteral(" (?) ");
QString KwicDelegate::UnknownReplacementTip() {
  return tr("What replaces this occurrence depends on text beyond the context shown here\n"
            "(a look-ahead, a look-behind, or a format that copies the text around the match).\n"
            "The replace works it out from the whole file.");
}

KwicDelegate::Replacement KwicDelegate::ReplacementOf(const QModelIndex& index) {
  const QVariant text = index.data(ReplacementRole);
  if (!text.isValid()) return {};
  return {true, index.data(ReplacementKnownRole).toBool(), text.toString()};
}

int KwicDelegate::ReplacementWidth(const Replacement& replacement) const {
  if (!widths_ || !replacement.shown) return 0;
  if (!replacement.known) return widths_->Advance(kUnknownReplacement);
  return widths_->TextWidth(Units(replacement.text));
}

KwicDelegate::KeywordLayout KwicDelegate::LayOutKeyword(const QRect& cell, size_t row) const {
  const QModelIndex index = model_.index(static_cast<int>(row), static_cast<int>(ResultColumn::KeywordAndRight));
  return LayOutKeyword(cell, index.data(KeywordRole).toString(), ReplacementOf(index));
}

KwicDelegate::KeywordLayout KwicDelegate::LayOutKeyword(const QRect& cell, const QString& keyword,
                                                        const Replacement& replacement) const {
  const int width = widths_ ? widths_->TextWidth(Units(keyword)) : 0;
  const int replacementWidth = ReplacementWidth(replacement);
  return {cell.left(), width, cell.left() + width, cell.left() + width + replacementWidth};
}

void KwicDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (!index.isValid()) return;
  painter->save();
  painter->setFont(option.font);
  if (!widths_) widths_ = std::make_unique<CharacterWidths>(option.font);
  painter->fillRect(option.rect, RowBackground(index.row(), option.state & QStyle::State_Selected));
  const QColor text = option.palette.color(QPalette::WindowText);
  painter->setPen(text);
  const QRect cell = option.rect.adjusted(0, 1, 0, 0);
  painter->setClipRect(option.rect);
  switch (static_cast<ResultColumn>(index.column())) {
    case ResultColumn::Hidden:
    case ResultColumn::LeftContext:
      DrawCellText(painter, cell, index.data(LeftContextRole).toString(),
                   index.column() == 1 ? Qt::AlignRight : Qt::AlignLeft);
      break;
    case ResultColumn::KeywordAndRight: PaintKeywordAndRight(painter, cell, index, text); break;
    // Names of one family often differ only in their ends ("CPU_SET.3", "CPU_SET_S.3").
    case ResultColumn::FileName:
    case ResultColumn::Folder:
      DrawCellText(painter, cell, index.data(Qt::DisplayRole).toString(), Qt::AlignLeft, Qt::ElideMiddle);
      break;
    case ResultColumn::Line: DrawCellText(painter, cell, index.data(Qt::DisplayRole).toString(), Qt::AlignRight); break;
    case ResultColumn::CodePage: PaintCodePage(painter, cell, index); break;
  }
  painter->restore();
}

void KwicDelegate::PaintCodePage(QPainter* painter, const QRect& cell, const QModelIndex& index) const {
  // Apart from the line number, which is set flush right beside it.
  QRect text = cell.adjusted(kCodePageIndent, 0, 0, 0);
  if (index.data(UndecodableRole).toBool()) {
    // A wrong guess stands out: a warning sign before the name, which says it too.
    const int side = std::min(cell.height() - 2, painter->fontMetrics().height());
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    warning.paint(painter, QRect(text.left(), cell.top(), side, side));
    text.setLeft(text.left() + side + 2);
  }
  // The sign says what the model's text says in words.
  DrawCellText(painter, text, index.data(CodePageNameRole).toString(), Qt::AlignLeft);
}

void KwicDelegate::PaintKeywordAndRight(QPainter* painter, const QRect& cell, const QModelIndex& index,
                                        const QColor& text) const {
  const QString keyword = index.data(KeywordRole).toString();
  const Replacement preview = ReplacementOf(index);
  const KeywordLayout layout = LayOutKeyword(cell, keyword, preview);
  // A file whose page cannot write the replacement keeps its keyword: the
  // replacement is shown struck through instead.
  const bool refused = preview.shown && index.data(CodePageRefusedRole).toBool();
  painter->setPen(kKeyword);
  if (preview.shown && !refused) {
    // A strike-through alone is a hair across kanji: the text going out is
    // also set on a tint of its own.
    painter->fillRect(QRect(layout.keywordLeft, cell.top() + 1, layout.keywordWidth, cell.height() - 2), kReplacedTint);
    QFont struck = painter->font();
    struck.setStrikeOut(true);
    painter->setFont(struck);
  }
  DrawCellText(painter, cell, keyword, Qt::AlignLeft);
  if (preview.shown) {
    QFont plain = painter->font();
    plain.setStrikeOut(refused);
    painter->setFont(plain);
    QRect replacement = cell;
    replacement.setLeft(layout.replacementLeft);
    painter->setPen(preview.known && !refused ? kReplacement : kUnknown);
    if (replacement.width() > 0)
      DrawCellText(painter, replacement, preview.known ? preview.text : kUnknownReplacement, Qt::AlignLeft);
  }
  painter->setPen(text);
  if (refused) {
    QFont plain = painter->font();
    plain.setStrikeOut(false);
    painter->setFont(plain);
  }
  QRect right = cell;
  right.setLeft(layout.rightContextLeft);
  if (right.width() > 0) DrawCellText(painter, right, index.data(RightContextRole).toString(), Qt::AlignLeft);
}

}  // namespace trawlscope
