#pragma once
// The result dialog: the hit list, "Replace with:", "Replace" and "Output".
// Every command goes to the main dialog through `onCommand`.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "app/DialogIds.h"
#include "app/SearchDialogView.h"
#include "app/SettingsStore.h"
#include "gui/dialogs/QtHistoryCombo.h"
#include "results/RowTable.h"
#include "search/review/ReplacePreview.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QLabel;

namespace trawlscope {

class ResultDialogWidget final : public QDialog, public IResultView {
  Q_OBJECT
 public:
  ResultDialogWidget(QWidget* owner, const HitList& hits, SettingsStore& settings,
                     std::function<void(Command)> onCommand);
  ~ResultDialogWidget() override;

  // Loads the fonts the list draws with, the fallbacks for East Asian,
  // Cyrillic and Greek text included, so that the first list of hits does not
  // wait on font files. For an idle moment before the first search.
  static void PrepareFonts();

  IHistoryCombo& ReplaceCombo() override { return replaceHistory_; }
  void SetRunNote(std::u16string_view note) override;
  void SetSearchRequest(const SearchRequest& request) override;
  HitPicks SelectedHits() const override;
  FileCodePageChoice ReadAsChoice() const override { return readAs_; }
  void SetPagesChosen(size_t files) override;
  void HitsAboutToChange() override;
  void HitsChanged() override;
  void HoldHits(const HitList& held) override;
  void HitsPutBack() override;
  bool SearchingAgain() const { return searchingAgain_; }
  std::optional<HitPicks> ShownHits() const override;
  ScreenSize VirtualScreenSize() const override;
  void MoveTo(const ScreenRect& frame) override;

  QString StatusText() const;
  class KwicListView* List() const { return list_; }
  const RowTable& Rows() const { return rows_; }
  QComboBox* ReplaceComboBox() const { return replaceCombo_; }
  QPushButton* ReplaceButton() const { return replace_; }
  QPushButton* ReplaceSelectedButton() const { return replaceSelected_; }
  QPushButton* OutputButton() const { return output_; }
  QLineEdit* FilterEdit() const { return filter_; }
  QCheckBox* FilterExpressionBox() const { return filterExpression_; }
  QPushButton* SearchAgainButton() const { return searchAgain_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void LayOut();
  // The keyword column previews the replace while "Replace with:" holds text.
  void UpdatePreview();
  void SaveRectangle();
  // A move or resize is stored once the window has stood still a moment, so
  // that placing or dragging it does not wait on the disk at every step.
  void SaveRectangleSoon();
  void SavePendingRectangle();
  // The count (or "N of M shown"), the run's note, and what the list is busy with.
  void ShowStatus();
  void FilterEdited();
  // While the list is searched again, nothing that reads or changes its hits is offered.
  void ShowSearchingAgain(bool searching);
  // Makes the arrangement a change of hits cut short, or the one wanted.
  void ArrangeAgain();

  const HitList& hits_;
  SettingsStore& settings_;
  QTimer rectangleSaver_;
  std::function<void(Command)> onCommand_;
  RowTable rows_;
  std::unique_ptr<ReplacePreview> preview_;
  class KwicListView* list_;
  QLabel* label_;
  QComboBox* replaceCombo_;
  QtHistoryCombo replaceHistory_;
  QLineEdit* status_;
  QPushButton* output_;
  QPushButton* replace_;
  QPushButton* replaceSelected_;
  QLabel* filterLabel_;
  QLineEdit* filter_;
  QCheckBox* filterExpression_;
  QPushButton* searchAgain_;
  std::u16string runNote_;
  // Set by the first MoveTo: before it the window is nowhere it should be
  // remembered, and the stored rectangle is yet to be read.
  bool placed_ = false;
  FileCodePageChoice readAs_;
  bool searchingAgain_ = false;
  // A sort or filter HitsAboutToChange stopped before it was shown.
  std::optional<RowArrangement> interrupted_;
};

}  // namespace trawlscope
