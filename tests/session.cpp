#include "tests/session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// Makes a new directory that no other run names, and returns its path with a
// separator at the end.
std::string makePrivateDirectory() {
  const std::string base = ::testing::TempDir() + "quorvil-" +
                           std::to_string(GetCurrentProcessId()) + "-";
  for (unsigned n = 0;; ++n) {
    const std::string path = base + std::to_string(n);
    if (CreateDirectoryA(path.c_str(), nullptr) != 0) return path + "\\";
    require(GetLastError() == ERROR_ALREADY_EXISTS, "CreateDirectory");
  }
}

void removeDirectory(const std::string& path) {
  RemoveDirectoryA(path.c_str());
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

// Under wine, the name of the system it runs on, such as "Linux"; null on
// Windows itself.
const char* wineHostSystem() {
  using HostVersion = void (*)(const char**, const char**);
  const auto hostVersion =
      reinterpret_cast<HostVersion>(reinterpret_cast<void (*)()>(GetProcAddress(
          GetModuleHandleA("ntdll.dll"), "wine_get_host_version")));
  if (hostVersion == nullptr) return nullptr;
  const char* system = "";
  const char* release = "";
  hostVersion(&system, &release);
  return system;
}

#if defined(__GNUC__) && defined(__x86_64__)
#define QUORVIL_WINE_LINUX_LIMITS

bool underWineOnLinux() {
  const char* system = wineHostSystem();
  return system != nullptr && std::strcmp(system, "Linux") == 0;
}

// Linux's own system calls, made from a Windows program under wine, whose
// processes are Linux processes. Each returns 0 on success.
namespace linux_call {

struct Limit {
  unsigned long long soft;
  unsigned long long hard;
};

constexpr long long kLimitFileSize = 1;    // RLIMIT_FSIZE
constexpr long long kLimitData = 2;        // RLIMIT_DATA
constexpr long long kFileSizeSignal = 25;  // SIGXFSZ

// The kernel's struct sigaction on x86_64.
struct SignalAction {
  unsigned long long handler;
  unsigned long long flags;
  unsigned long long restorer;
  unsigned long long mask;
};

constexpr unsigned long long kIgnore = 1;  // SIG_IGN

long long call(long long number, long long a, long long b, const void* c,
               void* d) {
  register void* fourth __asm__("r10") = d;
  __asm__ volatile("syscall"
                   : "+a"(number)
                   : "D"(a), "S"(b), "d"(c), "r"(fourth)
                   : "rcx", "r11", "memory");
  return number;
}

// prlimit64 on a resource of the calling process.
long long prlimit(long long resource, const Limit* set, Limit* old) {
  return call(302, 0, resource, set, old);
}

// rt_sigaction on a signal of the calling process.
long long sigaction(long long signal, const SignalAction* set,
                    SignalAction* old) {
  return call(13, signal, reinterpret_cast<long long>(set), old,
              reinterpret_cast<void*>(sizeof(unsigned long long)));
}

}  // namespace linux_call

// Wine ignores a job's memory limit and Windows has no limit on a file's
// size, but a child inherits the resource limits, and the signals ignored,
// of the process that starts it. Under wine on Linux, this lowers the test
// process's own limits, and ignores SIGXFSZ, for as long as it lives: only
// while the child is created.
class WineLinuxLimits {
 public:
  // Limits the child's private data to memoryLimit bytes, plus room for
  // wine's own data, and each file it writes to outputLimit bytes, with
  // SIGXFSZ ignored so that a write past it fails instead of ending the
  // process; does nothing for a limit of 0, or anywhere but under wine on
  // Linux.
  WineLinuxLimits(std::size_t memoryLimit, std::size_t outputLimit)
      : onLinux_((memoryLimit != 0 || outputLimit != 0) && underWineOnLinux()) {
    if (!onLinux_) return;
    if (memoryLimit != 0) {
      lower(linux_call::kLimitData, memoryLimit + kWineOwnData, &savedData_);
    }
    if (outputLimit != 0) {
      lower(linux_call::kLimitFileSize, outputLimit, &savedFileSize_);
      const linux_call::SignalAction ignore{linux_call::kIgnore, 0, 0, 0};
      require(linux_call::sigaction(linux_call::kFileSizeSignal, &ignore,
                                    &savedSignal_) == 0,
              "rt_sigaction");
      restoreSignal_ = true;
    }
  }
  ~WineLinuxLimits() {
    if (restoreSignal_) {
      linux_call::sigaction(linux_call::kFileSizeSignal, &savedSignal_,
                            nullptr);
    }
    if (savedFileSize_.lowered) {
      linux_call::prlimit(linux_call::kLimitFileSize, &savedFileSize_.limit,
                          nullptr);
    }
    if (savedData_.lowered) {
      linux_call::prlimit(linux_call::kLimitData, &savedData_.limit, nullptr);
    }
  }
  WineLinuxLimits(const WineLinuxLimits&) = delete;
  WineLinuxLimits& operator=(const WineLinuxLimits&) = delete;

 private:
  struct Saved {
    linux_call::Limit limit{};
    bool lowered = false;
  };

  // Room for the private data that wine maps into a process before the
  // program's entry, with some to spare: below 12 to 14 MiB wine 8, and
  // below 16 to 20 MiB wine 10, cannot even load kernel32.dll.
  static constexpr unsigned long long kWineOwnData = 32 << 20;

  static void lower(long long resource, unsigned long long soft, Saved* saved) {
    require(linux_call::prlimit(resource, nullptr, &saved->limit) == 0,
            "prlimit");
    const linux_call::Limit lowered{soft, saved->limit.hard};
    require(linux_call::prlimit(resource, &lowered, nullptr) == 0, "prlimit");
    saved->lowered = true;
  }

  bool onLinux_;
  Saved savedData_;
  Saved savedFileSize_;
  linux_call::SignalAction savedSignal_{};
  bool restoreSignal_ = false;
};
#endif

// Creates the program's process, suspended, with the limits of launch that
// a job cannot set, or whose job limit would not hold.
BOOL createSuspended(char* commandLine, STARTUPINFOA& startup,
                     const Launch& launch, PROCESS_INFORMATION* child) {
#ifdef QUORVIL_WINE_LINUX_LIMITS
  const WineLinuxLimits limits(launch.memoryLimit, launch.outputLimit);
#else
  static_cast<void>(launch);
#endif
  return CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, child);
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
  startup.hStdOutput = openInherited(
      files.out, launch.unwritableOutput ? GENERIC_READ : GENERIC_WRITE,
      CREATE_ALWAYS);
  startup.hStdError = openInherited(files.err, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE job = newJob(launch.memoryLimit);
  PROCESS_INFORMATION child{};
  const BOOL started =
      createSuspended(&commandLine[0], startup, launch, &child);
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

// Makes a new directory that no other run names, readable by this user
// alone, and returns its path with a separator at the end.
std::string makePrivateDirectory() {
  std::string path = ::testing::TempDir() + "quorvil-XXXXXX";
  require(mkdtemp(&path[0]) != nullptr, "mkdtemp");
  return path + "/";
}

void removeDirectory(const std::string& path) { rmdir(path.c_str()); }

#ifndef QUORVIL_EMULATOR_MEMORY_OPTION
// True where a limit of bytes on the address space, set in a forked child as
// it is set for the program, stops that child from mapping four times as
// much. qemu-user accepts the limit and applies it to nothing, and macOS
// does not apply it either.
bool addressSpaceLimitHolds(std::size_t bytes) {
  const pid_t pid = fork();
  require(pid >= 0, "fork");
  if (pid == 0) {
    const rlimit memory{bytes, bytes};
    setrlimit(RLIMIT_AS, &memory);
    const void* taken = mmap(nullptr, 4 * bytes, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    _exit(taken == MAP_FAILED ? 1 : 0);
  }
  int raw = 0;
  require(waitpid(pid, &raw, 0) == pid, "waitpid");
  return !(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
}
#endif

// In the child, between fork and exec: only system calls from here on.
[[noreturn]] void execProgram(char* const* argv, const int* streams,
                              const Launch& launch) {
  for (int fd = 0; fd < 3; ++fd) {
    if (dup2(streams[fd], fd) < 0) _exit(127);
  }
  const rlimit processor{kProcessorSeconds, kProcessorSeconds};
  setrlimit(RLIMIT_CPU, &processor);
#ifndef QUORVIL_EMULATOR_MEMORY_OPTION
  if (launch.memoryLimit != 0) {
    const rlimit memory{launch.memoryLimit, launch.memoryLimit};
    setrlimit(RLIMIT_AS, &memory);
  }
#endif
  if (launch.outputLimit != 0) {
    // Ignored, SIGXFSZ stays ignored in the program, whose write past the
    // limit then fails instead of ending it.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize{launch.outputLimit, launch.outputLimit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
  }
  execv(argv[0], argv);
  _exit(127);
}

int runChild(const Launch& launch, const StreamFiles& files) {
  // A program built for another processor starts through the emulator that
  // runs the tests themselves.
  std::vector<std::string> words{
#ifdef QUORVIL_EMULATOR
      QUORVIL_EMULATOR,
#endif
      QUORVIL_BINARY};
#ifdef QUORVIL_EMULATOR_MEMORY_OPTION
  // An emulator that caps the program's memory itself does so for a process
  // whose own needs no limit could leave room for.
  if (launch.memoryLimit != 0) {
    words.insert(words.begin() + 1, QUORVIL_EMULATOR_MEMORY_OPTION +
                                        std::to_string(launch.memoryLimit));
  }
#endif
  words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  const int streams[] = {
      openFile(files.in, launch.unreadableInput ? O_WRONLY : O_RDONLY),
      openFile(files.out, launch.unwritableOutput
                              ? O_RDONLY | O_CREAT
                              : O_WRONLY | O_CREAT | O_TRUNC),
      openFile(files.err, O_WRONLY | O_CREAT | O_TRUNC)};
  const pid_t pid = fork();
  if (pid == 0) execProgram(argv.data(), streams, launch);
  for (int fd : streams) close(fd);
  require(pid > 0, "fork");
  int raw = 0;
  require(waitpid(pid, &raw, 0) == pid, "waitpid");
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace

Session runProgram(const Launch& launch) {
  // The streams' files lie in a directory of this run's own, so that test
  // runs at once, in other build trees or by other users, never share one.
  const std::string directory = makePrivateDirectory();
  const StreamFiles files{directory + "in", directory + "out",
                          directory + "err"};
  std::ofstream(files.in, std::ios::binary) << launch.typed;
  Session session;
  session.status = runChild(launch, files);
  session.shown = readFile(files.out);
  session.errors = readFile(files.err);
  std::remove(files.in.c_str());
  std::remove(files.out.c_str());
  std::remove(files.err.c_str());
  removeDirectory(directory);
  return session;
}

const char* memoryLimitUnavailable(std::size_t bytes) {
#ifdef QUORVIL_UNDER_ADDRESS_SANITIZER
  return "the address sanitizer maps more than any limit would allow";
#endif
#ifdef _WIN32
  static_cast<void>(bytes);
  if (wineHostSystem() == nullptr) return nullptr;
#ifdef QUORVIL_WINE_LINUX_LIMITS
  if (underWineOnLinux()) return nullptr;
#endif
  return "wine ignores a job's memory limit";
#elif defined(QUORVIL_EMULATOR_MEMORY_OPTION)
  static_cast<void>(bytes);
  return nullptr;
#else
  // Valgrind's own start needs more than such a limit leaves, so a program
  // it follows into the child dies before the program's entry.
  const char* preloaded = std::getenv("LD_PRELOAD");
  if (preloaded != nullptr && std::strstr(preloaded, "vgpreload") != nullptr) {
    return "the tests run under valgrind, which cannot start a program "
           "within the limit";
  }
  if (addressSpaceLimitHolds(bytes)) return nullptr;
  return "a process limited in its address space could map four times the "
         "limit here: the limit is not applied (as under qemu-user, or on "
         "macOS)";
#endif
}

const char* outputLimitUnavailable() {
#ifdef QUORVIL_COVERAGE
  return "the program writes its coverage counts into files as it exits, "
         "which the limit holds as well";
#endif
#ifdef _WIN32
#ifdef QUORVIL_WINE_LINUX_LIMITS
  if (underWineOnLinux()) return nullptr;
#endif
  return "Windows has no limit on the size of a file a process writes";
#else
  return nullptr;
#endif
}
