#include "colorhelpers.h"

#include <cmath>

void value_to_rgb(int v, double rgb[3])
{
    rgb[0] = v > 128 ? 2.0 * v - 256 : 0.0;
    rgb[1] = v < 128 ? 2.0 * v : 511.0 - 2.0 * v;
    rgb[2] = v < 128 ? 255.0 - 2.0 * v : 0.0;
}

void hsv_to_rgb(float hue, float saturation, float value, double rgb[3])
{
    const float c = value * saturation;
    const float x = c * (1.0f - std::fabs(std::fmod(hue / 60.0f, 2.0f) - 1.0f));
    const float m = value - c;
    float r, g, b;
    if (hue < 60) {
        r = c, g = x, b = 0;
    } else if (hue < 120) {
        r = x, g = c, b = 0;
    } else if (hue < 180) {
        r = 0, g = c, b = x;
    } else if (hue < 240) {
        r = 0, g = x, b = c;
    } else if (hue < 300) {
        r = x, g = 0, b = c;
    } else {
        r = c, g = 0, b = x;
    }
    const float ch[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        // Truncated to an int, then kept to its low 8 bits (a NaN hue must not be UB).
        const float f = (ch[i] + m) * 255.0f + 0.5f;
        const long n = std::isfinite(f) ? static_cast<long>(std::fmod(f, 65536.0f)) : 0;
        rgb[i] = double(static_cast<unsigned long>(n) & 0xFFu);
    }
}

void value_to_hue_rgb(float min, float max, float value, double rgb[3])
{
    if (std::fabs(max - min) < 1e-6f) {
        rgb[0] = rgb[1] = rgb[2] = 128.0;
        return;
    }
    float t = (value - min) / (max - min);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    hsv_to_rgb((1.0f - t) * 240.0f, 0.9f, 0.8f, rgb);
}

bool parse_color_setting(const std::string &text, int rgb[3])
{
    int parts[3] = {0, 0, 0};
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t bar = text.find('|', start);
        const std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (count == 3)
            return false; // a fourth part
        // Trimmed decimal digits; anything else reads as 0, as a failed number conversion does.
        const size_t b = part.find_first_not_of(' ');
        const size_t e = part.find_last_not_of(' ');
        const std::string digits = b == std::string::npos ? std::string() : part.substr(b, e - b + 1);
        long value = 0;
        if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos) {
            if (digits.size() > 6)
                return false; // far outside 0 to 255
            value = std::stol(digits);
        }
        if (value > 255)
            return false;
        parts[count++] = int(value);
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    if (count != 3)
        return false;
    for (int i = 0; i < 3; ++i)
        rgb[i] = parts[i];
    return true;
}
