// The result list over a real search, as the window holds it: runs the
// search the dialog runs, opens the real result dialog over its hits
// (offscreen unless a display is given), then sorts by a few columns and
// types a filter, each as a user would (a header click, keys in the box),
// timing each until its rows show and watching the event loop all along:
// a timer that should tick every 10 ms reports the longest gap, the longest
// the window stopped answering. Prints the hits, the peak memory (from
// getrusage) before the search and after each step, and the times. Exits 1
// when the window stopped answering for more than 100 ms after the list opened.
// Usage: QT_QPA_PLATFORM=offscreen trawlscope-list-bench FOLDER TEXT [FILTER]
// (TRAWLSCOPE_BENCH_CONTEXT_SORT=1 adds the sort by left context, minutes at 50 million hits.)
#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/SettingsStore.h"
#include "gui/dialogs/ResultDialogWidget.h"
#include "gui/list/KwicListView.h"
#include "platform/files/NativePath.h"
#include "platform/ini/ProfileFile.h"
#include "search/run/SearchJob.h"

using namespace trawlscope;

namespace {

constexpr qint64 kLongestAllowedStallMs = 100;
constexpr int kTickMs = 10;

class QuietSink final : public IJobSink {
 public:
  void Warn(const RunWarning&) override {}
  void RunFinished(const RunSummary&) override {}
};

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// The longest time between two ticks of a timer that asks for one every kTickMs.
class StallWatch : public QObject {
 public:
  StallWatch() {
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
      longest_ = std::max(longest_, clock_.restart());
    });
  }
  void Start() {
    longest_ = 0;
    clock_.start();
    timer_.start();
  }
  qint64 Stop() {
    timer_.stop();
    return std::max(longest_, clock_.elapsed());
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 longest_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: trawlscope-list-bench FOLDER TEXT [FILTER]\n");
    return 2;
  }
  const QString filter = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("usb");
  std::printf("baseline peak %.0f MB\n", PeakMegabytes());
  const double baseline = PeakMegabytes();

  JobState state;
  state.request.searchPath = FromNativePath(argv[1]);
  state.request.searchText = FromNativePath(argv[2]);
  state.request.includeSubfolders = true;
  state.contextLength = kRunContextLength;
  QuietSink sink;
  QElapsedTimer timer;
  timer.start();
  RunSearch(state, sink);
  const size_t hits = state.hits.size();
  std::printf("search: %zu hits in %.2f s, peak %.0f MB (%.1f bytes a hit above the baseline)\n", hits,
              timer.elapsed() / 1000.0, PeakMegabytes(), (PeakMegabytes() - baseline) * 1048576.0 / std::max<size_t>(hits, 1));

  // What the hits hold: the records, and the text around them, once per file.
  size_t contextBytes = 0;
  for (const HitFile* file : state.hits.Files())
    contextBytes += file->narrow.capacity() + file->wide.capacity() * sizeof(char16_t) + sizeof(HitFile);
  std::printf("held: %zu bytes a hit record, %.1f bytes a hit of context and file records\n", PackedHits::RecordBytes(),
              static_cast<double>(contextBytes) / std::max<size_t>(hits, 1));
  QTemporaryDir dir;
  IniProfileFile profile((dir.path() + "/t.ini").toStdString());
  SettingsStore settings(profile);
  timer.restart();
  ResultDialogWidget dialog(nullptr, state.hits, settings, [](Command) {});
  dialog.SetSearchRequest(state.request);
  dialog.resize(1000, 700);
  dialog.show();
  QApplication::processEvents();
  std::printf("list open: %.3f s, peak %.0f MB (%.1f bytes a hit above the baseline)\n", timer.elapsed() / 1000.0,
              PeakMegabytes(), (PeakMegabytes() - baseline) * 1048576.0 / std::max<size_t>(hits, 1));

  KwicListView* list = dialog.List();
  QHeaderView* header = list->horizontalHeader();
  StallWatch watch;
  qint64 worstStall = 0;
  const auto measure = [&](const char* what, const std::function<void()>& act) {
    watch.Start();
    timer.restart();
    act();
    while (list->Arranging()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, kTickMs);
    const double seconds = timer.elapsed() / 1000.0;
    const qint64 stall = watch.Stop();
    worstStall = std::max(worstStall, stall);
    std::printf("%-28s %.2f s, %zu rows, longest stall %lld ms, peak %.0f MB\n", what, seconds, list->Model()->rowCount() + size_t{0},
                static_cast<long long>(stall), PeakMegabytes());
  };
  const auto click = [&](ResultColumn column) {
    return [&, column] {
      const int section = static_cast<int>(column);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
  };
  measure("sort by file name", click(ResultColumn::FileName));
  measure("sort by folder", click(ResultColumn::Folder));
  measure("sort by line", click(ResultColumn::Line));
  // A second click during a sort cancels it: the click is answered at once.
  measure("sort cancelled by a click", [&] {
    click(ResultColumn::KeywordAndRight)();
    QTest::qWait(50);
    click(ResultColumn::KeywordAndRight)();
  });
  measure("filter typed", [&] { QTest::keyClicks(dialog.FilterEdit(), filter); });
  measure("filter cleared", [&] { dialog.FilterEdit()->clear(); });
  measure("filter pasted", [&] { dialog.FilterEdit()->setText(filter); });
  measure("filter cleared", [&] { dialog.FilterEdit()->clear(); });
  dialog.FilterExpressionBox()->setChecked(true);
  measure("expression pasted", [&] { dialog.FilterEdit()->setText(filter); });
  measure("expression cleared", [&] { dialog.FilterEdit()->clear(); });
  // The slowest sort: text against text, each a few cache misses away.
  if (std::getenv("TRAWLSCOPE_BENCH_CONTEXT_SORT") != nullptr)
    measure("sort by left context", click(ResultColumn::LeftContext));
  std::printf("longest stall after the list opened: %lld ms (allowed %lld)\n", static_cast<long long>(worstStall),
              static_cast<long long>(kLongestAllowedStallMs));
  return worstStall > kLongestAllowedStallMs ? 1 : 0;
}
