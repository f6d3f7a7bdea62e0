#include "editor/editor.h"

#include <cstdlib>
#include <limits>

#include "editor/console.h"
#include "shapes/circle.h"
#include "shapes/line.h"
#include "shapes/rect.h"

namespace {

// Returns a new shape of the kind the user chose from the shape-kind menu,
// or null for a number that names no kind.
Shape* newShape(int shapesel) {
  switch (shapesel) {
    case 1:
      return new Line;
    case 2:
      return new Circle;
    case 3:
      return new Rect;
    default:
      return nullptr;
  }
}

// Makes next the successor of shape without touching shape's index, which
// append would otherwise overwrite.
void relink(Shape* shape, Shape* next) {
  shape->append(next, shape->getIndex());
}

}  // namespace

Editor::~Editor() { delete head; }

void Editor::run() {
  printGreeting();
  for (;;) {
    int select = askMenu();
    switch (select) {
      case 1:
        insertShape();
        break;
      case 2:
        deleteShape();
        break;
      case 3:
        showAll();
        break;
      case 4:
        std::exit(0);
      default:
        break;  // Not a command: the menu is simply asked again.
    }
  }
}

void Editor::insertShape() {
  int shapesel = askShapeKind();
  // A full counter could number no further shape distinctly.
  if (insertCount == std::numeric_limits<int>::max()) return;
  Shape* shape = newShape(shapesel);
  if (shape != nullptr) {
    if (head == nullptr) {
      head = tail = shape;
    } else {
      tail = tail->append(shape, insertCount);
    }
  }
  ++insertCount;
}

void Editor::deleteShape() {
  int indexsel = askIndex();
  Shape* kept = nullptr;  // The last shape passed that stays in the chain.
  Shape* shape = head;
  while (shape != nullptr) {
    Shape* next = shape->getNext();
    if (shape->getIndex() != indexsel) {
      kept = shape;
      shape = next;
      continue;
    }
    // Unlinked first, so that destroying it leaves its successors alone.
    relink(shape, nullptr);
    if (kept == nullptr) {
      head = next;
    } else {
      relink(kept, next);
    }
    if (tail == shape) tail = kept;
    delete shape;
    shape = next;
  }
}

void Editor::showAll() {
  for (Shape* shape = head; shape != nullptr; shape = shape->getNext()) {
    shape->render();
  }
}
