// The real main, progress and result dialogs, driven through Qt Test on the
// offscreen platform, running real jobs over files in a temporary folder.
#include <QApplication>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <functional>
#include <filesystem>
#include <thread>
#include <fstream>
#include <memory>

#include "app/SearchDialog.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "platform/ini/ProfileFile.h"
#include "gui/dialogs/ProgressDialogWidget.h"
#include "gui/QtRunThread.h"
#include "gui/catalogue/QtTextCatalogue.h"
#include "gui/QtText.h"
#include "gui/list/KwicListView.h"
#include "gui/dialogs/ResultDialogWidget.h"
#include "gui/dialogs/SearchDialogWidget.h"
#include "support/ArchiveMaker.h"
#include "support/Transcode.h"

using namespace trawlscope;

namespace {

class FakeChooser final : public IPathChooser {
 public:
  std::optional<std::vector<std::u16string>> files;
  FolderChoice folder;
  std::optional<std::u16string> output;
  std::u16string lastStart;
  std::optional<std::vector<std::u16string>> ChooseFiles(const std::u16string& start) override {
    lastStart = start;
    return files;
  }
  FolderChoice ChooseFolder(const std::u16string& start) override {
    lastStart = start;
    return folder;
  }
  std::optional<std::u16string> ChooseOutputFile() override { return output; }
};

// The real worker thread, which a test can make refuse to start.
class ObservedRunThread final : public IRunThread {
 public:
  bool refuseToStart = false;
  bool Start(std::function<void()> work) override {
    return refuseToStart ? false : real_.Start(std::move(work));
  }
  void Join() override { real_.Join(); }
  void CallOnUiThread(const std::function<void()>& call) override { real_.CallOnUiThread(call); }

 private:
  QtRunThread real_;
};

void WriteFile(const QString& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path.toStdString()).parent_path());
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

