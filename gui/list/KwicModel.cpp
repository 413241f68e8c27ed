#include "gui/list/KwicModel.h"

#include "gui/QtText.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

// Marked for lupdate here, translated when shown by tr(), whose context is
// the class's full name.
const char* const kColumnTitles[] = {"", QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Left Context"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Keyword and Right Context"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Filename"),
                                     QT_TRANSLATE_NOOP("trawlscope::KwicModel", "Line")};

}  // namespace

int KwicModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.RowCount());
}

int KwicModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kResultColumns; }

// The cells are painted by the delegate straight from the hits; the model
// hands out no cell text of its own.
QVariant KwicModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::DisplayRole && index.column() == 0) return index.row();
  // The name column shows no folder: the tooltip tells files of one name apart.
  if (role == Qt::ToolTipRole && index.isValid() && static_cast<size_t>(index.row()) < rows_.RowCount())
    return ToolTip(rows_.Row(index.row()));
  return {};
}

QString KwicModel::ToolTip(const Hit& hit) {
  QString tip = ToQString(DisplayPath(hit.FullPath())) + u'\n' + tr("Line %1").arg(hit.line);
  if (hit.FileCodePage() != 0) tip += u'\n' + tr("Code page %1").arg(hit.FileCodePage());
  return tip;
}

QVariant KwicModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kResultColumns)
    return {};
  return tr(kColumnTitles[section]);
}

void KwicModel::RowsReordered() {
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

}  // namespace trawlscope
