#ifndef QUORVIL_TESTS_CONSOLE_CAPTURE_H_
#define QUORVIL_TESTS_CONSOLE_CAPTURE_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

// Called at exit: a test that is still running then had the process ended
// under it, as the console functions end it when their input runs out. Left
// alone that would end with status 0 and pass; this fails it, by name.
inline void failTestThatEndedTheProcess() {
  const ::testing::TestInfo* test =
      ::testing::UnitTest::GetInstance()->current_test_info();
  if (test == nullptr) return;
  std::fprintf(stderr,
               "%s.%s ended the process before it finished: the code under "
               "test read past the input the test gave it, or exited\n",
               test->test_suite_name(), test->name());
  std::fflush(stderr);
  std::_Exit(1);
}

// For as long as it lives, std::cin reads the given text and std::cout
// writes into a buffer; the real streams are put back when it goes. A test
// whose code reads past that text fails, as the process ends under it.
class ConsoleCapture {
 public:
  explicit ConsoleCapture(const std::string& typed)
      : in(typed),
        savedIn(std::cin.rdbuf(in.rdbuf())),
        savedOut(std::cout.rdbuf(out.rdbuf())) {
    static const int guarded = std::atexit(failTestThatEndedTheProcess);
    static_cast<void>(guarded);
    std::cin.clear();
  }

  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  ~ConsoleCapture() {
    std::cin.rdbuf(savedIn);
    std::cout.rdbuf(savedOut);
    std::cin.clear();
  }

  // Everything written to std::cout so far.
  std::string shown() const { return out.str(); }

 private:
  std::istringstream in;
  std::ostringstream out;
  std::streambuf* savedIn;
  std::streambuf* savedOut;
};

#endif  // QUORVIL_TESTS_CONSOLE_CAPTURE_H_
