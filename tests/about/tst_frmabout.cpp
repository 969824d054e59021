// The About dialog: its texts, a version line that is never cut off, the keys that close it and
// the exact targets its two links hand to the desktop.
#include "formhelpers.h"
#include "frmabout.h"
#include "productinfo.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
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

    static QLabel *label(const QDialog &dialog, const char *name)
    {
        auto *found = dialog.findChild<QLabel *>(QLatin1String(name));
        if (!found)
            qFatal("no label %s", name);
        return found;
    }

private slots:
    void init() { m_opened.clear(); }

    void texts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");

        QTest::newRow("title") << "Label1"
                               << "CDR Tapewright";
        // The version tapewright --version and tapewright-cli --version show.
        QTest::newRow("version") << "lblVersion"
                                 << "Version 0.5 10/04/2000";
        QTest::newRow("copyright")
            << "lblCopyright"
            << QString::fromUtf16(u"Copyright \u00A9 2026 the Tapewright developers");
        QTest::newRow("support address") << "lblSales"
                                         << "tapewright@example.org";
        QTest::newRow("web address") << "lblWeb"
                                     << "https://tapewright.example.org/";
        QTest::newRow("author") << "Label2"
                                << "Written by the Tapewright developers";
        QTest::newRow("terms") << "Label3"
                               << "Free software under the MIT License";
    }
    void texts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        frmAbout dialog(opener());
        QCOMPARE(label(dialog, name.toLatin1().constData())->text(), text);
    }

    void window_caption_and_border()
    {
        frmAbout dialog(opener());
        QCOMPARE(dialog.windowTitle(), u"About"_qs);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    // Every line shows its whole text in its own font, stays inside the dialog and clear of the
    // next line and of the OK button, also at a font far larger than the design's.
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
        if (pointSize > 0) {
            QFont big = saved;
            big.setPointSize(pointSize);
            QApplication::setFont(big);
        }
        frmAbout dialog(opener());
        QApplication::setFont(saved);

        const char *names[] = {"Label1", "lblVersion", "lblCopyright", "lblSales",
                               "lblWeb", "Label2",     "Label3"};
        const QRect client = dialog.rect();
        const QRect ok = dialog.findChild<QPushButton *>(u"cmdOK"_qs)->geometry();
        int previousBottom = -1;
        for (const char *name : names) {
            const QLabel *line = label(dialog, name);
            const QRect box = line->geometry();
            QVERIFY2(box.width() >= line->fontMetrics().horizontalAdvance(line->text()), name);
            QVERIFY2(box.height() >= line->fontMetrics().height(), name);
            QVERIFY2(client.contains(box), name);
            QVERIFY2(box.top() > previousBottom, name);
            previousBottom = box.bottom();
        }
        QVERIFY(ok.top() > previousBottom);
        QVERIFY(client.contains(ok));
    }

    void version_isOneLine()
    {
        frmAbout dialog(opener());
        const QLabel *version = label(dialog, "lblVersion");
        QVERIFY(!version->wordWrap());
        QVERIFY(version->height() < 2 * version->fontMetrics().lineSpacing());
    }

    void look_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("e-mail link") << "lblSales";
        QTest::newRow("web link") << "lblWeb";
    }
    void look()
    {
        QFETCH(QString, name);
        frmAbout dialog(opener());
        const QLabel *link = label(dialog, name.toLatin1().constData());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->font().family(), u"Tahoma"_qs);
        QVERIFY(label(dialog, "Label1")->font().bold());
    }

    void okButton_centred()
    {
        frmAbout dialog(opener());
        const QPushButton *ok = dialog.findChild<QPushButton *>(u"cmdOK"_qs);
        QCOMPARE(ok->text(), u"OK"_qs);
        QVERIFY(qAbs(ok->geometry().center().x() - dialog.rect().center().x()) <= 1);
    }

    void keys_close_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }
    void keys_close()
    {
        QFETCH(int, key);
        frmAbout dialog(opener());
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key(key));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!dialog.isVisible());
    }

    void okButton_closes()
    {
        frmAbout dialog(opener());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOK"_qs), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // The target is built from what the label shows, so the shown text is what gets opened.
    void link_opens_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::newRow("e-mail link") << "lblSales"
                                     << "mailto:tapewright@example.org";
        QTest::newRow("web link") << "lblWeb"
                                  << "https://tapewright.example.org/";
    }
    void link_opens()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        frmAbout dialog(opener());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLabel *link = label(dialog, name.toLatin1().constData());

        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_opened, QStringList{target});
        QVERIFY(dialog.isVisible());

        // Other buttons, and a press that is released away from the link, open nothing.
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 2));
        QCOMPARE(m_opened.size(), 1);
    }

    void otherLabels_openNothing()
    {
        frmAbout dialog(opener());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const char *name : {"Label1", "lblVersion", "lblCopyright", "Label2", "Label3"})
            QTest::mouseClick(label(dialog, name), Qt::LeftButton);
        QVERIFY(m_opened.isEmpty());
        QVERIFY(dialog.isVisible());
    }

    void pictures_show_icons()
    {
        frmAbout dialog(opener());
        for (const char *name : {"Picture2", "Picture1"}) {
            const QLabel *picture = label(dialog, name);
            QVERIFY2(!picture->pixmap().isNull(), name);
            QCOMPARE(picture->pixmap().deviceIndependentSize().toSize(), picture->size());
        }
        QVERIFY(!dialog.windowIcon().isNull());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
