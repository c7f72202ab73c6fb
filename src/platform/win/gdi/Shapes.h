#pragma once
// The coverage of curves and polygons, computed behind this interface (the
// Qt backend installs its rasteriser; without one these shapes draw nothing).
// The drawing layer's own loops paint the pixels covered.

#include <memory>
#include <span>
#include <vector>

#include "platform/win/Types.h"
#include "platform/win/region/Region.h"

class IShapeRasterizer {
public:
    virtual ~IShapeRasterizer() = default;
    // The pixels inside the ellipse or rounded rectangle inscribed in Box.
    virtual TRegion Ellipse(const RECT& box) = 0;
    virtual TRegion RoundRect(const RECT& box, int cornerWidth, int cornerHeight) = 0;
    // The pixels inside the polygon under the even-odd or the winding rule.
    virtual TRegion Polygon(std::span<const POINT> points, bool winding) = 0;
    // The pixels a pen of Width covers along the lines (a closed outline with Closed).
    virtual TRegion Stroke(std::span<const POINT> points, bool closed, int width) = 0;
};

void SetShapeRasterizer(std::shared_ptr<IShapeRasterizer> rasterizer);
std::shared_ptr<IShapeRasterizer> ShapeRasterizer();
