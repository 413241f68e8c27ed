// The real dialogs and Qt's own ones, read once before the user's catalogue
// is installed (their English sources) and once after: under Japanese no
// text with words stays English, under English nothing changes.
#include <QAbstractButton>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/ProgressDisplay.h"
#include "app/RunReport.h"
#include "app/SettingsStore.h"
#include "gui/catalogue/QtTextCatalogue.h"
#include "gui/dialogs/ProgressDialogWidget.h"
#include "gui/dialogs/ResultDialogWidget.h"
#include "gui/dialogs/SearchDialogWidget.h"
#include "gui/list/KwicListView.h"
#include "platform/ini/ProfileFile.h"

using namespace trawlscope;

namespace {

// What a user can read in `root`: its title, labels, buttons, check boxes,
// group boxes, read-only fields, tooltips, actions (menus) and column titles.
void Collect(QWidget* root, QStringList& texts) {
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  texts << root->windowTitle();
  for (QWidget* widget : widgets) {
    texts << widget->toolTip();
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
    if (auto* field = qobject_cast<QLineEdit*>(widget); field && field->isReadOnly()) texts << field->text();
    if (auto* header = qobject_cast<QHeaderView*>(widget); header && header->model())
      for (int i = 0; i < header->count(); ++i) texts << header->model()->headerData(i, header->orientation()).toString();
    for (QAction* action : widget->actions()) texts << action->text();
  }
}

QStringList EveryText(SettingsStore& settings) {
  QStringList texts;
  SearchDialogWidget main(settings);
  Collect(&main, texts);
  ProgressDialogWidget progress(nullptr, [] {});
  for (const RunPhase phase : {RunPhase::Listing, RunPhase::Searching, RunPhase::Replacing}) {
    ShowProgress(progress, {phase, 2, 3, 1, u"a.txt"}, 4);
    Collect(&progress, texts);
  }
  HitList hits;
  HitFile& file = hits.AddFile(u"/d/", u"a.txt", 932);
  file.wide = u"key";
  hits.Append(Hit(file, 0, 0, 3, 0));
  ResultDialogWidget results(nullptr, hits, settings, [](Command) {});
  RunSummary summary;
  summary.filesSearched = summary.binarySkipped = 2;
  summary.unreadable = {{u"/d/b.txt", 13}};
  results.SetRunNote(RunNoteText(summary));
  texts << results.List()->model()->index(0, 3).data(Qt::ToolTipRole).toString();
  Collect(&results, texts);
  std::unique_ptr<QMenu> rowMenu(results.List()->MakeContextMenu());
  Collect(rowMenu.get(), texts);
  // Qt's own words, from Qt's catalogue.
  QMessageBox box(QMessageBox::Question, QString(), QString(),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
  Collect(&box, texts);
  QLineEdit edit;
  std::unique_ptr<QMenu> editMenu(edit.createStandardContextMenu());
  Collect(editMenu.get(), texts);
  QFileDialog files;
  files.setOptions(QFileDialog::DontUseNativeDialog);
  files.setAcceptMode(QFileDialog::AcceptSave);
  Collect(&files, texts);
  return texts;
}

// Paths, file names, numbers, the product's name, "XPath" and "OK" read the
// same in every language.
bool HasWords(QString text) {
  static const QRegularExpression same(QStringLiteral("\\S*/\\S*|\\S+\\.txt|Trawlscope|XPath|\\bOK\\b"));
  return text.remove(same).contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}")));
}

}  // namespace

class TestDialogLanguage : public QObject {
  Q_OBJECT

 private slots:
  void everyTextIsInTheDesktopsLanguage() {
    QTemporaryDir dir;
    IniProfileFile profile((dir.path() + "/t.ini").toStdString());
    SettingsStore settings(profile);
    const QStringList english = EveryText(settings);
    const std::string language = InstallUserLanguage();
    QCOMPARE(QString::fromStdString(language.empty() ? "en" : language), qEnvironmentVariable("TRAWLSCOPE_TEST_LANGUAGE"));
    const QStringList shown = EveryText(settings);
    QCOMPARE(shown.size(), english.size());
    if (language.empty()) QCOMPARE(shown, english);
    QStringList untranslated;
    for (qsizetype i = 0; i < shown.size(); ++i)
      if (shown[i] == english[i] && HasWords(english[i])) untranslated << english[i];
    QVERIFY2(language.empty() || untranslated.isEmpty(), qPrintable(untranslated.join(" | ")));
    // One word for the code page: the main dialog said 文字コード where the list said コードページ.
    QVERIFY(language != "ja" || (shown.join('|').count(QString::fromUtf8("コードページ")) > 1 &&
                                 !shown.join('|').contains(QString::fromUtf8("文字コード"))));
    QVERIFY(english.count("&Undo last replace") == 1 && english.contains("Keyword and Right Context"));
  }
};

QTEST_MAIN(TestDialogLanguage)
#include "DialogLanguageTest.moc"
