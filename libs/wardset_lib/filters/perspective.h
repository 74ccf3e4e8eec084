#pragma once

#include <vector>

#include "filters/perspective_bar.h"

// The perspective model: the scale (scene units per real-world unit) is a
// linear function of the position along the image's vertical direction,
// scale(position) = intercept + position × slope, fitted to calibration bars.
class Perspective {
  public:
    Perspective() = default;
    // Least-squares fit of the bars' scales over their positions. Without bars
    // both coefficients are 0; bars at one position give their mean scale
    // everywhere.
    explicit Perspective(const std::vector<PerspectiveBar>& bars);

    float getSlope() const { return m_slope; }
    float getIntercept() const { return m_intercept; }

    // The real-world size of a size in scene units seen at the position,
    // rounded to the nearest integer. 0 where the model gives no positive
    // scale (positions beyond the calibrated range can extrapolate to one);
    // saturated just inside the int32 range.
    int calculateRealWorldSize(int position, int size) const;

  private:
    float m_slope = 0.0f;
    float m_intercept = 0.0f;
};
