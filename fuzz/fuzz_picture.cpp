// ReadPictureHeader on any bytes: no crash, no read past them, and what it accepts is a PNG or
// JPEG of a size a cover can take, of the type its first bytes say.
#include "cover/document/picturefile.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tapewright;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<PictureInfo> info = ReadPictureHeader(bytes);
    if (!info) {
        check(!info.error().isEmpty());
        return 0;
    }
    check(info->width >= 1 && info->width <= MaxPictureSide);
    check(info->height >= 1 && info->height <= MaxPictureSide);
    check(bytes.startsWith(info->type == PictureType::Png ? QByteArrayView("\x89PNG", 4)
                                                          : QByteArrayView("\xFF\xD8\xFF", 3)));
    return 0;
}
