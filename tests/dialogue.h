#ifndef QUORVIL_TESTS_DIALOGUE_H_
#define QUORVIL_TESTS_DIALOGUE_H_

#include <cstddef>
#include <string>

// Returns utf8 converted to code page 949 by the platform's own converter
// (iconv, or the Windows API), so that the tests state the dialogue's texts
// readably and apart from the program's own byte spellings. Throws
// std::runtime_error for text that code page 949 cannot hold.
std::string cp949(const std::string& utf8);

// Returns a u8 literal as a std::string of its UTF-8 bytes: its characters
// are char before C++20 and char8_t from C++20 on.
template <typename Char, std::size_t N>
std::string utf8(const Char (&text)[N]) {
  return std::string(reinterpret_cast<const char*>(text), N - 1);
}

// The dialogue's texts as a user reads them.
const std::string kGreeting = utf8(u8"Quorvil입니다.\n");
const std::string kMenu = utf8(u8"삽입:1, 삭제:2, 모두보기:3, 종료:4 >>");
const std::string kKind = utf8(u8"선:1, 원:2, 사각형:3 >>");
const std::string kIndex = utf8(u8"삭제하고자 하는 도형의 인덱스 >>");

#endif  // QUORVIL_TESTS_DIALOGUE_H_
