#include "shapes/line.h"

#include <iostream>

void Line::draw() { std::cout << "Line" << std::endl; }
