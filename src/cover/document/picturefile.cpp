#include "cover/document/picturefile.h"

#include "common/regularfile.h"
#include "common/textfile.h"

#include <QFile>

#include <array>
#include <cstdint>

namespace tapewright {

namespace {

const QString CutShort = QStringLiteral("it is damaged (it is cut short)");

quint32 BigEndian32(QByteArrayView b, qsizetype at)
{
    return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16 |
           quint32(quint8(b[at + 2])) << 8 | quint32(quint8(b[at + 3]));
}

int BigEndian16(QByteArrayView b, qsizetype at)
{
    return int(quint8(b[at])) << 8 | int(quint8(b[at + 1]));
}

// The CRC-32 of PNG chunks (and of zip and gzip), with its table built at compile time.
constexpr std::array<quint32, 256> CrcTable = [] {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

quint32 Crc32(QByteArrayView bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = CrcTable[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

Result<PictureInfo> CheckedSize(PictureType type, quint32 width, quint32 height)
{
    if (width == 0 || height == 0)
        return Failure{QStringLiteral("it is damaged (it has no width or no height)")};
    if (width > quint32(MaxPictureSide) || height > quint32(MaxPictureSide))
        return Failure{QStringLiteral("it is %1 × %2 pixels, larger than the %3 pixels a side a "
                                      "cover's picture may have")
                           .arg(width)
                           .arg(height)
                           .arg(MaxPictureSide)};
    return PictureInfo{type, int(width), int(height)};
}

// The header (13 bytes of IHDR, the first chunk), then every chunk up to IEND with its
// checksum: a file cut short or changed on the way shows a broken picture in the cover.
Result<PictureInfo> ReadPng(QByteArrayView b)
{
    const QString badHeader = QStringLiteral("it is damaged (its header is invalid)");
    if (b.size() < 8 + 8 + 13 + 4)
        return Failure{CutShort};
    if (BigEndian32(b, 8) != 13 || b.sliced(12, 4) != "IHDR")
        return Failure{badHeader};
    const int depth = quint8(b[24]);
    const int colour = quint8(b[25]);
    const bool known = (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16) &&
                       (colour == 0 || colour == 2 || colour == 3 || colour == 4 || colour == 6);
    if (!known || b[26] != 0 || b[27] != 0 || quint8(b[28]) > 1)
        return Failure{badHeader};
    const Result<PictureInfo> info =
        CheckedSize(PictureType::Png, BigEndian32(b, 16), BigEndian32(b, 20));
    if (!info)
        return info;
    bool imageData = false;
    for (qsizetype at = 8;;) {
        if (b.size() - at < 12)
            return Failure{CutShort};
        const quint32 length = BigEndian32(b, at);
        if (length > quint32(b.size() - at - 12))
            return Failure{CutShort};
        const QByteArrayView type = b.sliced(at + 4, 4);
        if (Crc32(b.sliced(at + 4, 4 + qsizetype(length))) !=
            BigEndian32(b, at + 8 + qsizetype(length)))
            return Failure{QStringLiteral("it is damaged (a checksum does not match)")};
        if (type == "IDAT")
            imageData = true;
        if (type == "IEND")
            break;
        at += 12 + qsizetype(length);
    }
    if (!imageData)
        return Failure{QStringLiteral("it is damaged (it holds no image data)")};
    return info;
}

// The segments up to the frame header (SOF), which holds the size, then the end marker.
Result<PictureInfo> ReadJpeg(QByteArrayView b)
{
    const QString noFrame = QStringLiteral("it is damaged (it has no frame header)");
    for (qsizetype at = 2;;) {
        if (at >= b.size())
            return Failure{CutShort};
        if (quint8(b[at]) != 0xFF)
            return Failure{QStringLiteral("it is damaged (a marker is missing)")};
        while (at < b.size() && quint8(b[at]) == 0xFF) // fill bytes before a marker
            ++at;
        if (at >= b.size())
            return Failure{CutShort};
        const int marker = quint8(b[at++]);
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue; // markers without a segment
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return Failure{noFrame}; // the image data, or its end, before its size
        if (b.size() - at < 2)
            return Failure{CutShort};
        const int length = BigEndian16(b, at);
        if (length < 2)
            return Failure{QStringLiteral("it is damaged (a segment is invalid)")};
        if (length > b.size() - at)
            return Failure{CutShort};
        // SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC).
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            at += length;
            continue;
        }
        if (length < 8)
            return Failure{QStringLiteral("it is damaged (its frame header is invalid)")};
        const int components = quint8(b[at + 7]);
        if (components < 1 || components > 4 || length != 8 + 3 * components)
            return Failure{QStringLiteral("it is damaged (its frame header is invalid)")};
        // Word and many viewers show baseline and progressive JPEGs in 8 bits only.
        if (marker > 0xC2 || quint8(b[at + 2]) != 8)
            return Failure{QStringLiteral("it is a lossless, arithmetic-coded or 12-bit JPEG, "
                                          "which word processors do not show; save it as an "
                                          "ordinary JPEG")};
        const Result<PictureInfo> info = CheckedSize(
            PictureType::Jpeg, quint32(BigEndian16(b, at + 5)), quint32(BigEndian16(b, at + 3)));
        if (!info)
            return info;
        // The image data stuff every 0xFF they hold, so the end marker after the frame header
        // is the image's own. Some writers add bytes after it.
        if (b.sliced(at + length).lastIndexOf(QByteArrayView("\xFF\xD9", 2)) < 0)
            return Failure{CutShort};
        return info;
    }
}

struct Signature
{
    QByteArrayView magic;
    qsizetype at;
    const char *name;
};

// Pictures users may have at hand, named when they are not PNG or JPEG.
const Signature Others[] = {
    {"GIF8", 0, "a GIF picture"},
    {"BM", 0, "a BMP picture"},
    {"WEBP", 8, "a WebP picture"},
    {"II*", 0, "a TIFF picture"},
    {QByteArrayView("MM\0*", 4), 0, "a TIFF picture"},
    {"ftypheic", 4, "a HEIC picture"},
    {"ftypavif", 4, "an AVIF picture"},
    {"%PDF", 0, "a PDF document"},
    {"<svg", 0, "an SVG drawing"},
};

} // namespace

Result<PictureInfo> ReadPictureHeader(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return Failure{QStringLiteral("it is empty")};
    if (bytes.startsWith(QByteArrayView("\x89PNG\r\n\x1A\n", 8)))
        return ReadPng(bytes);
    if (bytes.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
        return ReadJpeg(bytes);
    for (const Signature &s : Others) {
        if (bytes.size() >= s.at + s.magic.size() && bytes.sliced(s.at).startsWith(s.magic))
            return Failure{QStringLiteral("it is %1; a cover takes PNG or JPEG pictures")
                               .arg(QLatin1String(s.name))};
    }
    return Failure{QStringLiteral("it is no PNG or JPEG picture")};
}

Result<Picture> ReadPictureFile(const QString &path)
{
    const auto failure = [&path](const QString &reason) {
        return Failure{
            QStringLiteral("Cannot use the picture %1: %2.").arg(QuotedPath(path), reason)};
    };
    QFile f(path);
    if (const Result<void> opened = OpenRegularFile(f); !opened)
        return failure(opened.error());
    const QString tooLarge =
        QStringLiteral("it is larger than %1 MiB").arg(MaxPictureFileSize / (1024 * 1024));
    if (f.size() > MaxPictureFileSize)
        return failure(tooLarge);
    Picture picture;
    picture.bytes = ReadAtMost(f, MaxPictureFileSize);
    if (f.error() != QFileDevice::NoError)
        return failure(QStringLiteral("it cannot be read (%1)").arg(f.errorString()));
    if (picture.bytes.size() > MaxPictureFileSize) // grew since its size was asked
        return failure(tooLarge);
    const Result<PictureInfo> info = ReadPictureHeader(picture.bytes);
    if (!info)
        return failure(info.error());
    picture.info = *info;
    return picture;
}

const char *PictureMediaType(PictureType type)
{
    return type == PictureType::Png ? "image/png" : "image/jpeg";
}

const char *PictureExtension(PictureType type)
{
    return type == PictureType::Png ? "png" : "jpg";
}

} // namespace tapewright
