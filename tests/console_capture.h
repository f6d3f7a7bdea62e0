#ifndef QUORVIL_TESTS_CONSOLE_CAPTURE_H_
#define QUORVIL_TESTS_CONSOLE_CAPTURE_H_

#include <iostream>
#include <sstream>
#include <string>

// For as long as it lives, std::cin reads the given text and std::cout
// writes into a buffer; the real streams are put back when it goes.
class ConsoleCapture {
 public:
  explicit ConsoleCapture(const std::string& typed)
      : in(typed),
        savedIn(std::cin.rdbuf(in.rdbuf())),
        savedOut(std::cout.rdbuf(out.rdbuf())) {
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
