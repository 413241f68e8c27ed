#include "BatchOptions.h"

#include "platform/files/NativePath.h"

namespace trawlscope::batch {

const char kUsage[] =
    "usage: trawlscope-batch --path TEXT [--types PATTERN] [--xpath EXPR]\n"
    "                        [--regex] [--case] [--word] [--subfolders]\n"
    "                        [--all-folders] [--gitignore] [--no-compressed]\n"
    "                        [--output FILE] [--encoding PAGE] [--with-codepage]\n"
    "                        [--no-codepage-cache] [--format tsv|csv|json]\n"
    "                        SEARCH-TEXT\n"
    "       trawlscope-batch --path TEXT [--types PATTERN] [--xpath EXPR]\n"
    "                        [--regex] [--case] [--word] [--subfolders]\n"
    "                        [--all-folders] [--gitignore] [--no-compressed]\n"
    "                        [--encoding PAGE] [--write-through-links]\n"
    "                        --replace TEXT SEARCH-TEXT\n"
    "       trawlscope-batch --only-hits FILE [--xpath EXPR] [--regex] [--case]\n"
    "                        [--word] [--write-through-links]\n"
    "                        --replace TEXT [SEARCH-TEXT]\n"
    "       trawlscope-batch --path TEXT [--types PATTERN] [--subfolders]\n"
    "                        [--all-folders] [--gitignore] [--encoding PAGE]\n"
    "                        --codepages\n"
    "       trawlscope-batch --undo | --undo-beside | --undo-list\n"
    "       trawlscope-batch --help | --version\n";

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& arguments,
                                              std::string& error) {
  BatchOptions options;
  std::vector<std::string> positional;
  bool havePath = false;
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto value = [&](const char* name) -> std::optional<std::u16string> {
      if (i + 1 >= arguments.size()) {
        error = std::string(name) + " needs a value";
        return std::nullopt;
      }
      return FromNativePath(arguments[++i]);
    };
    if (optionsEnded || argument.size() < 2 || argument.rfind("--", 0) != 0) {
      positional.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "--version") {
      options.showHelp = argument == "--help";
      options.showVersion = !options.showHelp;
      return options;
    } else if (argument == "--path") {
      const auto text = value("--path");
      if (!text) return std::nullopt;
      options.request.searchPath = *text;
      havePath = true;
    } else if (argument == "--types") {
      const auto text = value("--types");
      if (!text) return std::nullopt;
      options.request.fileTypes = *text;
    } else if (argument == "--xpath") {
      const auto text = value("--xpath");
      if (!text) return std::nullopt;
      options.request.xpath = *text;
    } else if (argument == "--replace") {
      const auto text = value("--replace");
      if (!text) return std::nullopt;
      options.request.replacementText = *text;
      options.replace = true;
    } else if (argument == "--only-hits") {
      if (i + 1 >= arguments.size()) {
        error = "--only-hits needs a file (\"-\" for standard input)";
        return std::nullopt;
      }
      options.onlyHitsFile = arguments[++i];
    } else if (argument == "--undo") {
      options.undo = true;
    } else if (argument == "--undo-list") {
      options.undoList = true;
    } else if (argument == "--undo-beside") {
      options.undoBeside = true;
    } else if (argument == "--output") {
      if (i + 1 >= arguments.size()) {
        error = "--output needs a value";
        return std::nullopt;
      }
      options.outputFile = arguments[++i];
    } else if (argument == "--regex") {
      options.request.useRegex = true;
    } else if (argument == "--case") {
      options.request.caseSensitive = true;
    } else if (argument == "--subfolders") {
      options.request.includeSubfolders = true;
    } else if (argument == "--no-compressed") {
      options.request.searchCompressed = false;
    } else if (argument == "--all-folders") {
      options.request.skipVersionControl = false;
    } else if (argument == "--gitignore") {
      options.request.followGitignore = true;
    } else if (argument == "--word") {
      options.request.wholeWord = true;
    } else if (argument == "--write-through-links") {
      options.request.replaceThroughLinks = true;
    } else if (argument == "--codepages") {
      options.listCodePages = true;
    } else if (argument == "--no-codepage-cache") {
      options.cachePages = false;
    } else if (argument == "--with-codepage") {
      options.codePageField = true;
    } else if (argument == "--format") {
      const std::string name = i + 1 < arguments.size() ? arguments[++i] : "";
      if (name == "tsv") options.format = RecordFormat::Tsv;
      else if (name == "csv") options.format = RecordFormat::Csv;
      else if (name == "json") options.format = RecordFormat::Json;
      else {
        error = "--format needs tsv, csv or json";
        return std::nullopt;
      }
    } else if (argument == "--encoding") {
      if (i + 1 >= arguments.size()) {
        error = "--encoding needs a code page (a number such as 932, or a name such as Shift_JIS)";
        return std::nullopt;
      }
      options.request.readAs = CodePageOfUserText(arguments[++i]);
      if (options.request.readAs == codepage::kNone) {
        error = "--encoding " + arguments[i] + ": not a code page this tool reads (see --help)";
        return std::nullopt;
      }
    } else {
      error = "unknown option " + argument;
      return std::nullopt;
    }
  }
  if (options.undo || options.undoList || options.undoBeside) {
    if (arguments.size() != 1) {
      error = arguments.front() + " takes nothing else";
      return std::nullopt;
    }
    return options;
  }
  if (!options.onlyHitsFile.empty()) {
    if (!options.replace || options.listCodePages || !options.outputFile.empty()) {
      error = "--only-hits goes with --replace, and with neither --codepages nor --output";
      return std::nullopt;
    }
    if (havePath || !options.request.fileTypes.empty() || options.request.includeSubfolders) {
      error = "--only-hits names the files itself: no --path, --types or --subfolders";
      return std::nullopt;
    }
    if (positional.size() > 1) {
      error = "give at most one search text";
      return std::nullopt;
    }
    if (!positional.empty()) options.request.searchText = FromNativePath(positional.front());
    return options;
  }
  if (!havePath) {
    error = "--path is required";
    return std::nullopt;
  }
  if (options.format && (options.replace || options.listCodePages || options.codePageField)) {
    error = "--format goes with a search, not with --replace, --codepages or --with-codepage";
    return std::nullopt;
  }
  if (options.codePageField && (options.replace || options.listCodePages)) {
    error = "--with-codepage goes with a search, not with --replace or --codepages";
    return std::nullopt;
  }
  if (options.replace && (options.listCodePages || !options.outputFile.empty())) {
    error = "--replace goes with neither --codepages nor --output";
    return std::nullopt;
  }
  if (options.listCodePages) {
    if (!positional.empty()) {
      error = "--codepages takes no search text";
      return std::nullopt;
    }
    return options;
  }
  if (positional.size() != 1) {
    error = positional.empty() ? "the search text is missing" : "give exactly one search text";
    return std::nullopt;
  }
  options.request.searchText = FromNativePath(positional.front());
  return options;
}

}  // namespace trawlscope::batch
