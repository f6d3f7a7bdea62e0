#include "tests/dialogue.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

[[noreturn]] void notConvertible(const std::string& utf8) {
  throw std::runtime_error("not convertible to code page 949: " + utf8);
}

}  // namespace

#ifdef _WIN32

std::string cp949(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  const int utf8Size = static_cast<int>(utf8.size());
  const int wideSize = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                           utf8.data(), utf8Size, nullptr, 0);
  if (wideSize == 0) notConvertible(utf8);
  std::wstring wide(static_cast<size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8Size,
                      &wide[0], wideSize);
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(949, 0, wide.data(), wideSize, nullptr,
                                       0, nullptr, &lossy);
  if (size == 0 || lossy) notConvertible(utf8);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(949, 0, wide.data(), wideSize, &out[0], size, nullptr,
                      nullptr);
  return out;
}

#else

std::string cp949(const std::string& utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error("no code page 949 converter");
  }
  std::string in = utf8;
  std::string out(in.size() * 2, '\0');
  char* inp = &in[0];
  char* outp = &out[0];
  size_t inLeft = in.size();
  size_t outLeft = out.size();
  size_t done = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || inLeft != 0) notConvertible(utf8);
  out.resize(out.size() - outLeft);
  return out;
}

#endif
