// The cover dialog driven as a user drives it, with a template folder and settings file of its
// own and a recording document in place of the word processor: what only the dialog shows.
#include "cover/ui/frmcover.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tapewright;
using namespace testsupport;

class TestFrmCover : public QObject
{
    Q_OBJECT

    // The errors and notices the dialog shows, in order, as "error|text", "notice|text" and
    // "action|text|button"; "busy|" before one shown under the wait cursor.
    class RecordingBoxes final : public MessageBoxes
    {
    public:
        QStringList shown;
        bool chooseAction = false;
        Answer askYesNoCancel(QWidget *, const QString &) override { return Answer::Cancel; }
        void showError(QWidget *, const QString &text) override { record(u"error|"_qs + text); }
        void showNotice(QWidget *, const QString &text) override { record(u"notice|"_qs + text); }
        bool showNoticeWithAction(QWidget *, const QString &text, const QString &action) override
        {
            record(u"action|"_qs + text + u'|' + action);
            return chooseAction;
        }
        void record(const QString &box)
        {
            shown << (QApplication::overrideCursor() ? u"busy|"_qs : QString()) + box;
        }
    };

    std::unique_ptr<QTemporaryDir> m_dir; // fresh for each test
    std::unique_ptr<RecordingCoverDocument> m_doc;
    std::shared_ptr<RecordingBoxes> m_boxes;
    std::unique_ptr<frmCover> m_dialog;
    QString m_xml;
    QStringList m_opened;
    bool m_openerWorks = true;
    bool m_openerAnswersLater = false; // as xdg-open does, by its exit code
    QStringList m_checked;             // the template paths the check was asked about
    CoverCheck m_check;
    QString m_chosenPicture;     // what the picture's file dialog answers
    QStringList m_pictureStarts; // where it was asked to start

    QString settingsFile() const { return m_dir->filePath(u"tapewright.ini"_qs); }
    QString cover() const
    {
        return m_dir->filePath(u"covers/Blue Lantern 1977-05-08 cover.ott"_qs);
    }

    // A new dialog on the settings ini (none when empty), shown.
    frmCover *open(const QByteArray &ini = {})
    {
        if (!ini.isEmpty())
            WriteBytes(settingsFile(), "[Tapewright]\r\n" + ini);
        CoverDialogEnvironment env;
        env.templateFolder = m_dir->filePath(u"template"_qs);
        env.settingsFile = settingsFile();
        env.coversFolder = m_dir->filePath(u"covers"_qs);
        env.xmlText = [this] { return m_xml; };
        env.newDocument = [this] { return std::make_unique<RecordingCoverDocument>(m_doc.get()); };
        env.openCover = [this](const QString &path, OpenDone done) {
            m_opened << path;
            if (m_openerAnswersLater)
                QTimer::singleShot(0, [done, works = m_openerWorks] { done(works); });
            else
                done(m_openerWorks);
        };
        env.openFolder = [this](const QString &path) {
            m_opened << path;
            return true;
        };
        env.checkCover = [this](const QString &xml, const QString &templatePath,
                                const CoverChoices &) {
            m_checked << templatePath;
            return xml == m_xml ? m_check : CoverCheck{u"not the dialog's XML"_qs, {}};
        };
        env.messageBoxes = m_boxes;
        env.locale = UnitedStatesLocale();
        env.today = [] { return QDate(2024, 3, 9); };
        env.choosePicture = [this](QWidget *, const QString &start) {
            m_pictureStarts << start;
            return m_chosenPicture;
        };
        m_dialog = std::make_unique<frmCover>(env);
        m_dialog->show();
        return m_dialog.get();
    }

