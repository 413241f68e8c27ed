#include "platform/codepage/ByteScan.h"

namespace trawlscope {

bool ProcessorHasAvx2() {
#if defined(TRAWLSCOPE_HAVE_AVX2_BUILD)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace trawlscope
