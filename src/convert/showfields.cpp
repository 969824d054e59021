#include "showfields.h"

#include "textterms.h"

namespace tapewright {

namespace {

// "date" rules a line out although "dat" is a source word: "transfer date 1999" is no lineage.
//
// One pass over the line, looking at each position for the words that can start with its
// character: the same answer as testing each word with Contains, without a dozen searches per
// line on the converter's hottest path.
bool hasSourceWord(QStringView w, bool withSdb)
{
    bool found = false;
    const qsizetype n = w.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QStringView at = w.sliced(i);
        switch (w[i].unicode()) {
        case u'd':
            if (BeginsWith(at, u"date"))
                return false;
            found = found || BeginsWith(at, u"dat") || BeginsWith(at, u"dae");
            break;
        case u's':
            found = found || BeginsWith(at, u"sbd") || BeginsWith(at, u"shn") ||
                    BeginsWith(at, u"source") || (withSdb && BeginsWith(at, u"sdb"));
            break;
        case u'a':
            found = found || BeginsWith(at, u"aud");
            break;
        case u'l':
            found = found || BeginsWith(at, u"lineage");
            break;
        case u'c':
            found = found || BeginsWith(at, u"cda") || BeginsWith(at, u"cdr");
            break;
        case u'g':
            found = found || BeginsWith(at, u"genealogy");
            break;
        default:
            break;
        }
    }
    return found;
}

HeaderField findByPrefix(const InfoLines &lines, QStringView keyword, QStringView open,
                         QStringView close)
{
    HeaderField f;
    for (qsizetype n = 1; n <= lines.count(); ++n) {
        if (!BeginsWith(lines.lower(n), keyword))
            continue;
        f.Element = open.toString() + Trimmed(RestAfter(lines.line(n), keyword.size())).toString() +
                    close.toString();
        f.LineNo = int(n);
        f.Found = true;
        break;
    }
    return f;
}

// Deletes every occurrence of "notes" in any letter case, left to right, in one pass.
QString removeNotesWord(const QString &text)
{
    const QString lower = LowerCased(text);
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = lower.indexOf(u"notes"); at >= 0; at = lower.indexOf(u"notes", from)) {
        out.append(QStringView(text).sliced(from, at - from));
        from = at + 5;
    }
    out.append(QStringView(text).sliced(from));
    return out;
}

// Stored lines hold no CR LF, but a lone CR or LF typed into a pane survives the cut.
QString blanksForLineBreaks(QStringView line)
{
    QString w = line.toString();
    return w.replace(u'\r', u' ').replace(u'\n', u' ');
}

} // namespace

HeaderField FindSource(const InfoLines &lines)
{
    HeaderField f;
    for (qsizetype n = 1; n <= lines.count(); ++n) {
        if (!hasSourceWord(lines.lower(n), true))
            continue;
        QString text = lines.line(n).toString();
        // The one line after the source line may continue it (a lineage line, say).
        if (n < lines.count() && hasSourceWord(lines.lower(n + 1), false))
            text += lines.lower(n + 1);
        f.Element = QStringLiteral("<SOURCE>") + text + QStringLiteral("</SOURCE>");
        f.LineNo = int(n);
        f.Found = true;
        break;
    }
    return f;
}

HeaderField FindBand(const InfoLines &lines)
{
    HeaderField f = findByPrefix(lines, u"band", u"<BAND>", u"</BAND>");
    if (f.Found)
        return f;
    f.LineNo = 1;
    f.Found = true;
    if (Contains(lines.lower(1), u"grateful dead"))
        f.Element = QStringLiteral("<BAND>Grateful Dead</BAND>");
    else
        f.Element = QStringLiteral("<BAND>") + lines.line(1).toString() + QStringLiteral("</BAND>");
    return f;
}

HeaderField FindVenue(const InfoLines &lines)
{
    return findByPrefix(lines, u"venue", u"<VENUE>", u"</VENUE>");
}

HeaderField FindCity(const InfoLines &lines)
{
    return findByPrefix(lines, u"city", u"<CITY>", u"</CITY>");
}

HeaderField FindState(const InfoLines &lines)
{
    return findByPrefix(lines, u"state", u"<STATE>", u"</STATE>");
}

HeaderField FindNotes(const InfoLines &lines)
{
    HeaderField f;
    QString text;
    for (qsizetype n = 1; n <= lines.count(); ++n) {
        if (!f.Found) {
            if (BeginsWith(lines.lower(n), u"notes")) {
                text = blanksForLineBreaks(lines.line(n));
                f.LineNo = int(n);
                f.Found = true;
            }
            continue;
        }
        const QString w = blanksForLineBreaks(lines.line(n));
        if (w.isEmpty())
            break;
        text += w;
        text += u' ';
    }
    if (!f.Found)
        return f;
    const QString element = QStringLiteral("<NOTES>") +
                            removeNotesWord(RestAfter(text, 5).toString()) +
                            QStringLiteral("</NOTES>");
    f.Element = ReplaceAll(element, u"  ", u" ");
    return f;
}

} // namespace tapewright
