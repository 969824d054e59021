// A filled cover as LibreOffice prints it: every value appears on the page, the template's own
// text at the bookmarks is gone. Also the legacy .doc route through a LibreOffice conversion.
// Skipped where LibreOffice (soffice) is not installed.
#include "covertemplates.h"
#include "filecoverdocument.h"
#include "office.h"
#include "testsupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace covertest;
using namespace testsupport;

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
        // Templates, as the cover dialog writes them, open as new documents.
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
        const QString templatePath = WriteFile(dir, QStringLiteral("Cover") + extension(format),
                                               buildTemplate(format, coverMarks()));
        FileCoverOptions options;
        options.cacheFolder = dir.filePath(QStringLiteral("cache"));
        FileCoverDocument doc(options);
        QVERIFY(doc.open(templatePath));
        QVERIFY(doc.setZoom(75));
        const QStringList names = CoverBookmarkNames();
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(doc.setBookmarkText(names.at(i), pdfValueFor(i, names.at(i))));
        const QString filled = dir.filePath(QStringLiteral("Filled") + extension(format));
        QVERIFY(doc.saveAs(filled));

        const Result<QString> pdf = ConvertWithOffice(m_office, filled, QStringLiteral("pdf"),
                                                      dir.path(), OfficeConversionTimeoutMs);
        QVERIFY2(pdf, qPrintable(pdf.error()));
        const QString page = collapsed(PdfText(*pdf));

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
        const QString docx =
            WriteFile(dir, QStringLiteral("Legacy.docx"), buildTemplate(Format::Docx, marks));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("template")));
        const Result<QString> legacy =
            ConvertWithOffice(m_office, docx, QStringLiteral("doc:MS Word 97"),
                              dir.filePath(QStringLiteral("template")), OfficeConversionTimeoutMs);
        QVERIFY2(legacy, qPrintable(legacy.error()));
        const QString doc = *legacy;
        const QStringList templateFolder =
            QDir(dir.filePath(QStringLiteral("template"))).entryList(QDir::Files);

        FileCoverOptions options;
        options.cacheFolder = dir.filePath(QStringLiteral("cache"));
        options.officeProgram = m_office;
        FileCoverDocument first(options);
        const Result<void> opened = first.open(doc);
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
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
