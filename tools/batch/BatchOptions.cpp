#include "BatchOptions.h"

#include <charconv>
#include <cstdint>
#include <ctime>
#include <string_view>
#include <utility>

#include "app/BoundsInput.h"
#include "platform/files/NativePath.h"

namespace trawlscope::batch {

const char kUsage[] =
    "usage: trawlscope-batch --path TEXT [--types PATTERN] [--xpath EXPR]\n"
    "                        [--regex] [--case] [--word] [--subfolders]\n"
    "                        [--all-folders] [--gitignore] [--no-compressed]\n"
    "                        [--min-size SIZE] [--max-size SIZE]\n"
    "                        [--newer WHEN] [--older WHEN]\n"
    "                        [--output FILE] [--encoding PAGE] [--with-codepage]\n"
    "                        [--no-codepage-cache] [--format tsv|csv|json]\n"
    "                        [--context N] [--before-context N] [--after-context N]\n"
    "                        [--files-with-hits | --count] [--null] [--quiet]\n"
    "                        SEARCH-TEXT\n"
    "       trawlscope-batch --path TEXT [--types PATTERN] [--xpath EXPR]\n"
    "                        [--regex] [--case] [--word] [--subfolders]\n"
    "                        [--all-folders] [--gitignore] [--no-compressed]\n"
    "                        [--min-size SIZE] [--max-size SIZE]\n"
    "                        [--newer WHEN] [--older WHEN]\n"
    "                        [--encoding PAGE] [--write-through-links]\n"
    "                        --replace TEXT SEARCH-TEXT\n"
    "       trawlscope-batch --only-hits FILE [--xpath EXPR] [--regex] [--case]\n"
    "                        [--word] [--write-through-links]\n"
    "                        --replace TEXT [SEARCH-TEXT]\n"
    "       trawlscope-batch --path TEXT [--types PATTERN] [--subfolders]\n"
    "                        [--all-folders] [--gitignore] [--encoding PAGE]\n"
    "                        [--min-size SIZE] [--max-size SIZE]\n"
    "                        [--newer WHEN] [--older WHEN] --codepages\n"
    "       trawlscope-batch --undo | --undo-beside | --undo-list\n"
    "       trawlscope-batch --help | --version\n";

namespace {

struct Reading {
  BatchOptions options;
  bool havePath = false;
  // As grep has them: a count before or after wins over --context, whatever their order.
  std::optional<std::int64_t> context;
  std::optional<std::int64_t> before;
  std::optional<std::int64_t> after;
};

// A count of context lines, or nothing with `error` naming the option.
std::optional<std::int64_t> LineCount(const std::string& value, std::string_view option, std::string& error) {
  // More lines than this are a whole file anyway; the bound keeps sums from overflowing.
  constexpr std::int64_t kMostLines = 1'000'000'000;
  std::int64_t count = -1;
  const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), count);
  if (failed == std::errc() && end == value.data() + value.size() && count >= 0 && count <= kMostLines)
    return count;
  error = std::string(option) + " needs a number of lines (0 or more)";
  return std::nullopt;
}

using Set = bool (*)(Reading& reading, const std::string& value, std::string& error);

// One option: its name, the error when the value it takes is missing (null
// for an option that takes none), and what it sets.
struct Option {
  std::string_view name;
  const char* valueMissing;
  Set set;
};

constexpr char kSizeForms[] = " (a number of bytes, or of 1024s with k, M or G after it: 10k, 5M, 1G)";
constexpr char kMomentForms[] =
    " (a date or date and time: 2026-12-01, 2026-12-01T10:00, 2026-12-01T10:00+09:00; or a time back from now: 7d, "
    "12h)";

bool SetSize(std::optional<std::uint64_t>& bound, const char* option, const std::string& value, std::string& error) {
  bound = ReadSize(value);
  if (!bound) error = std::string(option) + " " + value + ": not a size" + kSizeForms;
  return bound.has_value();
}

// A span back from now is counted from the moment the options are read.
bool SetMoment(std::optional<std::int64_t>& bound, const char* option, const std::string& value,
               std::string& error) {
  bound = ReadMoment(value, static_cast<std::int64_t>(std::time(nullptr)));
  if (!bound) error = std::string(option) + " " + value + ": not a date" + kMomentForms;
  return bound.has_value();
}