    template <typename T = QWidget> T *c(const char *name)
    {
        T *control = m_dialog->findChild<T *>(QString::fromLatin1(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }

    // Chooses the template at index and presses OK.
    void ok(int index)
    {
        c<QComboBox>("cboTemplate")->setCurrentIndex(index);
        QTest::mouseClick(c("cmdOK"), Qt::LeftButton);
    }

private slots:
    void init()
    {
        m_doc = std::make_unique<RecordingCoverDocument>();
        m_boxes = std::make_shared<RecordingBoxes>();
        m_xml = u"<BAND>Blue Lantern</BAND><DATE>5/8/1977</DATE><DISCS>0</DISCS>"_qs;
        m_opened.clear();
        m_openerWorks = true;
        m_openerAnswersLater = false;
        m_checked.clear();
        m_check = {};
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkpath(u"template"_qs));
        for (const char *name : {"template/Second.odt", "template/First.docx"})
            WriteFile(*m_dir, QString::fromLatin1(name), {});
    }

    // OK is the default button, the tab order is list, check box, name, picture button and
    // path, OK, Cancel, and the access keys reach the name, the list, the check box and the
    // picture's buttons.
    void design()
    {
        open();
        QVERIFY(c<QPushButton>("cmdOK")->isDefault());
        QVERIFY(!(m_dialog->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QStringList chain;
        for (QWidget *w = c("cboTemplate"); chain.size() < 7; w = w->nextInFocusChain()) {
            if (w->focusPolicy() != Qt::NoFocus && w->isEnabled())
                chain << w->objectName();
        }
        QCOMPARE(chain.join(u' '), u"cboTemplate chkCollection txtYourName cmdPicture txtPicture "
                                   "cmdOK cmdCancel"_qs);
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QTest::keyClick(m_dialog.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), c("txtYourName"));
        QTest::keyClick(m_dialog.get(), Qt::Key_T, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), c("cboTemplate"));
        QTest::keyClick(m_dialog.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(c<QCheckBox>("chkCollection")->checkState(), Qt::Unchecked);
        // Chosen, then cleared, from the keyboard; the clear button is there only for a path.
        QVERIFY(!c("cmdNoPicture")->isEnabled());
        m_chosenPicture = u"/photos/front.jpg"_qs;
        QTest::keyClick(m_dialog.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(c<QLineEdit>("txtPicture")->text(), u"/photos/front.jpg"_qs);
        QTest::keyClick(m_dialog.get(), Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(c<QLineEdit>("txtPicture")->text(), QString());
        QVERIFY(!c("cmdNoPicture")->isEnabled());
        QVERIFY(m_dialog->isVisible());
    }

    // The picture is stored with the other choices and restored while its file is there; the
    // file dialog starts where the last one was; a cleared picture is forgotten.
    void picture_storedRestoredCleared()
    {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString png = m_dir->filePath(u"front.png"_qs);
        QVERIFY(image.save(png));
        open();
        m_chosenPicture = png;
        QTest::mouseClick(c("cmdPicture"), Qt::LeftButton);
        ok(1);
        QVERIFY(!m_dialog->isVisible());
        // The recording document has no place for a picture.
        QVERIFY2(m_boxes->shown.value(0).contains(u"is not on the cover"),
                 qPrintable(m_boxes->shown.value(0)));
        QVERIFY(ReadBytes(settingsFile()).contains("Picture=" + png.toUtf8()));

        open();
        QCOMPARE(c<QLineEdit>("txtPicture")->text(), png);
        m_chosenPicture.clear(); // cancelled
        QTest::mouseClick(c("cmdPicture"), Qt::LeftButton);
        QCOMPARE(m_pictureStarts.last(), png);
        QCOMPARE(c<QLineEdit>("txtPicture")->text(), png);
        QTest::mouseClick(c("cmdNoPicture"), Qt::LeftButton);
        ok(1);
        QVERIFY(!ReadBytes(settingsFile()).contains("Picture="));

        WriteBytes(settingsFile(), "[Tapewright]\r\nPicture=" + png.toUtf8() + "-moved\r\n");
        open();
        QCOMPARE(c<QLineEdit>("txtPicture")->text(), QString());
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("checkState");
        QTest::addColumn<QString>("name");
        QTest::newRow("first run") << QByteArray() << QString() << int(Qt::Checked) << QString();
        QTest::newRow("restored choices")
            << QByteArray("Template=First.docx\r\nPrintCollectionName=0\r\nUserName=Jane\r\n")
            << u"First.docx"_qs << int(Qt::Unchecked) << u"Jane"_qs;
        QTest::newRow("template name in another case selects nothing")
            << QByteArray("Template=second.odt\r\n") << QString() << int(Qt::Checked) << QString();
        QTest::newRow("grayed state leaves the name enabled")
            << QByteArray("PrintCollectionName=2\r\nUserName=Al\r\n") << QString()
            << int(Qt::PartiallyChecked) << u"Al"_qs;
    }
    void load()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, selected);
        QFETCH(int, checkState);
        QFETCH(QString, name);
        open(ini);
        auto *list = c<QComboBox>("cboTemplate");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0) + u' ' + list->itemText(1), u"First.docx Second.odt"_qs);
        QCOMPARE(list->currentText(), selected);
        QCOMPARE(int(c<QCheckBox>("chkCollection")->checkState()), checkState);
        QCOMPARE(c<QLineEdit>("txtYourName")->text(), name);
        QCOMPARE(c("txtYourName")->isEnabled(), checkState != Qt::Unchecked);
        QCOMPARE(c("lblYourName")->isEnabled(), checkState != Qt::Unchecked);
        QCOMPARE(ReadBytes(settingsFile()), ini.isEmpty() ? ini : "[Tapewright]\r\n" + ini);
    }

