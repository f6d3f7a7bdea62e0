#ifndef QUORVIL_SHAPES_RECT_H_
#define QUORVIL_SHAPES_RECT_H_

#include "shapes/shape.h"

// A rectangle: drawn as the line "Rect".
class Rect : public Shape {
 public:
  void draw() override;
};

#endif  // QUORVIL_SHAPES_RECT_H_
