// A rectangle of whole pixels with exclusive right and bottom edges (a
// rectangle from 0 to the width covers the whole width), as the zoom model
// and the window layout count.
#pragma once

struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const IntRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const IntRect& other) const { return !(*this == other); }
};
