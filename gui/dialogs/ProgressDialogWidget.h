#pragma once
// The progress dialog: phase, "i/N", file name, bar, hit count and Abort.
// No close box: Abort, Enter and Escape all abort the run.
#include <QDialog>
#include <functional>

#include "app/SearchDialogView.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace trawlscope {

class ProgressDialogWidget final : public QDialog, public IProgressView {
  Q_OBJECT
 public:
  ProgressDialogWidget(QWidget* owner, std::function<void()> onAbort);

  void SetPhase(std::u16string_view text) override;
  void SetCounter(std::u16string_view text) override;
  void SetFileName(std::u16string_view text) override;
  void SetRange(int maximum) override;
  int RangeMaximum() const override;
  void SetPosition(int position) override;
  void SetHitCount(std::u16string_view text) override;
  void SetCountCaption(std::u16string_view text) override;

  QString PhaseText() const;
  QString CounterText() const;
  QString FileNameText() const;
  QString HitCountText() const;
  QString CountCaptionText() const;
  QPushButton* AbortButton() const { return abort_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  QLineEdit* phase_;
  QLineEdit* counter_;
  QLineEdit* fileName_;
  QProgressBar* bar_;
  QLabel* countCaption_;
  QLineEdit* hitCount_;
  QPushButton* abort_;
  int rangeMaximum_ = 0;
  std::function<void()> onAbort_;
};

}  // namespace trawlscope
