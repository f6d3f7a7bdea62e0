#include "shapes/shape.h"

Shape::~Shape() {
  // Each successor is unlinked before it is destroyed, so its own destructor
  // finds nothing to follow and the rest of the chain is left to this loop.
  Shape* p = next;
  while (p != nullptr) {
    Shape* after = p->next;
    p->next = nullptr;
    delete p;
    p = after;
  }
}

void Shape::render() { draw(); }

Shape* Shape::append(Shape* p, int n) {
  index = n;
  next = p;
  return p;
}
