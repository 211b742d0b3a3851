#!/usr/bin/env python3
"""Writes the seeds of fuzz_backdrop into corpus/backdrop/: a two-page PDF
with text and a drawing (one content stream compressed, one page turned),
PNG, BMP and TIFF images with and without a stored resolution, and JPEGs
made by ImageMagick's convert. All of them a few hundred bytes."""
import os
import struct
import subprocess
import zlib

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "backdrop")
os.makedirs(here, exist_ok=True)


def write(name, data):
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)


def pdf():
    page1 = b"0 0 0 rg 20 20 60 40 re f BT /F1 12 Tf 20 80 Td (Muster Rechnung) Tj ET"
    page2 = zlib.compress(b"BT /F1 9 Tf 10 10 Td (zweite Seite Muster) Tj ET 0.5 g 5 5 30 10 re f")
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 120 100] /Contents 5 0 R"
        b" /Resources << /Font << /F1 7 0 R >> >> >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 80 60] /Rotate 90 /Contents 6 0 R"
        b" /Resources << /Font << /F1 7 0 R >> >> >>",
        b"<< /Length %d >>\nstream\n" % len(page1) + page1 + b"\nendstream",
        b"<< /Length %d /Filter /FlateDecode >>\nstream\n" % len(page2) + page2 + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    out = b"%PDF-1.4\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return out


def png(width, height, gray, dpi):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    channels = 1 if gray else 3
    rows = b"".join(b"\0" + bytes((x * 40 + y * 20) % 256 for x in range(width * channels)) for y in range(height))
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0 if gray else 2, 0, 0, 0))
    if dpi:
        ppm = round(dpi / 0.0254)
        out += chunk(b"pHYs", struct.pack(">IIB", ppm, ppm, 1))
    return out + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def bmp(width, height, dpi):
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(bytes((x * 50 + y * 30) % 256 for x in range(width * 3)).ljust(stride, b"\0") for y in range(height))
    ppm = round(dpi / 0.0254) if dpi else 0
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), ppm, ppm, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def tiff(width, height, dpi):
    pixels = bytes((i * 37) % 256 for i in range(width * height * 3))
    entries = [
        (256, 3, 1, width), (257, 3, 1, height), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 2),
        (273, 4, 1, 0), (277, 3, 1, 3), (278, 3, 1, height), (279, 4, 1, len(pixels)),
        (282, 5, 1, 0), (283, 5, 1, 0), (296, 3, 1, 2),
    ]
    if not dpi:
        entries = [e for e in entries if e[0] not in (282, 283, 296)]
    ifd_at = 8
    data_at = ifd_at + 2 + 12 * len(entries) + 4
    rational_at = data_at + len(pixels)
    body = b""
    for tag, kind, count, value in entries:
        if tag == 273:
            value = data_at
        if tag in (282, 283):
            value = rational_at + (0 if tag == 282 else 8)
        packed = struct.pack("<HI", value, 0)[:4] if kind == 3 else struct.pack("<I", value)
        body += struct.pack("<HHI", tag, kind, count) + packed
    out = b"II*\0" + struct.pack("<I", ifd_at) + struct.pack("<H", len(entries)) + body + b"\0\0\0\0" + pixels
    if dpi:
        out += struct.pack("<IIII", dpi, 1, dpi, 1)
    return out


def jpeg(name, *options):
    subprocess.run(["convert", "-size", "16x12", "gradient:white-black", *options, os.path.join(here, name)], check=True)


write("zwei_seiten.pdf", pdf())
write("rgb_300dpi.png", png(8, 6, False, 300))
write("grau_ohne_aufloesung.png", png(5, 7, True, 0))
write("rgb_200dpi.bmp", bmp(4, 3, 200))
write("rgb_ohne_aufloesung.bmp", bmp(3, 5, 0))
write("rgb_150dpi.tif", tiff(4, 3, 150))
write("rgb_ohne_aufloesung.tif", tiff(3, 2, 0))
jpeg("rgb_150dpi.jpg", "-type", "TrueColor", "-units", "PixelsPerInch", "-density", "150", "-strip")
jpeg("grau_progressiv.jpg", "-colorspace", "Gray", "-interlace", "JPEG", "-strip")
