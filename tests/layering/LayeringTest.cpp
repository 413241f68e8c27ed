// The layers of the tree, checked on the sources: every include of ours must
// point at a room its file may use, and only the windows include Qt. A
// failure names the file, the include and the rule it breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsQtHeader(const std::string& header) {
  return std::regex_match(header, std::regex("Q[A-Za-z]*(/.*)?|qt.*"));
}

// Files that may include Qt: the windows, the screenshot tool, the GUI
// benchmarks and their tests.
bool MayUseQt(const std::string& file) {
  return StartsWith(file, "gui/") || StartsWith(file, "tools/screenshots/") || file == "bench/kwic_bench.cpp" ||
         file == "bench/list_bench.cpp" ||
         StartsWith(file, "tests/gui/");
}

// The one room of gui/ that the batch tool may use: it links QtCore for the
// language catalogue and nothing else of Qt.
constexpr char kCatalogueRoom[] = "gui/catalogue/";

// The rooms of search/ under its top, and those over it.
bool InLowerSearchRoom(const std::string& path) {
  for (const char* room : {"search/hits/", "search/listing/", "search/matching/", "search/text/", "search/xml/"})
    if (StartsWith(path, room)) return true;
  return false;
}

// The rooms of platform/codepage/, bottom first: each may use those before it.
constexpr const char* kCodePageRooms[] = {"platform/codepage/conversion/", "platform/codepage/detection/",
                                          "platform/codepage/binary/"};

// The code-page room of `path`, as its place in kCodePageRooms; -1 for the
// top of platform/codepage/ (the table and the byte scans), -2 outside it.
int CodePageRoomOf(const std::string& path) {
  for (int k = 0; k < 3; ++k)
    if (StartsWith(path, kCodePageRooms[k])) return k;
  return StartsWith(path, "platform/codepage/") ? -1 : -2;
}

std::string BrokenCodePageRule(const std::string& file, const std::string& header) {
  const int from = CodePageRoomOf(file), to = CodePageRoomOf(header);
  if (from == -2 || to < 0 || to <= from) return {};
  if (from == -1)
    return "the top of platform/codepage/ (the table, the byte scans) sits under its rooms: it uses none of them";
  return std::string(kCodePageRooms[from]) + " sits under " + kCodePageRooms[to] +
         ": conversion, then detection (which reads with the converters), then binary (which asks the detector's "
         "sample)";
}

// The rooms of search/matching/, bottom first: each may use those before it,
// and the top (the matcher, the prefilter) stands over all of them.
constexpr const char* kMatchingRooms[] = {"search/matching/scan/", "search/matching/unicode/",
                                          "search/matching/expression/"};
constexpr int kMatchingTop = 3;

// The matching room of `path`, as its place in kMatchingRooms; kMatchingTop
// for the top of search/matching/, -1 outside it.
int MatchingRoomOf(const std::string& path) {
  for (int k = 0; k < kMatchingTop; ++k)
    if (StartsWith(path, kMatchingRooms[k])) return k;
  return StartsWith(path, "search/matching/") ? kMatchingTop : -1;
}

std::string BrokenMatchingRule(const std::string& file, const std::string& header) {
  const int from = MatchingRoomOf(file), to = MatchingRoomOf(header);
  if (from < 0 || to < 0 || to <= from) return {};
  if (to == kMatchingTop)
    return std::string(kMatchingRooms[from]) + " sits under the top of search/matching/ (the matcher, the raw "
           "prefilter): the top uses its rooms, never they it";
  return std::string(kMatchingRooms[from]) + " sits under " + kMatchingRooms[to] +
         ": scan (the byte scans), then unicode (case folding, word boundaries), then expression (what an "
         "expression's matches need, which folds case and searches bytes)";
}

