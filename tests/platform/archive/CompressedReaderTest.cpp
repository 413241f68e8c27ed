#include "platform/archive/CompressedReader.h"
#include "platform/archive/WholeGzip.h"

#include <gtest/gtest.h>

#include "support/ArchiveMaker.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using Kind = ArchiveFault::Kind;

// What reading a stream's one member gave: its bytes, or the fault.
struct Outcome {
  Kind fault = Kind::None;
  std::string bytes;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
  return out << "fault " << static_cast<int>(outcome.fault) << ", " << outcome.bytes.size() << " bytes";
}

Outcome ReadStream(const std::string& path, size_t limit) {
  CompressedReader reader;
  if (!reader.Open(path, CompressedKind::Stream, limit)) return {reader.Fault().kind, {}};
  ArchiveMember member;
  if (reader.Next(member) != CompressedReader::Step::Member) return {reader.Fault().kind, {}};
  EXPECT_TRUE(reader.IsCompressed());
  std::string bytes;
  const std::atomic<bool> abort{false};
  const auto read = reader.ReadMember(bytes, 16, [](std::string_view) { return true; }, abort);
  if (read == CompressedReader::Read::Fault) return {reader.Fault().kind, {}};
  EXPECT_EQ(reader.Next(member), CompressedReader::Step::End);
  return {Kind::None, bytes};
}

// The gzip trailer's size field, set to a size it does not hold.
std::string WithTrailerSize(std::string gzip, uint32_t size) {
  for (int i = 0; i < 4; ++i) gzip[gzip.size() - 4 + i] = static_cast<char>(size >> (8 * i));
  return gzip;
}

TEST(CompressedReaderTest, AGzipIsReadWholeOrByLibarchiveWithTheSameBytesAndFaults) {
  test::TempTree tree;
  const std::string page = test::Transcode(test::kJapaneseSentence, "EUC-JP");
  const std::string zeros(1u << 20, '\0');
  test::WriteStream(tree.Path("page.gz"), "gzip", page);
  test::WriteStream(tree.Path("second.gz"), "gzip", "second");
  test::WriteStream(tree.Path("zeros.gz"), "gzip", zeros);
  const std::string gz = tree.Read("page.gz"), zerosGz = tree.Read("zeros.gz");
  tree.Write("two.gz", gz + tree.Read("second.gz"));  // as `cat a.gz b.gz` or a rotated log appended to
  tree.Write("cut.gz", gz.substr(0, gz.size() - 6));
  std::string badCrc = gz;
  badCrc[badCrc.size() - 8] ^= 1;
  tree.Write("crc.gz", badCrc);
  // As gzip writes without -n: the original name in the header.
  std::string named = gz;
  named[3] |= 8;
  named.insert(10, std::string("ls.1\0", 5));
  tree.Write("named.gz", named);
  // A bomb whose trailer says it is small: the whole-buffer inflate runs out
  // of the room it names, and the streamed read stops it at the limit.
  tree.Write("liar.gz", WithTrailerSize(zerosGz, 100));
  // A trailer that claims more than deflate can give for its length.
  tree.Write("boast.gz", WithTrailerSize(gz, 1u << 30));
  const struct {
    const char* name;
    size_t limit;
    Outcome expected;
  } cases[] = {
      {"page.gz", 1u << 30, {Kind::None, page}},
      {"page.gz", page.size(), {Kind::None, page}},
      {"page.gz", page.size() - 1, {Kind::TooLarge, {}}},
      {"named.gz", 1u << 30, {Kind::None, page}},
      {"zeros.gz", 1u << 30, {Kind::None, zeros}},
      {"zeros.gz", 4096, {Kind::TooLarge, {}}},
      {"two.gz", 1u << 30, {Kind::None, page + "second"}},
      {"cut.gz", 1u << 30, {Kind::Damaged, {}}},
      // Neither libarchive nor the one-call inflate checks the CRC, nor
      // libarchive the size: such a file reads as it always did.
      {"crc.gz", 1u << 30, {Kind::None, page}},
      {"liar.gz", 4096, {Kind::TooLarge, {}}},
      {"boast.gz", 1u << 30, {Kind::None, page}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadStream(tree.Path(c.name), c.limit), c.expected) << c.name << " within " << c.limit;
  // Which of them the one-call inflate takes itself rather than leave to libarchive.
  const std::pair<const char*, bool> whole[] = {{"page.gz", true},  {"named.gz", true}, {"crc.gz", true},
                                                {"zeros.gz", true}, {"two.gz", false},  {"cut.gz", false},
                                                {"liar.gz", false}, {"boast.gz", false}};
  WholeGzip gzip;
  for (const auto& [name, taken] : whole) {
    const std::string packed = tree.Read(name);
    std::string out;
    EXPECT_EQ(WholeGzip::Suits(packed, 1u << 30) && gzip.Inflate(packed, out), taken) << name;
  }
  // The one-call inflate first takes all the room a trailer names: a claim
  // that deflate cannot reach from so few bytes is not even tried, or every
  // such little file would cost a gigabyte before it failed.
  EXPECT_FALSE(WholeGzip::Suits(tree.Read("boast.gz"), 1u << 30));
  EXPECT_TRUE(WholeGzip::Suits(WithTrailerSize(gz, static_cast<uint32_t>(gz.size() * 1032)), 1u << 30));
}

}  // namespace
}  // namespace trawlscope
