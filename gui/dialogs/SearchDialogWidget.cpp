#include "gui/dialogs/SearchDialogWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

#include "app/SearchDialog.h"
#include "app/SettingsKeys.h"
#include "gui/dialogs/DialogKeyFilter.h"
#include "gui/dialogs/DialogUnits.h"
#include "gui/dialogs/ImmediateCheckBox.h"
#include "gui/dialogs/WindowPlacement.h"
#include "gui/dialogs/ProgressDialogWidget.h"
#include "gui/QtText.h"
#include "platform/files/NativePath.h"
#include "gui/dialogs/ResultDialogWidget.h"

namespace trawlscope {
namespace {

constexpr double kFontPoints = 9;
// Progress is read off the run this often: often enough to look live, rarely enough to cost nothing.
constexpr int kProgressPeriodMs = 250;

// A short message made a box narrower than its own title, which the window
// manager then cut: a spacer keeps the box as wide as the title needs.
void WideEnoughForTitle(QMessageBox& box) {
  constexpr int kTitleBarExtra = 160;  // the frame's buttons and margins
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

QLabel* Label(QWidget* parent, const QString& text, const QRect& where) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(where);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

SearchDialogWidget::SearchDialogWidget(SettingsStore& settings) : settings_(settings) {
  Build();
  progressTimer_.setInterval(kProgressPeriodMs);
  connect(&progressTimer_, &QTimer::timeout, this, [this] {
    if (logic_) logic_->OnTimer();
  });
  confirmSink = [this](const QString& question) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    WideEnoughForTitle(box);
    return box.exec() == QMessageBox::Yes;
  };
  summarySink = [this](const QString& text, bool offerUndo) {
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text, QMessageBox::Ok, this);
    QAbstractButton* undo = offerUndo ? box.addButton(tr("&Undo"), QMessageBox::ResetRole) : nullptr;
    box.setDefaultButton(QMessageBox::Ok);
    WideEnoughForTitle(box);
    box.exec();
    return undo != nullptr && box.clickedButton() == undo;
  };
  messageSink = [this](const QString& text, const QString& detail) {
    // A message with a library's detail is an error in what the user typed.
    QMessageBox box(detail.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                    QApplication::applicationName(), text, QMessageBox::Ok, this);
    box.setInformativeText(detail);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
      label->setFont(SyntaxFont(label->font(), true));
    WideEnoughForTitle(box);
    box.exec();
  };
  errorSink = [this](const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, this);
    WideEnoughForTitle(box);
    box.exec();
  };
}

SearchDialogWidget::~SearchDialogWidget() = default;