    // A grayed box, once clicked, is checked or unchecked, never grayed again; the label and
    // the name box follow it together, and the name stays.
    void collection_clicks()
    {
        open("PrintCollectionName=2\r\nUserName=Jane\r\n");
        for (const Qt::CheckState state : {Qt::Checked, Qt::Unchecked, Qt::Checked}) {
            QTest::mouseClick(c("chkCollection"), Qt::LeftButton);
            QCOMPARE(c<QCheckBox>("chkCollection")->checkState(), state);
            QCOMPARE(c("lblYourName")->isEnabled(), state == Qt::Checked);
            QCOMPARE(c("txtYourName")->isEnabled(), state == Qt::Checked);
            QCOMPARE(c<QLineEdit>("txtYourName")->text(), u"Jane"_qs);
        }
    }

    // Esc, Cancel and the title bar's close store nothing; Enter runs OK wherever the focus is.
    void keysAndButtons_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Esc") << u"esc"_qs << false;
        QTest::newRow("Cancel button") << u"cancel"_qs << false;
        QTest::newRow("title bar close") << u"close"_qs << false;
        for (const char *focus : {"cboTemplate", "txtYourName", "chkCollection"})
            QTest::addRow("Enter in %s", focus) << QString::fromLatin1(focus) << true;
    }
    void keysAndButtons()
    {
        QFETCH(QString, how);
        QFETCH(bool, accepted);
        const QByteArray ini = "Template=Second.odt\r\nPrintCollectionName=2\r\n"; // grayed
        open(ini);
        c<QComboBox>("cboTemplate")->setCurrentIndex(0);
        c<QLineEdit>("txtYourName")->setText(u"Changed"_qs);
        if (how == u"esc")
            QTest::keyClick(c("txtYourName"), Qt::Key_Escape);
        else if (how == u"cancel")
            QTest::mouseClick(c("cmdCancel"), Qt::LeftButton);
        else if (how == u"close")
            m_dialog->close();
        else
            QTest::keyClick(c(how.toLatin1().constData()), Qt::Key_Return);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(ReadBytes(settingsFile()) == "[Tapewright]\r\n" + ini, !accepted);
        QVERIFY(ReadBytes(settingsFile()).contains("PrintCollectionName=2"));
        QCOMPARE(m_doc->calls.contains(u"set TrayCreationDate"_qs), accepted);
    }

    // The check of the cover is shown above OK, for the template chosen, and again when another
    // is chosen; a text that is no track list shows none.
    void check_shownAboveOK()
    {
        m_check = {u"Blue Lantern · no date · no venue · 0 discs/0 tracks"_qs,
                   {u"No date was found."_qs, u"No venue was found."_qs}};
        open("Template=Second.odt\r\n");
        auto *label = c<QLabel>("lblCheck");
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), u"Blue Lantern · no date · no venue · 0 discs/0 tracks\n"
                                u"\u26A0 No date was found.\n\u26A0 No venue was found."_qs);
        QVERIFY(label->geometry().bottom() < c("cmdOK")->geometry().top());
        // Another template's check, of many lines: the dialog grows to show every one.
        m_check.warnings = QStringList(6, u"A warning long enough to wrap over more than one "
                                          u"line of the dialog, to be read in full."_qs);
        c<QComboBox>("cboTemplate")->setCurrentIndex(0);
        QTRY_VERIFY(label->height() >= label->heightForWidth(label->width()));
        m_check = {};
        c<QComboBox>("cboTemplate")->setCurrentIndex(-1);
        QCOMPARE(m_checked, QStringList({m_dir->filePath(u"template/Second.odt"_qs),
                                         m_dir->filePath(u"template/First.docx"_qs), QString()}));
        QVERIFY(label->isHidden());
    }

    // OK fills the chosen template, writes the cover into the covers folder and opens it, stores
    // the three choices and closes. What the user should know is told in one message box: a
    // cover made all the same (text cut, tracks that do not fit, choices not kept, a cover no
    // application opens, with a button that opens its folder) is told of after it opened, and
    // the dialog closes; a run that did not fill stores nothing and leaves the dialog open, and
    // the user chooses again.
    void ok_told_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("told"); // the box's kind and a part of its text
        QTest::addColumn<bool>("made");
        QTest::newRow("nothing to tell") << QString() << QString() << true;
        QTest::newRow("text cut") << u"long band"_qs << u"notice|“LinerBand”"_qs << true;
        QTest::newRow("tracks that do not fit")
            << u"fit"_qs << u"notice|3 of the 40 tracks do not fit"_qs << true;
        QTest::newRow("choices not kept")
            << u"settings folder"_qs << u"error|your choices could not be kept"_qs << true;
        QTest::newRow("cover not opened") << u"no opener"_qs << u"action|Open &Folder"_qs << true;
        // xdg-open starts and says by its exit code, after the dialog has closed, that no
        // application takes the cover's type.
        QTest::newRow("no application for the cover, folder shown")
            << u"no application, folder"_qs << u"action|Open &Folder"_qs << true;
        QTest::newRow("no template") << u"no template"_qs << u"error|No cover template"_qs << false;
        for (const char *step : {"start", "open", "zoom", "saveAs"})
            QTest::newRow(step) << QString::fromLatin1(step) << u"error|failed: "_qs + step
                                << false;
    }
    void ok_told()
    {
        QFETCH(QString, setup);
        QFETCH(QString, told);
        QFETCH(bool, made);
        if (setup == u"long band")
            m_xml.replace(u"Blue Lantern"_qs, QString(MaxCoverValueLength + 1, u'x'));
        if (setup == u"fit")
            m_doc->fitNotice = u"3 of the 40 tracks do not fit"_qs;
        if (setup == u"settings folder") // a folder where the file belongs
            QVERIFY(QDir().mkpath(settingsFile() + u"/folder"_qs));
        m_openerWorks =
            !setup.startsWith(u"no opener"_qs) && !setup.startsWith(u"no application"_qs);
        m_openerAnswersLater = setup.startsWith(u"no application"_qs);
        m_boxes->chooseAction = setup.endsWith(u", folder"_qs);
        m_doc->failing = QStringList{setup};
        open();
        c<QLineEdit>("txtYourName")->setText(u"Jane Doe"_qs);
        QTest::mouseClick(c("chkCollection"), Qt::LeftButton);
        ok(setup == u"no template" ? -1 : 1);
        QTRY_COMPARE(m_boxes->shown.size(), told.isEmpty() ? 0 : 1);
        const QString shown = m_boxes->shown.value(0);
        QVERIFY2(told.isEmpty() || (shown.startsWith(told.section(u'|', 0, 0) + u'|') &&
                                    shown.contains(told.section(u'|', 1))),
                 qPrintable(shown));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(m_dialog->isVisible(), !made);
        if (!made) {
            QVERIFY(m_opened.isEmpty());
            QVERIFY(!QFile::exists(settingsFile()));
            m_doc->failing.clear();
            ok(1);
            QCOMPARE(m_boxes->shown.size(), 1);
            QVERIFY(!m_dialog->isVisible());
            QVERIFY(QFile::exists(settingsFile()));
            return;
        }
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_doc->calls.at(1), u"open "_qs + m_dir->filePath(u"template/Second.odt"_qs));
        // The box was unchecked: no collection line, but the name is stored as typed.
        QCOMPARE(m_doc->texts.value(u"TrayCollection"_qs), QString());
        QCOMPARE(m_doc->texts.value(u"TrayCreationDate"_qs), u"3/9/2024"_qs);
        if (setup != u"long band") {
            QCOMPARE(m_doc->calls.last(), u"saveAs "_qs + cover());
            QCOMPARE(m_opened.first(), cover());
        }
        if (!m_openerWorks)
            QVERIFY2(shown.contains(QDir::toNativeSeparators(cover())), qPrintable(shown));
        QCOMPARE(m_opened.mid(1), m_boxes->chooseAction ? QStringList{m_dir->filePath(u"covers"_qs)}
                                                        : QStringList());
        const QString ini = QString::fromUtf8(ReadBytes(settingsFile()));
        for (const QString &line :
             {u"Template=Second.odt"_qs, u"PrintCollectionName=0"_qs, u"UserName=Jane Doe"_qs})
            QVERIFY2(ini.contains(line) == (setup != u"settings folder"), qPrintable(ini));
    }
};

QTEST_MAIN(TestFrmCover)
#include "tst_frmcover.moc"
