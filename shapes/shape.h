#ifndef QUORVIL_SHAPES_SHAPE_H_
#define QUORVIL_SHAPES_SHAPE_H_

// A shape the editor keeps, and one link of the editor's chain of shapes.
//
// Shapes live on the free store and are reached through Shape pointers. A
// shape owns the shape its link points to: destroying a shape that is still
// linked destroys every shape after it in the chain. A shape knows nothing of
// the shape before it.
class Shape {
 public:
  Shape() = default;

  // A shape owns its successor, so a copy would destroy that successor twice.
  Shape(const Shape&) = delete;
  Shape& operator=(const Shape&) = delete;

  // Writes the shape's kind name and a line end on standard output. Called
  // through render().
  virtual void draw() = 0;

  // Destroys this shape and, each through its own virtual destructor, every
  // shape linked after it. The chain is walked in a loop, not by recursion,
  // so a chain of any length can be destroyed at once.
  virtual ~Shape();

  // Draws the shape as its actual kind.
  void render();

  // Sets this shape's index to n and its successor to p, and returns p. p
  // itself is left as it is. The previous successor is neither read nor
  // destroyed: the caller has either none or has taken charge of it.
  Shape* append(Shape* p, int n);

  // Returns the shape after this one, or null for the last one.
  Shape* getNext() const { return next; }

  // Returns the number by which the delete command finds this shape.
  int getIndex() const { return index; }

 private:
  int index = 0;
  Shape* next = nullptr;  // Owned.
};

#endif  // QUORVIL_SHAPES_SHAPE_H_