void SearchDialogWidget::Build() {
  setWindowTitle(QStringLiteral("Trawlscope " TRAWLSCOPE_VERSION));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(QStringLiteral(":/trawlscope.png")));
  setFont(DialogFont(kFontPoints));
  setAcceptDrops(true);
  const DialogUnits du(font());

  // The dialog-unit label column is too narrow for some fonts: the combos
  // start after the widest label, and their right edges stay where they were.
  // Each label's Alt shortcut goes to its field.
  QLabel* labels[] = {Label(this, tr("Search p&ath:"), du.ToPixels(3, 0, 41, 12)),
                      Label(this, tr("File &types:"), du.ToPixels(3, 15, 41, 12)),
                      Label(this, tr("&XPath:"), du.ToPixels(3, 30, 41, 12)),
                      Label(this, tr("Search &for:"), du.ToPixels(3, 46, 41, 12)),
                      Label(this, tr("Si&ze:"), du.ToPixels(3, 111, 41, 12)),
                      Label(this, tr("&Modified:"), du.ToPixels(3, 126, 41, 12))};
  int labelWidth = 0;
  for (QLabel* label : labels) labelWidth = std::max(labelWidth, label->sizeHint().width());
  for (QLabel* label : labels) label->resize(labelWidth, label->height());
  const int comboLeft = std::max(du.X(45), du.X(3) + labelWidth + du.X(2));
  const int comboRight = du.X(298);
  const auto combo = [&](int y, PopupCompleter::Source offers = PopupCompleter::Source::History) {
    QComboBox* box = MakeHistoryComboBox(this, offers);
    box->setGeometry(comboLeft, du.Y(y), comboRight - comboLeft, du.Y(12));
    return box;
  };
  searchPath_ = combo(0, PopupCompleter::Source::HistoryAndFolders);
  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setGeometry(du.ToPixels(299, 0, 12, 13));
  browse_->setAutoDefault(false);
  fileTypes_ = combo(15);
  fileTypes_->setToolTip(tr("Wildcard patterns for file names, separated by \";\": *.c;*.h\n"
                            "\"!\" before a pattern leaves out what it names: *.xml;!*.min.xml\n"
                            "\"/\" after a pattern names folders, at any depth: !build/;!node_modules/"));
  xpath_ = combo(30);
  searchFor_ = combo(46);
  searchFor_->setFont(SyntaxFont(font()));
  xpath_->setFont(SyntaxFont(font()));
  labels[0]->setBuddy(searchPath_);
  labels[1]->setBuddy(fileTypes_);
  labels[2]->setBuddy(xpath_);
  labels[3]->setBuddy(searchFor_);
  const auto checkBox = [&](const QString& text, int x, int y) {
    auto* box = new ImmediateCheckBox(text, this);
    box->setGeometry(x, du.Y(y), box->sizeHint().width(), du.Y(10));
    return box;
  };
  regex_ = checkBox(tr("&Regular expression"), comboLeft, 62);
  caseSensitive_ = checkBox(tr("&Case sensitive"), comboLeft, 73);
  subfolders_ = checkBox(tr("&Include subfolders"),
                         std::max(du.X(173), caseSensitive_->geometry().right() + du.X(6)), 73);
  // Below the options they go with: how occurrences match, and which folders are entered.
  wholeWord_ = checkBox(tr("Whole &word"), comboLeft, 84);
  wholeWord_->setToolTip(tr("Only occurrences that begin and end on word boundaries, "
                            "also between the words of Japanese and Chinese text"));
  skipVersionControl_ = checkBox(tr("Skip &version-control folders"), subfolders_->x(), 84);
  skipVersionControl_->setToolTip(tr("Leaves out .git, .svn, .hg, .bzr and CVS"));
  followGitignore_ = checkBox(tr("Follow .&gitignore"), subfolders_->x(), 95);
  followGitignore_->setToolTip(tr("Leaves out what git ignores: .gitignore files and .git/info/exclude"));
  compressed_ = checkBox(tr("Search c&ompressed files"), subfolders_->x(), 106);
  QLabel* readAsLabel = Label(this, tr("Rea&d files as:"), du.ToPixels(3, 97, 41, 12));
  readAsLabel->resize(std::max(readAsLabel->width(), readAsLabel->sizeHint().width()), readAsLabel->height());
  readAs_ = new QComboBox(this);
  readAs_->addItem(tr("Automatic"), 0u);
  for (const CodePage page : ChoosableCodePages())
    readAs_->addItem(ToQString(FromNativePath(CodePageDisplayName(page))), page);
  readAs_->setToolTip(tr("Automatic detects each file's code page. Any other choice reads every file in it,\n"
                         "but for a file that starts with a byte-order mark; a replace writes each file back\n"
                         "in the page it was read in."));
  // In the combos' column, below the check boxes, as far as the options beside it.
  const int readAsLeft = std::max(comboLeft, readAsLabel->geometry().right() + du.X(3));
  readAs_->setGeometry(readAsLeft, du.Y(96), std::max(du.X(60), compressed_->geometry().left() - du.X(6) - readAsLeft),
                       du.Y(12));
  readAsLabel->setBuddy(readAs_);
  // Two rows under "Read files as", each a pair of small fields whose
  // placeholders say which bound they are; the tooltips give the forms.
  const int boundsRight = readAs_->geometry().right() + 1;
  const int dashWidth = du.X(8);
  const int fieldWidth = (boundsRight - comboLeft - dashWidth) / 2;
  const auto boundsRow = [&](int y, const QString& first, const QString& second, const QString& forms,
                             QLineEdit*& from, QLineEdit*& to) {
    from = new QLineEdit(this);
    to = new QLineEdit(this);
    from->setGeometry(comboLeft, du.Y(y), fieldWidth, du.Y(12));
    to->setGeometry(boundsRight - fieldWidth, du.Y(y), fieldWidth, du.Y(12));
    auto* dash = new QLabel(QStringLiteral("–"), this);
    dash->setAlignment(Qt::AlignCenter);
    dash->setGeometry(comboLeft + fieldWidth, du.Y(y), boundsRight - comboLeft - 2 * fieldWidth, du.Y(12));
    from->setPlaceholderText(first);
    to->setPlaceholderText(second);
    from->setToolTip(forms);
    to->setToolTip(forms);
  };
  boundsRow(111, tr("at least"), tr("at most"),
            tr("A number of bytes, or one with k, M or G after it: 4096, 10k, 5M, 1G.\n"
               "Both bounds are included; a compressed file counts by its own size on disk."),
            minSize_, maxSize_);
  boundsRow(126, tr("after"), tr("before"),
            tr("A date in local time, with a time if need be: 2026-12-01, 2026-12-01 10:00.\n"
               "Or a number of days or hours back: 7d, 12h (\"after 7d\" is the last week)."),
            modifiedAfter_, modifiedBefore_);
  labels[4]->setBuddy(minSize_);
  labels[5]->setBuddy(modifiedAfter_);
  search_ = new QPushButton(tr("&Search"), this);
  search_->setGeometry(std::max(du.X(261), subfolders_->geometry().right() + du.X(4)), du.Y(69),
                       du.X(50), du.Y(14));
  search_->setDefault(true);
  // Beside the options, below the inputs: reachable at any time, never in the way of Enter.
  undo_ = new QPushButton(tr("&Undo last replace"), this);
  undo_->setAutoDefault(false);
  undo_->setToolTip(tr("Puts back the files the last replace changed, if they are still as it left them"));
  const int undoLeft = std::max(du.X(173), regex_->geometry().right() + du.X(6));
  undo_->setGeometry(undoLeft, du.Y(60), std::max(undo_->sizeHint().width(), du.X(70)), du.Y(12));
  undo_->setEnabled(false);
  // The template's 318 x 89 units can be smaller than the controls laid out
  // in them (a label column widened, a tall font): the dialog is never
  // smaller than what it holds plus the margin on the left.
  QRect extent;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) extent |= child->geometry();
  controlsExtent_ = QSize(extent.right() + 1 + du.X(3), extent.bottom() + 1 + du.Y(3));
  setMinimumSize(std::max(controlsExtent_.width(), settings::kMainDialogMinWidth),
                 std::max(controlsExtent_.height(), settings::kMainDialogMinHeight));
  resize(std::max(du.X(318), minimumWidth()), std::max(du.Y(89), minimumHeight()));

  setTabOrder(searchPath_, browse_);
  setTabOrder(browse_, fileTypes_);
  setTabOrder(fileTypes_, xpath_);
  setTabOrder(xpath_, searchFor_);
  setTabOrder(searchFor_, regex_);
  setTabOrder(regex_, caseSensitive_);
  setTabOrder(caseSensitive_, subfolders_);
  setTabOrder(subfolders_, wholeWord_);
  setTabOrder(wholeWord_, skipVersionControl_);
  setTabOrder(skipVersionControl_, followGitignore_);
  setTabOrder(followGitignore_, compressed_);
  setTabOrder(compressed_, readAs_);
  setTabOrder(readAs_, minSize_);
  setTabOrder(minSize_, maxSize_);
  setTabOrder(maxSize_, modifiedAfter_);
  setTabOrder(modifiedAfter_, modifiedBefore_);
  setTabOrder(modifiedBefore_, search_);
  setTabOrder(search_, undo_);

  histories_ = {std::make_unique<QtHistoryCombo>(*searchPath_), std::make_unique<QtHistoryCombo>(*fileTypes_),
                std::make_unique<QtHistoryCombo>(*xpath_), std::make_unique<QtHistoryCombo>(*searchFor_)};

  browseMenu_ = new QMenu(this);
  connect(browseMenu_->addAction(tr("File")), &QAction::triggered, this,
          [this] { logic_->OnCommand(Command::PickFiles); });
  connect(browseMenu_->addAction(tr("Folder")), &QAction::triggered, this,
          [this] { logic_->OnCommand(Command::PickFolder); });
  connect(browse_, &QPushButton::clicked, this, [this] { logic_->OnCommand(Command::Browse); });
  connect(search_, &QPushButton::clicked, this, [this] { logic_->OnCommand(Command::Search); });
  connect(undo_, &QPushButton::clicked, this, [this] { logic_->OnCommand(Command::UndoLastReplace); });
  new DialogKeyFilter(this, DialogKeyFilter::Escape::ClearsSelection, [this] {
    if (logic_ == nullptr) return false;
    logic_->OnEnter();
    return true;
  });
}

