// The About dialog: lines never cut off whatever the font, and the exact targets its two links
// hand to the desktop.
#include "about/frmabout.h"
#include "common/formhelpers.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tapewright;

class TestFrmAbout : public QObject
{
    Q_OBJECT

private:
    QStringList m_opened;

    // Records what the dialog hands to the desktop instead of opening it.
    ShellOpener opener()
    {
        return [this](const QString &target) {
            m_opened.append(target);
            return true;
        };
    }

private slots:
    void init() { m_opened.clear(); }

    // Every line shows its whole text in its own font, the version on one line, inside the
    // fixed-size dialog and clear of the next line and of the OK button, also at a font far
    // larger than the design's.
    void lines_notCutOff_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("default font") << 0;
        QTest::newRow("large font") << 20;
    }
    void lines_notCutOff()
    {
        QFETCH(int, pointSize);
        const QFont saved = QApplication::font();
        QFont font = saved;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        frmAbout dialog(opener());
        QApplication::setFont(saved);

        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        const QRect client = dialog.rect();
        int previousBottom = -1;
        for (const char *name :
             {"Label1", "lblVersion", "lblCopyright", "lblSales", "lblWeb", "Label2", "Label3"}) {
            const QLabel *line = dialog.findChild<QLabel *>(QLatin1String(name));
            const QRect box = line->geometry();
            QVERIFY2(box.width() >= line->fontMetrics().horizontalAdvance(line->text()), name);
            QVERIFY2(box.height() >= line->fontMetrics().height(), name);
            QVERIFY2(client.contains(box), name);
            QVERIFY2(box.top() > previousBottom, name);
            previousBottom = box.bottom();
        }
        const QLabel *version = dialog.findChild<QLabel *>(u"lblVersion"_qs);
        QVERIFY(version->height() < 2 * version->fontMetrics().lineSpacing());
        const QRect ok = dialog.findChild<QPushButton *>(u"cmdOK"_qs)->geometry();
        QVERIFY(ok.top() > previousBottom);
        QVERIFY(client.contains(ok));
        QVERIFY(qAbs(ok.center().x() - client.center().x()) <= 1);
    }

    // The links keep their designed dark blue on a light window, and take the palette's link
    // colour on a dark one, where dark blue could not be read.
    void links_readable_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("link");
        QTest::newRow("light") << QColor(Qt::white) << QColor(0, 0, 192);
        QTest::newRow("dark") << QColor(Qt::black) << QColor(0x3d, 0xae, 0xe9);
    }
    void links_readable()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, link);
        const QPalette saved = QApplication::palette();
        QPalette palette = saved;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Link, QColor(0x3d, 0xae, 0xe9));
        QApplication::setPalette(palette);
        frmAbout dialog(opener());
        QApplication::setPalette(saved);
        for (const char *name : {"lblSales", "lblWeb"})
            QCOMPARE(dialog.findChild<QLabel *>(QLatin1String(name))
                         ->palette()
                         .color(QPalette::WindowText),
                     link);
    }

    // A left click on a link hands its target, built from the text shown, to the desktop; other
    // buttons, a press released away from the link and the other lines open nothing. OK closes.
    void links_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::newRow("e-mail link") << u"lblSales"_qs << u"mailto:tapewright@example.org"_qs;
        QTest::newRow("web link") << u"lblWeb"_qs << u"https://tapewright.example.org/"_qs;
        for (const char *name : {"Label1", "lblVersion", "lblCopyright", "Label2", "Label3"})
            QTest::newRow(name) << name << "";
    }
    void links()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        frmAbout dialog(opener());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLabel *link = dialog.findChild<QLabel *>(name);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 2));
        QCOMPARE(m_opened, target.isEmpty() ? QStringList() : QStringList{target});
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOK"_qs), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
