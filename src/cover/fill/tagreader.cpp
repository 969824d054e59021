#include "cover/fill/tagreader.h"

#include "convert/textterms.h"

#include <algorithm>

namespace tapewright {

namespace {

// "<BAND>" gives "</BAND>": the slash goes behind the first character, whatever it is.
QString closingTag(const QString &upperTag)
{
    return upperTag.first(1) + u'/' + upperTag.sliced(1);
}

// The name inside "<name>" when tag has that shape and the name holds no angle bracket: only
// such tags can be answered from the index.
bool indexableName(QStringView upperTag, QStringView *name)
{
    if (upperTag.size() < 2 || upperTag.front() != u'<' || upperTag.back() != u'>')
        return false;
    const QStringView inner = upperTag.sliced(1, upperTag.size() - 2);
    if (inner.contains(u'<') || inner.contains(u'>'))
        return false;
    *name = inner;
    return true;
}

} // namespace

QString GetTagValue(QStringView tag, QStringView text)
{
    if (tag.isEmpty())
        return QString();
    const QString open = UpperCased(tag);
    const QString close = closingTag(open);
    // Positions found in the upper-cased copy are used on the text itself; that holds because
    // UpperCased maps every UTF-16 unit to exactly one unit.
    const QString upper = UpperCased(text);
    const qsizetype start = upper.indexOf(open, 0, Qt::CaseSensitive);
    if (start < 0)
        return QString();
    const qsizetype from = start + open.size();
    const qsizetype end = upper.indexOf(close, from, Qt::CaseSensitive);
    if (end < 0)
        return QString();
    return text.sliced(from, end - from).toString();
}

TagText::TagText(const QString &text) : m_text(text), m_upper(UpperCased(text))
{
    // An occurrence of "<name>" (name without angle brackets) always begins at the last "<"
    // before some ">", so one pass pairing each ">" with the latest "<" finds them all.
    qsizetype lastOpen = -1;
    const qsizetype n = m_upper.size();
    const QStringView upper(m_upper);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = upper[i];
        if (c == u'<') {
            lastOpen = i;
        } else if (c == u'>' && lastOpen >= 0) {
            m_tags[upper.sliced(lastOpen + 1, i - lastOpen - 1)].append(lastOpen);
            lastOpen = -1;
        }
    }
}

QString TagText::value(QStringView tag) const
{
    return view(tag).toString();
}

QStringView TagText::view(QStringView tag) const
{
    if (tag.isEmpty())
        return {};
    const QString open = UpperCased(tag);
    const QString close = closingTag(open);
    QStringView name;
    if (!indexableName(open, &name)) {
        // GetTagValue's search, on the text upper-cased once.
        const qsizetype start = m_upper.indexOf(open, 0, Qt::CaseSensitive);
        if (start < 0)
            return {};
        const qsizetype from = start + open.size();
        const qsizetype end = m_upper.indexOf(close, from, Qt::CaseSensitive);
        if (end < 0)
            return {};
        return QStringView(m_text).sliced(from, end - from);
    }

    const auto opens = m_tags.constFind(name);
    if (opens == m_tags.cend())
        return {};
    const qsizetype from = opens->first() + open.size();
    const auto closes = m_tags.constFind(QStringView(close).sliced(1, close.size() - 2));
    if (closes == m_tags.cend())
        return {};
    const auto end = std::lower_bound(closes->cbegin(), closes->cend(), from);
    if (end == closes->cend())
        return {};
    return QStringView(m_text).sliced(from, *end - from);
}

} // namespace tapewright