void SearchDialogWidget::SetLogic(SearchDialog* logic) { logic_ = logic; }

IHistoryCombo& SearchDialogWidget::Combo(ControlId id) {
  switch (id) {
    case ControlId::FileTypes: return *histories_[1];
    case ControlId::XPath: return *histories_[2];
    case ControlId::SearchFor: return *histories_[3];
    default: return *histories_[0];
  }
}

QComboBox* SearchDialogWidget::ComboBox(ControlId id) const {
  switch (id) {
    case ControlId::FileTypes: return fileTypes_;
    case ControlId::XPath: return xpath_;
    case ControlId::SearchFor: return searchFor_;
    default: return searchPath_;
  }
}

QCheckBox* SearchDialogWidget::CheckBox(ControlId id) const {
  switch (id) {
    case ControlId::Regex: return regex_;
    case ControlId::CaseSensitive: return caseSensitive_;
    case ControlId::Compressed: return compressed_;
    case ControlId::WholeWord: return wholeWord_;
    case ControlId::SkipVersionControl: return skipVersionControl_;
    case ControlId::FollowGitignore: return followGitignore_;
    default: return subfolders_;
  }
}

QLineEdit* SearchDialogWidget::Field(ControlId id) const {
  switch (id) {
    case ControlId::MinSize: return minSize_;
    case ControlId::MaxSize: return maxSize_;
    case ControlId::ModifiedAfter: return modifiedAfter_;
    case ControlId::ModifiedBefore: return modifiedBefore_;
    default: return nullptr;
  }
}