// Why `file` may not include our header `header`; empty when it may. The
// floors, from the ground: platform/, search/, results/, app/, then gui/ and
// tools/ side by side.
std::string BrokenRule(const std::string& file, const std::string& header) {
  if (StartsWith(file, "platform/") && !StartsWith(header, "platform/"))
    return "platform/ is the bottom floor: it uses nothing of ours outside platform/";
  if (const std::string rule = BrokenCodePageRule(file, header); !rule.empty()) return rule;
  if (StartsWith(file, "search/")) {
    if (!StartsWith(header, "search/") && !StartsWith(header, "platform/"))
      return "search/ uses only platform/ and itself";
    if (const std::string rule = BrokenMatchingRule(file, header); !rule.empty()) return rule;
    if (StartsWith(file, "search/hits/") && StartsWith(header, "search/") && !StartsWith(header, "search/hits/"))
      return "search/hits/ (what a search finds) is used by every floor above search/: it uses only platform/";
    if (InLowerSearchRoom(file) && StartsWith(header, "search/") && !InLowerSearchRoom(header) &&
        header != "search/AbortFlag.h")
      return "the rooms of search/ (hits, listing, matching, text, xml) sit below its top; of the rest of search/ "
             "they use only search/AbortFlag.h";
    if (!StartsWith(file, "search/run/") && StartsWith(header, "search/run/"))
      return "search/run/ (the runs over every file) is the top of search/: nothing else in search/ uses it";
    if (StartsWith(file, "search/file/") &&
        (StartsWith(header, "search/review/") || StartsWith(header, "search/replace/") ||
         StartsWith(header, "search/archive/")))
      return "search/file/ (the per-file search and its window) knows nothing of replaces or archives: "
             "search/replace/ and search/archive/ use it, not it them";
    if (StartsWith(file, "search/review/") &&
        (StartsWith(header, "search/file/") || StartsWith(header, "search/replace/")))
      return "search/review/ (what a replace may touch) sits under the per-file searcher and the replacer, "
             "which use it";
    if (StartsWith(file, "search/replace/") && StartsWith(header, "search/archive/"))
      return "search/replace/ (the per-file replace) sits under search/archive/, which uses it";
  }
  if (StartsWith(file, "results/") && !StartsWith(header, "results/") && !StartsWith(header, "search/") &&
      !StartsWith(header, "platform/"))
    return "results/ uses only search/ and platform/";
  if (StartsWith(file, "app/") && (StartsWith(header, "gui/") || StartsWith(header, "tools/")))
    return "app/ is the windows' logic, under gui/: it never uses gui/ or tools/";
  if (StartsWith(file, "tools/batch/") && StartsWith(header, "gui/") && !StartsWith(header, kCatalogueRoom))
    return "tools/batch may use QtCore for the catalogue only (gui/catalogue/), never the windows";
  if (StartsWith(file, "gui/") && StartsWith(header, "tools/"))
    return "gui/ and tools/ stand side by side: neither uses the other (but tools/batch the catalogue)";
  return {};
}

bool IsOurs(const std::string& header) {
  for (const char* top : {"app/", "search/", "results/", "platform/", "gui/", "tools/", "bench/"})
    if (StartsWith(header, top)) return true;
  return false;
}

std::vector<std::string> Violations(const std::string& file, const std::vector<std::string>& includes) {
  std::vector<std::string> found;
  for (const std::string& header : includes) {
    if (IsQtHeader(header)) {
      if (!MayUseQt(file)) found.push_back(file + " includes <" + header + ">: only gui/, tools/screenshots and "
                                           "the GUI benchmark use Qt; tools/batch may use QtCore for the "
                                           "catalogue only, through gui/catalogue/");
      continue;
    }
    if (!IsOurs(header)) continue;
    const std::string rule = BrokenRule(file, header);
    if (!rule.empty()) found.push_back(file + " includes \"" + header + "\": " + rule);
  }
  return found;
}

std::vector<std::string> IncludesOf(const fs::path& path) {
  static const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
  std::vector<std::string> includes;
  std::ifstream in(path);
  std::smatch match;
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, match, include)) includes.push_back(match[1]);
  return includes;
}

TEST(Layering, EveryIncludeKeepsToItsLayer) {
  const fs::path root = TRAWLSCOPE_SOURCE_DIR;
  size_t checked = 0;
  std::vector<std::string> violations;
  for (const char* top : {"app", "search", "results", "platform", "gui", "tools", "bench", "tests"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
      const std::string file = fs::relative(entry.path(), root).generic_string();
      for (auto& violation : Violations(file, IncludesOf(entry.path()))) violations.push_back(violation);
      ++checked;
    }
  }
  EXPECT_GT(checked, 100u);
  for (const auto& violation : violations) ADD_FAILURE() << violation;
}

