#pragma once
// Curves and polygons rasterised by QPainter (no antialiasing) for the drawing
// layer. The application and the tests call this once at start-up.

void InstallQtShapeRasterizer();
