#include "editor/console.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/console_capture.h"
#include "tests/dialogue.h"

namespace {

TEST(ConsoleTest, GreetingIsOneLineInCodePage949) {
  ConsoleCapture console("");
  printGreeting();
  EXPECT_EQ(console.shown(), cp949(kGreeting));
}

TEST(ConsoleTest, EachPromptIsWrittenWithoutLineEndBeforeItsNumber) {
  ConsoleCapture console("1\n2\n3\n");
  EXPECT_EQ(askMenu(), 1);
  EXPECT_EQ(console.shown(), cp949(kMenu));
  EXPECT_EQ(askShapeKind(), 2);
  EXPECT_EQ(console.shown(), cp949(kMenu + kKind));
  EXPECT_EQ(askIndex(), 3);
  EXPECT_EQ(console.shown(), cp949(kMenu + kKind + kIndex));
}

TEST(ConsoleTest, NumbersTypedAheadOnOneLineAnswerTheFollowingPrompts) {
  ConsoleCapture console("1 2\n");
  EXPECT_EQ(askMenu(), 1);
  EXPECT_EQ(askShapeKind(), 2);
  EXPECT_EQ(console.shown(), cp949(kMenu + kKind));
}

TEST(ConsoleTest, SkipsBlankSpaceAndLinesAndTakesSignedNumbers) {
  ConsoleCapture console("   \n\n\t +3\r\n-1\n-2147483648 2147483647 007\n");
  EXPECT_EQ(askMenu(), 3);
  EXPECT_EQ(askMenu(), -1);
  EXPECT_EQ(askIndex(), -2147483647 - 1);
  EXPECT_EQ(askIndex(), 2147483647);
  EXPECT_EQ(askIndex(), 7);
  EXPECT_EQ(console.shown(), cp949(kMenu + kMenu + kIndex + kIndex + kIndex));
}

TEST(ConsoleTest, TextIsDroppedWithTheRestOfItsLineAndThePromptRepeated) {
  ConsoleCapture console("abc 5\n\xFF\n6\n");
  EXPECT_EQ(askShapeKind(), 6);
  EXPECT_EQ(console.shown(), cp949(kKind + kKind + kKind));
}

TEST(ConsoleTest, NumbersOutsideIntAndLoneSignsAreDroppedLikeText) {
  ConsoleCapture console("2147483648\n-2147483649 1\n-\n+ 9\n4\n");
  EXPECT_EQ(askMenu(), 4);
  EXPECT_EQ(console.shown(), cp949(kMenu + kMenu + kMenu + kMenu + kMenu));
}

TEST(ConsoleTest, TextAfterANumberIsLeftForTheNextPrompt) {
  ConsoleCapture console("3x 8\n2\n");
  EXPECT_EQ(askMenu(), 3);
  EXPECT_EQ(askIndex(), 2);
  EXPECT_EQ(console.shown(), cp949(kMenu + kIndex + kIndex));
}

}  // namespace
