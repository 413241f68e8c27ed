#pragma once
// The command line of trawlscope-batch.
#include <optional>
#include <string>
#include <vector>

#include "app/SearchRequest.h"

namespace trawlscope::batch {

struct BatchOptions {
  SearchRequest request;
  std::string outputFile;  // native; empty when not asked for
  bool listCodePages = false;
  bool replace = false;  // request.replacementText holds the replacement
};

// The options, or nothing with `error` set to what is wrong.
std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& arguments,
                                              std::string& error);

extern const char kUsage[];

}  // namespace trawlscope::batch