std::u16string SearchDialogWidget::FieldText(ControlId id) const { return FromQString(Field(id)->text()); }
void SearchDialogWidget::SetFieldText(ControlId id, std::u16string_view text) { Field(id)->setText(ToQString(text)); }

bool SearchDialogWidget::IsChecked(ControlId id) const { return CheckBox(id)->isChecked(); }
void SearchDialogWidget::SetChecked(ControlId id, bool checked) { CheckBox(id)->setChecked(checked); }

void SearchDialogWidget::Enable(ControlId id, bool enabled) {
  QWidget* widget = nullptr;
  switch (id) {
    case ControlId::Browse: widget = browse_; break;
    case ControlId::Search: widget = search_; break;
    case ControlId::UndoLastReplace: widget = undo_; break;
    case ControlId::ReadAs: widget = readAs_; break;
    case ControlId::MinSize:
    case ControlId::MaxSize:
    case ControlId::ModifiedAfter:
    case ControlId::ModifiedBefore: widget = Field(id); break;
    case ControlId::Regex:
    case ControlId::CaseSensitive:
    case ControlId::Subfolders:
    case ControlId::Compressed:
    case ControlId::WholeWord:
    case ControlId::SkipVersionControl:
    case ControlId::FollowGitignore: widget = CheckBox(id); break;
    default: widget = ComboBox(id); break;
  }
  widget->setEnabled(enabled);
}

