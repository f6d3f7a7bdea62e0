#ifndef QUORVIL_SHAPES_CIRCLE_H_
#define QUORVIL_SHAPES_CIRCLE_H_

#include "shapes/shape.h"

// A circle: drawn as the line "Circle".
class Circle : public Shape {
 public:
  void draw() override;
};

#endif  // QUORVIL_SHAPES_CIRCLE_H_
