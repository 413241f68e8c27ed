// The list's view over more rows than its pixels can count: a model of 100
// million rows, 40 pixels high, is 4 billion pixels tall, past an int.
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "gui/list/UniformRowsView.h"

using namespace trawlscope;

namespace {

class CountedRows final : public QAbstractTableModel {
 public:
  explicit CountedRows(int rows) : rows_(rows) {}
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
  QVariant data(const QModelIndex& index, int role) const override {
    return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
  }
  void Resize(int rows) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
  }

 private:
  int rows_;
};

constexpr int kRows = 100'000'000;
constexpr int kRowHeight = 40;

}  // namespace

class TestUniformRowsView : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CountedRows> model_;
  std::unique_ptr<UniformRowsView> view_;

  int RowsInView() const { return view_->viewport()->height() / kRowHeight; }
  QPoint CentreOfRowInView(int rowInView) const {
    return {view_->horizontalHeader()->sectionViewportPosition(1) + 5, rowInView * kRowHeight + kRowHeight / 2};
  }

 private slots:
  void init() {
    model_ = std::make_unique<CountedRows>(kRows);
    view_ = std::make_unique<UniformRowsView>();
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setModel(model_.get());
    view_->SetRowHeight(kRowHeight);
    view_->resize(400, 300);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    view_->setFocus();
  }

  void cleanup() {
    view_.reset();
    model_.reset();
  }

  // Each key lands on its row, scrolled into view whole, with the same row under the mouse.
  void keysReachEveryRowAndTheRowShownIsTheRowHit() {
    const struct {
      Qt::Key key;
      int expected;  // -1: the last row
    } moves[] = {{Qt::Key_Down, 1}, {Qt::Key_PageDown, 1 + RowsInView()}, {Qt::Key_End, -1},
                 {Qt::Key_Up, kRows - 2}, {Qt::Key_PageUp, kRows - 2 - RowsInView()}, {Qt::Key_Home, 0}};
    view_->setCurrentIndex(model_->index(0, 1));
    for (const auto& move : moves) {
      QTest::keyClick(view_->viewport(), move.key);
      const int expected = move.expected < 0 ? kRows - 1 : move.expected;
      QCOMPARE(view_->currentIndex().row(), expected);
      const QRect shown = view_->visualRect(view_->currentIndex());
      QVERIFY2(view_->viewport()->rect().contains(shown), qPrintable(QString::number(move.key, 16)));
      QCOMPARE(view_->indexAt(shown.center()).row(), expected);
    }
  }

  void theScrollRangeCountsRowsAndFollowsTheModel() {
    QCOMPARE(view_->verticalScrollBar()->maximum(), kRows - RowsInView());
    model_->Resize(3);
    QCOMPARE(view_->verticalScrollBar()->maximum(), 0);
    QVERIFY(!view_->indexAt(CentreOfRowInView(3)).isValid());
    QCOMPARE(view_->indexAt(CentreOfRowInView(2)).row(), 2);
  }

  // A drag that starts on a row, scrolls the list and ends lower selects every row between.
  void aDragAcrossAScrollSelectsTheRowsBetween() {
    view_->verticalScrollBar()->setValue(kRows - 100);
    QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, CentreOfRowInView(1));
    view_->verticalScrollBar()->setValue(kRows - 90);
    QMouseEvent move(QEvent::MouseMove, CentreOfRowInView(2), view_->viewport()->mapToGlobal(CentreOfRowInView(2)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &move);
    QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, CentreOfRowInView(2));
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 12);
    QCOMPARE(std::min_element(rows.begin(), rows.end())->row(), kRows - 99);
    QCOMPARE(std::max_element(rows.begin(), rows.end())->row(), kRows - 88);
  }
};

QTEST_MAIN(TestUniformRowsView)
#include "UniformRowsViewTest.moc"
