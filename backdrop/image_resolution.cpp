#include "backdrop/image_resolution.h"

#include "geometry/sheet_math.h"

#include <QByteArray>
#include <cstdint>

namespace mx {

namespace {

// Bounds-checked reads of unsigned integers; none past the end.
class TBytes {
public:
    TBytes(const QByteArray& data, qsizetype from, qsizetype length, bool bigEndian)
        : data_(data), from_(from), length_(length), bigEndian_(bigEndian) {}
    TBytes(const QByteArray& data, bool bigEndian) : TBytes(data, 0, data.size(), bigEndian) {}

    qsizetype Length() const { return length_; }
    std::optional<std::uint32_t> Get(qsizetype at, int size) const {
        if (at < 0 || size > length_ || at > length_ - size) return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 0; i < size; ++i) {
            const auto byte = std::uint8_t(data_[from_ + at + (bigEndian_ ? i : size - 1 - i)]);
            v = v << 8 | byte;
        }
        return v;
    }
    bool Matches(qsizetype at, const char* text, int size) const {
        return at >= 0 && size <= length_ && at <= length_ - size &&
               data_.mid(from_ + at, size) == QByteArray::fromRawData(text, size);
    }

private:
    const QByteArray& data_;
    qsizetype from_, length_;
    bool bigEndian_;
};

QSizeF FromPixelsPerMetre(double x, double y) { return QSizeF(x, y) * (MmPerInch / 1000); }

std::optional<QSizeF> Positive(const QSizeF& dpi) {
    if (!(dpi.width() > 0) || !(dpi.height() > 0)) return std::nullopt;
    return dpi;
}

std::optional<QSizeF> PngResolution(const QByteArray& data) {
    const TBytes b(data, true);
    // Chunks follow the 8-byte signature; pHYs must come before the image data.
    for (qsizetype at = 8;;) {
        const auto length = b.Get(at, 4);
        if (!length || b.Matches(at + 4, "IDAT", 4) || b.Matches(at + 4, "IEND", 4)) return std::nullopt;
        if (b.Matches(at + 4, "pHYs", 4)) {
            const auto x = b.Get(at + 8, 4), y = b.Get(at + 12, 4), unit = b.Get(at + 16, 1);
            if (*length < 9 || !x || !y || unit != 1u) return std::nullopt;
            return Positive(FromPixelsPerMetre(*x, *y));
        }
        at += 12 + qsizetype(*length);
    }
}

// Resolution of a TIFF structure (a TIFF file or a JPEG's EXIF block),
// from the tags of its first directory.
std::optional<QSizeF> TiffResolution(const QByteArray& data, qsizetype from, qsizetype length) {
    const bool bigEndian = TBytes(data, from, length, false).Matches(0, "MM", 2);
    const TBytes b(data, from, length, bigEndian);
    if (!b.Matches(0, bigEndian ? "MM" : "II", 2) || b.Get(2, 2) != 42u) return std::nullopt;
    const auto ifd = b.Get(4, 4);
    const auto count = ifd ? b.Get(*ifd, 2) : std::nullopt;
    if (!count) return std::nullopt;
    std::optional<double> x, y;
    std::uint32_t unit = 2; // inches when the file names no unit
    for (std::uint32_t i = 0; i < *count; ++i) {
        const qsizetype entry = qsizetype(*ifd) + 2 + 12 * qsizetype(i);
        const auto tag = b.Get(entry, 2), type = b.Get(entry + 2, 2), value = b.Get(entry + 8, 4);
        if (!tag || !type || !value) return std::nullopt;
        if ((*tag == 282 || *tag == 283) && *type == 5) { // RATIONAL, stored at an offset
            const auto num = b.Get(*value, 4), den = b.Get(qsizetype(*value) + 4, 4);
            if (!num || !den || *den == 0) return std::nullopt;
            (*tag == 282 ? x : y) = double(*num) / *den;
        } else if (*tag == 296 && *type == 3) { // SHORT, in the entry itself
            unit = *b.Get(entry + 8, 2);
        }
    }
    if (!x || !y || (unit != 2 && unit != 3)) return std::nullopt;
    const double perInch = unit == 3 ? MmPerInch / 10 : 1;
    return Positive(QSizeF(*x, *y) * perInch);
}

std::optional<QSizeF> JpegResolution(const QByteArray& data) {
    const TBytes b(data, true);
    std::optional<QSizeF> exif;
    // Marker segments up to the start of the scan; the JFIF density wins
    // over EXIF, as in the readers that write both.
    for (qsizetype at = 2;;) {
        const auto marker = b.Get(at, 2), length = b.Get(at + 2, 2);
        if (!marker || !length || (*marker & 0xFF00) != 0xFF00 || *marker == 0xFFDA || *length < 2) return exif;
        const qsizetype body = at + 4;
        if (*marker == 0xFFE0 && b.Matches(body, "JFIF\0", 5)) {
            const auto unit = b.Get(body + 7, 1), x = b.Get(body + 8, 2), y = b.Get(body + 10, 2);
            if (unit && x && y && (*unit == 1 || *unit == 2))
                return Positive(QSizeF(*x, *y) * (*unit == 2 ? MmPerInch / 10 : 1));
        } else if (*marker == 0xFFE1 && !exif && b.Matches(body, "Exif\0\0", 6)) {
            const qsizetype tiff = body + 6, end = at + 2 + qsizetype(*length);
            if (end <= data.size()) exif = TiffResolution(data, tiff, end - tiff);
        }
        at += 2 + qsizetype(*length);
    }
}

std::optional<QSizeF> BmpResolution(const QByteArray& data) {
    const TBytes b(data, false);
    const auto header = b.Get(14, 4), x = b.Get(38, 4), y = b.Get(42, 4);
    if (!header || *header < 40 || !x || !y) return std::nullopt;
    // Signed in the file: a negative figure is no resolution either.
    if (*x > 0x7FFFFFFFu || *y > 0x7FFFFFFFu) return std::nullopt;
    return Positive(FromPixelsPerMetre(*x, *y));
}

} // namespace

std::optional<QSizeF> StoredResolution(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n")) return PngResolution(data);
    if (data.startsWith("\xFF\xD8")) return JpegResolution(data);
    if (data.startsWith("II*") || data.startsWith(QByteArray("MM\0*", 4))) return TiffResolution(data, 0, data.size());
    if (data.startsWith("BM")) return BmpResolution(data);
    return std::nullopt;
}

} // namespace mx