// Bounds that no file can meet, or that a list of hits has no use for.
bool CheckBounds(const BatchOptions& options, std::string& error) {
  const FileBounds& bounds = options.request.bounds;
  if (bounds.Any() && !options.onlyHitsFile.empty())
    error = "--only-hits names the files itself: no --min-size, --max-size, --newer or --older";
  else if (bounds.minSize && bounds.maxSize && *bounds.minSize > *bounds.maxSize)
    error = "--min-size is more than --max-size: no file could be searched";
  else if (bounds.modifiedFrom && bounds.modifiedBefore && *bounds.modifiedFrom >= *bounds.modifiedBefore)
    error = "--newer is not before --older: no file could be searched";
  return error.empty();
}

// Options that take no value: what they set, and nothing can go wrong.
#define TRAWLSCOPE_FLAG(name, effect) \
  {name, nullptr, [](Reading& reading, const std::string&, std::string&) { reading.effect; return true; }}

constexpr Option kOptions[] = {
    {"--path", "--path needs a value",
     [](Reading& reading, const std::string& value, std::string&) {
       reading.options.request.searchPath = FromNativePath(value);
       reading.havePath = true;
       return true;
     }},
    {"--types", "--types needs a value",
     [](Reading& reading, const std::string& value, std::string&) {
       reading.options.request.fileTypes = FromNativePath(value);
       return true;
     }},
    {"--xpath", "--xpath needs a value",
     [](Reading& reading, const std::string& value, std::string&) {
       reading.options.request.xpath = FromNativePath(value);
       return true;
     }},
    {"--replace", "--replace needs a value",
     [](Reading& reading, const std::string& value, std::string&) {
       reading.options.request.replacementText = FromNativePath(value);
       reading.options.replace = true;
       return true;
     }},
    {"--only-hits", "--only-hits needs a file (\"-\" for standard input)",
     [](Reading& reading, const std::string& value, std::string&) {
       reading.options.onlyHitsFile = value;
       return true;
     }},
    {"--output", "--output needs a value",
     [](Reading& reading, const std::string& value, std::string&) {
       reading.options.outputFile = value;
       return true;
     }},
    {"--format", "--format needs tsv, csv or json",
     [](Reading& reading, const std::string& value, std::string& error) {
       if (value == "tsv") reading.options.format = RecordFormat::Tsv;
       else if (value == "csv") reading.options.format = RecordFormat::Csv;
       else if (value == "json") reading.options.format = RecordFormat::Json;
       else error = "--format needs tsv, csv or json";
       return error.empty();
     }},
    {"--encoding", "--encoding needs a code page (a number such as 932, or a name such as Shift_JIS)",
     [](Reading& reading, const std::string& value, std::string& error) {
       reading.options.request.readAs = CodePageOfUserText(value);
       if (reading.options.request.readAs != codepage::kNone) return true;
       error = "--encoding " + value + ": not a code page this tool reads (see --help)";
       return false;
     }},
    {"--min-size", "--min-size needs a size (10k, 5M, 1G)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return SetSize(reading.options.request.bounds.minSize, "--min-size", value, error);
     }},
    {"--max-size", "--max-size needs a size (10k, 5M, 1G)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return SetSize(reading.options.request.bounds.maxSize, "--max-size", value, error);
     }},
    {"--newer", "--newer needs a date (2026-12-01) or a time back from now (7d, 12h)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return SetMoment(reading.options.request.bounds.modifiedFrom, "--newer", value, error);
     }},
    {"--older", "--older needs a date (2026-12-01) or a time back from now (7d, 12h)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return SetMoment(reading.options.request.bounds.modifiedBefore, "--older", value, error);
     }},
    TRAWLSCOPE_FLAG("--undo", options.undo = true),
    TRAWLSCOPE_FLAG("--undo-list", options.undoList = true),
    TRAWLSCOPE_FLAG("--undo-beside", options.undoBeside = true),
    TRAWLSCOPE_FLAG("--regex", options.request.useRegex = true),
    TRAWLSCOPE_FLAG("--case", options.request.caseSensitive = true),
    TRAWLSCOPE_FLAG("--subfolders", options.request.includeSubfolders = true),
    TRAWLSCOPE_FLAG("--no-compressed", options.request.searchCompressed = false),
    TRAWLSCOPE_FLAG("--all-folders", options.request.skipVersionControl = false),
    TRAWLSCOPE_FLAG("--gitignore", options.request.followGitignore = true),
    TRAWLSCOPE_FLAG("--word", options.request.wholeWord = true),
    TRAWLSCOPE_FLAG("--write-through-links", options.request.replaceThroughLinks = true),
    TRAWLSCOPE_FLAG("--codepages", options.listCodePages = true),
    TRAWLSCOPE_FLAG("--no-codepage-cache", options.cachePages = false),
    TRAWLSCOPE_FLAG("--with-codepage", options.codePageField = true),
    TRAWLSCOPE_FLAG("--files-with-hits", options.fileLines = FileLines::Names),
    TRAWLSCOPE_FLAG("--count", options.fileLines = FileLines::Counts),
    TRAWLSCOPE_FLAG("--null", options.nulls = true),
    TRAWLSCOPE_FLAG("--quiet", options.quiet = true),
    {"--context", "--context needs a number of lines (0 or more)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return (reading.context = LineCount(value, "--context", error)).has_value();
     }},
    {"--before-context", "--before-context needs a number of lines (0 or more)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return (reading.before = LineCount(value, "--before-context", error)).has_value();
     }},
    {"--after-context", "--after-context needs a number of lines (0 or more)",
     [](Reading& reading, const std::string& value, std::string& error) {
       return (reading.after = LineCount(value, "--after-context", error)).has_value();
     }},
};

