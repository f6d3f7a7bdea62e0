#include "shapes/circle.h"

#include <iostream>

void Circle::draw() { std::cout << "Circle" << std::endl; }
