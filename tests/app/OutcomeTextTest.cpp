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

TEST(OutcomeText, ReplaceProblemsSayWhichCharacterAPageCannotHold) {
  FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::CodePageCannotHold);
  outcome.character = U'€';
  outcome.codePage = 932;
  EXPECT_EQ(ReplaceProblemText(outcome), "the file's code page (932) cannot hold \"€\" (U+20AC)");
  outcome.character = U'😀';
  EXPECT_EQ(ReplaceProblemText(outcome), "the file's code page (932) cannot hold \"😀\" (U+1F600)");
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::Unreadable(EACCES)),
            std::string("cannot read: ") + std::strerror(EACCES));
  EXPECT_EQ(ReplaceProblemText(FileReplaceOutcome::Changed(3)), "");
}

}  // namespace
}  // namespace trawlscope
