// End-to-end sessions: the built program is started with what the user
// types on its standard input, and every byte it shows and its exit status
// are compared with the expected transcript.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/dialogue.h"
#include "tests/session.h"

namespace {

Session run(const std::string& typed,
            const std::vector<std::string>& arguments = {}) {
  Launch launch;
  launch.typed = typed;
  launch.arguments = arguments;
  return runProgram(launch);
}

// Returns text with its line ends as the program writes them: a Windows C
// runtime writes each as CR LF.
std::string withLineEnds(const std::string& text) {
#ifdef _WIN32
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
#else
  return text;
#endif
}

// The expected transcript of a session that ends as the user chose, written
// readably in UTF-8.
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

TEST(QuorvilTest, UnreadableStandardInputEndsLikeEndOfInputButExitsOne) {
  Launch launch;
  launch.unreadableInput = true;
  const Session session = runProgram(launch);
  EXPECT_EQ(session.shown, withLineEnds(cp949(kGreetingMenu + "\n")));
  EXPECT_EQ(session.errors,
            withLineEnds("quorvil: cannot read standard input\n"));
  EXPECT_EQ(session.status, 1);
}

TEST(QuorvilTest, UnwritableStandardOutputEndsBeforeAnyCommandAndExitsOne) {
  Launch launch;
  launch.typed = "1\n2\n3\n4\n";
  launch.unwritableOutput = true;
  const Session lost = runProgram(launch);
  EXPECT_EQ(lost.shown, "");
  EXPECT_EQ(lost.errors,
            withLineEnds("quorvil: cannot write standard output\n"));
  EXPECT_EQ(lost.status, 1);
  // The greeting was lost before any input was asked for, so an input that
  // cannot be read is never reached: the output's line is the only one.
  launch.unreadableInput = true;
  const Session both = runProgram(launch);
  EXPECT_EQ(both.errors, lost.errors);
  EXPECT_EQ(both.status, 1);
}

TEST(QuorvilTest, LastLineEndLostAtEndOfInputEndsWithOneLineExitsOne) {
  if (const char* why = outputLimitUnavailable()) GTEST_SKIP() << why;
  // Room for the greeting and the menu, but not for the line end that
  // follows them when input ends at once.
  const std::string shownBeforeTheEnd = withLineEnds(cp949(kGreetingMenu));
  Launch launch;
  launch.outputLimit = shownBeforeTheEnd.size();
  const Session session = runProgram(launch);
  EXPECT_EQ(session.shown, shownBeforeTheEnd);
  EXPECT_EQ(session.errors,
            withLineEnds("quorvil: cannot write standard output\n"));
  EXPECT_EQ(session.status, 1);
}

TEST(QuorvilTest, RunningOutOfMemoryWhileInsertingEndsWithOneLineExitsOne) {
  constexpr std::size_t kLimit = 16 << 20;
  if (const char* why = memoryLimitUnavailable(kLimit)) GTEST_SKIP() << why;
  Launch launch;
  // Two million Lines: far more than fit in the limit, even with the room
  // that wine takes beside it.
  for (int i = 0; i < 2000000; ++i) launch.typed += "1 1\n";
  launch.memoryLimit = kLimit;
  const Session session = runProgram(launch);
  EXPECT_EQ(session.errors, withLineEnds("quorvil: out of memory\n"));
  EXPECT_EQ(session.status, 1);
}

TEST(QuorvilTest, CommandLineArgumentsAreIgnored) {
  expectSession(run("4\n", {"--help", "1", "2"}), kGreetingMenu);
}

}  // namespace
