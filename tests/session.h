#ifndef QUORVIL_TESTS_SESSION_H_
#define QUORVIL_TESTS_SESSION_H_

#include <cstddef>
#include <string>
#include <vector>

// One run of the built program as a child process, with files for its
// standard streams, for the end-to-end tests.
//
// A run has no time limit of its own: the test's limit is CTest's. A child
// still running when its test is stopped does not outlive it: on Windows it
// runs in a job that ends with the test process; elsewhere a limit on its
// processor time ends it.

// How the program is started.
struct Launch {
  std::string typed;                   // The whole of its standard input.
  std::vector<std::string> arguments;  // Its command-line arguments.
  bool unreadableInput = false;        // Standard input open for writing only.
  bool unwritableOutput = false;       // Standard output open for reading only.
  std::size_t memoryLimit = 0;  // Bytes of memory it may take; 0 for no limit.
  std::size_t outputLimit = 0;  // Bytes its output may reach; 0 for no limit.
};

// What the program showed.
struct Session {
  std::string shown;   // Standard output, byte for byte.
  std::string errors;  // Standard error, byte for byte.
  int status = -1;     // Exit status; -1 if it ended by a signal.
};

// Runs the program once, as launch says, and returns what it showed. The
// files lie in a new directory of its own, removed afterwards. Throws
// std::runtime_error if the program cannot be started.
Session runProgram(const Launch& launch);

// Why a memory limit of bytes given to runProgram would not hold here, or
// null where it holds.
const char* memoryLimitUnavailable(std::size_t bytes);

// Why an output limit given to runProgram would not hold here, or null where
// it holds. The limit is one on the size of every file the program writes,
// with a write past it failing: its standard error must fit too.
const char* outputLimitUnavailable();

#endif  // QUORVIL_TESTS_SESSION_H_
