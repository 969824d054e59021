// Window helpers: placement arithmetic, font faces, file names and the desktop opener.
#include "common/formhelpers.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>

using namespace tapewright;

class TestFormHelpers : public QObject
{
    Q_OBJECT

private slots:
    // Centred across, a third of the free height down, in whole twips toward zero.
    void centeredPosition_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("third of the free height")
            << QSize(12000, 9000) << QSize(4800, 3600) << QPoint(3600, 1800);
        QTest::newRow("short window") << QSize(12000, 9000) << QSize(12000, 600) << QPoint(0, 2800);
        QTest::newRow("fractions dropped")
            << QSize(12001, 9002) << QSize(4800, 3600) << QPoint(3600, 1800);
        QTest::newRow("just larger") << QSize(9000, 9000) << QSize(9001, 9005) << QPoint(0, -1);
        QTest::newRow("much larger")
            << QSize(9000, 9000) << QSize(12000, 12000) << QPoint(-1500, -1000);
    }
    void centeredPosition()
    {
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        QCOMPARE(CenteredPosition(screen, window), expected);
    }

    // The face changes on every control, menus and nested ones included, keeping each
    // control's size and style; the window's own font and other windows keep theirs.
    void setFormFont_keepsStyleAndWindowFont()
    {
        QMainWindow form;
        const QFont windowFont(u"Serif"_qs, 11);
        form.setFont(windowFont);
        form.menuBar()->addMenu(u"&File"_qs)->addAction(u"E&xit"_qs);
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        auto *label = new QLabel(u"&Name:"_qs);
        QFont styled(u"Serif"_qs, 14, QFont::Bold, true);
        styled.setUnderline(true);
        label->setFont(styled);
        auto *edit = new QLineEdit;
        auto *inner = new QWidget; // a control inside a container
        auto *nested = new QLineEdit(inner);
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addWidget(inner);
        form.setCentralWidget(central);
        auto *dialog = new QDialog(&form);
        const QString dialogFamily = dialog->font().family();

        SetFormFont(&form, u"Tahoma"_qs);
        QCOMPARE(form.font(), windowFont);
        styled.setFamily(u"Tahoma"_qs);
        QCOMPARE(label->font(), styled);
        QCOMPARE(edit->font().pointSize(), 11);
        for (const QWidget *control : {static_cast<QWidget *>(edit), static_cast<QWidget *>(nested),
                                       static_cast<QWidget *>(form.menuBar())})
            QCOMPARE(control->font().family(), u"Tahoma"_qs);
        QCOMPARE(dialog->font().family(), dialogFamily);
    }

    void extractFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full path") << u"/shows/gd1977-05-08.txt"_qs << u"gd1977-05-08.txt"_qs;
        QTest::newRow("name only") << u"gd.txt"_qs << u"gd.txt"_qs;
        QTest::newRow("ends with separator") << u"/shows/"_qs << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("root file") << u"/gd.txt"_qs << u"gd.txt"_qs;
        QTest::newRow("backslash is part of a name") << u"/s/gd\\1977.txt"_qs << u"gd\\1977.txt"_qs;
    }
    void extractFileName()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(ExtractFileName(path), expected);
    }

    // Addresses go as they are; a document goes as a local file, even when its name (a finished
    // cover is named after the show) holds "#" or "?".
    void shellTargetUrl_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("expected");
        const QString cover = u"/covers/Band #1? cover.ott"_qs;
        QTest::newRow("mail address")
            << u"mailto:a@example.org"_qs << QUrl(u"mailto:a@example.org"_qs);
        QTest::newRow("web address")
            << u"https://example.org/a?b=c"_qs << QUrl(u"https://example.org/a?b=c"_qs);
        QTest::newRow("document with a hash and a question mark")
            << cover << QUrl::fromLocalFile(cover);
        QTest::newRow("relative document")
            << u"c.doc"_qs << QUrl::fromLocalFile(QDir::current().absoluteFilePath(u"c.doc"_qs));
    }
    void shellTargetUrl()
    {
        QFETCH(QString, target);
        QFETCH(QUrl, expected);
        QCOMPARE(ShellTargetUrl(target), expected);
    }
};

QTEST_MAIN(TestFormHelpers)
#include "tst_formhelpers.moc"
