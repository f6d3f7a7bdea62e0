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
#define QUORVIL_WINE_DATA_LIMIT

bool underWineOnLinux() {
  const char* system = wineHostSystem();
  return system != nullptr && std::strcmp(system, "Linux") == 0;
}

// Wine ignores a job's memory limit, but its processes are Linux processes
// and a child inherits the resource limits of the process that starts it.
// Under wine on Linux, this lowers the test process's own limit on private
// data, by a Linux system call, for as long as it lives: only while the child
// is created.
class WineDataLimit {
 public:
  // Lowers the limit to bytes, plus room for wine's own data, under wine on
  // Linux; does nothing for 0 or elsewhere.
  explicit WineDataLimit(std::size_t bytes)
      : active_(bytes != 0 && underWineOnLinux()) {
    if (!active_) return;
    require(prlimit(nullptr, &saved_) == 0, "prlimit");
    const Limit lowered{bytes + kWineOwnData, saved_.hard};
    require(prlimit(&lowered, nullptr) == 0, "prlimit");
  }
  ~WineDataLimit() {
    if (active_) prlimit(&saved_, nullptr);
  }
  WineDataLimit(const WineDataLimit&) = delete;
  WineDataLimit& operator=(const WineDataLimit&) = delete;

 private:
  struct Limit {
    unsigned long long soft;
    unsigned long long hard;
  };

  // Room for the private data that wine maps into a process before the
  // program's entry, with some to spare: below 12 to 14 MiB wine 8, and
  // below 16 to 20 MiB wine 10, cannot even load kernel32.dll.
  static constexpr unsigned long long kWineOwnData = 32 << 20;

  // Linux's prlimit64 on RLIMIT_DATA of the calling process; 0 on success.
  static long long prlimit(const Limit* set, Limit* old) {
    long long result = 302;  // __NR_prlimit64
    register Limit* oldLimit __asm__("r10") = old;
    __asm__ volatile("syscall"
                     : "+a"(result)
                     : "D"(0ll), "S"(2ll), "d"(set), "r"(oldLimit)
                     : "rcx", "r11", "memory");
    return result;
  }

  bool active_;
  Limit saved_{};
};
#endif

// Creates the program's process, suspended, with memoryLimit where a job's
// limit would not hold.
BOOL createSuspended(char* commandLine, STARTUPINFOA& startup,
                     std::size_t memoryLimit, PROCESS_INFORMATION* child) {
#ifdef QUORVIL_WINE_DATA_LIMIT
  const WineDataLimit limit(memoryLimit);
#else
  static_cast<void>(memoryLimit);
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
      createSuspended(&commandLine[0], startup, launch.memoryLimit, &child);
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
  // A program built for another processor starts through the emulator that
  // runs the tests themselves.
  std::vector<std::string> words{
#ifdef QUORVIL_EMULATOR
      QUORVIL_EMULATOR,
#endif
      QUORVIL_BINARY};
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
#ifdef QUORVIL_WINE_DATA_LIMIT
  if (underWineOnLinux()) return nullptr;
#endif
  return "wine ignores a job's memory limit";
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
