#ifndef QUORVIL_TESTS_DIALOGUE_H_
#define QUORVIL_TESTS_DIALOGUE_H_

#include <iconv.h>

#include <stdexcept>
#include <string>

// Returns utf8 converted to code page 949 by the C library, so that the
// tests state the dialogue's texts readably and apart from the program's own
// byte spellings.
inline std::string cp949(const std::string& utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error("no CP949 converter");
  }
  std::string in = utf8;
  std::string out(in.size() * 2, '\0');
  char* inp = &in[0];
  char* outp = &out[0];
  size_t inLeft = in.size();
  size_t outLeft = out.size();
  size_t done = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || inLeft != 0) {
    throw std::runtime_error("not convertible to CP949: " + utf8);
  }
  out.resize(out.size() - outLeft);
  return out;
}

// The dialogue's texts as a user reads them.
const std::string kGreeting = u8"Quorvil입니다.\n";
const std::string kMenu = u8"삽입:1, 삭제:2, 모두보기:3, 종료:4 >>";
const std::string kKind = u8"선:1, 원:2, 사각형:3 >>";
const std::string kIndex = u8"삭제하고자 하는 도형의 인덱스 >>";

#endif  // QUORVIL_TESTS_DIALOGUE_H_
