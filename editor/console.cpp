#include "editor/console.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string_view>

namespace {

// The Korean texts are spelled as code page 949 byte escapes, so that they
// come out the same whatever the compiler's source and execution character
// sets; each piece has its readable text beside it.

// "Quorvil입니다."
constexpr std::string_view kGreeting =
    "Quorvil"
    "\xC0\xD4\xB4\xCF\xB4\xD9"  // 입니다
    ".";

// "삽입:1, 삭제:2, 모두보기:3, 종료:4 >>"
constexpr std::string_view kMenuPrompt =
    "\xBB\xF0\xC0\xD4:1, "                  // 삽입:1,
    "\xBB\xE8\xC1\xA6:2, "                  // 삭제:2,
    "\xB8\xF0\xB5\xCE\xBA\xB8\xB1\xE2:3, "  // 모두보기:3,
    "\xC1\xBE\xB7\xE1:4 >>";                // 종료:4 >>

// "선:1, 원:2, 사각형:3 >>"
constexpr std::string_view kShapeKindPrompt =
    "\xBC\xB1:1, "                    // 선:1,
    "\xBF\xF8:2, "                    // 원:2,
    "\xBB\xE7\xB0\xA2\xC7\xFC:3 >>";  // 사각형:3 >>

// "삭제하고자 하는 도형의 인덱스 >>"
constexpr std::string_view kIndexPrompt =
    "\xBB\xE8\xC1\xA6\xC7\xCF\xB0\xED\xC0\xDA "  // 삭제하고자
    "\xC7\xCF\xB4\xC2 "                          // 하는
    "\xB5\xB5\xC7\xFC\xC0\xC7 "                  // 도형의
    "\xC0\xCE\xB5\xA6\xBD\xBA >>";               // 인덱스 >>

// Ends the process with status 1 after a line on standard error saying why.
// Whether that line can be written or not, the status stays 1.
[[noreturn]] void failWith(std::string_view why) {
  std::cerr << "quorvil: " << why << std::endl;
  std::exit(1);
}

// True once reading standard input has failed, as opposed to reaching its
// end. libstdc++ marks the stream bad; a runtime that reads through C stdio
// reports the failure as end of input and leaves it in stdin's error flag.
bool readFailed() { return std::cin.bad() || std::ferror(stdin) != 0; }

// True once a write to standard output has failed: the stream drops every
// later write, so nothing more the dialogue says can be seen.
bool writeFailed() { return !std::cout; }

// Writes prompt and returns the next integer read, as declared for the ask
// functions: unreadable text is dropped through its line end and asked for
// again, end of input or a failed read ends the process, and so does a prompt
// that cannot be shown, before any input is read for it.
//
// Everything the dialogue writes is flushed at once, and every write before a
// prompt is checked with it, so the checks here see every failed write: the
// process never exits with status 0 while output is pending or was lost.
int askNumber(std::string_view prompt) {
  for (;;) {
    std::cout << prompt << std::flush;
    if (writeFailed()) failWith("cannot write standard output");
    int number = 0;
    if (std::cin >> number) return number;
    const bool failed = readFailed();
    if (failed || std::cin.eof()) {
      // The same line end either way leaves the terminal's next prompt on a
      // line of its own; a failed read, or a line end that is lost, is told
      // on standard error and ends with status 1.
      std::cout << std::endl;
      if (failed) failWith("cannot read standard input");
      if (writeFailed()) failWith("cannot write standard output");
      std::exit(0);
    }
    std::cin.clear();
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
}

}  // namespace

void printGreeting() { std::cout << kGreeting << std::endl; }

int askMenu() { return askNumber(kMenuPrompt); }

int askShapeKind() { return askNumber(kShapeKindPrompt); }

int askIndex() { return askNumber(kIndexPrompt); }
