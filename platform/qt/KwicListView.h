#pragma once
// The keyword-in-context list: a table over the row table with KwicModel and
// KwicDelegate; sorting by a header click, column widths kept in the settings.
#include <QTableView>
#include <vector>

#include "app/SettingsStore.h"
#include "platform/qt/KwicDelegate.h"
#include "platform/qt/KwicModel.h"
#include "results/RowTable.h"

namespace trawlscope {

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
