#include "cli/climessages.h"

#include <QRegularExpression>

#include <algorithm>

namespace tapewright::cli {

namespace {

const QString Program = QStringLiteral("tapewright-cli");

// A message starts in lower case after the program's name: "Cannot" becomes "cannot", while a
// name ("LibreOffice", "PDF") keeps its capitals.
QString lowerFirstWord(QString text)
{
    qsizetype end = 1;
    while (end < text.size() && text.at(end).isLetter())
        ++end;
    const QStringView word = QStringView(text).first(end);
    if (!word.isEmpty() && word.front().isUpper() &&
        std::all_of(word.begin() + 1, word.end(), [](QChar c) { return c.isLower(); }))
        text[0] = text.at(0).toLower();
    return text;
}

// The libraries' quotes, “name”, as ours.
QString ourQuotes(QString text)
{
    text.replace(u'\u201C', u'\'');
    text.replace(u'\u201D', u'\'');
    return text;
}

} // namespace

QString quoted(const QString &name)
{
    return u'\'' + name + u'\'';
}

QString fileMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("%1: %2: %3").arg(Program, file, ourQuotes(reason));
}

QString programMessage(const QString &text)
{
    return Program + QStringLiteral(": ") + lowerFirstWord(ourQuotes(text));
}

QString failureMessage(const QString &libraryMessage)
{
    const QString text = libraryMessage.endsWith(u'.') ? libraryMessage.chopped(1) : libraryMessage;
    // "Cannot save “out/show.xml”: the disk is full": the first name is the file when the
    // reason follows it at once.
    const qsizetype open = text.indexOf(u'\u201C');
    const qsizetype close = open < 0 ? -1 : text.indexOf(u'\u201D', open);
    if (close > open && QStringView(text).sliced(close).startsWith(u"\u201D: "))
        return fileMessage(text.sliced(open + 1, close - open - 1), text.sliced(close + 3));
    return programMessage(text);
}

QString warningMessage(const QString &file, const QString &libraryNotice)
{
    QStringList lines;
    for (QString paragraph : libraryNotice.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        if (paragraph.endsWith(u'.'))
            paragraph.chop(1);
        lines << fileMessage(file, QStringLiteral("warning: ") + lowerFirstWord(paragraph));
    }
    return lines.join(u'\n');
}

QString usageMessage(const QString &command, const QString &problem)
{
    const QString program = command.isEmpty() ? Program : Program + u' ' + command;
    return QStringLiteral("%1: %2\nTry %3.")
        .arg(program, problem, quoted(program + QStringLiteral(" --help")));
}

QString parserProblem(const QCommandLineParser &parser)
{
    // Qt names an unknown option without its dashes; a name of one letter was typed with one.
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString &name = unknown.first();
        return QStringLiteral("unknown option ") +
               quoted((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    }
    // Qt's other refusals name the option as it was typed: "Missing value after '--locale'."
    static const QRegularExpression valueAfter(
        QStringLiteral("^(Missing|Unexpected) value after '(.*)'\\.$"));
    const QString error = parser.errorText();
    if (const QRegularExpressionMatch match = valueAfter.match(error); match.hasMatch()) {
        const QString option = quoted(match.captured(2));
        return match.captured(1) == u"Missing"
                   ? QStringLiteral("option %1 needs a value").arg(option)
                   : QStringLiteral("option %1 takes no value").arg(option);
    }
    return lowerFirstWord(error.endsWith(u'.') ? error.chopped(1) : error);
}

} // namespace tapewright::cli
