// The picture a cover may carry on its front: a PNG or JPEG file, read whole within bounds and
// checked from its own structure without decoding it (QtCore only: the command line loads no
// image library). The word processor decodes it; what is checked here is what it needs to show
// it: the type, the size in pixels, and that the file is whole.
#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tapewright {

enum class PictureType
{
    Png,
    Jpeg,
};

struct PictureInfo
{
    PictureType type = PictureType::Png;
    int width = 0; // pixels
    int height = 0;
};

// A cover's picture is a photo or a scan of a ticket, not a poster: files larger than this are
// refused before reading, and so are pictures wider or taller than MaxPictureSide, which a word
// processor would take long to decode and print.
inline constexpr qint64 MaxPictureFileSize = 20 * 1024 * 1024;
inline constexpr int MaxPictureSide = 10000;

// The type and size of the PNG or JPEG picture that bytes hold, or why they hold none a cover can
// carry: the bare reason ("it is a GIF picture; ...", "it is damaged (it is cut short)").
Result<PictureInfo> ReadPictureHeader(QByteArrayView bytes);

struct Picture
{
    QByteArray bytes;
    PictureInfo info;
};

// The file read whole and checked by ReadPictureHeader; a failure names the file and the reason.
Result<Picture> ReadPictureFile(const QString &path);

// "image/png", "image/jpeg"
const char *PictureMediaType(PictureType type);
// "png", "jpg": the extension of the picture's entry in a package.
const char *PictureExtension(PictureType type);

} // namespace tapewright
