#include "shapes/rect.h"

#include <iostream>

void Rect::draw() { std::cout << "Rect" << std::endl; }
