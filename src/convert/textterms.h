// The small text operations the converter is written in. Case changes are one-to-one per UTF-16
// unit (never QString::toLower, which turns "ß" into "ss" and moves every later position), and
// "blank" means U+0020 only.
#pragma once

#include <QString>
#include <QStringView>

namespace tapewright {

QString LowerCased(QStringView s);
QString UpperCased(QStringView s);

// Leading and trailing blanks (U+0020 only) removed.
QStringView Trimmed(QStringView s);

// The text from character n + 1 on; empty when s is not longer than n.
inline QStringView RestAfter(QStringView s, qsizetype n)
{
    return s.size() > n ? s.sliced(n) : QStringView();
}

// Inline on purpose: every field search asks this of every line, and the keywords are short.
inline bool BeginsWith(QStringView s, QStringView w)
{
    if (s.size() < w.size())
        return false;
    const char16_t *a = s.utf16();
    const char16_t *b = w.utf16();
    for (qsizetype i = 0; i < w.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

inline bool Contains(QStringView s, QStringView w)
{
    return s.contains(w, Qt::CaseSensitive);
}

// The position of the first c in text at or after from, or -1. The converter scans nearly every
// line of every conversion for single characters, and on short lines QStringView::indexOf spends
// more on its call than the line costs to read.
qsizetype FindChar(QStringView text, qsizetype from, char16_t c);

// How often c occurs in text.
qsizetype CountChar(QStringView text, char16_t c);

// Every occurrence of a, left to right without overlap, replaced by b; the result is not searched
// again.
QString ReplaceAll(QStringView s, QStringView a, QStringView b);

} // namespace tapewright
