#pragma once

// Conversions between scene coordinates and pixels, in integer arithmetic
// (divisions truncate toward zero). The caller picks size and flip per axis
// from the stream's rotation; unrotated, x is not flipped and y is, because
// scene y grows upwards and pixel rows downwards.
namespace Transform {

// The pixel position of scene value v on an axis of size pixels:
// size × (v + 4096) / 8192, or size minus that when flipped.
int toPixelValue(int value, int size, bool flip);

// A scene length in pixels on an axis of size pixels: length × size / 8192.
int scaleSize(int length, int size);

}  // namespace Transform
