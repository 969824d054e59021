// The info text cut into lines, the shape every recogniser of the converter reads.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace tapewright {

class InfoLines
{
public:
    // Tabs become blanks; the text is cut at each CR LF and every line is trimmed of blanks.
    // Characters after the last CR LF form no line: a line still being typed is ignored.
    static InfoLines cut(QStringView infoText);

    qsizetype count() const { return m_spans.size(); }
    // 1-based, as the lines of an info text are numbered.
    QStringView line(qsizetype n) const { return span(m_text, n); }
    // The same line lower-cased one-to-one. The whole text is lower-cased once per conversion
    // so that no field search repeats it.
    QStringView lower(qsizetype n) const { return span(m_lower, n); }

    // Whether some line holds a lone CR or LF (lines are cut only at CR LF pairs).
    bool hasLoneLineBreaks() const { return m_loneLineBreaks; }

private:
    struct Span
    {
        qsizetype start;
        qsizetype length;
    };
    QStringView span(const QString &s, qsizetype n) const
    {
        const Span &sp = m_spans[n - 1];
        return QStringView(s).sliced(sp.start, sp.length);
    }

    QString m_text;  // tabs already blanks
    QString m_lower; // m_text lower-cased, same positions
    QList<Span> m_spans;
    bool m_loneLineBreaks = false;
};

} // namespace tapewright
