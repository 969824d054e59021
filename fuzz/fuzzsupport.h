// What the fuzz targets share: failing loudly, reading an info text out of the fuzzer's bytes, and
// the shape every track list document has.
#pragma once

#include "convert/convertinfotext.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

namespace tapewright::fuzz {

// A broken promise of the code under test: libFuzzer keeps the input that made it.
inline void check(bool ok)
{
    if (!ok)
        std::abort();
}

struct InfoTextInput
{
    QString text;
    ConvertOptions options;
};

// The first byte chooses the locale and how the rest is read: raw UTF-16 units, or text assembled
// from pieces, one per byte (bytes past the pieces give digits and ß), which reaches deep paths
// much sooner than random characters do. Nothing for an empty input.
inline std::optional<InfoTextInput> ReadInfoTextInput(const uint8_t *data, size_t size,
                                                      std::span<const char16_t *const> pieces)
{
    if (size == 0)
        return std::nullopt;
    InfoTextInput in;
    if (data[0] & 1) {
        for (size_t i = 1; i < size; ++i) {
            const uint8_t b = data[i];
            if (b < pieces.size() * 4)
                in.text += QString::fromUtf16(pieces[b % pieces.size()]);
            else
                in.text += QChar(b < 0xF0 ? char16_t(u'0' + b % 10) : char16_t(0xDF + b % 3));
        }
    } else {
        in.text = QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 1), (size - 1) / 2);
    }
    static const std::array<QLocale, 3> locales = {
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::Japanese, QLocale::Japan),
    };
    in.options.locale = locales[(data[0] >> 1) % locales.size()];
    return in;
}

// The number between open and the next "<" after it, or -1.
inline int NumberAfter(QStringView xml, QStringView open)
{
    const qsizetype at = xml.indexOf(open);
    if (at < 0)
        return -1;
    bool ok = false;
    const int n = xml.sliced(at + open.size()).split(u'<').first().toInt(&ok);
    return ok ? n : -1;
}

// A track list document: one element per line and no control character in it, at most mostDiscs
// discs, a count for each disc and none past them, and as many track lines as each count says, at
// most 50.
inline void CheckTrackListShape(QStringView xml, int mostDiscs)
{
    check(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"));
    check(xml.endsWith(u"\r\n</CDR_Track_List>"));
    // No control character (a line break included) and no line or paragraph separator in a line.
    for (const QStringView line : xml.split(u"\r\n")) {
        for (const QChar c : line)
            check(c.unicode() >= 0x20 && (c.unicode() < 0x7F || c.unicode() > 0x9F) &&
                  c.unicode() != 0x2028 && c.unicode() != 0x2029);
    }
    const int discs = NumberAfter(xml, u"\r\n<DISCS>");
    check(discs >= 0 && discs <= mostDiscs);
    check(NumberAfter(xml, QStringLiteral("\r\n<TRACKSD%1>").arg(discs + 1)) < 0);
    for (int d = 1; d <= discs; ++d) {
        const int count = NumberAfter(xml, QStringLiteral("\r\n<TRACKSD%1>").arg(d));
        check(count >= 0);
        const QString stem = QStringLiteral("\r\n<D%1T").arg(d);
        int written = 0;
        for (qsizetype at = xml.indexOf(stem); at >= 0; at = xml.indexOf(stem, at + 1))
            ++written;
        check(written == qMin(count, 50));
    }
}

} // namespace tapewright::fuzz
