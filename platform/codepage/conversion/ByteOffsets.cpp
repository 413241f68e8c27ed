#include "platform/codepage/conversion/ByteOffsets.h"

#include <unicode/ucnv.h>

#include <memory>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {
namespace {

// Units converted per round; offsets come back for each of them.
constexpr size_t kChunkUnits = 1 << 16;

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

std::optional<std::vector<size_t>> Scaled(const std::vector<size_t>& positions, size_t unitBytes,
                                          size_t textUnits) {
  std::vector<size_t> offsets;
  for (const size_t position : positions) {
    if (position > textUnits) return std::nullopt;
    offsets.push_back(position * unitBytes);
  }
  return offsets;
}

}  // namespace

std::optional<std::vector<size_t>> ByteOffsetsOfPositions(std::string_view bytes, CodePage codePage,
                                                          const std::vector<size_t>& positions) {
  if (codePage == codepage::kUtf16Le) return Scaled(positions, 2, bytes.size() / 2);
  if (IsAsciiTransparent(codePage) && !HasHighBytes(bytes)) return Scaled(positions, 1, bytes.size());

  const char* name = IcuConverterName(codePage);
  if (name == nullptr) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(name, &status));
  if (U_FAILURE(status)) return std::nullopt;

  std::vector<size_t> result;
  result.reserve(positions.size());
  auto wanted = positions.begin();
  std::vector<UChar> units(kChunkUnits);
  std::vector<int32_t> offsets(kChunkUnits);
  const char* source = bytes.data();
  const char* const sourceLimit = bytes.data() + bytes.size();
  size_t unitsBefore = 0;         // units converted in earlier rounds
  long long previousStart = -1;   // byte offset of the last unit seen
  for (;;) {
    const char* roundSource = source;
    UChar* target = units.data();
    status = U_ZERO_ERROR;
    ucnv_toUnicode(converter.get(), &target, units.data() + units.size(), &source, sourceLimit,
                   offsets.data(), true, &status);
    const size_t produced = static_cast<size_t>(target - units.data());
    for (; wanted != positions.end() && *wanted < unitsBefore + produced; ++wanted) {
      const size_t k = *wanted - unitsBefore;
      // -1: output the converter held over from the last round, so the
      // middle of a character; so is a unit from the same bytes as the one before.
      if (offsets[k] < 0) return std::nullopt;
      const long long start = (roundSource - bytes.data()) + offsets[k];
      const long long before = k > 0 ? (offsets[k - 1] < 0 ? -2 : (roundSource - bytes.data()) + offsets[k - 1])
                                     : previousStart;
      if (start == before) return std::nullopt;
      result.push_back(static_cast<size_t>(start));
    }
    if (produced > 0)
      previousStart = offsets[produced - 1] < 0 ? -2 : (roundSource - bytes.data()) + offsets[produced - 1];
    unitsBefore += produced;
    if (status != U_BUFFER_OVERFLOW_ERROR) break;
  }
  if (U_FAILURE(status)) return std::nullopt;
  for (; wanted != positions.end(); ++wanted) {
    if (*wanted != unitsBefore) return std::nullopt;
    result.push_back(bytes.size());
  }
  return result;
}

}  // namespace trawlscope
