// The info text cut into lines, the shape every recogniser of the converter reads.
#pragma once

#include "convert/textterms.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace tapewright {

class InfoLines
{
public:
    // Tabs become blanks; the text is cut at each CR LF and every line is trimmed of blanks.
    // Characters after the last CR LF form no line: a line still being typed is ignored.
    // The lines are views into the text, which is shared with infoText unless it holds tabs.
    static InfoLines cut(const QString &infoText);

    qsizetype count() const { return qsizetype(m_spans.size()); }
    // 1-based, as the lines of an info text are numbered.
    QStringView line(qsizetype n) const
    {
        const Span &sp = m_spans[size_t(n - 1)];
        return QStringView(m_text.constData() + sp.start, sp.length);
    }
    // Line n lower-cased one-to-one into buffer. Lines are lower-cased as they are read rather
    // than all at once, which would double the memory a long text takes.
    QStringView lower(qsizetype n, UnitBuffer &buffer) const { return LowerCased(line(n), buffer); }

    // The text the lines are views into.
    const QString &text() const { return m_text; }

private:
    struct Span
    {
        qsizetype start;
        qsizetype length;
    };

    QString m_text; // tabs already blanks
    std::vector<Span> m_spans;
};

} // namespace tapewright
