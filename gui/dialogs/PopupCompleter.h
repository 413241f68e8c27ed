#pragma once
// Completions for a history combo that never change what the user typed on
// their own: they are offered in a popup, from the combo's history and, for a
// path, the folders on disk that start with the text, and only a pick (a
// click, or the arrow keys) puts one in the field. An inline completion once
// made the Search path name a subfolder the user never typed.
#include <QCompleter>
#include <QStringListModel>

class QComboBox;
class QMouseEvent;

namespace trawlscope {

class PopupCompleter final : public QCompleter {
  Q_OBJECT
 public:
  enum class Source { History, HistoryAndFolders };
  PopupCompleter(QComboBox& combo, Source source);

  // What the popup offers for `typed`; public for tests.
  QStringList Offers(const QString& typed) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh(const QString& typed);
  void PressAgain(const QMouseEvent& press);

  QComboBox& combo_;
  Source source_;
  QStringListModel offers_;
};

}  // namespace trawlscope
