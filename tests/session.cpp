#include "tests/session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define QUORVIL_UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVIL_UNDER_ADDRESS_SANITIZER
#endif
#endif

namespace {

// The paths of the files that stand in for the program's standard streams.
struct StreamFiles {
  std::string in;
  std::string out;
  std::string err;
};

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

#ifdef _WIN32

void require(bool ok, const char* what) {
  if (!ok) {
    throw std::runtime_error(std::string(what) + " failed, Windows error " +
                             std::to_string(GetLastError()));
  }
}

HANDLE openInherited(const std::string& path, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES inherited{static_cast<DWORD>(sizeof inherited), nullptr,
                                TRUE};
  HANDLE file =
      CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherited, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  require(file != INVALID_HANDLE_VALUE, "CreateFile");
  return file;
}

// A job that ends the processes in it when its last handle is closed, which
// at the latest is when the test process ends.
HANDLE newJob(std::size_t memoryLimit) {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  require(job != nullptr, "CreateJobObject");
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (memoryLimit != 0) {
    limits.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.ProcessMemoryLimit = memoryLimit;
  }
  require(
      SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                              static_cast<DWORD>(sizeof limits)) != 0,
      "SetInformationJobObject");
  return job;
}

int runChild(const Launch& launch, const StreamFiles& files) {
  std::string commandLine = "\"" QUORVIL_BINARY "\"";
  for (const std::string& argument : launch.arguments) {
    commandLine += " " + argument;
  }
  STARTUPINFOA startup{};
  startup.cb = static_cast<DWORD>(sizeof startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = openInherited(
      files.in, launch.unreadableInput ? GENERIC_WRITE : GENERIC_READ,
      OPEN_EXISTING);
  startup.hStdOutput = openInherited(files.out, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = openInherited(files.err, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE job = newJob(launch.memoryLimit);
  PROCESS_INFORMATION child{};
  const BOOL started =
      CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE,
                     CREATE_SUSPENDED, nullptr, nullptr, &startup, &child);
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  require(started != 0, "CreateProcess");
  require(AssignProcessToJobObject(job, child.hProcess) != 0,
          "AssignProcessToJobObject");
  ResumeThread(child.hThread);
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  CloseHandle(job);
  return static_cast<int>(code);
}

#else

// Processor time a child may use: far more than any session needs, and the
// end of one that is left spinning after its test was stopped.
constexpr rlim_t kProcessorSeconds = 20;

void require(bool ok, const char* what) {
  if (!ok) {
    throw std::runtime_error(std::string(what) +
                             " failed: " + std::strerror(errno));
  }
}

int openFile(const std::string& path, int flags) {
  const int fd = open(path.c_str(), flags | O_CLOEXEC, 0600);
  require(fd >= 0, "open");
  return fd;
}

// In the child, between fork and exec: only system calls from here on.
[[noreturn]] void execProgram(char* const* argv, const int* streams,
                              std::size_t memoryLimit) {
  for (int fd = 0; fd < 3; ++fd) {
    if (dup2(streams[fd], fd) < 0) _exit(127);
  }
  const rlimit processor{kProcessorSeconds, kProcessorSeconds};
  setrlimit(RLIMIT_CPU, &processor);
  if (memoryLimit != 0) {
    const rlimit memory{memoryLimit, memoryLimit};
    setrlimit(RLIMIT_AS, &memory);
  }
  execv(argv[0], argv);
  _exit(127);
}

int runChild(const Launch& launch, const StreamFiles& files) {
  std::string program = QUORVIL_BINARY;
  std::vector<std::string> words = launch.arguments;
  std::vector<char*> argv{&program[0]};
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  const int streams[] = {
      openFile(files.in, launch.unreadableInput ? O_WRONLY : O_RDONLY),
      openFile(files.out, O_WRONLY | O_CREAT | O_TRUNC),
      openFile(files.err, O_WRONLY | O_CREAT | O_TRUNC)};
  const pid_t pid = fork();
  if (pid == 0) execProgram(argv.data(), streams, launch.memoryLimit);
  for (int fd : streams) close(fd);
  require(pid > 0, "fork");
  int raw = 0;
  require(waitpid(pid, &raw, 0) == pid, "waitpid");
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace

Session runProgram(const Launch& launch) {
  const std::string base =
      ::testing::TempDir() + "quorvil_" +
      ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const StreamFiles files{base + ".in", base + ".out", base + ".err"};
  std::ofstream(files.in, std::ios::binary) << launch.typed;
  Session session;
  session.status = runChild(launch, files);
  session.shown = readFile(files.out);
  session.errors = readFile(files.err);
  std::remove(files.in.c_str());
  std::remove(files.out.c_str());
  std::remove(files.err.c_str());
  return session;
}

const char* memoryLimitUnavailable() {
#ifdef QUORVIL_UNDER_ADDRESS_SANITIZER
  return "the address sanitizer maps more than any limit would allow";
#elif defined(_WIN32)
  // Wine, unlike Windows, ignores a job's memory limit.
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
    return "wine does not enforce a job's memory limit";
  }
  return nullptr;
#else
  return nullptr;
#endif
}
