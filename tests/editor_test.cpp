#include "editor/editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "shapes/shape.h"
#include "tests/console_capture.h"

// Carries out single commands on an editor, each answered with the given
// number, and looks into the chain the editor keeps.
class EditorTest : public ::testing::Test {
 protected:
  void insert(int shapesel) {
    ConsoleCapture console(std::to_string(shapesel) + "\n");
    editor.insertShape();
  }

  void remove(int indexsel) {
    ConsoleCapture console(std::to_string(indexsel) + "\n");
    editor.deleteShape();
  }

  // What the view-all command writes.
  std::string listing() {
    ConsoleCapture console("");
    editor.showAll();
    return console.shown();
  }

  // The index of each shape from head on; checks on the way that the chain is
  // whole: head and tail both set or both null, tail reached from head, and
  // nothing after tail.
  std::vector<int> indices() {
    std::vector<int> found;
    EXPECT_EQ(editor.head == nullptr, editor.tail == nullptr);
    const Shape* last = nullptr;
    for (Shape* s = editor.head; s != nullptr; s = s->getNext()) {
      found.push_back(s->getIndex());
      last = s;
    }
    EXPECT_EQ(last, editor.tail);
    return found;
  }

  void setInsertCount(int count) { editor.insertCount = count; }
  int insertCount() const { return editor.insertCount; }

  // A Line, a Circle and a Rect, numbered 1, 2 and 0.
  void insertLineCircleRect() {
    insert(1);
    insert(2);
    insert(3);
  }

  Editor editor;
};

