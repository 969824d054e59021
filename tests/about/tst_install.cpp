// cmake --install of this build tree into a temporary prefix: the programs, the templates, the
// icons and the launcher land where a desktop looks for them, and the installed program finds
// its templates.
#include "paths.h"

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

    void programs_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("command-line program") << "bin/tapewright-cli";
        if (TAPEWRIGHT_HAS_APP)
            QTest::newRow("window program") << "bin/tapewright";
    }
    void programs()
    {
        QFETCH(QString, path);
        const QFileInfo program(m_prefix.filePath(path));
        QVERIFY2(program.isFile(), qPrintable(path));
        QVERIFY(program.isExecutable());
    }

    void installedCli_runs()
    {
        QProcess cli;
        cli.start(m_prefix.filePath(u"bin/tapewright-cli"_qs), {u"--help"_qs});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(cli.readAllStandardOutput().contains("convert"));
    }

    void icons_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%dx%d", size, size) << size;
    }
    void icons()
    {
        QFETCH(int, size);
        const QString path = m_prefix.filePath(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/tapewright.png").arg(size));
        QImageReader reader(path);
        QVERIFY2(reader.canRead(), qPrintable(path));
        QCOMPARE(reader.size(), QSize(size, size));
    }

    void scalableIcon()
    {
        QFile svg(m_prefix.filePath(u"share/icons/hicolor/scalable/apps/tapewright.svg"_qs));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
    }

    // What a package holds besides programs, icons and templates.
    void documents_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("begins"); // the file's first bytes
        QTest::newRow("manual page") << "share/man/man1/tapewright.1.gz" << QByteArray("\x1f\x8b");
        QTest::newRow("command-line manual page")
            << "share/man/man1/tapewright-cli.1.gz" << QByteArray("\x1f\x8b");
        QTest::newRow("metainfo") << "share/metainfo/org.example.tapewright.metainfo.xml"
                                  << QByteArray("<?xml");
        QTest::newRow("copyright") << "share/doc/tapewright/copyright" << QByteArray("Format:");
        QTest::newRow("changelog") << "share/doc/tapewright/changelog.gz" << QByteArray("\x1f\x8b");
    }
    void documents()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, begins);
        QFile file(m_prefix.filePath(path));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY(file.readAll().startsWith(begins));
    }

    void desktopFile()
    {
        QFile file(m_prefix.filePath(u"share/applications/tapewright.desktop"_qs));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.contains("Exec=tapewright %f"));
        QVERIFY(lines.contains("Icon=tapewright"));
        QVERIFY(lines.contains("MimeType=text/plain;text/x-nfo;"));
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
