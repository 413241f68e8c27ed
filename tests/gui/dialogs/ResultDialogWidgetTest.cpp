// The result dialog and its keyword-in-context list, offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QScrollBar>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QHelpEvent>

#include "app/RunReport.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "platform/ini/ProfileFile.h"
#include "gui/list/KwicListView.h"
#include "gui/dialogs/ResultDialogWidget.h"

using namespace trawlscope;

namespace {

void AddHit(HitList& list, std::u16string left, std::u16string keyword, std::u16string right, int line) {
  list.AppendStandalone(u"/d/", u"f" + std::u16string(1, char16_t(u'0' + line % 10)) + u".txt", left, keyword,
                        right, line, 0);
}

}  // namespace

class TestResultDialog : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<IniProfileFile> profile_;
  std::unique_ptr<SettingsStore> settings_;
  HitList hits_;
  std::vector<Command> commands_;
  std::unique_ptr<ResultDialogWidget> dialog_;

  QImage PaintedList() const {
    QWidget* viewport = dialog_->List()->viewport();
    QImage image(viewport->size(), QImage::Format_RGB32);
    image.fill(Qt::black);  // a pixel the list leaves unpainted cannot pass for a background
    viewport->render(&image);
    return image;
  }
  static bool IsRed(const QColor& c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; }
  static bool IsDark(const QColor& c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; }
  template <typename Test>
  static int CountPixels(const QImage& image, const QRect& area, Test test) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) count += test(image.pixelColor(x, y));
    return count;
  }

  // Sorts and filters are made off the UI thread.
  void WaitForRows() const { QTRY_VERIFY(!dialog_->List()->Arranging()); }

  void Open() {
    dialog_ = std::make_unique<ResultDialogWidget>(nullptr, hits_, *settings_,
                                                   [this](Command c) { commands_.push_back(c); });
    dialog_->MoveTo({100, 100, 900, 400});  // shows it
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    profile_ = std::make_unique<IniProfileFile>((dir_->path() + "/t.ini").toStdString());
    settings_ = std::make_unique<SettingsStore>(*profile_);
    hits_.Clear();
    AddHit(hits_, u"short", u"key", u" after", 3);
    AddHit(hits_, u"a much longer left context", u"関数", u"の後", 12);
    AddHit(hits_, u"", u"k&x", u"tail", 7);
    commands_.clear();
    Open();
  }
  void cleanup() { dialog_.reset(); }

  void showsTheCountAndTheColumns() {
    QCOMPARE(dialog_->StatusText(), QString("3 found."));
    QCOMPARE(dialog_->windowTitle(), QString("Trawlscope - Result"));
    QHeaderView* header = dialog_->List()->horizontalHeader();
    const auto shareWidth = [&] {
      // Wide enough, the contexts and the name fill it in the proportions of their first widths (300, 300, 100).
      QCOMPARE(header->sectionSize(0), 0);
      QCOMPARE(header->sectionSize(4), dialog_->List()->DefaultLineWidth());
      QCOMPARE(header->sectionSize(5), dialog_->List()->DefaultCodePageWidth());
      QCOMPARE(header->sectionSize(6), dialog_->List()->DefaultFolderWidth());
      QCOMPARE(header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(3) + header->sectionSize(4) +
                   header->sectionSize(5) + header->sectionSize(6),
               dialog_->List()->viewport()->width());
      QVERIFY2(std::abs(header->sectionSize(1) - 3 * header->sectionSize(3)) <= 8, qPrintable(QString("%1 %2").arg(header->sectionSize(1)).arg(header->sectionSize(3))));
    };
    dialog_->resize(1200, dialog_->height());
    shareWidth();
    const int name = header->sectionSize(3);
    dialog_->resize(dialog_->width() + 350, dialog_->height());
    shareWidth();
    QCOMPARE(header->sectionSize(3), name + 50);
    // Narrow (a large font on a small screen): the name keeps its title in view, the contexts give the room.
    dialog_->resize(dialog_->List()->DefaultFolderWidth() + dialog_->List()->DefaultCodePageWidth() + 420,
                    dialog_->height());
    QVERIFY(header->sectionSize(3) >= dialog_->List()->TitleWidth(3));
    QVERIFY(header->sectionSize(1) > header->sectionSize(3));
    QCOMPARE(header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(3) + header->sectionSize(4) +
                 header->sectionSize(5) + header->sectionSize(6),
             dialog_->List()->viewport()->width());
    QCOMPARE(dialog_->List()->model()->headerData(2, Qt::Horizontal).toString(),
             QString("Keyword and Right Context"));
    // A note too long for the status field leaves the count in view.
    dialog_->SetRunNote(std::u16string(400, u'x'));
    const QList<QLineEdit*> fields = dialog_->findChildren<QLineEdit*>();
    QLineEdit* status = *std::find_if(fields.begin(), fields.end(), [](QLineEdit* f) { return f->isReadOnly(); });
    QVERIFY(status->text().startsWith("3 found.  xxx"));
    QCOMPARE(status->cursorPosition(), 0);
  }

  void everyKeywordStartsAtTheColumnsLeftEdgeAndItsContextWhereItEnds() {
    KwicListView* list = dialog_->List();
    const int left = list->columnViewportPosition(2);
    QFontMetrics metrics(list->font());
    for (int row = 0; row < 3; ++row) {
      const QRect cell = list->visualRect(list->model()->index(row, 2));
      const auto layout = list->Delegate()->LayOutKeyword(cell, row);
      QCOMPARE(layout.keywordLeft, left);
      int sum = 0;
      for (const char16_t unit : hits_[row].Keyword()) sum += metrics.horizontalAdvance(QChar(unit));
      QCOMPARE(layout.rightContextLeft, left + sum);
    }
  }

  void aKeywordFillingItsColumnLeavesNoRoomForTheRightContext() {
    hits_.Clear();
    AddHit(hits_, u"", std::u16string(200, u'W'), u"never shown", 1);
    Open();
    KwicListView* list = dialog_->List();
    const QRect cell = list->visualRect(list->model()->index(0, 2));
    QVERIFY(list->Delegate()->LayOutKeyword(cell, 0).rightContextLeft > cell.right());
  }

  void ampersandsAreDrawnLiterally() {
    KwicListView* list = dialog_->List();
    QImage image(list->viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    list->viewport()->render(&image);
    const QRect cell = list->visualRect(list->model()->index(2, 2));
    int minX = INT_MAX, maxX = -1;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) minX = std::min(minX, x), maxX = std::max(maxX, x);
      }
    QVERIFY(maxX >= 0);
    // "k&x" drawn as a mnemonic would be "kx" with an underline: narrower.
    QFontMetrics metrics(list->font());
    QVERIFY(maxX - minX + 1 > metrics.horizontalAdvance("kx"));
  }

  void theKeywordIsPaintedRedAndItsContextsInTheTextColour() {
    KwicListView* list = dialog_->List();
    const QImage image = PaintedList();
    const QRect leftCell = list->visualRect(list->model()->index(0, 1));
    const QRect cell = list->visualRect(list->model()->index(0, 2));
    const auto layout = list->Delegate()->LayOutKeyword(cell, 0);
    const QRect keyword(layout.keywordLeft, cell.top(), layout.keywordWidth, cell.height());
    const QRect right(QPoint(layout.rightContextLeft, cell.top()), cell.bottomRight());
    const QRect name = list->visualRect(list->model()->index(0, 3));
    QVERIFY(CountPixels(image, keyword, IsRed) > 0);
    QCOMPARE(CountPixels(image, keyword, IsDark), 0);
    for (const QRect& context : {leftCell, right, name}) {
      QCOMPARE(CountPixels(image, context, IsRed), 0);
      QVERIFY(CountPixels(image, context, IsDark) > 0);
    }
  }

  void replaceTextPreviewsEveryRowAndAnEmptyOneEndsThePreview() {
    static auto isGreen = [](const QColor& c) { return c.green() > 100 && c.red() < 60 && c.blue() < 60; };
    static auto isGrey = [](const QColor& c) {
      return c.red() > 90 && c.red() < 170 && std::abs(c.red() - c.green()) < 8 && std::abs(c.red() - c.blue()) < 8;
    };
    KwicListView* list = dialog_->List();
    SearchRequest request;
    request.searchText = u"(k)(\\w+)";
    request.useRegex = true;
    dialog_->SetSearchRequest(request);
    QVERIFY(!list->Delegate()->Previewing());
    dialog_->ReplaceComboBox()->setEditText(QStringLiteral("[$2]"));
    QVERIFY(list->Delegate()->Previewing());
    const QRect cell = list->visualRect(list->model()->index(0, 2));
    auto layout = list->Delegate()->LayOutKeyword(cell, 0);
    QCOMPARE(layout.replacementLeft, layout.keywordLeft + layout.keywordWidth);
    QCOMPARE(layout.rightContextLeft - layout.replacementLeft, CharacterWidths(list->font()).TextWidth(u"[ey]"));
    QImage image = PaintedList();
    const QRect replacement(layout.replacementLeft, cell.top(), layout.rightContextLeft - layout.replacementLeft,
                            cell.height());
    QVERIFY(CountPixels(image, replacement, isGreen) > 0);
    const QRect keyword(layout.keywordLeft, cell.top(), layout.keywordWidth, cell.height());
    QVERIFY(CountPixels(image, keyword, IsRed) > 0);
    // The text going out is tinted as well as struck through: a strike alone is lost on kanji.
    static auto isTint = [](const QColor& c) { return c.red() > 240 && c.green() > 195 && c.green() < 230 && c.blue() > 195 && c.blue() < 230; };
    const int tinted = CountPixels(image, keyword, isTint);

    // A look-ahead may read past the contexts: the row says it cannot tell.
    request.searchText = u"k\\w+(?= )";
    dialog_->SetSearchRequest(request);
    layout = list->Delegate()->LayOutKeyword(cell, 0);
    image = PaintedList();
    const QRect unknown(layout.replacementLeft, cell.top(), layout.rightContextLeft - layout.replacementLeft,
                        cell.height());
    QCOMPARE(CountPixels(image, unknown, isGreen), 0);
    QVERIFY(CountPixels(image, unknown, isGrey) > 0);
    QHelpEvent help(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
    QVERIFY(list->Delegate()->helpEvent(&help, list, QStyleOptionViewItem(), list->model()->index(0, 2)));
    QTRY_COMPARE(QToolTip::text(), KwicDelegate::UnknownReplacementTip());

    dialog_->ReplaceComboBox()->setEditText(QString());
    QVERIFY(!list->Delegate()->Previewing());
    layout = list->Delegate()->LayOutKeyword(cell, 0);
    QCOMPARE(layout.rightContextLeft, layout.keywordLeft + layout.keywordWidth);
    QCOMPARE(CountPixels(PaintedList(), cell, isGreen), 0);
    // Without the preview only the red text's smoothed edges look like it.
    QVERIFY(tinted > CountPixels(PaintedList(), keyword, isTint) + keyword.width());
  }

  void rowsAreStripedAcrossTheWholeWidthAndTheSelectionShows() {
    KwicListView* list = dialog_->List();
    // Left of the right-aligned left context, and right of the last column.
    auto backgrounds = [&](const QImage& image, int row) {
      const QRect cell = list->visualRect(list->model()->index(row, 1));
      const int y = cell.center().y();
      return std::pair(image.pixelColor(cell.left() + 1, y), image.pixelColor(list->viewport()->width() - 2, y));
    };
    list->horizontalHeader()->resizeSection(3, 20);  // room right of the last column
    QVERIFY(list->columnViewportPosition(4) + list->columnWidth(4) < list->viewport()->width() - 2);
    const QImage plain = PaintedList();
    const auto [first, firstBeyond] = backgrounds(plain, 0);
    const auto [second, secondBeyond] = backgrounds(plain, 1);
    const auto [third, thirdBeyond] = backgrounds(plain, 2);
    QVERIFY(first != second);
    QCOMPARE(third, first);
    QCOMPARE(firstBeyond, first);
    QCOMPARE(secondBeyond, second);
    QCOMPARE(thirdBeyond, third);

    list->selectRow(1);
    const QImage selected = PaintedList();
    const auto [chosen, chosenBeyond] = backgrounds(selected, 1);
    QVERIFY(chosen != first && chosen != second);
    QCOMPARE(chosenBeyond, chosen);
    QCOMPARE(backgrounds(selected, 0).first, first);
  }

  // The filter narrows the rows as it is typed; what acts on rows acts on those shown.
  void theFilterNarrowsTheRowsAndTheCommandsActOnThoseShown() {
    QTest::keyClicks(dialog_->FilterEdit(), "KEY");
    WaitForRows();
    QCOMPARE(dialog_->StatusText(), QString("1 of 3 shown."));
    QCOMPARE(dialog_->List()->model()->rowCount(), 1);
    dialog_->List()->selectAll();
    const HitPicks selected = dialog_->SelectedHits();
    QCOMPARE(selected.size(), size_t{1});
    QVERIFY(selected[0] == hits_[0]);
    QCOMPARE(dialog_->ShownHits()->size(), size_t{1});
    dialog_->FilterExpressionBox()->setChecked(true);
    dialog_->FilterEdit()->setText("^a much|tail$");
    WaitForRows();
    QCOMPARE(dialog_->StatusText(), QString("2 of 3 shown."));
    dialog_->FilterEdit()->setText("[");
    WaitForRows();
    QCOMPARE(dialog_->StatusText(), QString("0 of 3 shown.  The filter's expression is not valid."));
    dialog_->FilterEdit()->clear();
    WaitForRows();
    QCOMPARE(dialog_->StatusText(), QString("3 found."));
    QVERIFY(!dialog_->ShownHits());
  }

  // F5 and the button run the list's search again.
  void searchAgainIsAskedByItsButtonAndF5() {
    dialog_->SearchAgainButton()->click();
    QTest::keyClick(dialog_->List(), Qt::Key_F5);
    QCOMPARE(commands_, (std::vector<Command>{Command::SearchAgain, Command::SearchAgain}));
  }

  // While the list's files are searched again it shows the held hits, sorted
  // and filtered as they were, says so and offers nothing that acts on them;
  // the new hits come in the same sort and filter.
  void aListSearchedAgainStaysWithItsFilterAndSortUntilTheNewHitsCome() {
    QTest::mouseClick(dialog_->List()->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(dialog_->List()->horizontalHeader()->sectionViewportPosition(4) + 5, 5));
    dialog_->FilterEdit()->setText("k");
    WaitForRows();
    HitList held;
    dialog_->HitsAboutToChange();
    held.Swap(hits_);
    dialog_->HoldHits(held);
    AddHit(hits_, u"new", u"key", u"", 1);  // the run filling the list
    QCOMPARE(dialog_->windowTitle(), QString("Trawlscope - Result (searching again)"));
    QCOMPARE(dialog_->StatusText(), QString("Searching again...  2 of 3 shown."));
    QCOMPARE(dialog_->Rows().Row(0).line, 3);
    QVERIFY(!dialog_->ReplaceButton()->isEnabled() && !dialog_->OutputButton()->isEnabled() &&
            !dialog_->SearchAgainButton()->isEnabled());
    for (int line : {5, 9}) AddHit(hits_, u"", u"other", u"", line);
    AddHit(hits_, u"", u"k", u"", 2);
    dialog_->HitsAboutToChange();
    dialog_->HitsChanged();
    WaitForRows();
    QCOMPARE(dialog_->windowTitle(), QString("Trawlscope - Result"));
    QCOMPARE(dialog_->StatusText(), QString("2 of 4 shown."));
    QCOMPARE(dialog_->Rows().Row(0).line, 1);
    QCOMPARE(dialog_->Rows().Row(1).line, 2);
    QVERIFY(dialog_->ReplaceButton()->isEnabled() && dialog_->SearchAgainButton()->isEnabled());
  }

  void theFolderColumnShowsThePathBelowTheSearchedFolder() {
    SearchRequest request;
    request.searchPath = u"/";
    dialog_->SetSearchRequest(request);
    QAbstractItemModel* model = dialog_->List()->model();
    QCOMPARE(model->headerData(6, Qt::Horizontal).toString(), QString("Folder"));
    QCOMPARE(model->index(0, 6).data().toString(), QString("d"));
    // Hidden from the header's menu, as the code page is.
    QMenu* menu = dialog_->List()->MakeHeaderMenu();
    QCOMPARE(menu->actions()[1]->text(), QString("Folder"));
    menu->actions()[1]->trigger();
    QVERIFY(dialog_->List()->horizontalHeader()->isSectionHidden(6));
    Open();
    QVERIFY(dialog_->List()->horizontalHeader()->isSectionHidden(6));
  }

  // With room to spare the name column shows a member's whole name; in a
  // narrow window the contexts keep half the room.
  void fileNamesShowWholeWhileTheContextsHaveRoomToGive() {
    const std::u16string member = u"pack.zip//man3/CPU_SET.3";
    hits_.AppendStandalone(u"/d/", member, u"left", u"key", u"right", 5, 0);
    Open();
    KwicListView* list = dialog_->List();
    const int name = static_cast<int>(ResultColumn::FileName);
    const int whole = list->CellWidth(QString::fromStdU16String(member));
    QVERIFY(list->horizontalHeader()->sectionSize(name) >= whole);
    QHeaderView* header = list->horizontalHeader();
    const int shared = header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(name);
    dialog_->resize(dialog_->width() - shared + whole, dialog_->height());  // the three share `whole`
    QTRY_VERIFY(header->sectionSize(name) < whole);
    QVERIFY(header->sectionSize(1) + header->sectionSize(2) >= whole / 2);
    // Kept as the proportions were, not as the name widened them.
    dialog_.reset();
    QCOMPARE(settings_->ReadInt(settings::kResultDialog, settings::kFilename, -1), settings::kDefaultFilenameWidth);
  }

  void aClickOnAHeaderSorts() {
    KwicListView* list = dialog_->List();
    QHeaderView* header = list->horizontalHeader();
    header->resizeSection(4, 40);
    const QPoint lineHeader(header->sectionViewportPosition(4) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, lineHeader);
    WaitForRows();
    const RowTable& rows = dialog_->Rows();
    QCOMPARE(rows.Row(0).line, 3);
    QCOMPARE(rows.Row(2).line, 12);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, lineHeader);
    WaitForRows();
    QCOMPARE(rows.Row(0).line, 12);
    QCOMPARE(hits_[0].line, 3);  // the hit list itself keeps discovery order
  }

  // The status line has the bottom row to itself, so that a run's note
  // shows whole: beside the buttons it lost its end.
  void resizingLaysOutAndSavesTheRectangle() {
    RunSummary summary;
    summary.filesSearched = 10468;
    summary.binarySkipped = 5615;
    summary.unreadable = {{u"/d/b.txt", 13}, {u"/d/c.txt", 13}};
    dialog_->SetRunNote(RunNoteText(summary));
    QLineEdit* status = nullptr;
    for (QLineEdit* field : dialog_->findChildren<QLineEdit*>())
      if (field->text() == dialog_->StatusText()) status = field;
    QVERIFY(status != nullptr);
    const int needed = status->fontMetrics().horizontalAdvance(status->text()) + 8;
    QVERIFY2(needed < status->contentsRect().width(), qPrintable(status->text()));
    dialog_->resize(500, 300);
    QTest::qWait(20);
    const QRect client = dialog_->rect();
    QCOMPARE(status->geometry().bottom(), client.bottom());
    QCOMPARE(status->geometry().left(), client.left());
    QCOMPARE(status->geometry().right(), client.right());
    const int row = status->geometry().top() - 3;
    QPushButton* replace = dialog_->ReplaceButton();
    QPushButton* output = dialog_->OutputButton();
    QCOMPARE(replace->geometry().bottomRight(), QPoint(client.right(), row));
    QPushButton* selected = dialog_->ReplaceSelectedButton();
    QCOMPARE(selected->geometry().right(), replace->geometry().left() - 3);
    QCOMPARE(selected->geometry().bottom(), row);
    QCOMPARE(output->geometry().right(), selected->geometry().left() - 3);
    QCOMPARE(output->geometry().bottom(), row);
    QComboBox* combo = dialog_->ReplaceComboBox();
    QCOMPARE(combo->geometry().bottom(), row);
    QVERIFY(combo->geometry().right() < output->geometry().left());
    QCOMPARE(dialog_->List()->geometry().bottom(), combo->geometry().top() - 3);
    QCOMPARE(dialog_->List()->geometry().right(), client.right());
    const QRect frame = dialog_->frameGeometry();
    QTRY_COMPARE(settings_->ReadInt(settings::kResultDialog, settings::kRight, -1), frame.right() + 1);
    QCOMPARE(settings_->ReadInt(settings::kResultDialog, settings::kBottom, -1), frame.bottom() + 1);
  }

  // Placing or dragging the window waits for it to stand still before the
  // disk is written; closing it writes at once what is still pending.
  void theRectangleIsStoredOnceTheWindowStandsStillOrCloses() {
    const ScreenRect before = settings_->ReadRect(settings::kResultDialog, {});
    dialog_->move(dialog_->pos() + QPoint(7, 5));
    QCOMPARE(settings_->ReadRect(settings::kResultDialog, {}), before);
    QTRY_COMPARE(settings_->ReadInt(settings::kResultDialog, settings::kLeft, -1), dialog_->frameGeometry().left());
    dialog_->move(dialog_->pos() + QPoint(11, 13));
    const QRect moved = dialog_->frameGeometry();
    dialog_->close();
    QCOMPARE(settings_->ReadRect(settings::kResultDialog, {}),
             (ScreenRect{moved.left(), moved.top(), moved.right() + 1, moved.bottom() + 1}));
  }

  // Kept as proportions: the next list, of the same width, shows them as they were.
  void columnWidthsAreKeptForTheNextList() {
    QHeaderView* header = dialog_->List()->horizontalHeader();
    header->resizeSection(1, 222);
    header->resizeSection(3, 177);
    const int keyword = header->sectionSize(2);
    dialog_.reset();
    QCOMPARE(settings_->ReadInt(settings::kResultDialog, settings::kBeforeText, -1), 222);
    Open();
    header = dialog_->List()->horizontalHeader();
    const int shared = 222 + keyword + 177, now = header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(3);
    QVERIFY(std::abs(header->sectionSize(1) - 222 * now / shared) <= 2);
    QVERIFY(std::abs(header->sectionSize(3) - 177 * now / shared) <= 2);
  }

  // A tall font: the rows follow it, so descenders and underscores are drawn
  // ("CPU_SET.3" must not read "CPU SET.3").
  void rowsAreTallEnoughForTheFont() {
    QCOMPARE(dialog_->List()->rowHeight(0), KwicRowHeight(dialog_->List()->font()));
    QVERIFY(dialog_->List()->rowHeight(0) >= kKwicRowHeight);
    hits_.Clear();
    AddHit(hits_, u"", u"k", u"", 1);
    hits_.AppendStandalone(u"/d/", u"____", u"", u"k", u"", 2, 0);
    Open();
    QFont big = dialog_->font();
    big.setPixelSize(24);
    dialog_->setFont(big);
    KwicListView* list = dialog_->List();
    const QFontMetrics metrics(list->font());
    QVERIFY(list->rowHeight(1) >= metrics.height());
    QCOMPARE(list->rowHeight(1), KwicRowHeight(list->font()));
    // The underscores lie below the baseline: all of them are painted, as
    // many dark pixels as the same text drawn with room to spare.
    QImage free(200, 200, QImage::Format_RGB32);
    free.fill(Qt::white);
    {
      QPainter painter(&free);
      painter.setFont(list->font());
      painter.setPen(Qt::black);
      painter.drawText(free.rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, "____");
    }
    const auto inked = [](const QColor& c) { return c.red() < 180 && c.green() < 180; };
    const int whole = CountPixels(free, free.rect(), inked);
    QVERIFY(whole > 0);
    const QRect name = list->visualRect(list->model()->index(1, 3));
    QVERIFY(CountPixels(PaintedList(), name, inked) >= whole * 9 / 10);
  }

  void theLineColumnFitsItsTitleAndFiveDigits() {
    KwicListView* list = dialog_->List();
    const int width = list->horizontalHeader()->sectionSize(4);
    QVERIFY(width >= QFontMetrics(list->font()).horizontalAdvance("00000"));
    QVERIFY(width >= QFontMetrics(list->horizontalHeader()->font()).horizontalAdvance("Line") + 8);
    // A stored width still wins.
    list->horizontalHeader()->resizeSection(4, 33);
    dialog_.reset();
    Open();
    QCOMPARE(dialog_->List()->horizontalHeader()->sectionSize(4), 33);
  }

  void eachRowsTooltipNamesItsFolderLineAndCodePage() {
    // A file's code page is named only when known.
    QCOMPARE(dialog_->List()->model()->index(0, 3).data(Qt::ToolTipRole).toString(), QString("/d/f3.txt\nLine 3\nHits in this file: 1"));
    hits_.Clear();
    HitFile& file = hits_.AddFile(u"/man/man3/", u"CPU_SET.3", 65001);
    file.wide = u"k";
    Hit hit(file, 0, 0, 1, 0);
    hit.line = 4;
    hits_.Append(hit);
    Open();
    const QVariant tip = dialog_->List()->model()->index(0, 3).data(Qt::ToolTipRole);
    QCOMPARE(tip.toString(), QString("/man/man3/CPU_SET.3\nLine 4\nHits in this file: 1\nCode page UTF-8 (65001)"));
    QCOMPARE(dialog_->List()->model()->index(0, 1).data(Qt::ToolTipRole).toString(), tip.toString());
  }

  void ctrlCCopiesTheSelectedRowsAsText() {
    KwicListView* list = dialog_->List();
    QApplication::clipboard()->clear();
    list->selectionModel()->select(list->model()->index(2, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(0, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString("/d/f3.txt\t3\tshort\tkey\t after\n/d/f7.txt\t7\t\tk&x\ttail\n"));
    QVERIFY(commands_.empty());
  }

  void replaceSelectedWorksOnTheSelectedRowsOnly() {
    QPushButton* button = dialog_->ReplaceSelectedButton();
    QVERIFY(!button->isEnabled());
    QVERIFY(dialog_->SelectedHits().empty());
    KwicListView* list = dialog_->List();
    list->selectRow(2);
    const auto pick = [&](int first, int last, QItemSelectionModel::SelectionFlags how) {
      list->selectionModel()->select(QItemSelection(list->model()->index(first, 1), list->model()->index(last, 1)),
                                     how | QItemSelectionModel::Rows);
    };
    // Overlapping picks count a row once; a row taken out of a span splits it.
    pick(0, 0, QItemSelectionModel::Select);
    pick(0, 2, QItemSelectionModel::Select);
    pick(1, 1, QItemSelectionModel::Deselect);
    QVERIFY(button->isEnabled());
    const HitPicks selected = dialog_->SelectedHits();
    QVERIFY(std::vector<Hit>(selected.begin(), selected.end()) == (std::vector<Hit>{hits_[0], hits_[2]}));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(commands_, std::vector<Command>{Command::ReplaceSelected});
    list->clearSelection();
    QVERIFY(!button->isEnabled());
  }

  // Screen readers and the list's own type-ahead read the cells' text.
  void everyCellSaysItsTextAndTypingFindsARow() {
    QAbstractItemModel* model = dialog_->List()->model();
    QCOMPARE(model->index(1, 1).data().toString(), QString("a much longer left context"));
    QCOMPARE(model->index(1, 2).data().toString(), QString::fromUtf16(u"関数の後"));
    QCOMPARE(model->index(1, 3).data().toString(), QString("f2.txt"));
    QCOMPARE(model->index(1, 4).data().toString(), QString("12"));
    QVERIFY(model->index(1, 2).data(Qt::AccessibleDescriptionRole).toString().contains("line 12"));
    dialog_->List()->setCurrentIndex(model->index(0, 1));
    dialog_->List()->keyboardSearch("a much");
    QCOMPARE(dialog_->List()->currentIndex().row(), 1);
  }

  void theCodePageColumnNamesThePageMarksUnreadBytesAndCanBeHidden() {
    auto& file = const_cast<HitFile&>(hits_[1].File());
    file.codePage = codepage::kShiftJis;
    file.undecodable = true;
    Open();
    QAbstractItemModel* model = dialog_->List()->model();
    QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QString("Code page"));
    QCOMPARE(model->index(1, 5).data().toString(), QString("Shift_JIS (932) (bytes not read)"));
    QVERIFY(model->index(1, 2).data(Qt::ToolTipRole).toString().contains("Code page Shift_JIS (932)\nSome bytes"));
    // Hidden from the header's menu: the shared columns take its room, and it stays hidden.
    QHeaderView* header = dialog_->List()->horizontalHeader();
    QMenu* menu = dialog_->List()->MakeHeaderMenu();
    QCOMPARE(menu->actions()[0]->text(), QString("Code page"));
    menu->actions()[0]->trigger();
    QVERIFY(header->isSectionHidden(5));
    QCOMPARE(header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(3) + header->sectionSize(4) +
                 header->sectionSize(6),
             dialog_->List()->viewport()->width());
    Open();
    QVERIFY(dialog_->List()->horizontalHeader()->isSectionHidden(5));
    dialog_->List()->MakeHeaderMenu()->actions()[0]->trigger();
    QCOMPARE(dialog_->List()->horizontalHeader()->sectionSize(5), dialog_->List()->DefaultCodePageWidth());
  }

  void readThisFileAsOffersTheLikelyPagesThenAnyAndSendsTheChoice() {
    KwicListView* list = dialog_->List();
    std::u16string askedFor;
    list->readAsCandidates = [&](const std::u16string& path, CodePage) {
      askedFor = path;
      return std::vector<CodePage>{codepage::kEucJp, codepage::kUtf8};
    };
    list->otherCodePage = [](CodePage) { return CodePage{20866}; };
    list->selectRow(1);
    QMenu* readAs = list->MakeContextMenu()->actions()[5]->menu();
    QVERIFY(readAs != nullptr && readAs->isEnabled());
    emit readAs->aboutToShow();
    QStringList titles;
    for (QAction* action : readAs->actions()) titles << action->text();
    QCOMPARE(titles, QStringList({"EUC-JP (51932)", "UTF-8 (65001)", "", "&Other..."}));
    QCOMPARE(askedFor, std::u16string(u"/d/f2.txt"));
    readAs->actions()[0]->trigger();
    QCOMPARE(commands_, std::vector<Command>{Command::ReadFileAs});
    QCOMPARE(dialog_->ReadAsChoice().path, std::u16string(u"/d/f2.txt"));
    QCOMPARE(dialog_->ReadAsChoice().codePage, codepage::kEucJp);
    readAs->actions()[3]->trigger();
    QCOMPARE(dialog_->ReadAsChoice().codePage, CodePage{20866});
    list->clearSelection();
    QVERIFY(!list->MakeContextMenu()->actions()[5]->menu()->isEnabled());
  }

  void theContextMenuOpensCopiesAndCopiesPaths() {
    KwicListView* list = dialog_->List();
    std::vector<size_t> opened;
    connect(list, &KwicListView::OpenRequested, this, [&](const std::vector<size_t>& rows) { opened = rows; });
    list->selectRow(1);
    QMenu* menu = list->MakeContextMenu();
    QStringList titles;
    for (QAction* action : menu->actions()) titles << action->text();
    QCOMPARE(titles, QStringList({"&Open", "&Copy", "Copy full &path", "Open containing &folder", "",
                                  "Read this file &as", "&Forget the pages chosen", "", "&Replace selected..."}));
    menu->actions()[2]->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("/d/f2.txt\n"));
    menu->actions()[1]->trigger();
    QVERIFY(QApplication::clipboard()->text().startsWith("/d/f2.txt\t12\ta much longer left context\t"));
    menu->actions()[0]->trigger();
    QCOMPARE(opened, std::vector<size_t>{1});
    menu->actions()[8]->trigger();
    QCOMPARE(commands_, std::vector<Command>{Command::ReplaceSelected});
    // With no file manager to show the folder, the list says so and names it.
    QStringList said;
    list->folderOpener = [](const std::string&) { return false; };
    list->messageSink = [&](const QString& text) { said << text; };
    menu->actions()[3]->trigger();
    QCOMPARE(said, QStringList({"No file manager could show the folder:\n/d/"}));
    // Forgetting the pages chosen is offered once there are some, also with nothing selected.
    QVERIFY(!menu->actions()[6]->isEnabled());
    dialog_->SetPagesChosen(1);
    list->clearSelection();
    QMenu* forget = list->MakeContextMenu();
    QVERIFY(forget->actions()[6]->isEnabled());
    forget->actions()[6]->trigger();
    QCOMPARE(commands_, (std::vector<Command>{Command::ReplaceSelected, Command::ForgetPages}));
    delete forget;
    delete menu;
  }

  // Home and End reach the first and last row and select it, with Ctrl too,
  // and never scroll sideways.
  void homeAndEndMoveTheCurrentRowAndTheSelection() {
    KwicListView* list = dialog_->List();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 2));
    const auto selectedRows = [list] {
      std::vector<size_t> rows = list->SelectedRows();
      return rows;
    };
    const int scrolled = list->horizontalScrollBar()->value();
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->currentIndex().row(), 2);
    QCOMPARE(selectedRows(), std::vector<size_t>{2});
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(list->currentIndex().row(), 0);
    QCOMPARE(selectedRows(), std::vector<size_t>{0});
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(list->currentIndex().row(), 2);
    QCOMPARE(selectedRows(), std::vector<size_t>{2});
    QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(selectedRows(), std::vector<size_t>{0});
    QTest::keyClick(list, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(selectedRows(), (std::vector<size_t>{0, 1, 2}));
    QCOMPARE(list->horizontalScrollBar()->value(), scrolled);
    QCOMPARE(list->currentIndex().column(), 2);
  }

  void theSortedColumnShowsItsDirection() {
    QHeaderView* header = dialog_->List()->horizontalHeader();
    QCOMPARE(header->sortIndicatorSection(), -1);
    header->resizeSection(4, 40);
    const QPoint lineHeader(header->sectionViewportPosition(4) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, lineHeader);
    WaitForRows();
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), 4);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, lineHeader);
    WaitForRows();
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    const QPoint nameHeader(header->sectionViewportPosition(3) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, nameHeader);
    WaitForRows();
    QCOMPARE(header->sortIndicatorSection(), 3);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
  }

  // The rectangle is the frame's, applied before the window shows; nothing is
  // stored before the window has been placed.
  void placementIsTheFramesAndIsStoredOnlyOncePlaced() {
    dialog_.reset();
    settings_->WriteRect(settings::kResultDialog, {10, 20, 30, 40});
    auto dialog = std::make_unique<ResultDialogWidget>(nullptr, hits_, *settings_, [](Command) {});
    dialog->resize(700, 300);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(settings_->ReadRect(settings::kResultDialog, {}), (ScreenRect{10, 20, 30, 40}));
    dialog->MoveTo({50, 60, 550, 360});
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QCOMPARE(dialog->frameGeometry(), QRect(50, 60, 500, 300));
    dialog->move(70, 80);
    QTRY_COMPARE(settings_->ReadRect(settings::kResultDialog, {}), (ScreenRect{70, 80, 570, 380}));
  }

  void anEmptyListOffersNoReplace() {
    QVERIFY(dialog_->ReplaceButton()->isEnabled());
    hits_.Clear();
    Open();
    QVERIFY(!dialog_->ReplaceButton()->isEnabled());
  }

  void enterAsksForAReplaceAndEscapeCloses() {
    QTest::keyClick(dialog_->ReplaceComboBox()->lineEdit(), Qt::Key_Return);
    QTest::mouseClick(dialog_->OutputButton(), Qt::LeftButton);
    QCOMPARE(commands_, (std::vector<Command>{Command::Replace, Command::Export}));
    QTest::keyClick(dialog_->List(), Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
  }
};

QTEST_MAIN(TestResultDialog)
#include "ResultDialogWidgetTest.moc"
