#pragma once

#include <QRect>
#include <cmath>

// Window geometry is laid out in twips; 15 twips make one pixel. Halves round to
// the even neighbour.
constexpr int kTwipsPerPixel = 15;

inline int px(int twips)
{
    return int(std::nearbyint(twips / double(kTwipsPerPixel)));
}
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}
