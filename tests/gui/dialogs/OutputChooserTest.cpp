// The Output dialog's file types: named by what each writes, the UTF-8 CSV
// with full paths first and chosen unless the user picks another.
#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/QtText.h"
#include "gui/dialogs/QtPathChooser.h"

using namespace trawlscope;

class TestOutputChooser : public QObject {
  Q_OBJECT

  // Answers the save dialog once it shows: picks type `filter` (none: leaves it) and saves as `name`.
  void AnswerSoon(const QString& name, int filter, QStringList* seenFilters) {
    QTimer::singleShot(0, this, [=] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      *seenFilters = dialog->nameFilters();
      if (filter >= 0) dialog->selectNameFilter(dialog->nameFilters().at(filter));
      dialog->selectFile(name);
      QMetaObject::invokeMethod(dialog, "accept");
    });
  }

 private slots:
  void theCsvWithFullPathsIsTheFirstTypeAndChosenUnlessAnotherIs() {
    QTemporaryDir dir;
    QtPathChooser chooser(nullptr);
    QStringList filters;
    AnswerSoon(dir.filePath(QStringLiteral("hits")), -1, &filters);
    const auto path = chooser.ChooseOutputFile();
    QVERIFY(path.has_value());
    QCOMPARE(filters, (QStringList{QStringLiteral("UTF-8 CSV with full paths and a header (*.csv)"),
                                   QStringLiteral("UTF-16 tab-separated, file names only (*.tsv *.dat *.txt)")}));
    QVERIFY(chooser.ChosenOutputFormat() == ExportFormat::Csv);
    QCOMPARE(ToQString(*path), dir.filePath(QStringLiteral("hits.csv")));

    AnswerSoon(dir.filePath(QStringLiteral("names.tsv")), 1, &filters);
    QVERIFY(chooser.ChooseOutputFile().has_value());
    QVERIFY(chooser.ChosenOutputFormat() == ExportFormat::Tabbed);
  }
};

QTEST_MAIN(TestOutputChooser)
#include "OutputChooserTest.moc"