namespace {

using Indices = std::vector<int>;

TEST_F(EditorTest, EmptyEditorListsNothing) {
  EXPECT_EQ(listing(), "");
  EXPECT_EQ(indices(), Indices{});
}

TEST_F(EditorTest, InsertsLinkAtTheEndAndNumberAllButTheLastByInsertCount) {
  insert(2);
  EXPECT_EQ(listing(), "Circle\n");
  EXPECT_EQ(indices(), (Indices{0}));
  insert(1);
  insert(3);
  insert(1);
  EXPECT_EQ(listing(), "Circle\nLine\nRect\nLine\n");
  EXPECT_EQ(indices(), (Indices{1, 2, 3, 0}));
  EXPECT_EQ(insertCount(), 4);
}

TEST_F(EditorTest, KindOutsideTheListMakesNoShapeButUsesUpItsNumber) {
  insert(1);
  insert(7);
  insert(0);
  insert(-1);
  EXPECT_EQ(listing(), "Line\n");
  insert(2);
  EXPECT_EQ(listing(), "Line\nCircle\n");
  EXPECT_EQ(indices(), (Indices{4, 0}));
}

struct DeleteCase {
  int indexsel;
  const char* left;
  std::vector<int> indices;
};

void PrintTo(const DeleteCase& c, std::ostream* os) {
  *os << "delete " << c.indexsel;
}

class EditorDeleteTest : public EditorTest,
                         public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(EditorDeleteTest,
       DeletingAnIndexRemovesExactlyItsShapeAndRenumbersNone) {
  insertLineCircleRect();
  remove(GetParam().indexsel);
  EXPECT_EQ(listing(), GetParam().left);
  EXPECT_EQ(indices(), GetParam().indices);
}

INSTANTIATE_TEST_SUITE_P(
    LineCircleRect, EditorDeleteTest,
    ::testing::Values(DeleteCase{1, "Circle\nRect\n", {2, 0}},
                      DeleteCase{2, "Line\nRect\n", {1, 0}},
                      DeleteCase{0, "Line\nCircle\n", {1, 2}},
                      DeleteCase{3, "Line\nCircle\nRect\n", {1, 2, 0}},
                      DeleteCase{-1, "Line\nCircle\nRect\n", {1, 2, 0}}),
    [](const ::testing::TestParamInfo<DeleteCase>& info) {
      const int n = info.param.indexsel;
      return (n < 0 ? "IndexMinus" : "Index") + std::to_string(n < 0 ? -n : n);
    });

TEST_F(EditorTest, ShapeLeftLastByADeleteTakesTheCountWhenLinkedAfter) {
  insertLineCircleRect();
  remove(0);
  insert(3);
  EXPECT_EQ(listing(), "Line\nCircle\nRect\n");
  EXPECT_EQ(indices(), (Indices{1, 3, 0}));
}

TEST_F(EditorTest, DeletingEveryShapeEmptiesTheEditorForANewChain) {
  insertLineCircleRect();
  remove(2);
  remove(1);
  remove(0);
  EXPECT_EQ(listing(), "");
  EXPECT_EQ(indices(), Indices{});
  insert(2);
  insert(1);
  EXPECT_EQ(listing(), "Circle\nLine\n");
  EXPECT_EQ(indices(), (Indices{4, 0}));
}

TEST_F(EditorTest, DeletingTheOnlyShapeByZeroEmptiesTheEditor) {
  insert(3);
  remove(0);
  EXPECT_EQ(listing(), "");
  EXPECT_EQ(indices(), Indices{});
}

TEST_F(EditorTest, DeleteOnAnEmptyEditorChangesNothing) {
  remove(0);
  EXPECT_EQ(indices(), Indices{});
  EXPECT_EQ(insertCount(), 0);
}

TEST_F(EditorTest, FullInsertCountMakesNoShapeAndStaysAsItIs) {
  constexpr int kFull = std::numeric_limits<int>::max();
  insert(1);
  setInsertCount(kFull - 1);
  insert(2);
  EXPECT_EQ(indices(), (Indices{kFull - 1, 0}));
  EXPECT_EQ(insertCount(), kFull);
  insert(3);
  EXPECT_EQ(listing(), "Line\nCircle\n");
  EXPECT_EQ(indices(), (Indices{kFull - 1, 0}));
  EXPECT_EQ(insertCount(), kFull);
}

// What the chain should hold: each shape's kind name and index, in order.
struct ModelShape {
  std::string name;
  int index;
};

class EditorModelTest : public EditorTest,
                        public ::testing::WithParamInterface<unsigned> {};

// Long random runs of commands, each checked against a plain model of the
// chain. The seed is in the test's name, so a failure can be replayed.
TEST_P(EditorModelTest, RandomCommandsKeepTheChainTheModelPredicts) {
  static const char* const kNames[] = {"Line\n", "Circle\n", "Rect\n"};
  std::mt19937 random(GetParam());
  std::vector<ModelShape> model;
  int count = 0;
  for (int step = 0; step < 2000; ++step) {
    const int roll = static_cast<int>(random() % 10);
    if (roll < 5) {
      const int shapesel = static_cast<int>(random() % 6) - 1;
      insert(shapesel);
      if (shapesel >= 1 && shapesel <= 3) {
        if (!model.empty()) model.back().index = count;
        model.push_back({kNames[shapesel - 1], 0});
      }
      ++count;
    } else if (roll < 9) {
      // Mostly an index some shape carries, sometimes one none does.
      int indexsel = static_cast<int>(random() % (count + 3)) - 1;
      if (!model.empty() && random() % 4 != 0) {
        indexsel = model[random() % model.size()].index;
      }
      remove(indexsel);
      model.erase(std::remove_if(model.begin(), model.end(),
                                 [&](const ModelShape& shape) {
                                   return shape.index == indexsel;
                                 }),
                  model.end());
    } else {
      std::string expected;
      for (const ModelShape& shape : model) expected += shape.name;
      ASSERT_EQ(listing(), expected) << "at step " << step;
    }
    Indices expected;
    for (const ModelShape& shape : model) expected.push_back(shape.index);
    ASSERT_EQ(indices(), expected) << "at step " << step;
    ASSERT_EQ(insertCount(), count);
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(std::adjacent_find(expected.begin(), expected.end()),
              expected.end())
        << "two shapes share an index at step " << step;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditorModelTest, ::testing::Range(1u, 9u));

}  // namespace
