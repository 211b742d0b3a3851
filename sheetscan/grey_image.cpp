#include "sheetscan/grey_image.h"

namespace mx {

TGreyImage::TGreyImage(const QImage& scan) {
    if (scan.width() < 2 || scan.height() < 2) return;
    image_ = scan.format() == QImage::Format_Grayscale8 ? scan : scan.convertToFormat(QImage::Format_Grayscale8);
    w_ = image_.width();
    h_ = image_.height();
}

TGreyImage::TBlocks TGreyImage::Blocks(int factor) const {
    TBlocks b;
    b.Factor = std::max(1, factor);
    b.Width = w_ / b.Factor;
    b.Height = h_ / b.Factor;
    b.Values.assign(size_t(b.Width) * b.Height, 0.f);
    std::vector<unsigned> sums(b.Width);
    const float n = float(b.Factor) * b.Factor;
    for (int by = 0; by < b.Height; ++by) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = by * b.Factor; y < (by + 1) * b.Factor; ++y) {
            const uchar* row = image_.constScanLine(y);
            for (int bx = 0; bx < b.Width; ++bx) {
                unsigned s = 0;
                for (int x = bx * b.Factor, end = x + b.Factor; x < end; ++x) s += row[x];
                sums[bx] += s;
            }
        }
        for (int bx = 0; bx < b.Width; ++bx) b.Values[size_t(by) * b.Width + bx] = sums[bx] / n;
    }
    return b;
}

} // namespace mx
