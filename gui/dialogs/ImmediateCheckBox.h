#pragma once
// A check box whose Alt shortcut toggles it at once. Qt's own waits 100 ms
// to show the press, so Alt+R then Enter started a run in the old mode while
// the box already showed the new one.
#include <QCheckBox>

namespace trawlscope {

class ImmediateCheckBox final : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  bool event(QEvent* event) override;
};

}  // namespace trawlscope
