// Smart recognition on any text: no crash, no hang, and a document of the right shape for any
// number of discs.
//
// The first input byte chooses how the rest is read: raw UTF-16 units, or text assembled from
// info-text-like pieces (headings, numbered and run-on tracks, dates, places, keyword lines,
// checksums, times and marks), which reaches deep paths much sooner than random characters do.
#include "recogniseinfotext.h"

#include <QLocale>
#include <QStringList>

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

QString fromPieces(const uint8_t *data, size_t size)
{
    static const std::array<const char16_t *, 48> pieces = {
        u"Bob Dylan",
        u"Disc 1",
        u"CD2",
        u"Disk Two",
        u"d1t01 ",
        u"D3 58:46",
        u"set 1:",
        u"(encore)",
        u"***Filler***",
        u"1. ",
        u"2) ",
        u"3 - ",
        u"01 ",
        u"101 ",
        u", 2 ",
        u" 3. ",
        u"Song",
        u"(5:32)",
        u"[1:02:33]",
        u"4:35.50",
        u" > ",
        u"->",
        u"*",
        u"#",
        u"//",
        u"(1)",
        u"(missing)",
        u"; bonus",
        u"May 21, 2008",
        u"07-02-22",
        u"19 July 1987",
        u"Halifax, NS",
        u"Metro Centre",
        u"Venue: ",
        u"Date: ",
        u"Source: SBD > DAT",
        u"Notes:",
        u"=== info.txt",
        u"=====",
        u"http://x.org",
        u"dfdaa9d4c754c56efd7aa956853ee421 *Disc 1\\D1 Track01.flac",
        u"01.flac:4c58b97712e855a6fc943b986b9273de",
        u"Dylan & Dead",
        u"tour with Grateful Dead",
        u"\t",
        u"  ",
        u"\r\n",
        u"\n",
    };
    QString text;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b < pieces.size() * 4)
            text += QString::fromUtf16(pieces[b % pieces.size()]);
        else
            text += QChar(b < 0xF0 ? char16_t(u'0' + b % 10) : char16_t(0xDF + b % 3)); // digits, ß
    }
    return text;
}

// The number between open and the next "<" after it, or -1.
int numberAfter(const QString &xml, QStringView open, qsizetype from = 0)
{
    const qsizetype at = xml.indexOf(open, from);
    if (at < 0)
        return -1;
    bool ok = false;
    const int n = QStringView(xml).sliced(at + open.size()).split(u'<').first().toInt(&ok);
    return ok ? n : -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool structured = data[0] & 1;
    QString text;
    if (structured)
        text = fromPieces(data + 1, size - 1);
    else
        text = QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 1), (size - 1) / 2);

    static const std::array<QLocale, 3> locales = {
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::Japanese, QLocale::Japan),
    };
    ConvertOptions options;
    options.locale = locales[(data[0] >> 1) % locales.size()];

    const QString xml = RecogniseInfoText(text, options);
    if (xml.isEmpty()) {
        for (QChar c : text)
            check(c.isSpace());
        return 0;
    }
    check(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>"));
    check(xml.endsWith(u"\r\n</CDR_Track_List>"));
    check(RecogniseInfoText(text, options) == xml);

    // One element per line; the counts and the written tracks agree, for every disc.
    for (const QStringView line : QStringView(xml).split(u"\r\n"))
        check(!line.contains(u'\r') && !line.contains(u'\n'));
    const int discs = numberAfter(xml, u"\r\n<DISCS>");
    check(discs >= 0);
    check(numberAfter(xml, QStringLiteral("\r\n<TRACKSD%1>").arg(discs + 1)) < 0);
    for (int d = 1; d <= discs; ++d) {
        const int count = numberAfter(xml, QStringLiteral("\r\n<TRACKSD%1>").arg(d));
        check(count >= 0);
        const QString stem = QStringLiteral("\r\n<D%1T").arg(d);
        int written = 0;
        for (qsizetype at = xml.indexOf(stem); at >= 0; at = xml.indexOf(stem, at + 1))
            ++written;
        check(written == qMin(count, 50));
    }
    return 0;
}
