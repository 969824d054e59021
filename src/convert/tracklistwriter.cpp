#include "tracklistwriter.h"

#include "textterms.h"

namespace tapewright {

namespace {

class Writer
{
public:
    Writer(qsizetype reserve, bool mayHoldLineBreaks) : m_breaks(mayHoldLineBreaks)
    {
        m_out.reserve(reserve);
    }

    // Appends an element's text. Lines are cut only at CR LF, so a lone CR or LF can sit inside
    // a field (a file with mixed line ends, a paste); written as it is, it would break the
    // element over two lines of a document that readers take line by line. A blank stands in
    // for it, as in the notes.
    void text(QStringView text)
    {
        const qsizetype from = m_out.size();
        m_out.append(text);
        if (!m_breaks)
            return;
        for (const char16_t c : {u'\r', u'\n'}) {
            for (qsizetype i = FindChar(text, 0, c); i >= 0; i = FindChar(text, i + 1, c))
                m_out[from + i] = u' ';
        }
    }

    void line(QStringView line)
    {
        text(line);
        m_out.append(u"\r\n");
    }

    void lineIfFound(const QString &element)
    {
        if (!element.isEmpty())
            line(element);
    }

    QString finish()
    {
        m_out.append(u"</CDR_Track_List>");
        return std::move(m_out);
    }

private:
    QString m_out;
    bool m_breaks;
};

// The document around the discs; countOf(n) and tracksOf(n) give disc n's count and records.
template <class CountOf, class TracksOf>
QString writeDocument(const ShowFields &fields, int discCount, qsizetype estimate,
                      bool fieldsMayHoldLineBreaks, CountOf countOf, TracksOf tracksOf)
{
    Writer w(estimate + fields.Notes.Element.size() + fields.Source.Element.size(),
             fieldsMayHoldLineBreaks);

    w.line(u"<?xml version=\"1.0\"?>");
    w.line(u"<CDR_Track_List>");
    w.lineIfFound(fields.Band.Element);
    if (!fields.Date.Element.isEmpty()) {
        w.line(fields.Date.Element);
        w.line(fields.Date.SecondElement);
    }
    w.lineIfFound(fields.Venue.Element);
    w.lineIfFound(fields.City.Element);
    w.lineIfFound(fields.State.Element);
    w.lineIfFound(fields.Source.Element);

    w.line(QStringLiteral("<DISCS>") + QString::number(discCount) + QStringLiteral("</DISCS>"));
    for (int n = 1; n <= discCount; ++n) {
        const QString d = QString::number(n);
        w.line(QStringLiteral("<TRACKSD") + d + u'>' + QString::number(countOf(n)) +
               QStringLiteral("</TRACKSD") + d + u'>');
    }
    for (int n = 1; n <= discCount; ++n) {
        const QList<TrackRec> *list = tracksOf(n);
        if (!list)
            continue;
        const qsizetype written = qMin<qsizetype>(list->size(), MaxWrittenTracksPerDisc);
        for (qsizetype t = 0; t < written; ++t) {
            w.text((*list)[t].TitleElement);
            w.line((*list)[t].TimeElement);
        }
    }
    w.lineIfFound(fields.Notes.Element);
    return w.finish();
}

qsizetype trackEstimate(qsizetype tracks)
{
    return 256 + tracks * 80;
}

} // namespace

QString WriteTrackList(const ShowFields &fields, const DiscSet &discs, bool fieldsMayHoldLineBreaks)
{
    qsizetype tracks = 0;
    for (const auto &list : discs.Tracks)
        tracks += qMin<qsizetype>(list.size(), MaxWrittenTracksPerDisc);
    return writeDocument(
        fields, discs.DiscCount, trackEstimate(tracks), fieldsMayHoldLineBreaks,
        [&](int n) { return n <= MaxDiscs ? discs.Tracks[n - 1].size() : 0; },
        [&](int n) { return n <= MaxDiscs ? &discs.Tracks[n - 1] : nullptr; });
}

QString WriteTrackList(const ShowFields &fields, const QList<QList<TrackRec>> &discs,
                       bool fieldsMayHoldLineBreaks)
{
    qsizetype tracks = 0;
    for (const auto &list : discs)
        tracks += qMin<qsizetype>(list.size(), MaxWrittenTracksPerDisc);
    return writeDocument(
        fields, int(discs.size()), trackEstimate(tracks), fieldsMayHoldLineBreaks,
        [&](int n) { return discs[n - 1].size(); }, [&](int n) { return &discs[n - 1]; });
}

} // namespace tapewright
