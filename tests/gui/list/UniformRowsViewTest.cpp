// The list's view over more rows than its pixels can count: a model of 100
// million rows, 40 pixels high, is 4 billion pixels tall, past an int.
#include <QAbstractTableModel>
#include <QAccessible>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "gui/list/RowsAccessible.h"
#include "gui/list/UniformRowsView.h"

using namespace trawlscope;

namespace {

class CountedRows final : public QAbstractTableModel {
 public:
  explicit CountedRows(int rows) : rows_(rows) {}
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::AccessibleTextRole) return QStringLiteral("row %1 column %2").arg(index.row()).arg(index.column());
    return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
  }
  QVariant headerData(int section, Qt::Orientation, int role) const override {
    return role == Qt::DisplayRole ? QVariant(QStringLiteral("Title %1").arg(section)) : QVariant();
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

  // A screen reader reads the rows, the shown columns and their titles, the
  // current cell and the selection, from cells made when asked and not kept.
  void aScreenReaderReadsTheTableAndNoRowCostsUntilAsked() {
    view_->horizontalHeader()->hideSection(0);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view_.get());
    QVERIFY(list != nullptr && list->tableInterface() != nullptr);
    QAccessibleTableInterface* table = list->tableInterface();
    QCOMPARE(list->role(), QAccessible::Table);
    QCOMPARE(table->rowCount(), kRows);
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->columnDescription(0), QStringLiteral("Title 1"));
    QCOMPARE(list->child(1)->role(), QAccessible::ColumnHeader);
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("Title 2"));
    QAccessibleInterface* last = table->cellAt(kRows - 1, 1);
    QCOMPARE(last->text(QAccessible::Name), QStringLiteral("row 99999999 column 2"));
    QCOMPARE(list->indexOfChild(last), kRows * 2 + 1);
    QCOMPARE(last->tableCellInterface()->columnHeaderCells().front()->text(QAccessible::Name), QStringLiteral("Title 2"));

    view_->setCurrentIndex(model_->index(7, 1));
    QCOMPARE(list->focusChild()->text(QAccessible::Name), QStringLiteral("row 7 column 1"));
    QVERIFY(list->focusChild()->state().focused);
    QCOMPARE(table->selectedRows(), QList<int>{7});
    QVERIFY(table->cellAt(7, 0)->tableCellInterface()->isSelected());
    QVERIFY(!table->cellAt(8, 0)->state().selected);
    view_->selectAll();
    QCOMPARE(table->selectedRowCount(), kRows);
    QVERIFY(table->selectedCells().size() <= kCachedAccessibleCells);

    // A cell read long ago is dropped; asked again, it is made again.
    const QAccessible::Id first = QAccessible::uniqueId(table->cellAt(0, 0));
    for (int row = 1; row <= kCachedAccessibleCells; ++row) table->cellAt(row, 0);
    QVERIFY(QAccessible::accessibleInterface(first) == nullptr);
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("row 0 column 1"));
    view_->horizontalHeader()->resizeSection(1, 0);  // a column of no width, as the result list's first
    QCOMPARE(table->columnCount(), 1);
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("row 0 column 2"));
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
