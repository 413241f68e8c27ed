// The words the desktop program and the batch tool give a file's outcome.
#include "app/OutcomeText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace trawlscope {
namespace {

TEST(OutcomeText, FileErrorsNameTheStepAndTheSystemsReason) {
  EXPECT_EQ(FileErrorText(FileError::System(FileStep::Write, ENOSPC)), "writing failed: the disk is full");
  EXPECT_EQ(FileErrorText(FileError::System(FileStep::Save, EDQUOT)), "saving failed: the disk is full");
  EXPECT_EQ(FileErrorText(FileError::System(FileStep::Read, ENOENT)),
            std::string("cannot read: ") + std::strerror(ENOENT));
  EXPECT_EQ(FileErrorText(FileError::Refused(FileRefusal::ReadOnly)), "the file is read-only");
  EXPECT_EQ(FileErrorText(FileError::Refused(FileRefusal::ChangedDuringWrite)), "changed during the write");
  EXPECT_EQ(FileErrorText({FileStep::Save, EIO, FileRefusal::PutBackFailed}),
            std::string("changed during the write, and the old content could not be put back: saving failed: ") +
                std::strerror(EIO));
  EXPECT_EQ(FileErrorText(FileError::Refused(FileRefusal::PutBackFailed)),
            "changed during the write, and the old content could not be put back: it kept changing");
}

TEST(OutcomeText, AnXPathFaultSaysWhereTheLibraryFoundIt) {
  EXPECT_EQ(XPathFaultText({7, "Invalid expression", 4, "//*["}), "Invalid expression at character 5 of //*[");
  EXPECT_EQ(XPathFaultText({7, "Invalid expression", -1, ""}), "Invalid expression");
  EXPECT_EQ(XPathFaultText({}), "the expression cannot be compiled");
}

TEST(OutcomeText, ReplaceProblemsSayWhichCharacterAPageCannotHold) {
  FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::CodePageCannotHold);
  outcome.character = U'€';
  outcome.codePage = 932;
  EXPECT_EQ(ReplaceProblemText(outcome), "the file's code page, Shift_JIS (932), cannot hold \"€\" (U+20AC)");
  outcome.character = U'😀';
  EXPECT_EQ(ReplaceProblemText(outcome), "the file's code page, Shift_JIS (932), cannot hold \"😀\" (U+1F600)");
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::Unreadable(EACCES)),
            std::string("cannot read: ") + std::strerror(EACCES));
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::Changed(3)), "");
}

TEST(OutcomeText, PickedReplacesAndTheJournalSayWhyAFileWasLeft) {
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ChangedSinceSearch)),
            "it changed since the search");
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrenceChanged)),
            "a chosen occurrence is no longer there as the search found it");
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrencesOverlap)),
            "the chosen occurrences overlap");
  FileReplaceOutcome journal = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFailed);
  journal.file = FileError::System(FileStep::Write, ENOSPC);
  EXPECT_EQ(ReplaceProblemText(journal), "its original could not be kept for undo: writing failed: the disk is full");
}

TEST(OutcomeText, UndoRefusalsAndTheJournalsEnd) {
  EXPECT_EQ(UndoRefusalText({"/a", UndoRefusal::ChangedSinceReplace, {}}), "it changed since the replace");
  EXPECT_EQ(UndoRefusalText({"/a", UndoRefusal::Missing, {}}), "it is no longer there");
  EXPECT_EQ(UndoRefusalText({"/a", UndoRefusal::File, FileError::Refused(FileRefusal::ReadOnly)}),
            "the file is read-only");
  JournalEnd end;
  end.kind = JournalEnd::Kind::Kept;
  EXPECT_EQ(JournalEndText(end), "can be undone");
  end.kind = JournalEnd::Kind::NothingKept;
  EXPECT_EQ(JournalEndText(end), "");
  JournalRoom room{false, {}, 3 * kMegabyte, 2 * kMegabyte, 100 * kMegabyte};
  EXPECT_EQ(JournalRoomText(room), "the original files (3.0 MB) would not fit in the undo journal (2.0 MB)");
  room.limit = 10 * kMegabyte;
  room.available = 1024;
  EXPECT_EQ(JournalRoomText(room), "the original files (3.0 MB) would not fit on the undo journal's disk (1.0 KB free)");
  room.folder = {FolderTrust::OpenToOthers, 0, "/s/undo"};
  EXPECT_EQ(JournalRoomText(room), "the undo journal's folder /s/undo is open to other users (it must have mode 0700)");
  room.fits = true;
  EXPECT_EQ(JournalRoomText(room), "");
}

}  // namespace
}  // namespace trawlscope