// grep's short names, the only single-dash options: a search text such as
// "-x" stays a search text, and "-C" is given after "--".
constexpr std::pair<std::string_view, std::string_view> kShortNames[] = {
    {"-C", "--context"}, {"-B", "--before-context"}, {"-A", "--after-context"}};

std::string_view LongName(std::string_view argument) {
  for (const auto& [shortName, longName] : kShortNames)
    if (argument == shortName) return longName;
  return argument;
}

#undef TRAWLSCOPE_FLAG

const Option* Find(std::string_view name) {
  for (const Option& option : kOptions)
    if (option.name == name) return &option;
  return nullptr;
}

// The ways of printing that exclude each other.
bool CheckOutputs(const BatchOptions& options, std::string& error) {
  // Lines around a hit are for reading; scripts that pick hits read the other outputs.
  if (options.context && (options.replace || options.listCodePages || options.format || options.codePageField))
    error = "--context goes with a search, not with --replace, --codepages, --format or --with-codepage";
  else if (options.format && (options.replace || options.listCodePages || options.codePageField))
    error = "--format goes with a search, not with --replace, --codepages or --with-codepage";
  else if (options.codePageField && (options.replace || options.listCodePages))
    error = "--with-codepage goes with a search, not with --replace or --codepages";
  else if (options.replace && (options.listCodePages || !options.outputFile.empty()))
    error = "--replace goes with neither --codepages nor --output";
  return error.empty();
}

}  // namespace

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& arguments,
                                              std::string& error) {
  Reading reading;
  BatchOptions& options = reading.options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string argument = optionsEnded ? arguments[i] : std::string(LongName(arguments[i]));
    if (optionsEnded || argument.size() < 2 || argument.rfind("--", 0) != 0) {
      positional.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    // Nothing else is read, so nothing else can be wrong.
    if (argument == "--help" || argument == "--version") {
      options.showHelp = argument == "--help";
      options.showVersion = !options.showHelp;
      return options;
    }
    const Option* option = Find(argument);
    if (option == nullptr) {
      error = "unknown option " + argument;
      return std::nullopt;
    }
    std::string value;
    if (option->valueMissing != nullptr) {
      if (i + 1 >= arguments.size()) {
        error = option->valueMissing;
        return std::nullopt;
      }
      value = arguments[++i];
    }
    if (!option->set(reading, value, error)) return std::nullopt;
  }
  const bool havePath = reading.havePath;
  if (reading.context || reading.before || reading.after)
    options.context = ContextCounts{reading.before.value_or(reading.context.value_or(0)),
                                    reading.after.value_or(reading.context.value_or(0))};
  if (!CheckOutputs(options, error) || !CheckBounds(options, error)) return std::nullopt;
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
