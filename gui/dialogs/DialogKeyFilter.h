#pragma once
// Enter and Escape inside one dialog: Enter goes to `onEnter` (which says
// whether it took the key), Escape closes the dialog or only clears the
// selected text, as `escape` says. It watches the whole application's key
// presses, because the focus widget (a combo's line edit) would otherwise take
// Enter first. A popup of the dialog's own (a completion, a menu) is a window
// of its own and takes Escape first.
#include <QObject>
#include <functional>

class QWidget;

namespace trawlscope {

class DialogKeyFilter final : public QObject {
 public:
  // The main dialog is the program: Escape, pressed once more than a popup
  // needed, must not end it with nothing saved.
  enum class Escape { Closes, ClearsSelection };
  DialogKeyFilter(QWidget* dialog, Escape escape, std::function<bool()> onEnter);
  ~DialogKeyFilter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* dialog_;
  Escape escape_;
  std::function<bool()> onEnter_;
};

}  // namespace trawlscope
