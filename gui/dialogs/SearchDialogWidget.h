#pragma once
// The main search dialog's window: its controls laid out in dialog units, with every event handed to the dialog's logic.
#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>

#include "app/SearchDialogView.h"
#include "app/SettingsStore.h"
#include "gui/dialogs/QtHistoryCombo.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace trawlscope {

class SearchDialog;
class ProgressDialogWidget;
class ResultDialogWidget;

class SearchDialogWidget final : public QDialog, public ISearchDialogView {
  Q_OBJECT
 public:
  explicit SearchDialogWidget(SettingsStore& settings);
  ~SearchDialogWidget() override;

  // Wires the logic in; call before showing the dialog.
  void SetLogic(SearchDialog* logic);

  // ISearchDialogView
  IHistoryCombo& Combo(ControlId id) override;
  bool IsChecked(ControlId id) const override;
  void SetChecked(ControlId id, bool checked) override;
  void Enable(ControlId id, bool enabled) override;
  std::u16string FieldText(ControlId id) const override;
  void SetFieldText(ControlId id, std::u16string_view text) override;
  CodePage ReadAs() const override;
  void SetReadAs(CodePage codePage) override;
  void Focus(ControlId id) override;
  ScreenRect Frame() const override;
  ScreenSize MinimumFrameSize() const override;
  ScreenSize VirtualScreenSize() const override;
  void MoveTo(const ScreenRect& frame) override;
  IProgressView* OpenProgress() override;
  void CloseProgress() override;
  IProgressView* Progress() override;
  void StartProgressTimer() override;
  void StopProgressTimer() override;
  IResultView* OpenResults(const HitList& hits) override;
  void CloseResults() override;
  IResultView* Results() override;
  void ShowMessage(std::u16string_view text) override;
  void ShowError(std::u16string_view text) override;
  void ShowDetailedMessage(std::u16string_view text, std::u16string_view detail) override;
  bool ShowReplaceSummary(std::u16string_view text, bool offerUndo) override;
  bool Confirm(std::u16string_view question) override;
  void ShowBrowseMenu() override;
  void SetWaitCursor(bool waiting) override;
  void Defer(std::function<void()> work) override;
  void CloseNow() override;

  // For tests and screenshots.
  QComboBox* ComboBox(ControlId id) const;
  QCheckBox* CheckBox(ControlId id) const;
  // The size and time bounds' fields; null for any other control.
  QLineEdit* Field(ControlId id) const;
  QPushButton* SearchButton() const { return search_; }
  QPushButton* BrowseButton() const { return browse_; }
  QPushButton* UndoButton() const { return undo_; }
  QComboBox* ReadAsBox() const { return readAs_; }
  QMenu* BrowseMenu() const { return browseMenu_; }
  ProgressDialogWidget* ProgressWidget() const { return progress_.get(); }
  ResultDialogWidget* ResultWidget() const { return results_.get(); }
  // Message boxes are shown through this (`detail` empty when there is
  // none); tests replace it.
  // Answers the questions; a box whose default is No unless a test answers instead.
  std::function<bool(const QString& question)> confirmSink;
  std::function<void(const QString& text, const QString& detail)> messageSink;
  std::function<void(const QString& text)> errorSink;
  // Shows a replace's summary; true when its "Undo" button was chosen.
  std::function<bool(const QString& text, bool offerUndo)> summarySink;
  // The client area every control fits in, with the margin the layout keeps.
  QSize ControlsExtent() const { return controlsExtent_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Build();

  SettingsStore& settings_;
  SearchDialog* logic_ = nullptr;
  QComboBox* searchPath_;
  QComboBox* fileTypes_;
  QComboBox* xpath_;
  QComboBox* searchFor_;
  std::array<std::unique_ptr<QtHistoryCombo>, 4> histories_;
  QCheckBox* regex_;
  QCheckBox* caseSensitive_;
  QCheckBox* subfolders_;
  QCheckBox* compressed_;
  QComboBox* readAs_;  // "Automatic", then every page a file may be read in
  QCheckBox* wholeWord_;
  QCheckBox* skipVersionControl_;
  QCheckBox* followGitignore_;
  QLineEdit* minSize_;
  QLineEdit* maxSize_;
  QLineEdit* modifiedAfter_;
  QLineEdit* modifiedBefore_;
  QPushButton* browse_;
  QPushButton* search_;
  QPushButton* undo_ = nullptr;
  QMenu* browseMenu_;
  QTimer progressTimer_;
  std::unique_ptr<ProgressDialogWidget> progress_;
  std::unique_ptr<ResultDialogWidget> results_;
  QSize controlsExtent_;
  bool closing_ = false;
};

}  // namespace trawlscope
