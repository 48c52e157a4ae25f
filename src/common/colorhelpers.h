#pragma once
// Colour ramps of the 3D and 2D views. A colour is three doubles, red, green, blue, 0 to 255.

#include <string>

// Blue (0) through green (128) to red (255), for intensity colouring.
void value_to_rgb(int v, double rgb[3]);

// HSV (hue in degrees, saturation and value 0..1) to 8-bit channels.
void hsv_to_rgb(float hue, float saturation, float value, double rgb[3]);

// Blue at `min` to red at `max`; grey when the range is empty.
void value_to_hue_rgb(float min, float max, float value, double rgb[3]);

// The "Standard"/"Color" setting, "r|g|b". True, with the three channels in `rgb`, when the
// text has exactly three "|"-separated parts and each is a decimal from 0 to 255; a part that is
// not a number counts as 0. False for any other text: the caller keeps its default colour.
bool parse_color_setting(const std::string &text, int rgb[3]);
