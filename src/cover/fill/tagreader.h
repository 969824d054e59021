// Reading one field of the track list XML by its tag. The document is never parsed as a tree:
// it is not always well-formed (element texts are written unescaped), so every field is found by
// plain text search, in any letter case.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace tapewright {

// The text between the first occurrence of the opening tag tag (such as "<band>", in any letter
// case) and the next occurrence of its closing tag ("</BAND>"), in the text's own case; empty
// when either is missing. Nothing is trimmed or decoded, and inner markup is kept.
QString GetTagValue(QStringView tag, QStringView text);

// The same reads, with the same results, for a caller that asks one text for many tags. The
// cover filler asks for every track of every counted disc, and the counts come from the text
// itself: with a plain search per tag, a hand-edited count of thousands would scan the whole
// text thousands of times. Here the text is upper-cased and its tags indexed once.
class TagText
{
public:
    explicit TagText(const QString &text);
    TagText(const TagText &) = delete;
    TagText &operator=(const TagText &) = delete;

    QString value(QStringView tag) const;
    // The same value as a view into the text, valid as long as this object: for values that are
    // only joined or measured, each of which may be as long as the whole text.
    QStringView view(QStringView tag) const;

private:
    QString m_text;
    QString m_upper;
    // Every "<name>" of the upper-cased text whose name holds no angle bracket, by name (a view
    // into m_upper), with the positions of its "<" in ascending order.
    QHash<QStringView, QList<qsizetype>> m_tags;
};

} // namespace tapewright
