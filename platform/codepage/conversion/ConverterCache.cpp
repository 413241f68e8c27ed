#include "platform/codepage/conversion/ConverterCache.h"

#include <map>
#include <memory>
#include <utility>

#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

UConverter* Open(CodePage codePage, InvalidBytes invalid) {
  const char* name = IcuConverterName(codePage);
  if (name == nullptr) return nullptr;
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(name, &status);
  if (U_SUCCESS(status) && invalid == InvalidBytes::Stop)
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (U_SUCCESS(status) && invalid == InvalidBytes::Skip) {
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &status);
  }
  if (U_FAILURE(status)) {
    if (converter != nullptr) ucnv_close(converter);
    return nullptr;
  }
  return converter;
}

}  // namespace

UConverter* CachedConverter(CodePage codePage, InvalidBytes invalid) {
  thread_local std::map<std::pair<CodePage, InvalidBytes>, std::unique_ptr<UConverter, ConverterCloser>> cache;
  const auto key = std::make_pair(codePage, invalid);
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, Open(codePage, invalid)).first;
  if (it->second) ucnv_reset(it->second.get());
  return it->second.get();
}

}  // namespace trawlscope
