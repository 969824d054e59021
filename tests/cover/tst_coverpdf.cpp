// A filled cover as LibreOffice prints it: every value appears on the page, the template's own
// text at the bookmarks is gone. Also the legacy .doc route through a LibreOffice conversion.
// Skipped where LibreOffice (soffice) is not installed.
#include "covertemplates.h"
#include "filecoverdocument.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace tapewright;
using namespace covertest;

Q_DECLARE_METATYPE(covertest::Format)

namespace {

// Values that a PDF can show with the fonts LibreOffice brings (no CJK), with lists, markup
// characters, quotes, non-ASCII letters and empty values.
QString pdfValueFor(int i, const QString &name)
{
    static const QStringList patterns = {
        QStringLiteral("Blue Lantern & <Friends>"),
        QStringLiteral("1. Intro\r\n2. Song \"One\"\r\n3. It's <done> & dusted"),
        QString(),
        QStringLiteral("Café Zürich, Señor Ñandú, Łódź"),
        QStringLiteral("<b>&amp;</b> ]]>"),
        QStringLiteral("Köln\r\n\r\nafter an empty line"),
    };
    const QString &p = patterns.at(i % patterns.size());
    return p.isEmpty() ? p : name + QStringLiteral(" ") + p;
}

// Converts with a private LibreOffice profile, so parallel runs and a running LibreOffice of
// the user do not collide. Returns the output file, or an empty text with *log set.
QString convert(const QString &office, const QString &file, const QString &format,
                const QString &outDir, QString *log)
{
    QTemporaryDir profile;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(
        office,
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
         QStringLiteral("--headless"), QStringLiteral("--norestore"),
         QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, file});
    if (!p.waitForFinished(300 * 1000)) {
        p.kill();
        p.waitForFinished();
        *log = QStringLiteral("soffice did not finish");
        return {};
    }
    *log = QString::fromLocal8Bit(p.readAll());
    const QString out =
        outDir + u'/' + QFileInfo(file).completeBaseName() + u'.' + format.section(u':', 0, 0);
    return QFile::exists(out) ? out : QString();
}

QString collapsed(const QString &text)
{
    QString t = text;
    t.replace(QChar(0xFB01), QStringLiteral("fi")).replace(QChar(0xFB02), QStringLiteral("fl"));
    return t.simplified();
}

} // namespace

class TestCoverPdf : public QObject
{
    Q_OBJECT

    QString m_office;
    QString m_pdftotext;

private slots:
    void initTestCase()
    {
        m_office = FindOfficeProgram();
        m_pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    }

    void pdf_valuesAtBookmarks_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("odt") << Format::Odt;
        QTest::newRow("docx") << Format::Docx;
        // Templates as show() writes them open as new documents.
        QTest::newRow("ott") << Format::Ott;
        QTest::newRow("dotx") << Format::Dotx;
    }
    void pdf_valuesAtBookmarks()
    {
        QFETCH(Format, format);
        if (m_office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QVERIFY2(!m_pdftotext.isEmpty(), "pdftotext (poppler-utils) is missing beside LibreOffice");

        QTemporaryDir dir;
        const QString templatePath = dir.filePath(QStringLiteral("Cover") + extension(format));
        {
            QFile f(templatePath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(buildTemplate(format, coverMarks()));
        }
        FileCoverOptions options;
        options.cacheFolder = dir.filePath(QStringLiteral("cache"));
        options.opener = [](const QString &) { return true; };
        FileCoverDocument doc(options);
        QVERIFY(doc.open(templatePath));
        QVERIFY(doc.setZoom(75));
        const QStringList names = coverBookmarkNames();
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(doc.setBookmarkText(names.at(i), pdfValueFor(i, names.at(i))));
        const QString filled = dir.filePath(QStringLiteral("Filled") + extension(format));
        QVERIFY(doc.saveAs(filled));

        QString log;
        const QString pdf = convert(m_office, filled, QStringLiteral("pdf"),
                                    dir.filePath(QStringLiteral("pdf")), &log);
        QVERIFY2(!pdf.isEmpty(), qPrintable(log));
        QProcess text;
        text.start(m_pdftotext,
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60 * 1000));
        const QString page = collapsed(QString::fromUtf8(text.readAllStandardOutput()));

        for (int i = 0; i < names.size(); ++i) {
            const QString value = pdfValueFor(i, names.at(i));
            for (const QString &line : value.split(QStringLiteral("\r\n"))) {
                const QString wanted = collapsed(line);
                QVERIFY2(page.contains(wanted),
                         qPrintable(names.at(i) + QStringLiteral(": ") + wanted));
            }
            if (!value.isEmpty())
                QVERIFY2(!page.contains(QStringLiteral("old ") + names.at(i)),
                         qPrintable(names.at(i)));
        }
    }

    void legacyDoc_convertedOnceThenFilled()
    {
        if (m_office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        // The legacy template is made by LibreOffice itself from a .docx built here.
        const std::vector<Mark> marks = {
            {QStringLiteral("LinerBand"), Place::Body, Shape::Range, false},
            {QStringLiteral("TrayDisc1Tracks"), Place::TableCell, Shape::Point, false}};
        const QString docx = dir.filePath(QStringLiteral("Legacy.docx"));
        {
            QFile f(docx);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(buildTemplate(Format::Docx, marks));
        }
        QString log;
        const QString doc = convert(m_office, docx, QStringLiteral("doc:MS Word 97"),
                                    dir.filePath(QStringLiteral("template")), &log);
        QVERIFY2(!doc.isEmpty(), qPrintable(log));
        const QStringList templateFolder =
            QDir(dir.filePath(QStringLiteral("template"))).entryList(QDir::Files);

        FileCoverOptions options;
        options.cacheFolder = dir.filePath(QStringLiteral("cache"));
        options.officeProgram = m_office;
        FileCoverDocument first(options);
        const CoverResult opened = first.open(doc);
        QVERIFY2(opened.ok, qPrintable(opened.error));
        QVERIFY(
            first.setBookmarkText(QStringLiteral("LinerBand"), QStringLiteral("Blue & Lantern")));
        QVERIFY(first.setBookmarkText(QStringLiteral("TrayDisc1Tracks"), QStringLiteral("A\r\nB")));
        QCOMPARE(first.bookmarkText(QStringLiteral("LinerBand")).value_or(QString()),
                 QStringLiteral("Blue & Lantern"));
        QCOMPARE(first.bookmarkText(QStringLiteral("TrayDisc1Tracks")).value_or(QString()),
                 QStringLiteral("A\r\nB"));

        // The second open uses the stored conversion: no LibreOffice needed.
        options.officeProgram = dir.filePath(QStringLiteral("no-such-soffice"));
        FileCoverDocument second(options);
        QVERIFY(second.open(doc));
        QVERIFY(second.lookUpBookmark(QStringLiteral("LinerBand")));
        QCOMPARE(
            QDir(dir.filePath(QStringLiteral("cache/converted"))).entryList(QDir::Files).size(), 1);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("template"))).entryList(QDir::Files),
                 templateFolder);
    }
};

QTEST_GUILESS_MAIN(TestCoverPdf)
#include "tst_coverpdf.moc"
