#pragma once
// Enter and Escape inside one dialog: Enter goes to `onEnter` (which says
// whether it took the key), Escape closes the dialog. It watches the whole application's key presses, because the focus
// widget (a combo's line edit) would otherwise take Enter first.
#include <QObject>
#include <functional>

class QWidget;

namespace trawlscope {

class DialogKeyFilter final : public QObject {
 public:
  DialogKeyFilter(QWidget* dialog, std::function<bool()> onEnter);
  ~DialogKeyFilter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* dialog_;
  std::function<bool()> onEnter_;
};

}  // namespace trawlscope
