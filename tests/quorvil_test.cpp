// End-to-end sessions: the built program is started with what the user
// types on its standard input, and every byte it shows and its exit status
// are compared with the expected transcript.
//
// QUORVIL_PROGRAM, when set, is the command run instead of the built binary
// (such as "wine build-win/quorvil.exe"); QUORVIL_LINE_END=crlf then expects
// each line end as CR LF, as a Windows C runtime writes it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/dialogue.h"

namespace {

struct Session {
  std::string shown;   // Standard output, byte for byte.
  std::string errors;  // Standard error; the program never writes there.
  int status;          // Exit status; 124 if it had to be stopped.
};

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string programCommand() {
  const char* program = std::getenv("QUORVIL_PROGRAM");
  return program != nullptr ? program : "'" QUORVIL_BINARY "'";
}

// Returns text with its line ends as the program under test writes them.
std::string withLineEnds(const std::string& text) {
  const char* lineEnd = std::getenv("QUORVIL_LINE_END");
  if (lineEnd == nullptr || std::string(lineEnd) != "crlf") return text;
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

// Runs the program with typed as its whole standard input, stopping it if it
// runs for more than ten seconds.
Session run(const std::string& typed, const std::string& arguments = "") {
  const std::string base =
      ::testing::TempDir() + "quorvil_" +
      ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::ofstream(base + ".in", std::ios::binary) << typed;
  const std::string command = "timeout 10 " + programCommand() + " " +
                              arguments + " <'" + base + ".in' >'" + base +
                              ".out' 2>'" + base + ".err'";
  const int raw = std::system(command.c_str());
  Session session{readFile(base + ".out"), readFile(base + ".err"),
                  WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
  std::remove((base + ".in").c_str());
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return session;
}

// The expected transcript of a session, written readably in UTF-8.
void expectSession(const Session& session, const std::string& shown) {
  EXPECT_EQ(session.shown, withLineEnds(cp949(shown)));
  EXPECT_EQ(session.errors, "");
  EXPECT_EQ(session.status, 0);
}

const std::string kGreetingMenu = kGreeting + kMenu;

TEST(QuorvilTest, StartGreetsAndAsksTheMenuThenEndOfInputEndsTheLine) {
  expectSession(run(""), kGreetingMenu + "\n");
  expectSession(run(" \t\r\n\n\v\f "), kGreetingMenu + "\n");
}

TEST(QuorvilTest, ExitEndsAtOnceWithShapesHeldAndIgnoresWhatFollows) {
  expectSession(
      run("1\n2\n1\n3\n3\n4\n3\n"),
      kGreetingMenu + kKind + kMenu + kKind + kMenu + "Circle\nRect\n" + kMenu);
}

TEST(QuorvilTest, ViewAllListsInsertionOrderAndNothingWhenEmpty) {
  expectSession(run("3\n1\n1\n1\n2\n1\n3\n1\n1\n3\n4\n"),
                kGreetingMenu + kMenu + kKind + kMenu + kKind + kMenu + kKind +
                    kMenu + kKind + kMenu + "Line\nCircle\nRect\nLine\n" +
                    kMenu);
}

TEST(QuorvilTest, OtherMenuNumbersAndKindsOnlyBringTheMenuBack) {
  expectSession(run("0\n5\n-3\n1\n7\n3\n4\n"),
                kGreetingMenu + kMenu + kMenu + kMenu + kKind + kMenu + kMenu);
}

TEST(QuorvilTest, DeleteByIndexRemovesOneShapeAndSaysNothing) {
  // A Line, a Circle and a Rect carry 1, 2 and 0; then 2 goes, and 9 and
  // 2 again match nothing.
  expectSession(run("1\n1\n1\n2\n1\n3\n2\n2\n3\n2\n9\n2\n2\n3\n4\n"),
                kGreetingMenu + kKind + kMenu + kKind + kMenu + kKind + kMenu +
                    kIndex + kMenu + "Line\nRect\n" + kMenu + kIndex + kMenu +
                    kIndex + kMenu + "Line\nRect\n" + kMenu);
}

TEST(QuorvilTest, DeleteOnAnEmptyEditorShowsOnlyThePrompts) {
  expectSession(run("2\n0\n3\n4\n"), kGreetingMenu + kIndex + kMenu + kMenu);
}

TEST(QuorvilTest, NumbersTypedAheadAnswerTheFollowingPrompts) {
  expectSession(run("1 2 1 3 3 4\n"), kGreetingMenu + kKind + kMenu + kKind +
                                          kMenu + "Circle\nRect\n" + kMenu);
}

TEST(QuorvilTest, CrLfLineEndsReadLikeNewlines) {
  expectSession(run("1\r\n2\r\n3\r\n4\r\n"),
                kGreetingMenu + kKind + kMenu + "Circle\n" + kMenu);
}

TEST(QuorvilTest, EndOfInputAtEachPromptEndsTheLineAndExitsZero) {
  expectSession(run("1\n"), kGreetingMenu + kKind + "\n");
  expectSession(run("1\n3\n2\n"),
                kGreetingMenu + kKind + kMenu + kIndex + "\n");
  expectSession(run("1\n2\n3"),
                kGreetingMenu + kKind + kMenu + "Circle\n" + kMenu + "\n");
}

TEST(QuorvilTest, UnreadableInputAtTheEndOfInputEndsLikeEndOfInput) {
  // The text is dropped and asked for again, and that ask meets the end.
  expectSession(run("1\n1\nabc"), kGreetingMenu + kKind + kMenu + kMenu + "\n");
  // The sign is read up to the end of input itself.
  expectSession(run("2\n-"), kGreetingMenu + kIndex + "\n");
}

TEST(QuorvilTest, UnreadableInputAtEachPromptIsDroppedAndAskedAgain) {
  expectSession(run("menu 4\n1\n2147483648\n2\n2\n-2147483649\n0\n3\n4\n"),
                kGreetingMenu + kMenu + kKind + kKind + kMenu + kIndex +
                    kIndex + kMenu + kMenu);
}

TEST(QuorvilTest, HostileBytesAreDroppedLineByLine) {
  const std::string typed = std::string("\0\x01\xFF\xC0\n", 5) +
                            std::string(1 << 20, '9') + "\n" + "+\n" +
                            std::string(1000, '0') + "3\n" + "1\n1\n3\n4";
  expectSession(run(typed), kGreetingMenu + kMenu + kMenu + kMenu + kMenu +
                                kKind + kMenu + "Line\n" + kMenu);
}

TEST(QuorvilTest, CommandLineArgumentsAreIgnored) {
  expectSession(run("4\n", "--help 1 2"), kGreetingMenu);
}

}  // namespace
