#pragma once
// The next piece of a file read in pieces, as the searches and replaces of a
// large file cut it: whole lines, so that no match is ever cut in two.
#include <cstddef>

#include "platform/codepage/CodePageTable.h"
#include "platform/files/FileInPieces.h"

namespace trawlscope {

// The length of the next piece at the front of `raw`: up to its last line
// feed in about `pieceBytes`, read on while a line is longer; all that is
// left at the end, when `atEnd` is set. -1 with errno set.
long long NextLinePiece(FileInPieces& pieces, PieceRoom& raw, size_t pieceBytes, CodePage page, bool& atEnd);

}  // namespace trawlscope
