// GetTagValue on any tag and text: no crash, and the indexed reads of TagText give exactly the
// same answers as the plain search.
//
// Input: the first byte is the tag's length n in UTF-8 bytes, the next n bytes the tag, the
// rest the text. Besides the tag itself, the text is asked for the tags of a track list.
#include "cover/fill/tagreader.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
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

void compare(const TagText &indexed, QStringView tag, const QString &text)
{
    const QString value = GetTagValue(tag, text);
    check(indexed.value(tag) == value);
    // The value is a piece of the text, right after the tag in some letter case.
    check(value.isEmpty() || text.contains(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t tagSize = std::min<size_t>(data[0], size - 1);
    const QString tag =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(tagSize));
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1 + tagSize),
                                           qsizetype(size - 1 - tagSize));
    const TagText indexed(text);
    compare(indexed, tag, text);
    static const std::array<QStringView, 10> tags = {
        u"<band>",  u"<DATE>", u"<discs>", u"<tracksd1>", u"<d1t01>",
        u"<D4T50>", u"<",      u">",       u"<>",         u"<a<b>"};
    for (QStringView t : tags)
        compare(indexed, t, text);
    return 0;
}
