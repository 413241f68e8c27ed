#include "search/file/LinePieces.h"

#include <algorithm>

#include "platform/codepage/conversion/LineFeedCuts.h"

namespace trawlscope {

long long NextLinePiece(FileInPieces& pieces, PieceRoom& raw, size_t pieceBytes, CodePage page, bool& atEnd) {
  size_t want = std::max<size_t>(pieceBytes, 1);
  size_t lookedTo = 0;
  for (;;) {
    if (raw.size() < want && !atEnd) {
      const size_t asked = want - raw.size();
      const long long got = pieces.ReadMore(raw, asked);
      if (got < 0) return -1;
      atEnd = static_cast<size_t>(got) < asked;
    }
    if (atEnd) return static_cast<long long>(raw.size());
    // Only the new bytes, and the unit they may finish, are looked through.
    const size_t end = std::min(want, raw.size());
    const size_t from = (lookedTo - std::min<size_t>(lookedTo, 2)) & ~size_t{1};
    const size_t feed = UpToLastLineFeed(raw.View().substr(from, end - from), page);
    if (feed > 0) return static_cast<long long>(from + feed);
    lookedTo = end;
    want += std::max<size_t>(pieceBytes, 1);
  }
}

}  // namespace trawlscope