CodePage SearchDialogWidget::ReadAs() const { return readAs_->currentData().toUInt(); }

void SearchDialogWidget::SetReadAs(CodePage codePage) {
  const int index = readAs_->findData(codePage);
  readAs_->setCurrentIndex(index >= 0 ? index : 0);
}

void SearchDialogWidget::Focus(ControlId id) {
  if (QLineEdit* field = Field(id)) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return;
  }
  QComboBox* combo = ComboBox(id);
  combo->setFocus(Qt::OtherFocusReason);
  combo->lineEdit()->selectAll();
}

ScreenRect SearchDialogWidget::Frame() const { return FrameOf(*this); }

ScreenSize SearchDialogWidget::MinimumFrameSize() const {
  const ScreenSize extra = FrameExtra(*this);
  return {minimumWidth() + extra.width, minimumHeight() + extra.height};
}

ScreenSize SearchDialogWidget::VirtualScreenSize() const { return DesktopSize(); }

void SearchDialogWidget::MoveTo(const ScreenRect& frame) { PlaceFrame(*this, frame); }

IProgressView* SearchDialogWidget::OpenProgress() {
  progress_ = std::make_unique<ProgressDialogWidget>(this, [this] { logic_->OnCommand(Command::Abort); });
  progress_->move(frameGeometry().center() - progress_->rect().center());
  progress_->show();
  progress_->raise();
  return progress_.get();
}

void SearchDialogWidget::CloseProgress() { progress_.reset(); }
IProgressView* SearchDialogWidget::Progress() { return progress_.get(); }
void SearchDialogWidget::StartProgressTimer() { progressTimer_.start(); }
void SearchDialogWidget::StopProgressTimer() { progressTimer_.stop(); }

IResultView* SearchDialogWidget::OpenResults(const HitList& hits) {
  // Shown by its first MoveTo: placed before it is mapped, its position is its frame's.
  results_ = std::make_unique<ResultDialogWidget>(this, hits, settings_,
                                                  [this](Command command) { logic_->OnCommand(command); });
  return results_.get();
}

void SearchDialogWidget::CloseResults() { results_.reset(); }
IResultView* SearchDialogWidget::Results() { return results_.get(); }

bool SearchDialogWidget::Confirm(std::u16string_view question) { return confirmSink(ToQString(question)); }

void SearchDialogWidget::ShowMessage(std::u16string_view text) { messageSink(ToQString(text), QString()); }

void SearchDialogWidget::ShowError(std::u16string_view text) { errorSink(ToQString(text)); }

void SearchDialogWidget::ShowDetailedMessage(std::u16string_view text, std::u16string_view detail) {
  messageSink(ToQString(text), ToQString(detail));
}

bool SearchDialogWidget::ShowReplaceSummary(std::u16string_view text, bool offerUndo) {
  return summarySink(ToQString(text), offerUndo);
}

void SearchDialogWidget::ShowBrowseMenu() { browseMenu_->popup(browse_->mapToGlobal(QPoint(0, 0))); }

void SearchDialogWidget::SetWaitCursor(bool waiting) {
  if (waiting)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void SearchDialogWidget::Defer(std::function<void()> work) { QTimer::singleShot(0, this, std::move(work)); }

void SearchDialogWidget::CloseNow() {
  closing_ = true;
  close();
}

// Alt+F4 and the Close button: the settings are saved, or a run is stopped first.
void SearchDialogWidget::closeEvent(QCloseEvent* event) {
  if (closing_ || logic_ == nullptr || logic_->OnClose()) {
    results_.reset();
    progress_.reset();
    event->accept();
    return;
  }
  event->ignore();
}

void SearchDialogWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void SearchDialogWidget::dropEvent(QDropEvent* event) {
  std::vector<std::u16string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(FromQString(url.toLocalFile()));
  logic_->TakeDroppedFiles(paths);
  event->acceptProposedAction();
}

}  // namespace trawlscope
