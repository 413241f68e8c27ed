#pragma once

namespace trawlscope {

// Sets the process locale once, at start-up and before any other thread
// exists: a Japanese UTF-8 locale when the system has one, else C.UTF-8.
// Setting a process-wide locale while another thread runs is a data race,
// so nothing else may call setlocale.
void SetProcessLocale();

}  // namespace trawlscope
