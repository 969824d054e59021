// cmake --install of this build tree into a temporary prefix: the programs, the templates, the
// icons and the launcher land where a desktop looks for them, and the installed program finds
// its templates.
#include "common/paths.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_prefix;

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(TAPEWRIGHT_CMAKE_COMMAND),
                      {u"--install"_qs, QStringLiteral(TAPEWRIGHT_BUILD_DIR), u"--prefix"_qs,
                       m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());
    }

    // What a desktop and a package look for, each file holding what shows it is the right one.
    void installed_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("holds");
        const auto row = [](const QString &path, const QByteArray &holds) {
            QTest::newRow(qPrintable(path + u' ' + QString::fromLatin1(holds).trimmed()))
                << path << holds;
        };
        row(u"bin/tapewright-cli"_qs, "\x7f"
                                      "ELF");
        if (TAPEWRIGHT_HAS_APP)
            row(u"bin/tapewright"_qs, "\x7f"
                                      "ELF");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            row(u"share/icons/hicolor/%1x%1/apps/tapewright.png"_qs.arg(size), "\x89PNG");
        row(u"share/icons/hicolor/scalable/apps/tapewright.svg"_qs, "<svg");
        for (const char *page : {"tapewright.1.gz", "tapewright-cli.1.gz"})
            row(u"share/man/man1/"_qs + QLatin1String(page), "\x1f\x8b");
        row(u"share/metainfo/org.example.tapewright.metainfo.xml"_qs, "<?xml");
        row(u"share/doc/tapewright/copyright"_qs, "Format:");
        row(u"share/doc/tapewright/changelog.gz"_qs, "\x1f\x8b");
        for (const char *line : {"\nExec=tapewright %f\n", "\nIcon=tapewright\n",
                                 "\nMimeType=text/plain;text/x-nfo;\n"})
            row(u"share/applications/tapewright.desktop"_qs, line);
    }
    void installed()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, holds);
        QFile file(m_prefix.filePath(path));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY(file.readAll().contains(holds));
        if (path.startsWith(u"bin/"))
            QVERIFY(QFileInfo(file).isExecutable());
        if (path.endsWith(u".png")) {
            const int size = path.section(u'/', 3, 3).section(u'x', 0, 0).toInt();
            QCOMPARE(QImageReader(file.fileName()).size(), QSize(size, size));
        }
    }

    void installedCli_runs()
    {
        QProcess cli;
        cli.start(m_prefix.filePath(u"bin/tapewright-cli"_qs), {u"--help"_qs});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(cli.readAllStandardOutput().contains("convert"));
    }

    // The installed program lives in <prefix>/bin with no "template" folder beside it.
    void installedProgram_findsTemplates()
    {
        const QString templates = m_prefix.filePath(u"share/tapewright/template"_qs);
        QVERIFY(QFileInfo(templates).isDir());
        QCOMPARE(TemplateFolderFor(m_prefix.filePath(u"bin"_qs)), QDir::cleanPath(templates));

        // Exactly the templates the build packed beside the programs, and nothing else.
        const QDir packed(QStringLiteral(TAPEWRIGHT_BUILD_DIR "/bin/template"));
        const QStringList documents{u"*.odt"_qs, u"*.docx"_qs};
        const QStringList expected = packed.entryList(documents, QDir::Files, QDir::Name);
        const QStringList installed =
            QDir(templates).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(installed, expected);
        if (TAPEWRIGHT_HAS_TEMPLATES)
            QVERIFY(!installed.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