// The rules themselves, on includes planted where they do not belong.
TEST(Layering, PlantedIncludesAreCaught) {
  const struct {
    const char* file;
    const char* header;
    bool allowed;
    const char* named = nullptr;  // what the message of a broken rule must say
  } cases[] = {
      {"search/matching/Matcher.cpp", "QString", false},
      {"app/SearchDialog.cpp", "gui/QtText.h", false},
      {"app/SearchDialog.cpp", "QWidget", false},
      {"gui/dialogs/SearchDialogWidget.cpp", "QWidget", true},
      {"gui/list/KwicModel.h", "results/RowTable.h", true},
      {"gui/DesktopProgram.cpp", "app/SearchDialog.h", true},
      {"gui/main.cpp", "tools/batch/HitLines.h", false},
      {"platform/files/FileReader.cpp", "search/hits/Hit.h", false},
      {"platform/journal/RunJournal.cpp", "search/review/ReplaceOutcome.h", false},
      {"platform/desktop/EditorLauncher.cpp", "gui/QtText.h", false},
      {"platform/codepage/detection/ScriptEvidence.cpp", "platform/codepage/conversion/CodePageConverter.h", true},
      {"platform/codepage/conversion/ByteOffsets.cpp", "platform/codepage/detection/CodePageDetector.h", false},
      {"platform/codepage/CodePageTable.cpp", "platform/codepage/binary/BinaryContent.h", false},
      {"platform/codepage/binary/BinaryContent.cpp", "platform/codepage/PlainAscii.h", true},
      {"search/replace/FileReplacer.h", "platform/journal/RunJournal.h", true},
      {"search/replace/FileReplacer.h", "search/review/HitSelection.h", true},
      {"search/replace/FileReplacer.h", "search/file/FileSearcher.h", true},
      {"search/file/FileSearcher.h", "search/hits/HitList.h", true},
      {"search/file/FileWindow.h", "search/matching/scan/LineCounter.h", true},
      {"search/matching/expression/CandidateWindows.cpp", "search/matching/scan/ByteSearch.h", true},
      {"search/matching/expression/ExpressionFacts.cpp", "search/matching/unicode/CaseFolding.h", true},
      {"search/matching/RawPrefilter.cpp", "search/matching/unicode/CaseFolding.h", true},
      {"search/matching/scan/ByteSearch.cpp", "search/matching/unicode/CaseFolding.h", false,
       "search/matching/scan/ sits under search/matching/unicode/"},
      {"search/matching/unicode/CaseFolding.cpp", "search/matching/expression/ExpressionFacts.h", false},
      {"search/matching/expression/CandidateWindows.cpp", "search/matching/Matcher.h", false,
       "sits under the top of search/matching/"},
      {"search/file/FileSearcher.h", "search/replace/FileReplacer.h", false,
       "search/file/FileSearcher.h includes \"search/replace/FileReplacer.h\": search/file/ (the per-file search"},
      {"search/file/FileSearcher.h", "search/review/HitSelection.h", false},
      {"search/file/FileSearcher.h", "search/run/SearchJob.h", false},
      {"search/replace/FileReplacer.cpp", "search/archive/CompressedSearch.h", false,
       "search/replace/ (the per-file replace) sits under search/archive/"},
      {"search/review/SelectedEdits.h", "search/file/FileSearcher.h", false},
      {"search/review/SelectedEdits.h", "search/replace/FileReplacer.h", false},
      {"search/review/ReplacePreview.h", "search/SearchRequest.h", true},
      {"search/listing/FileList.cpp", "search/file/FileSearcher.h", false},
      {"search/hits/HitList.cpp", "search/matching/Matcher.h", false, "search/hits/ (what a search finds)"},
      {"results/RowTable.h", "search/hits/HitList.h", true},
      {"search/listing/FileList.cpp", "search/AbortFlag.h", true},
      {"search/run/SearchJob.h", "search/SearchRequest.h", true},
      {"search/run/SearchJob.h", "app/SearchDialog.h", false},
      {"search/run/SearchJob.h", "results/RowTable.h", false},
      {"results/RowTable.cpp", "app/SearchDialog.h", false},
      {"search/matching/Matcher.h", "boost/regex/icu.hpp", true},
      {"tools/batch/main.cpp", "gui/catalogue/QtTextCatalogue.h", true},
      {"tools/batch/main.cpp", "gui/dialogs/SearchDialogWidget.h", false},
      {"tools/batch/main.cpp", "QTranslator", false},
      {"app/RunReport.cpp", "gui/catalogue/QtTextCatalogue.h", false},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> found = Violations(c.file, {c.header});
    EXPECT_EQ(found.empty(), c.allowed) << c.file << " includes " << c.header;
    if (c.named != nullptr && !found.empty()) {
      EXPECT_NE(found.front().find(c.named), std::string::npos) << found.front();
    }
  }
}

}  // namespace
