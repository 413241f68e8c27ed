#include "gui/list/KwicModel.h"

#include "app/CodePageTexts.h"
#include "app/DecimalText.h"
#include "results/FolderColumn.h"
#include "gui/QtText.h"
#include "gui/list/KwicDelegate.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

// Marked for lupdate here, translated when shown by tr(), whose context is
// the class's full name.
const char* const kColumnTitles[] = {"", QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Left Context"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Keyword and Right Context"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Filename"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Line"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Code page"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Folder")};

}  // namespace

KwicModel::KwicModel(RowTable& rows, QObject* parent) : QAbstractTableModel(parent), rows_(rows) {
  // Whatever changes the rows or what they hold ends the last row's preview.
  connect(this, &QAbstractItemModel::modelReset, this, [this] { ForgetPreviews(); });
  connect(this, &QAbstractItemModel::layoutChanged, this, [this] { ForgetPreviews(); });
  connect(this, &QAbstractItemModel::dataChanged, this, [this] { ForgetPreviews(); });
  connect(this, &QAbstractItemModel::rowsInserted, this, [this] { ForgetPreviews(); });
  connect(this, &QAbstractItemModel::rowsRemoved, this, [this] { ForgetPreviews(); });
}

int KwicModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.RowCount());
}

int KwicModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kResultColumns; }

void KwicModel::SetPreview(const ReplacePreview* preview, std::u16string replacement) {
  preview_ = preview;
  replacement_ = std::move(replacement);
  cannotHold_.clear();
  ForgetPreviews();
  RowsReordered();
}

const std::optional<ReplacePreview::Outcome>& KwicModel::PreviewOf(size_t row) const {
  if (previewRow_ != row) {
    previewRow_ = row;
    previewOutcome_.reset();
    if (preview_ != nullptr) previewOutcome_ = preview_->Of(rows_.Row(row), replacement_);
  }
  return previewOutcome_;
}

bool KwicModel::CannotHold(const HitFile& file) const {
  if (preview_ == nullptr) return false;
  if (!CompressedFiles({&file}).empty()) return true;
  if (file.codePage == 0) return false;
  const auto known = cannotHold_.find(file.codePage);
  if (known != cannotHold_.end()) return known->second;
  return cannotHold_[file.codePage] = !FilesThatCannotHold({&file}, replacement_).empty();
}

QVariant KwicModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.RowCount()) return {};
  const size_t row = static_cast<size_t>(index.row());
  const Hit& hit = rows_.Row(row);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return CellText(hit, static_cast<ResultColumn>(index.column()), index.row());
    case LeftContextRole: return ToQString(hit.LeftContext());
    case KeywordRole: return ToQString(hit.Keyword());
    case RightContextRole: return ToQString(hit.RightContext());
    case ReplacementRole: {
      const auto& preview = PreviewOf(row);
      return preview ? QVariant(ToQString(preview->replacement)) : QVariant();
    }
    case ReplacementKnownRole: {
      const auto& preview = PreviewOf(row);
      return preview && preview->known;
    }
    case CodePageRefusedRole: return CannotHold(hit.File());
    case CodePageNameRole: return ToQString(CodePageCellText(hit.File()));
    case UndecodableRole: return hit.File().undecodable;
    case Qt::ToolTipRole:
      // Over a previewed keyword: why its replacement is not shown, or why the file will stay as it is.
      if (Previewing() && static_cast<ResultColumn>(index.column()) == ResultColumn::KeywordAndRight) {
        if (const auto& preview = PreviewOf(row); preview && !preview->known) return KwicDelegate::UnknownReplacementTip();
        if (CannotHold(hit.File())) {
          const std::u16string compressed = CompressedWarning({&hit.File()});
          return ToQString(compressed.empty() ? CannotHoldWarning({&hit.File()}, replacement_) : compressed);
        }
      }
      // The name column shows no folder: the tooltip tells files of one name apart.
      return ToolTip(hit, row);
    case Qt::AccessibleDescriptionRole:
      return tr("%1, line %2: %3").arg(ToQString(hit.FileName())).arg(hit.line)
          .arg(ToQString(hit.LeftContext() + hit.Keyword() + hit.RightContext()));
    default: return {};
  }
}

QVariant KwicModel::CellText(const Hit& hit, ResultColumn column, int row) const {
  switch (column) {
    case ResultColumn::Hidden: return row;
    case ResultColumn::LeftContext: return ToQString(hit.LeftContext());
    case ResultColumn::KeywordAndRight: return ToQString(hit.Keyword() + hit.RightContext());
    // As shown: a name's control characters are made visible.
    case ResultColumn::FileName: return ToQString(DisplayPath(hit.FileName()));
    case ResultColumn::Line: return QString::number(hit.line);
    case ResultColumn::CodePage: return CodePageCell(hit.File());
    case ResultColumn::Folder: return ToQString(DisplayPath(RelativeFolder(hit.Folder(), searchedFolders_)));
  }
  return {};
}

QString KwicModel::ToolTip(const Hit& hit, size_t row) const {
  QString tip = ToQString(DisplayPath(hit.FullPath())) + u'\n' + tr("Line %1").arg(hit.line);
  tip += u'\n' + tr("Hits in this file: %1").arg(ToQString(GroupedText(HitsInFileOf(*rows_.Hits(), rows_.HitIndex(row)))));
  if (hit.FileCodePage() != 0) tip += u'\n' + tr("Code page %1").arg(ToQString(CodePageCellText(hit.File())));
  if (hit.File().undecodable) tip += u'\n' + UndecodableTip();
  return tip;
}

QString KwicModel::CodePageCell(const HitFile& file) {
  const QString name = ToQString(CodePageCellText(file));
  return file.undecodable ? tr("%1 (bytes not read)").arg(name) : name;
}

QString KwicModel::UndecodableTip() {
  return tr("Some bytes of this file are not text in this code page: it may be another.\n"
            "\"Read this file as\" in the row's menu reads it in the one you choose.");
}

QVariant KwicModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kResultColumns)
    return {};
  return tr(kColumnTitles[section]);
}

void KwicModel::ResetRows(const std::function<void()>& remake) {
  beginResetModel();
  remake();
  ForgetPreviews();
  endResetModel();
}

// The same number of rows, other hits in them: a change of data, which the
// view answers by painting what it shows. A change of layout would have the
// rows' header walk every row, a tenth of a second at fifty million.
void KwicModel::RowsReordered() {
  ForgetPreviews();
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kResultColumns - 1));
}

}  // namespace trawlscope
