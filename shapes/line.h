#ifndef QUORVIL_SHAPES_LINE_H_
#define QUORVIL_SHAPES_LINE_H_

#include "shapes/shape.h"

// A line: drawn as the line "Line".
class Line : public Shape {
 public:
  void draw() override;
};

#endif  // QUORVIL_SHAPES_LINE_H_
