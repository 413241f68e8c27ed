// How fast the result list opens and scrolls with many hits: builds N hits,
// opens the real result dialog (offscreen unless a display is given), then
// scrolls page by page to the end, painting each page.
// Usage: QT_QPA_PLATFORM=offscreen trawlscope-kwic-bench [HITS]
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

#include "app/SettingsStore.h"
#include "platform/ini/ProfileFile.h"
#include "gui/list/KwicListView.h"
#include "gui/dialogs/ResultDialogWidget.h"

using namespace trawlscope;

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  HitList hits;
  for (int i = 0; i < count; ++i) {
    hits.AppendStandalone(u"/data/docs/", u"file" + std::u16string(1, char16_t(u'A' + i % 26)) + u".txt",
                          (i % 2) ? u"この関数は値を返します。別の関数を呼ぶ前に" : u"int printf(const char *fmt, ...); /* ",
                          (i % 2) ? u"関数" : u"printf",
                          u" の説明と、引数の一覧。 and some more ASCII text after the keyword to fill the column",
                          i + 1, 0);
  }
  QTemporaryDir dir;
  IniProfileFile profile((dir.path() + "/t.ini").toStdString());
  SettingsStore settings(profile);

  QElapsedTimer timer;
  timer.start();
  ResultDialogWidget dialog(nullptr, hits, settings, [](Command) {});
  dialog.resize(1000, 700);
  dialog.show();
  QApplication::processEvents();
  dialog.List()->viewport()->repaint();
  const double openMs = timer.nsecsElapsed() / 1e6;

  QScrollBar* bar = dialog.List()->verticalScrollBar();
  timer.restart();
  int pages = 0;
  for (int value = 0; value <= bar->maximum(); value += bar->pageStep(), ++pages) {
    bar->setValue(value);
    dialog.List()->viewport()->repaint();
  }
  const double scrollMs = timer.nsecsElapsed() / 1e6;
  timer.restart();
  dialog.List()->horizontalHeader()->setSortIndicatorShown(false);
  emit dialog.List()->horizontalHeader()->sectionClicked(2);
  dialog.List()->viewport()->repaint();
  const double sortMs = timer.nsecsElapsed() / 1e6;
  std::printf("%d hits: open and first paint %.1f ms; %d pages scrolled and painted in %.1f ms "
              "(%.2f ms a page); sort by right context and repaint %.1f ms\n",
              count, openMs, pages, scrollMs, pages ? scrollMs / pages : 0.0, sortMs);
  return 0;
}
