// The layers of the tree, checked on the sources: every include of ours must
// point at a room its file may use, and only the windows include Qt. A
// failure names the file, the include and the rule it breaks.
#include <gtest/gtest.h>

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

// Files that may include Qt: the windows, the program's entry point, the
// screenshot tool, the GUI benchmarks and their tests.
bool MayUseQt(const std::string& file) {
  return StartsWith(file, "platform/qt/") || file == "app/main.cpp" ||
         StartsWith(file, "tools/screenshots/") || file == "bench/kwic_bench.cpp" ||
         StartsWith(file, "tests/platform/qt/");
}

// The one header of platform/qt that the batch tool may include: it links
// QtCore for the language catalogue and nothing else of Qt.
constexpr char kCatalogueHeader[] = "platform/qt/QtTextCatalogue.h";

// Why `file` may not include our header `header`; empty when it may.
std::string BrokenRule(const std::string& file, const std::string& header) {
  if (StartsWith(file, "tools/batch/") && StartsWith(header, "platform/qt/") && header != kCatalogueHeader)
    return "tools/batch may use QtCore for the catalogue only (platform/qt/QtTextCatalogue.h), never the windows";
  const bool engineFile = StartsWith(file, "search/") || StartsWith(file, "results/") ||
                          (StartsWith(file, "app/") && file != "app/main.cpp") ||
                          (StartsWith(file, "platform/") && !StartsWith(file, "platform/qt/"));
  if (engineFile && StartsWith(header, "platform/qt/"))
    return "the engine (search/, results/, app/ logic, platform/ outside qt/) never uses the windows in platform/qt/";
  if (StartsWith(file, "platform/") && !StartsWith(file, "platform/qt/") && !StartsWith(header, "platform/"))
    return "platform/ is the bottom layer: it uses nothing of ours outside platform/";
  if (StartsWith(file, "search/")) {
    if (!StartsWith(header, "search/") && !StartsWith(header, "platform/") && header != "app/SearchRequest.h")
      return "search/ uses only platform/ and app/SearchRequest.h";
    const bool inRoom = std::count(file.begin(), file.end(), '/') >= 2;
    const bool headerAtTop = std::count(header.begin(), header.end(), '/') == 1;
    if (inRoom && StartsWith(header, "search/") && headerAtTop && header != "search/AbortFlag.h")
      return "the rooms of search/ (listing, matching, text, xml) sit below the runs at search/'s top; "
             "of those they use only search/AbortFlag.h";
  }
  if (StartsWith(file, "results/") && !StartsWith(header, "results/") && !StartsWith(header, "search/") &&
      !StartsWith(header, "platform/") && header != "app/SearchRequest.h")
    return "results/ uses only search/ and platform/";
  return {};
}

bool IsOurs(const std::string& header) {
  for (const char* top : {"app/", "search/", "results/", "platform/", "tools/", "bench/"})
    if (StartsWith(header, top)) return true;
  return false;
}

std::vector<std::string> Violations(const std::string& file, const std::vector<std::string>& includes) {
  std::vector<std::string> found;
  for (const std::string& header : includes) {
    if (IsQtHeader(header)) {
      if (!MayUseQt(file)) found.push_back(file + " includes <" + header + ">: only platform/qt/, app/main.cpp, "
                                           "tools/screenshots and the GUI benchmarks use Qt; tools/batch may use "
                                           "QtCore for the catalogue only, through platform/qt/QtTextCatalogue.h");
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
  for (const char* top : {"app", "search", "results", "platform", "tools", "bench", "tests"}) {
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
  EXPECT_FALSE(Violations("search/matching/Matcher.cpp", {"QString"}).empty());
  EXPECT_FALSE(Violations("app/SearchDialog.cpp", {"platform/qt/QtText.h"}).empty());
  EXPECT_FALSE(Violations("platform/files/FileReader.cpp", {"search/Hit.h"}).empty());
  EXPECT_FALSE(Violations("platform/journal/RunJournal.cpp", {"search/ReplaceOutcome.h"}).empty());
  EXPECT_TRUE(Violations("search/FileSearcher.h", {"platform/journal/RunJournal.h"}).empty());
  EXPECT_FALSE(Violations("search/listing/FileList.cpp", {"search/HitList.h"}).empty());
  EXPECT_FALSE(Violations("search/SearchJob.h", {"results/RowTable.h"}).empty());
  EXPECT_FALSE(Violations("results/RowTable.cpp", {"app/SearchDialog.h"}).empty());
  EXPECT_TRUE(Violations("search/SearchJob.h", {"app/SearchRequest.h", "search/listing/FileList.h"}).empty());
  EXPECT_TRUE(Violations("platform/qt/KwicModel.h", {"QAbstractTableModel", "results/RowTable.h"}).empty());
  EXPECT_TRUE(Violations("search/matching/Matcher.h", {"search/AbortFlag.h", "boost/regex/icu.hpp"}).empty());
  EXPECT_TRUE(Violations("tools/batch/main.cpp", {"platform/qt/QtTextCatalogue.h"}).empty());
  EXPECT_FALSE(Violations("tools/batch/main.cpp", {"platform/qt/SearchDialogWidget.h"}).empty());
  EXPECT_FALSE(Violations("tools/batch/main.cpp", {"QTranslator"}).empty());
  EXPECT_FALSE(Violations("app/RunReport.cpp", {"platform/qt/QtTextCatalogue.h"}).empty());
}

}  // namespace
