// The golden file: the worked example info text must convert byte for byte into the document kept
// beside it, as the command-line program and the window would produce it under en_US.
#include "convertinfotext.h"
#include "testsupport.h"
#include "textfile.h"

#include <QFile>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QString convertedExample()
{
    const Result<DecodedText> info =
        ReadTextFile(QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.txt"));
    if (!info)
        qFatal("%s", qPrintable(info.error()));
    ConvertOptions options;
    options.locale = QLocale(u"en_US"_qs);
    return ConvertInfoText(info->text, options);
}

bool isDateLine(const QString &line)
{
    return line.startsWith(u"<LITERALDATE>"_qs) || line.startsWith(u"<DATE>"_qs);
}

} // namespace

class TestWorkedExample : public QObject
{
    Q_OBJECT

private slots:
    void inputIsTheSixteenLines()
    {
        const QByteArray info = TestData(u"worked-example.txt"_qs);
        QCOMPARE(info.count("\r\n"), 16);
        QVERIFY(info.endsWith("Great show.\r\n"));
    }

    // Everything but the date, line by line, so a fault shows the line it is on.
    void everyLineButTheDate()
    {
        QStringList expected =
            QString::fromUtf8(TestData(u"worked-example.en_US.xml"_qs)).split(u"\r\n"_qs);
        QStringList actual = convertedExample().split(u"\r\n"_qs);
        expected.removeIf(isDateLine);
        actual.removeIf(isDateLine);
        QCOMPARE(actual, expected);
    }

    void byteForByte()
    {
        const QByteArray expected = TestData(u"worked-example.en_US.xml"_qs);
        QCOMPARE(expected.count("\r\n"), 16); // 17 lines, the last without a line end
        const QByteArray actual = convertedExample().toUtf8();
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestWorkedExample)
#include "tst_workedexample.moc"
