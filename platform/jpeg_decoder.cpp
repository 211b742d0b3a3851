// JPEG decoding with libjpeg. libjpeg reports fatal errors through a
// callback that must not return; it longjmps back into DecodeHeader or
// DecodePixels, which therefore hold no objects with destructors.
#include "platform/exception.h"
#include "platform/picture.h"

#include <QByteArray>
#include <QString>

#include <csetjmp>

#include <jpeglib.h>

namespace mx {
namespace {

// Bounds the work a hostile progressive file can cause.
constexpr int MaxScans = 1000;

struct Decoder {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
};

Decoder* DecoderOf(j_common_ptr cinfo) { return reinterpret_cast<Decoder*>(cinfo->client_data); }

void ErrorExit(j_common_ptr cinfo) { std::longjmp(DecoderOf(cinfo)->jump, 1); }

// Warnings (premature end of data, corrupt segments) count as errors: the
// picture would otherwise be shown half grey.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) ErrorExit(cinfo);
}

void ProgressMonitor(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxScans)
        ErrorExit(cinfo);
}

// Creating the decompressor can fail too, so it happens under the jump.
bool DecodeHeader(Decoder& d, const unsigned char* data, unsigned long size) {
    if (setjmp(d.jump)) return false;
    jpeg_create_decompress(&d.cinfo);
    d.progress.progress_monitor = ProgressMonitor;
    d.cinfo.progress = &d.progress;
    jpeg_mem_src(&d.cinfo, data, size);
    jpeg_read_header(&d.cinfo, TRUE);
    d.cinfo.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&d.cinfo);
    return true;
}

bool DecodePixels(Decoder& d, uchar* bits, qsizetype bytesPerLine) {
    if (setjmp(d.jump)) return false;
    jpeg_start_decompress(&d.cinfo);
    if (d.cinfo.output_components != 3) return false;
    JSAMPARRAY row = (*d.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.cinfo), JPOOL_IMAGE,
                                                  d.cinfo.output_width * 3, 1);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        uchar* out = bits + bytesPerLine * d.cinfo.output_scanline;
        if (jpeg_read_scanlines(&d.cinfo, row, 1) != 1) return false;
        const JSAMPLE* in = row[0];
        auto* pixel = reinterpret_cast<QRgb*>(out);
        for (JDIMENSION x = 0; x < d.cinfo.output_width; ++x, in += 3) pixel[x] = qRgb(in[0], in[1], in[2]);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

struct DecoderGuard {
    Decoder& d;
    ~DecoderGuard() { jpeg_destroy_decompress(&d.cinfo); }
};

[[noreturn]] void Fail(const char* detail) {
    throw EInvalidGraphic(QStringLiteral("Ungültiges JPEG-Bild: %1").arg(QString::fromUtf8(detail)));
}

} // namespace

TPicture TPicture::FromJpegData(const QByteArray& data) {
    if (data.isEmpty()) Fail("keine Daten");
    Decoder d{};
    d.cinfo.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = ErrorExit;
    d.errors.emit_message = EmitMessage;
    d.cinfo.client_data = &d;
    DecoderGuard guard{d}; // safe on a decompressor never created: it is zeroed

    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    if (!DecodeHeader(d, bytes, static_cast<unsigned long>(data.size()))) Fail("fehlerhafte Daten");
    if (!SizeAcceptable(d.cinfo.output_width, d.cinfo.output_height)) Fail("Bildgröße");
    QImage image(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height), QImage::Format_RGB32);
    if (image.isNull()) Fail("kein Speicher");
    if (!DecodePixels(d, image.bits(), image.bytesPerLine())) Fail("fehlerhafte Daten");
    return TPicture(std::move(image));
}

} // namespace mx
