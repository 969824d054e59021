#include "tracklistwriter.h"

#include "textterms.h"

namespace tapewright {

namespace {

// Appends an element's text. Lines are cut only at CR LF, so a lone CR or LF can sit inside a
// field (a file with mixed line ends, a paste); written as it is, it would break the element
// over two lines of a document that readers take line by line. A blank stands in for it, as
// in the notes.
void appendOnOneLine(QString &out, QStringView text)
{
    const qsizetype from = out.size();
    out.append(text);
    for (const char16_t c : {u'\r', u'\n'}) {
        for (qsizetype i = FindChar(text, 0, c); i >= 0; i = FindChar(text, i + 1, c))
            out[from + i] = u' ';
    }
}

void appendLine(QString &out, QStringView line)
{
    appendOnOneLine(out, line);
    out.append(u"\r\n");
}

void appendIfFound(QString &out, const QString &element)
{
    if (!element.isEmpty())
        appendLine(out, element);
}

} // namespace

QString WriteTrackList(const ShowFields &fields, const DiscSet &discs)
{
    QString out;
    qsizetype estimate = 256;
    for (const auto &list : discs.Tracks)
        estimate += qMin<qsizetype>(list.size(), MaxWrittenTracksPerDisc) * 80;
    out.reserve(estimate + fields.Notes.Element.size() + fields.Source.Element.size());

    appendLine(out, u"<?xml version=\"1.0\"?>");
    appendLine(out, u"<CDR_Track_List>");
    appendIfFound(out, fields.Band.Element);
    if (!fields.Date.Element.isEmpty()) {
        appendLine(out, fields.Date.Element);
        appendLine(out, fields.Date.SecondElement);
    }
    appendIfFound(out, fields.Venue.Element);
    appendIfFound(out, fields.City.Element);
    appendIfFound(out, fields.State.Element);
    appendIfFound(out, fields.Source.Element);

    appendLine(out, QStringLiteral("<DISCS>") + QString::number(discs.DiscCount) +
                        QStringLiteral("</DISCS>"));
    for (int n = 1; n <= discs.DiscCount; ++n) {
        const QString d = QString::number(n);
        const qsizetype count = n <= MaxDiscs ? discs.Tracks[n - 1].size() : 0;
        appendLine(out, QStringLiteral("<TRACKSD") + d + u'>' + QString::number(count) +
                            QStringLiteral("</TRACKSD") + d + u'>');
    }
    for (int n = 1; n <= qMin(discs.DiscCount, MaxDiscs); ++n) {
        const auto &list = discs.Tracks[n - 1];
        const qsizetype written = qMin<qsizetype>(list.size(), MaxWrittenTracksPerDisc);
        for (qsizetype t = 0; t < written; ++t) {
            appendOnOneLine(out, list[t].TitleElement);
            appendLine(out, list[t].TimeElement);
        }
    }
    appendIfFound(out, fields.Notes.Element);
    out.append(u"</CDR_Track_List>");
    return out;
}

} // namespace tapewright
