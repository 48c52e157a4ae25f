#pragma once
// Colour ramps of the 3D and 2D views. A colour is three doubles, red, green, blue, 0 to 255.

// Blue (0) through green (128) to red (255), for intensity colouring.
void value_to_rgb(int v, double rgb[3]);

// HSV (hue in degrees, saturation and value 0..1) to 8-bit channels.
void hsv_to_rgb(float hue, float saturation, float value, double rgb[3]);

// Blue at `min` to red at `max`; grey when the range is empty.
void value_to_hue_rgb(float min, float max, float value, double rgb[3]);
