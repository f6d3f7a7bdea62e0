#include "shapes/shape.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "shapes/circle.h"
#include "shapes/line.h"
#include "shapes/rect.h"

namespace {

// A shape that counts its destructions, to show which shapes a destroy
// reaches and that each goes through its own kind's destructor.
class Counted : public Shape {
 public:
  explicit Counted(int* destroyed) : destroyed(destroyed) {}
  ~Counted() override { ++*destroyed; }
  void draw() override {}

 private:
  int* destroyed;
};

// Stands in for standard output and remembers what had been written when
// the stream was last flushed.
class FlushRecorder : public std::stringbuf {
 public:
  std::string flushed;

 protected:
  int sync() override {
    flushed = str();
    return 0;
  }
};

// Renders shape through a Shape pointer; returns the text standing in
// standard output at its last flush.
std::string flushedRender(Shape* shape) {
  FlushRecorder recorder;
  std::streambuf* saved = std::cout.rdbuf(&recorder);
  shape->render();
  std::cout.rdbuf(saved);
  return recorder.flushed;
}

TEST(ShapeTest, NewShapeHasIndexZeroAndNoSuccessor) {
  Circle circle;
  EXPECT_EQ(circle.getIndex(), 0);
  EXPECT_EQ(circle.getNext(), nullptr);
}

TEST(ShapeTest, RenderWritesKindNameLineAndFlushesIt) {
  std::unique_ptr<Shape> line(new Line);
  std::unique_ptr<Shape> circle(new Circle);
  std::unique_ptr<Shape> rect(new Rect);
  EXPECT_EQ(flushedRender(line.get()), "Line\n");
  EXPECT_EQ(flushedRender(circle.get()), "Circle\n");
  EXPECT_EQ(flushedRender(rect.get()), "Rect\n");
}

TEST(ShapeTest, AppendSetsIndexAndLinkOfCalledShapeOnlyAndReturnsGiven) {
  Line a;
  Circle b;
  Rect c;
  EXPECT_EQ(a.append(&b, 1), &b);
  EXPECT_EQ(b.append(&c, 2), &c);
  EXPECT_EQ(a.getIndex(), 1);
  EXPECT_EQ(b.getIndex(), 2);
  EXPECT_EQ(c.getIndex(), 0);
  EXPECT_EQ(a.getNext(), &b);
  EXPECT_EQ(b.getNext(), &c);
  EXPECT_EQ(c.getNext(), nullptr);
  // The stack shapes must not destroy each other.
  a.append(nullptr, 1);
  b.append(nullptr, 2);
}

TEST(ShapeTest, DestroyingFirstOfChainDestroysEveryShapeAfterIt) {
  int destroyed = 0;
  Shape* first = new Counted(&destroyed);
  first->append(new Counted(&destroyed), 1)->append(new Counted(&destroyed), 2);
  delete first;
  EXPECT_EQ(destroyed, 3);
}

TEST(ShapeTest, DestroyingLastOfChainDestroysOnlyItself) {
  int destroyed = 0;
  Shape* first = new Counted(&destroyed);
  Shape* last = first->append(new Counted(&destroyed), 1)
                    ->append(new Counted(&destroyed), 2);
  Shape* middle = first->getNext();
  middle->append(nullptr, middle->getIndex());
  delete last;
  EXPECT_EQ(destroyed, 1);
  delete first;
  EXPECT_EQ(destroyed, 3);
}

TEST(ShapeTest, MillionLongChainIsDestroyedFromItsHead) {
  int destroyed = 0;
  Shape* head = new Counted(&destroyed);
  Shape* tail = head;
  for (int i = 1; i < 1000000; ++i) {
    tail = tail->append(new Counted(&destroyed), i);
  }
  delete head;
  EXPECT_EQ(destroyed, 1000000);
}

}  // namespace
