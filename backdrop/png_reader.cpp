#include "backdrop/png_reader.h"

#include <QByteArray>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace mx {

namespace {

struct TMemoryInput {
    const unsigned char* data;
    size_t size;
    size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* input = static_cast<TMemoryInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "truncated");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

// libpng reports errors by longjmp; warnings are of no interest here.
void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// What the decoding loop needs, laid out before setjmp so that nothing
// with a destructor lives in the frame longjmp returns to.
struct TDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    int factor = 1;
    int width = 0, height = 0;
    int inChannels = 0;  // after libpng's expansion: 1 to 4 bytes a pixel
    int outChannels = 0; // 1 (grey) or 3 (colour)
    std::vector<unsigned char> row;
    std::vector<unsigned> sums;
    std::vector<unsigned> counts;
    QImage* image = nullptr;
    const TPngReading* reading = nullptr;
};

// The value of a channel of one expanded pixel, transparency over white.
inline unsigned OverWhite(const unsigned char* pixel, int channel, bool alpha, int alphaIndex) {
    if (!alpha) return pixel[channel];
    const unsigned a = pixel[alphaIndex];
    return (pixel[channel] * a + 255u * (255u - a) + 127u) / 255u;
}

void EmitRow(TDecode& d, int outY) {
    uchar* line = d.image->scanLine(outY);
    const int outWidth = d.image->width();
    for (int x = 0; x < outWidth; ++x) {
        const unsigned n = d.counts[x];
        if (d.outChannels == 1) {
            line[x] = uchar((d.sums[x] + n / 2) / n);
        } else {
            const unsigned* s = &d.sums[size_t(x) * 3];
            reinterpret_cast<QRgb*>(line)[x] = qRgb((s[0] + n / 2) / n, (s[1] + n / 2) / n, (s[2] + n / 2) / n);
        }
    }
    std::fill(d.sums.begin(), d.sums.end(), 0u);
    std::fill(d.counts.begin(), d.counts.end(), 0u);
}

// Returns false on damage or cancellation.
bool DecodeRows(TDecode& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    const bool alpha = d.inChannels == 2 || d.inChannels == 4;
    const int alphaIndex = d.inChannels - 1;
    for (int y = 0; y < d.height; ++y) {
        png_read_row(d.png, d.row.data(), nullptr);
        const unsigned char* pixel = d.row.data();
        for (int x = 0; x < d.width; ++x, pixel += d.inChannels) {
            const int bx = x / d.factor;
            ++d.counts[bx];
            unsigned* sum = &d.sums[size_t(bx) * d.outChannels];
            for (int c = 0; c < d.outChannels; ++c) sum[c] += OverWhite(pixel, c, alpha, alphaIndex);
        }
        if ((y + 1) % d.factor == 0 || y + 1 == d.height) EmitRow(d, y / d.factor);
        if (y % 64 == 63) {
            if (d.reading->Cancelled && d.reading->Cancelled()) return false;
            if (d.reading->Progress) d.reading->Progress(int((y + 1) * 100LL / d.height));
        }
    }
    return true;
}

// Reads the header and sets up the expansion; false on damage or when the
// file is interlaced.
bool ReadHeader(TDecode& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_read_info(d.png, d.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(d.png, d.info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (interlace != PNG_INTERLACE_NONE || width == 0 || height == 0) return false;
    png_set_strip_16(d.png);
    png_set_packing(d.png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(d.png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(d.png);
    if (png_get_valid(d.png, d.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(d.png);
    png_read_update_info(d.png, d.info);
    d.width = int(width);
    d.height = int(height);
    d.inChannels = png_get_channels(d.png, d.info);
    return d.inChannels >= 1 && d.inChannels <= 4 && png_get_rowbytes(d.png, d.info) == size_t(width) * d.inChannels;
}

} // namespace

std::optional<QImage> ReadPngReduced(const QByteArray& data, int factor, const TPngReading& reading) {
    if (factor < 1) return std::nullopt;
    TMemoryInput input{reinterpret_cast<const unsigned char*>(data.constData()), size_t(data.size()), 0};
    TDecode d;
    d.factor = factor;
    d.reading = &reading;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning);
    if (!d.png) return std::nullopt;
    d.info = png_create_info_struct(d.png);
    struct Release {
        TDecode& d;
        ~Release() { png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr); }
    } release{d};
    if (!d.info) return std::nullopt;
    png_set_read_fn(d.png, &input, ReadFromMemory);
    // The size is checked by the caller before anything large is made.
    png_set_user_limits(d.png, 0x7fffffff, 0x7fffffff);
    if (!ReadHeader(d)) return std::nullopt;
    d.outChannels = d.inChannels <= 2 ? 1 : 3;
    const int outWidth = (d.width + factor - 1) / factor, outHeight = (d.height + factor - 1) / factor;
    QImage image(outWidth, outHeight, d.outChannels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    d.image = &image;
    d.row.resize(size_t(d.width) * d.inChannels);
    d.sums.assign(size_t(outWidth) * d.outChannels, 0u);
    d.counts.assign(size_t(outWidth), 0u);
    if (!DecodeRows(d)) return std::nullopt;
    return image;
}

} // namespace mx