class TestSearchDialog : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<IniProfileFile> profile_;
  std::unique_ptr<SettingsStore> settings_;
  std::unique_ptr<ObservedRunThread> runThread_;
  std::unique_ptr<SearchDialogWidget> window_;
  std::unique_ptr<FakeChooser> chooser_;
  std::unique_ptr<SearchDialog> logic_;
  QStringList messages_;
  QStringList questions_;
  QStringList summaries_;
  bool undoAnswer_ = false;
  bool confirmAnswer_ = true;
  QStringList details_;
  bool japanese_ = false;  // the language ctest gave this run (the messages' tests run under both)

  // What the dialogs say in this run's language.
  QString Said(const char* english, const char* japanese) const {
    return QString::fromUtf8(japanese_ ? japanese : english);
  }

  QString Path(const QString& relative) const { return dir_->path() + "/" + relative; }

  void OpenDialog() {
    runThread_ = std::make_unique<ObservedRunThread>();
    window_ = std::make_unique<SearchDialogWidget>(*settings_);
    chooser_ = std::make_unique<FakeChooser>();
    logic_ = std::make_unique<SearchDialog>(*window_, *settings_, *chooser_, *runThread_,
                                             Path("undo").toStdString());
    window_->SetLogic(logic_.get());
    window_->confirmSink = [this](const QString& question) {
      questions_ << question;
      return confirmAnswer_;
    };
    window_->messageSink = [this](const QString& text, const QString& detail) {
      messages_ << text;
      details_ << detail;
    };
    window_->errorSink = [this](const QString& text) {
      messages_ << text;
      details_ << QString();
    };
    window_->summarySink = [this](const QString& text, bool offerUndo) {
      summaries_ << text;
      return offerUndo && undoAnswer_;
    };
    logic_->OnInitDialog();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void CloseDialog() {
    // A run still going (a list shown again after a replace) ends first: its
    // worker waits on this thread.
    if (logic_) QTRY_VERIFY_WITH_TIMEOUT(!logic_->IsRunning(), 20000);
    if (window_ && window_->isVisible()) window_->close();
    logic_.reset();
    window_.reset();
    runThread_.reset();
  }
  void Type(ControlId id, const QString& text) {
    QLineEdit* edit = window_->ComboBox(id)->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void WaitForRunEnd() { QTRY_VERIFY_WITH_TIMEOUT(!logic_->IsRunning(), 20000); }
  // One searcher that takes `perFile` over each file, so the progress clock ticks during every one.
  void SlowFiles(std::chrono::milliseconds perFile) {
    logic_->State().workers = 1;
    logic_->State().beforeFile = [perFile](size_t, const std::u16string&) { std::this_thread::sleep_for(perFile); };
  }
  // Calls `look` on the UI thread every few milliseconds until the run ends.
  void WatchRun(const std::function<void()>& look) {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, look);
    watch.start(5);
    WaitForRunEnd();
  }

 private slots:
  // ctest names the language it set up, so that a catalogue that fails to
  // load cannot pass for English.
  void initTestCase() {
    const std::string language = InstallUserLanguage();
    QCOMPARE(QString::fromStdString(language.empty() ? "en" : language), qEnvironmentVariable("TRAWLSCOPE_TEST_LANGUAGE"));
    japanese_ = language == "ja";
  }

  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    WriteFile(Path("tree/a.txt"), "needle one\n");
    WriteFile(Path("tree/b.txt"), "no match\n");
    WriteFile(Path("tree/c.txt"), "needle, needle\n");
    profile_ = std::make_unique<IniProfileFile>(Path("trawlscope.ini").toStdString());
    settings_ = std::make_unique<SettingsStore>(*profile_);
    messages_.clear();
    summaries_.clear();
    undoAnswer_ = false;
    questions_.clear();
    confirmAnswer_ = true;
    details_.clear();
    OpenDialog();
  }
  void cleanup() { CloseDialog(); }

  // Escape closes the result window, as a dialog's; in the main dialog it
  // only clears the selection, and leaving stays a close, which saves.
  void enterInAComboStartsASearchAndEscapeClosesOnlyTheResults() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::keyClick(window_->ComboBox(ControlId::SearchFor)->lineEdit(), Qt::Key_Return);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    QCOMPARE(window_->ResultWidget()->StatusText(), QString("3 found.  3 files searched."));
    QTest::keyClick(window_->ResultWidget()->List(), Qt::Key_Escape);
    QVERIFY(!window_->ResultWidget()->isVisible());
    QVERIFY(window_->isVisible());
    QLineEdit* searchFor = window_->ComboBox(ControlId::SearchFor)->lineEdit();
    searchFor->selectAll();
    QTest::keyClick(searchFor, Qt::Key_Escape);
    QTest::keyClick(searchFor, Qt::Key_Escape);
    QVERIFY(window_->isVisible());
    QVERIFY(!searchFor->hasSelectedText());
    QCOMPARE(searchFor->text(), QString("needle"));
  }

  // The completion popup is no trap: Alt+F, Tab or a click on another field
  // closes it, leaves the Search path as typed, and what is typed next lands
  // in the field aimed at. Real events, delivered where the popup's grab sends them.
  void keysAndClicksThatLeaveTheSearchPathGoWhereTheyWereAimedPastThePopup() {
    WriteFile(Path("corp/ja/sjis/x.txt"), "x\n");
    QComboBox* path = window_->ComboBox(ControlId::SearchPath);
    path->addItem(Path("corp/ja/sjis"));
    QCompleter* completer = path->completer();
    QComboBox* searchForBox = window_->ComboBox(ControlId::SearchFor);
    QLineEdit* searchFor = searchForBox->lineEdit();
    const QPoint searchForCentre = searchFor->mapTo(window_.get(), searchFor->rect().center());
    const struct {
      const char* what;
      std::function<void()> leave;
      QWidget* aimed;
    } cases[] = {
        {"Alt+F", [] { QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_F, Qt::AltModifier); }, searchForBox},
        {"Tab", [] { QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Tab); }, window_->BrowseButton()},
        {"click", [&] { QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, searchForCentre); }, searchForBox},
    };
    for (const auto& c : cases) {
      searchFor->clear();
      window_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(window_.get()));
      path->setFocus();
      Type(ControlId::SearchPath, Path("corp/ja"));
      QVERIFY2(completer->popup()->isVisible(), c.what);
      c.leave();
      QTRY_VERIFY2(!completer->popup()->isVisible(), c.what);
      QTRY_COMPARE(QApplication::focusWidget(), c.aimed);
      QTest::keyClicks(static_cast<QWidget*>(nullptr), "abc");
      QVERIFY2(path->lineEdit()->text() == Path("corp/ja"), c.what);
      if (c.aimed == searchForBox) QCOMPARE(searchFor->text(), QString("abc"));
    }
  }

  void inputsAreDisabledDuringARunAndTheCounterShowsEachFile() {
    QStringList counters;
    SlowFiles(std::chrono::milliseconds(600));
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    QVERIFY(!window_->SearchButton()->isEnabled());
    QVERIFY(!window_->ComboBox(ControlId::SearchPath)->isEnabled());
    QVERIFY(window_->ProgressWidget() != nullptr);
    WatchRun([&] {
      if (auto* progress = window_->ProgressWidget()) {
        if (!progress->CounterText().isEmpty() && !counters.contains(progress->CounterText()))
          counters << progress->CounterText();
      }
    });
    QCOMPARE(counters, QStringList({"0/3", "1/3", "2/3"}));
    QVERIFY(window_->SearchButton()->isEnabled());
    QVERIFY(window_->ComboBox(ControlId::SearchPath)->isEnabled());
    QVERIFY(window_->ProgressWidget() == nullptr);
  }

  // The listing's phase is wider than the counter's left edge: it has the
  // row to itself and shows whole. A file name too long for its field shows
  // its beginning, not its end.
  void progressFieldsShowTheirTextsFromTheStart() {
    ProgressDialogWidget progress(window_.get(), [] {});
    const QString phase = QStringLiteral("Making a list of files...");
    progress.SetPhase(phase.toStdU16String());
    const QString name = QStringLiteral("a_file_name_much_longer_than_the_progress_dialog_is_wide_%1.txt").arg(QString(80, 'x'));
    progress.SetFileName(name.toStdU16String());
    progress.show();
    QVERIFY(QTest::qWaitForWindowExposed(&progress));
    for (QLineEdit* field : progress.findChildren<QLineEdit*>()) {
      if (field->text() == phase) {
        QVERIFY(field->fontMetrics().horizontalAdvance(phase) < field->contentsRect().width() - 4);
        QCOMPARE(field->cursorPosition(), 0);
      } else if (field->text() == name) {
        QCOMPARE(field->cursorPosition(), 0);
      }
    }
  }

  // An aborted search opens no list unasked: it says how far it got and offers what it found.
  void abortWhileListingOrSearchingSaysSoAndTheNextRunStartsClean() {
    SlowFiles(std::chrono::milliseconds(400));
    confirmAnswer_ = false;
    for (const QString& phase : {QString("Making a list of files..."), QString("Searching...")}) {
      Type(ControlId::SearchPath, Path("tree"));
      Type(ControlId::SearchFor, "needle");
      QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
      WatchRun([&] {
        auto* progress = window_->ProgressWidget();
        if (progress != nullptr && progress->PhaseText() == phase)
          QTest::mouseClick(progress->AbortButton(), Qt::LeftButton);
      });
      QTest::qWait(50);
      QVERIFY2(window_->ResultWidget() == nullptr, qPrintable(phase));
      QVERIFY(logic_->State().hits.Count() < 3);
    }
    QCOMPARE(questions_.size(), 2);
    QVERIFY2(questions_[1].startsWith("Stopped after "), qPrintable(questions_[1]));
    logic_->State().beforeFile = nullptr;
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    QCOMPARE(window_->ResultWidget()->StatusText(), QString("3 found.  3 files searched."));
  }

  void aSearchWithoutPathOrTextSaysWhatIsMissingAndGoesThere() {
    const struct {
      QString path, text;
      ControlId missing;
    } cases[] = {{"", "needle", ControlId::SearchPath}, {Path("tree"), "", ControlId::SearchFor}};
    for (const auto& c : cases) {
      Type(ControlId::SearchPath, c.path);
      Type(ControlId::SearchFor, c.text);
      messages_.clear();
      QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
      QVERIFY(!logic_->IsRunning());
      QCOMPARE(messages_.size(), 1);
      QCOMPARE(window_->focusWidget(), window_->ComboBox(c.missing));
    }
    QVERIFY(window_->ResultWidget() == nullptr);
  }

  // The Search path's history holds a subfolder of what is typed: it is
  // offered, never appended, and Enter searches what was typed.
  void typedTextIsSearchedAsTypedAndCompletionsAreOnlyOffered() {
    WriteFile(Path("corp/ja/sjis/x.txt"), "needle\n");
    WriteFile(Path("corp/ja/utf8/y.txt"), "needle\n");
    window_->ComboBox(ControlId::SearchPath)->addItem(Path("corp/ja/sjis"));
    window_->CheckBox(ControlId::Subfolders)->setChecked(true);
    Type(ControlId::SearchFor, "needle");
    Type(ControlId::SearchPath, Path("corp/ja"));
    QLineEdit* edit = window_->ComboBox(ControlId::SearchPath)->lineEdit();
    QCOMPARE(edit->text(), Path("corp/ja"));
    QCompleter* completer = window_->ComboBox(ControlId::SearchPath)->completer();
    QVERIFY(completer->popup()->isVisible());
    QCOMPARE(completer->completionModel()->index(0, 0).data().toString(), Path("corp/ja/sjis"));
    Type(ControlId::SearchPath, Path("corp/ja/"));
    QCOMPARE(completer->completionModel()->rowCount(), 2);  // the folders on disk
    Type(ControlId::SearchPath, Path("corp/ja"));
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    WaitForRunEnd();
    QCOMPARE(QString::fromStdU16String(logic_->State().request.searchPath), Path("corp/ja"));
    QCOMPARE(logic_->State().hits.Count(), size_t(2));
  }

  // On by default: a manual page as it ships and a zip's member are found,
  // the member named after its archive; Alt+O turns it off, and the choice is kept.
  void compressedFilesAreSearchedUntilTheCheckBoxIsTurnedOff() {
    const std::string page = std::string("needle\n") + test::kJapaneseSentence;
    test::WriteStream(Path("man/ls.1.gz").toStdString(), "gzip", test::Transcode(page, "EUC-JP"));
    test::WriteArchive(Path("man/docs.zip").toStdString(), "zip", "none", {{"d/a.txt", "a needle\n"}});
    QVERIFY(window_->CheckBox(ControlId::Compressed)->isChecked());
    Type(ControlId::SearchPath, Path("man"));
    Type(ControlId::SearchFor, "needle");
    QTest::keyClick(window_->ComboBox(ControlId::SearchFor)->lineEdit(), Qt::Key_Return);
    WaitForRunEnd();
    QStringList found;
    for (const Hit& hit : logic_->State().hits) found << QString::fromStdU16String(hit.FullPath());
    QCOMPARE(found, QStringList({Path("man/docs.zip//d/a.txt"), Path("man/ls.1.gz")}));
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    window_->ResultWidget()->close();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));

    QTest::keyClick(window_->ComboBox(ControlId::SearchFor)->lineEdit(), Qt::Key_O, Qt::AltModifier);
    QVERIFY(!window_->CheckBox(ControlId::Compressed)->isChecked());
    QTest::keyClick(window_->ComboBox(ControlId::SearchFor)->lineEdit(), Qt::Key_Return);
    WaitForRunEnd();
    QVERIFY(!logic_->State().request.searchCompressed);
    QCOMPARE(logic_->State().hits.Count(), size_t(0));
    CloseDialog();
    OpenDialog();
    QVERIFY(!window_->CheckBox(ControlId::Compressed)->isChecked());
  }

  void eachFieldHasItsAltShortcut() {
    const std::pair<Qt::Key, ControlId> fields[] = {{Qt::Key_A, ControlId::SearchPath},
                                                    {Qt::Key_T, ControlId::FileTypes},
                                                    {Qt::Key_X, ControlId::XPath},
                                                    {Qt::Key_F, ControlId::SearchFor}};
    for (const auto& [key, id] : fields) {
      QTest::keyClick(window_.get(), key, Qt::AltModifier);
      QCOMPARE(window_->focusWidget(), window_->ComboBox(id));
    }
    QTest::keyClick(window_.get(), Qt::Key_D, Qt::AltModifier);
    QCOMPARE(window_->focusWidget(), window_->ReadAsBox());
  }

  // A bound that cannot be read stops the run in its field; one that can
  // leaves files out, and the status line counts them.
  void theBoundsFieldsHaveShortcutsRefuseWhatTheyCannotReadAndAimTheRun() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::keyClick(window_.get(), Qt::Key_M, Qt::AltModifier);
    QCOMPARE(window_->focusWidget(), window_->Field(ControlId::ModifiedAfter));
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(window_->focusWidget(), window_->Field(ControlId::MinSize));
    QTest::keyClick(window_->focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(window_->focusWidget(), "12 bytes");
    QTest::keyClick(window_->focusWidget(), Qt::Key_Return);
    QVERIFY(!logic_->IsRunning());
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].startsWith(Said("\"Size, at most\"", "「サイズ (以下)」")), qPrintable(messages_[0]));
    QCOMPARE(window_->focusWidget(), window_->Field(ControlId::MaxSize));
    QCOMPARE(window_->Field(ControlId::MaxSize)->selectedText(), QString("12 bytes"));
    QTest::keyClicks(window_->focusWidget(), "12");  // c.txt, of 15 bytes, is left out
    QTest::keyClick(window_->focusWidget(), Qt::Key_Return);
    WaitForRunEnd();
    QCOMPARE(logic_->State().hits.Count(), size_t(1));
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    const QString status = window_->ResultWidget()->StatusText();
    QVERIFY2(status.endsWith(Said("Left out: 1 file.", "除外: 1 ファイル。")), qPrintable(status));
  }

  // A checkout's records and what git ignores stay out of the run, and the status says so.
  void theAimingOptionsHaveShortcutsAndAimTheRun() {
    WriteFile(Path("tree/.git/COMMIT_EDITMSG.txt"), "needle\n");
    WriteFile(Path("tree/.gitignore"), "c.txt\n");
    WriteFile(Path("tree/deep/er/d.txt"), "needles, needle_x\n");
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::FileTypes, "*.txt");
    Type(ControlId::SearchFor, "needle");
    QVERIFY(window_->CheckBox(ControlId::SkipVersionControl)->isChecked());
    QLineEdit* edit = window_->ComboBox(ControlId::SearchFor)->lineEdit();
    QTest::keyClick(edit, Qt::Key_V, Qt::AltModifier);
    QVERIFY(!window_->CheckBox(ControlId::SkipVersionControl)->isChecked());
    QTest::keyClick(edit, Qt::Key_V, Qt::AltModifier);
    for (const Qt::Key key : {Qt::Key_I, Qt::Key_W, Qt::Key_G}) QTest::keyClick(edit, key, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_Return);
    WaitForRunEnd();
    QVERIFY(logic_->State().request.wholeWord && logic_->State().request.followGitignore);
    QCOMPARE(logic_->State().hits.Count(), size_t(1));
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    const QString status = window_->ResultWidget()->StatusText();
    QVERIFY2(status.endsWith(Said("Left out: 1 file, 1 folder.", "除外: 1 ファイル、1 フォルダー。")), qPrintable(status));
  }

  // Qt's own mnemonic toggles a check box 100 ms late; Enter at once must see it toggled.
  void anOptionsShortcutThenEnterRunsWithTheOptionAsShown() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "ne+dle");
    QVERIFY(!window_->CheckBox(ControlId::Regex)->isChecked());
    QTest::keyClick(window_->ComboBox(ControlId::SearchFor)->lineEdit(), Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(window_->ComboBox(ControlId::SearchFor)->lineEdit(), Qt::Key_Return);
    QVERIFY(window_->CheckBox(ControlId::Regex)->isChecked());
    WaitForRunEnd();
    QVERIFY(logic_->State().request.useRegex);
    QCOMPARE(logic_->State().hits.Count(), size_t(3));
  }

  void brokenExpressionSaysSoOnlyWithTheOptionOn() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle(");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QVERIFY(messages_.isEmpty());
    window_->CheckBox(ControlId::Regex)->setChecked(true);
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QCOMPARE(messages_, QStringList({Said("The regular expression has an error.", "正規表現に誤りがあります。")}));
    QCOMPARE(details_.size(), 1);
    QVERIFY2(details_[0].contains("Unmatched marking parenthesis") && details_[0].contains("needle(>>>HERE>>>"), qPrintable(details_[0]));
    QVERIFY(window_->ResultWidget() == nullptr);
  }

  void closingWritesTheSettingsAndHistoriesComeBack() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::FileTypes, "*.txt");
    Type(ControlId::SearchFor, "first words");
    window_->CheckBox(ControlId::CaseSensitive)->setChecked(true);
    QComboBox* readAs = window_->ReadAsBox();
    QCOMPARE(readAs->itemText(0), Said("Automatic", "自動"));
    readAs->setCurrentIndex(readAs->findText("KOI8-R (20866)"));
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QCOMPARE(logic_->State().request.readAs, CodePage{20866});
    Type(ControlId::SearchFor, "second words");
    window_->close();
    const std::string ini = ReadFile(Path("trawlscope.ini"));
    QVERIFY(ini.find("[TextForSearch]") != std::string::npos);
    QVERIFY(ini.find("CaseSensitive=1") != std::string::npos);
    CloseDialog();
    OpenDialog();
    QComboBox* searchFor = window_->ComboBox(ControlId::SearchFor);
    QCOMPARE(searchFor->currentText(), QString("second words"));
    QVERIFY(searchFor->findText("first words") >= 0);
    QCOMPARE(window_->ComboBox(ControlId::FileTypes)->currentText(), QString("*.txt"));
    QVERIFY(window_->CheckBox(ControlId::CaseSensitive)->isChecked());
    QCOMPARE(window_->ReadAs(), CodePage{20866});
  }

  // At its smallest the dialog still shows every control whole: the search
  // button's lower edge and the row of check boxes included.
  void theSmallestDialogShowsEveryControl() {
    window_->resize(1, 1);
    QCOMPARE(window_->size(), window_->minimumSize());
    QVERIFY(window_->width() >= 564 && window_->height() >= 172);
    for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isWindow()) continue;
      QVERIFY2(window_->rect().contains(child->geometry()), qPrintable(child->objectName() + " " + child->metaObject()->className()));
    }
    QVERIFY(window_->SearchButton()->geometry().bottom() < window_->height() - 1);
    // The first size too, and what the logic is told it needs.
    CloseDialog();
    std::filesystem::remove(Path("trawlscope.ini").toStdString());
    OpenDialog();
    QVERIFY(window_->width() >= window_->minimumWidth() && window_->height() >= window_->minimumHeight());
    QVERIFY(window_->MinimumFrameSize().height >= window_->ControlsExtent().height());
  }

  void typedSearchPathsJoinTheHistory() {
    for (const QString folder : {"one", "two", "three", "four"}) {
      WriteFile(Path(folder + "/x.txt"), "needle\n");
      Type(ControlId::SearchPath, Path(folder));
      Type(ControlId::SearchFor, "needle");
      QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
      WaitForRunEnd();
    }
    Type(ControlId::SearchPath, Path("tree"));
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QComboBox* paths = window_->ComboBox(ControlId::SearchPath);
    for (const QString folder : {"one", "two", "three", "four"})
      QVERIFY2(paths->findText(Path(folder)) >= 0, qPrintable(folder));
  }

  void theBrowseButtonLooksLikeAButton() { QVERIFY(!window_->BrowseButton()->isFlat()); }

  // The results open where they were last time, their frame as stored, or
  // the first time below the main dialog.
  void resultsOpenWhereTheyWereOrBelowTheMainDialog() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    const QRect main = window_->frameGeometry();
    // Below it, as far as the screen allows: the list is wholly on the screen.
    const int screenBottom = window_->VirtualScreenSize().height;
    const int below = std::min(main.bottom() + 1, screenBottom - window_->ResultWidget()->frameGeometry().height());
    QTRY_COMPARE(window_->ResultWidget()->frameGeometry().topLeft(), QPoint(main.left(), below));
    window_->ResultWidget()->close();  // stores where it stood
    settings_->WriteRect(u"ResultDialog", {40, 50, 540, 350});
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    QCOMPARE(window_->ResultWidget()->frameGeometry(), QRect(40, 50, 500, 300));
  }

  void closingWithoutSearchingWritesTheSettingsToo() {
    window_->close();
    QVERIFY(ReadFile(Path("trawlscope.ini")).find("[MainDialog]") != std::string::npos);
  }

  void droppedFilesJoinTheSearchPathQuoted() {
    Type(ControlId::SearchPath, "/previous");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Path("tree/a.txt")), QUrl::fromLocalFile(Path("tree/b.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &drop);
    QComboBox* path = window_->ComboBox(ControlId::SearchPath);
    QCOMPARE(path->currentText(), "\"" + Path("tree/a.txt") + "\" \"" + Path("tree/b.txt") + "\"");
    QVERIFY(path->findText("/previous") >= 0);
  }

  void pickersFillTheSearchPath() {
    Type(ControlId::SearchPath, "\"" + Path("tree/a.txt") + "\"");
    chooser_->files = std::vector<std::u16string>{FromQString(Path("x y.txt")), u"/z.txt"};
    logic_->OnCommand(Command::PickFiles);
    QCOMPARE(QString::fromStdU16String(chooser_->lastStart), Path("tree/"));
    QCOMPARE(window_->ComboBox(ControlId::SearchPath)->currentText(),
             "\"" + Path("x y.txt") + "\" \"/z.txt\"");
    chooser_->folder = {true, u"/some folder"};
    logic_->OnCommand(Command::PickFolder);
    QCOMPARE(window_->ComboBox(ControlId::SearchPath)->currentText(), QString("/some folder"));
    chooser_->folder = {true, u""};
    logic_->OnCommand(Command::PickFolder);
    QCOMPARE(messages_, QStringList({"Can't select folder path."}));
    chooser_->folder = {};
    chooser_->files.reset();
    logic_->OnCommand(Command::PickFiles);
    logic_->OnCommand(Command::PickFolder);
    QCOMPARE(window_->ComboBox(ControlId::SearchPath)->currentText(), QString("/some folder"));
  }

  void enterInTheReplaceComboReplacesWithTheTypedText() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    window_->CheckBox(ControlId::CaseSensitive)->setChecked(true);
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    QLineEdit* replaceEdit = window_->ResultWidget()->ReplaceComboBox()->lineEdit();
    QTest::keyClicks(replaceEdit, "pin");
    QTest::keyClick(replaceEdit, Qt::Key_Return);
    WaitForRunEnd();
    QCOMPARE(ReadFile(Path("tree/c.txt")), std::string("pin, pin\n"));
    // The list comes back showing the files as they are now, and so does it after an undo.
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    WaitForRunEnd();
    QCOMPARE(logic_->State().hits.Count(), size_t(0));
    QTest::mouseClick(window_->UndoButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_COMPARE(logic_->State().hits.Count(), size_t(3));
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    QCOMPARE(window_->ResultWidget()->StatusText(), QString("3 found.  3 files searched."));
  }

  // The summary's Undo puts the files back; until then "Undo last replace" is on offer.
  void undoLastReplaceFollowsTheJournal() {
    QVERIFY(!window_->UndoButton()->isEnabled());
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    QTest::keyClicks(window_->ResultWidget()->ReplaceComboBox()->lineEdit(), "pin");
    QTest::mouseClick(window_->ResultWidget()->ReplaceButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_COMPARE(summaries_.size(), 1);
    QVERIFY2(summaries_[0].endsWith(Said("This replace can be undone.", "この置換は元に戻せます。")),
             qPrintable(summaries_[0]));
    QCOMPARE(ReadFile(Path("tree/c.txt")), std::string("pin, pin\n"));
    QTRY_VERIFY(window_->ResultWidget() != nullptr);  // the list, searched again
    WaitForRunEnd();
    QVERIFY(window_->UndoButton()->isEnabled());
    QTest::mouseClick(window_->UndoButton(), Qt::LeftButton);
    QCOMPARE(ReadFile(Path("tree/c.txt")), std::string("needle, needle\n"));
    QCOMPARE(messages_.last(), Said("Put back 2 files.", "2 ファイルを元に戻しました。"));
    QVERIFY(!window_->UndoButton()->isEnabled());
  }

  // A replace asks first, the question says what it does, and No changes nothing.
  void replaceAsksFirstAndNoChangesNothing() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    confirmAnswer_ = false;
    QTest::mouseClick(window_->ResultWidget()->ReplaceButton(), Qt::LeftButton);
    QCOMPARE(questions_.size(), 1);
    QVERIFY2(questions_[0].startsWith(Said("Delete the 3 occurrences in 2 files (the replacement is empty)?",
                                           "2 ファイルの 3 箇所を削除しますか？（置換後の文字列が空です）")),
             qPrintable(questions_[0]));
    QVERIFY(!logic_->IsRunning());
    QCOMPARE(ReadFile(Path("tree/a.txt")), std::string("needle one\n"));
    QCOMPARE(ReadFile(Path("tree/c.txt")), std::string("needle, needle\n"));
    QVERIFY(window_->ResultWidget() != nullptr);
  }

  // Enter on a row opens the hit, as a double-click does; it never replaces.
  void enterOnARowOpensTheHitAndChangesNoFile() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    settings_->WriteString(settings::kEditor, settings::kCommand, u"true %s");  // opens nothing for real
    KwicListView* list = window_->ResultWidget()->List();
    std::vector<size_t> opened;
    connect(list, &KwicListView::OpenRequested, this, [&](std::vector<size_t> rows) { opened = rows; });
    list->setFocus();
    list->selectRow(1);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(opened, std::vector<size_t>{1});
    QVERIFY(questions_.isEmpty());
    QVERIFY(!logic_->IsRunning());
    QCOMPARE(ReadFile(Path("tree/a.txt")), std::string("needle one\n"));
    QCOMPARE(ReadFile(Path("tree/c.txt")), std::string("needle, needle\n"));
  }

  void closingDuringAReplaceLeavesEveryFileWhole() {
    const std::string original(20000, 'x');
    for (int i = 0; i < 300; ++i) WriteFile(Path("many/%1.txt").arg(i), "needle " + original);
    Type(ControlId::SearchPath, Path("many"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    window_->ResultWidget()->ReplaceComboBox()->setEditText("changed");
    bool closed = false;
    std::atomic<bool> tenthFile{false};
    logic_->State().beforeFile = [&](size_t index, const std::u16string&) {
      if (index >= 10) tenthFile = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    QTest::mouseClick(window_->ResultWidget()->ReplaceButton(), Qt::LeftButton);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (!closed && tenthFile) {
        closed = true;
        window_->close();
      }
    });
    watch.start(1);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 20000);
    QVERIFY(closed);
    int changed = 0;
    for (int i = 0; i < 300; ++i) {
      const std::string bytes = ReadFile(Path("many/%1.txt").arg(i));
      QVERIFY(bytes == "needle " + original || bytes == "changed " + original);
      changed += bytes.rfind("changed", 0) == 0;
    }
    QVERIFY(changed >= 10 && changed < 300);
    QCOMPARE(QDir(Path("many")).entryList(QDir::Files | QDir::Hidden).size(), 300);
  }

  void outputWritesTheHitsOrSaysWhyNot() {
    Type(ControlId::SearchPath, Path("tree"));
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    WaitForRunEnd();
    QTRY_VERIFY(window_->ResultWidget() != nullptr);
    chooser_->output = FromQString(Path("out.csv"));
    QTest::mouseClick(window_->ResultWidget()->OutputButton(), Qt::LeftButton);
    const std::string bytes = ReadFile(Path("out.csv"));
    QVERIFY(bytes.rfind("path,line,", 0) == 0);
    QVERIFY(messages_.isEmpty());
    chooser_->output = FromQString(Path("no/such/folder/out.tsv"));
    QTest::mouseClick(window_->ResultWidget()->OutputButton(), Qt::LeftButton);
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_.front().contains(Said("The output file could not be written.", "出力ファイルを書き込めませんでした。")));
    chooser_->output.reset();
    QTest::mouseClick(window_->ResultWidget()->OutputButton(), Qt::LeftButton);
    QCOMPARE(messages_.size(), 1);
  }

  void aWorkerThatCannotStartGivesTheInputsBack() {
    runThread_->refuseToStart = true;
    Type(ControlId::SearchFor, "needle");
    QTest::mouseClick(window_->SearchButton(), Qt::LeftButton);
    QVERIFY(window_->ProgressWidget() == nullptr);
    QVERIFY(window_->SearchButton()->isEnabled());
    QCOMPARE(messages_.size(), 1);
  }
};

QTEST_MAIN(TestSearchDialog)
#include "SearchDialogWidgetTest.moc"
