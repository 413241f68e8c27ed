#include "gui/list/KwicDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

#include "platform/files/NativePath.h"
#include "app/CodePageTexts.h"
#include "gui/QtText.h"
#include "gui/list/KwicModel.h"

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

KwicDelegate::KwicDelegate(const RowTable& rows, QObject* parent) : QStyledItemDelegate(parent), rows_(rows) {}

QSize KwicDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(0, KwicRowHeight(option.font));
}

const QString KwicDelegate::kUnknownReplacement = QStringLiteral(" (?) ");
QString KwicDelegate::UnknownReplacementTip() {
  return tr("What replaces this occurrence depends on text beyond the context shown here\n"
            "(a look-ahead, a look-behind, or a format that copies the text around the match).\n"
            "The replace works it out from the whole file.");
}

void KwicDelegate::SetPreview(const ReplacePreview* preview, std::u16string replacement) {
  preview_ = preview;
  replacement_ = std::move(replacement);
  cannotHold_.clear();
}

bool KwicDelegate::CannotHold(const HitFile& file) const {
  if (preview_ == nullptr) return false;
  if (!CompressedFiles({&file}).empty()) return true;
  if (file.codePage == 0) return false;
  const auto known = cannotHold_.find(file.codePage);
  if (known != cannotHold_.end()) return known->second;
  return cannotHold_[file.codePage] = !FilesThatCannotHold({&file}, replacement_).empty();
}

bool KwicDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index) {
  if (event->type() == QEvent::ToolTip && static_cast<ResultColumn>(index.column()) == ResultColumn::KeywordAndRight &&
      static_cast<size_t>(index.row()) < rows_.RowCount()) {
    const std::optional<ReplacePreview::Outcome> preview = PreviewOf(static_cast<size_t>(index.row()));
    if (preview && !preview->known) {
      QToolTip::showText(event->globalPos(), UnknownReplacementTip(), view);
      return true;
    }
    const HitFile& file = rows_.Row(static_cast<size_t>(index.row())).File();
    if (preview && CannotHold(file)) {
      const std::u16string compressed = CompressedWarning({&file});
      QToolTip::showText(event->globalPos(),
                         ToQString(compressed.empty() ? CannotHoldWarning({&file}, replacement_) : compressed), view);
      return true;
    }
  }
  return QStyledItemDelegate::helpEvent(event, view, option, index);
}

std::optional<ReplacePreview::Outcome> KwicDelegate::PreviewOf(size_t row) const {
  if (preview_ == nullptr) return std::nullopt;
  return preview_->Of(rows_.Row(row), replacement_);
}

int KwicDelegate::ReplacementWidth(const ReplacePreview::Outcome& outcome) const {
  if (!widths_) return 0;
  if (!outcome.known) return widths_->Advance(kUnknownReplacement);
  return widths_->TextWidth(outcome.replacement);
}

KwicDelegate::KeywordLayout KwicDelegate::LayOutKeyword(const QRect& cell, size_t row) const {
  return LayOutKeyword(cell, row, PreviewOf(row));
}

KwicDelegate::KeywordLayout KwicDelegate::LayOutKeyword(const QRect& cell, size_t row,
                                                        const std::optional<ReplacePreview::Outcome>& preview) const {
  const int width = widths_ ? widths_->TextWidth(rows_.Row(row).Keyword()) : 0;
  const int replacement = preview ? ReplacementWidth(*preview) : 0;
  return {cell.left(), width, cell.left() + width, cell.left() + width + replacement};
}

void KwicDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const size_t row = static_cast<size_t>(index.row());
  if (row >= rows_.RowCount()) return;
  const Hit& hit = rows_.Row(row);
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
      DrawCellText(painter, cell, ToQString(hit.LeftContext()),
                   index.column() == 1 ? Qt::AlignRight : Qt::AlignLeft);
      break;
    case ResultColumn::KeywordAndRight: PaintKeywordAndRight(painter, cell, row, text); break;
    // Names of one family often differ only in their ends ("CPU_SET.3", "CPU_SET_S.3").
    case ResultColumn::FileName:
      DrawCellText(painter, cell, ToQString(DisplayPath(hit.FileName())), Qt::AlignLeft, Qt::ElideMiddle);
      break;
    case ResultColumn::Line: DrawCellText(painter, cell, QString::number(hit.line), Qt::AlignRight); break;
    case ResultColumn::CodePage: PaintCodePage(painter, cell, hit.File()); break;
    // The model knows the searched folders the path is shown below.
    case ResultColumn::Folder:
      DrawCellText(painter, cell, index.data(Qt::DisplayRole).toString(), Qt::AlignLeft, Qt::ElideMiddle);
      break;
  }
  painter->restore();
}

void KwicDelegate::PaintCodePage(QPainter* painter, const QRect& cell, const HitFile& file) const {
  // Apart from the line number, which is set flush right beside it.
  QRect text = cell.adjusted(kCodePageIndent, 0, 0, 0);
  if (file.undecodable) {
    // A wrong guess stands out: a warning sign before the name, which says it too.
    const int side = std::min(cell.height() - 2, painter->fontMetrics().height());
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    warning.paint(painter, QRect(text.left(), cell.top(), side, side));
    text.setLeft(text.left() + side + 2);
  }
  // The sign says what the model's text says in words.
  DrawCellText(painter, text, ToQString(CodePageCellText(file)), Qt::AlignLeft);
}

void KwicDelegate::PaintKeywordAndRight(QPainter* painter, const QRect& cell, size_t row, const QColor& text) const {
  const Hit& hit = rows_.Row(row);
  // Worked out once: with an expression it is a match over the contexts.
  const std::optional<ReplacePreview::Outcome> preview = PreviewOf(row);
  const KeywordLayout layout = LayOutKeyword(cell, row, preview);
  // A file whose page cannot write the replacement keeps its keyword: the
  // replacement is shown struck through instead.
  const bool refused = preview && CannotHold(hit.File());
  painter->setPen(kKeyword);
  if (preview && !refused) {
    // A strike-through alone is a hair across kanji: the text going out is
    // also set on a tint of its own.
    painter->fillRect(QRect(layout.keywordLeft, cell.top() + 1, layout.keywordWidth, cell.height() - 2), kReplacedTint);
    QFont struck = painter->font();
    struck.setStrikeOut(true);
    painter->setFont(struck);
  }
  DrawCellText(painter, cell, ToQString(hit.Keyword()), Qt::AlignLeft);
  if (preview) {
    QFont plain = painter->font();
    plain.setStrikeOut(refused);
    painter->setFont(plain);
    QRect replacement = cell;
    replacement.setLeft(layout.replacementLeft);
    painter->setPen(preview->known && !refused ? kReplacement : kUnknown);
    if (replacement.width() > 0)
      DrawCellText(painter, replacement, preview->known ? ToQString(preview->replacement) : kUnknownReplacement,
                   Qt::AlignLeft);
  }
  painter->setPen(text);
  if (refused) {
    QFont plain = painter->font();
    plain.setStrikeOut(false);
    painter->setFont(plain);
  }
  QRect right = cell;
  right.setLeft(layout.rightContextLeft);
  if (right.width() > 0) DrawCellText(painter, right, ToQString(hit.RightContext()), Qt::AlignLeft);
}

}  // namespace trawlscope
