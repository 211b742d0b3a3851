#pragma once
// A scan as 8-bit grey, read between pixels. Positions are continuous: pixel
// (i, j) covers [i, i + 1) x [j, j + 1), so its centre is (i + 0.5, j + 0.5).
#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

namespace mx {

class TGreyImage {
public:
    // Any format; an image smaller than 2 x 2 pixels counts as none.
    explicit TGreyImage(const QImage& scan);

    int Width() const { return w_; }
    int Height() const { return h_; }
    bool IsNull() const { return w_ == 0; }
    int Pixel(int x, int y) const { return image_.constScanLine(y)[x]; }

    // Bilinear between the pixel centres; NaN outside the image.
    double At(double x, double y) const {
        if (!(x >= 0 && y >= 0 && x <= w_ && y <= h_)) return NAN;
        const double u = std::clamp(x - 0.5, 0.0, w_ - 1.0), v = std::clamp(y - 0.5, 0.0, h_ - 1.0);
        const int i = std::min(int(u), w_ - 2), j = std::min(int(v), h_ - 2);
        const double fx = u - i, fy = v - j;
        const uchar* r0 = image_.constScanLine(j);
        const uchar* r1 = image_.constScanLine(j + 1);
        const double top = r0[i] + fx * (r0[i + 1] - r0[i]);
        const double bottom = r1[i] + fx * (r1[i + 1] - r1[i]);
        return top + fy * (bottom - top);
    }

    // Means of factor x factor blocks, row by row; a partial block at the
    // right or bottom is left out.
    struct TBlocks {
        int Factor = 1, Width = 0, Height = 0;
        std::vector<float> Values;
        float At(int x, int y) const { return Values[size_t(y) * Width + x]; }
    };
    TBlocks Blocks(int factor) const;

private:
    QImage image_;
    int w_ = 0, h_ = 0;
};

} // namespace mx
