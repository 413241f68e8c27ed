#include "gui/list/KwicModel.h"

#include "app/CodePageTexts.h"
#include "app/DecimalText.h"
#include "results/FolderColumn.h"
#include "gui/QtText.h"
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

int KwicModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.RowCount());
}

int KwicModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kResultColumns; }

// The cells are painted by the delegate straight from the hits; the text
// here, made only when asked, is for screen readers and the view's
// type-ahead search.
QVariant KwicModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.RowCount()) return {};
  const Hit& hit = rows_.Row(index.row());
  switch (role) {
    case Qt::DisplayRole: return CellText(hit, static_cast<ResultColumn>(index.column()), index.row());
    // The name column shows no folder: the tooltip tells files of one name apart.
    case Qt::ToolTipRole: return ToolTip(hit, static_cast<size_t>(index.row()));
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
    case ResultColumn::FileName: return ToQString(hit.FileName());
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
  endResetModel();
}

// The same number of rows, other hits in them: a change of data, which the
// view answers by painting what it shows. A change of layout would have the
// rows' header walk every row, a tenth of a second at fifty million.
void KwicModel::RowsReordered() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kResultColumns - 1));
}

}  // namespace trawlscope
