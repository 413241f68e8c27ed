#include "support/Transcode.h"

#include <unicode/ucnv.h>

#include <stdexcept>

namespace trawlscope::test {

std::string Transcode(std::string_view utf8, const char* converterName) {
  // Strictly: a character the target cannot hold must fail the test, not
  // slip through as a substitute.
  UErrorCode status = U_ZERO_ERROR;
  UConverter* from = ucnv_open("UTF-8", &status);
  UConverter* to = ucnv_open(converterName, &status);
  ucnv_setFromUCallBack(to, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  std::string out(utf8.size() * 4 + 16, '\0');
  char* target = out.data();
  const char* source = utf8.data();
  ucnv_convertEx(to, from, &target, out.data() + out.size(), &source, utf8.data() + utf8.size(),
                 nullptr, nullptr, nullptr, nullptr, true, true, &status);
  const int32_t length = static_cast<int32_t>(target - out.data());
  ucnv_close(from);
  ucnv_close(to);
  if (U_FAILURE(status)) throw std::runtime_error(std::string("cannot transcode to ") + converterName);
  out.resize(length);
  return out;
}

}  // namespace trawlscope::test
