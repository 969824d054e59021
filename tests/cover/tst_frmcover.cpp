// The cover dialog driven as a user drives it, with a template folder and settings file of its
// own and a recording document in place of the word processor.
#include "frmcover.h"
#include "recordingcoverdocument.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

namespace {

// Hands the dialog's runs to a document the test keeps, since the dialog drops its own at the
// end of each run.
class ForwardingDocument final : public CoverDocument
{
public:
    explicit ForwardingDocument(RecordingCoverDocument &target) : m_target(target) {}
    Result<void> start() override { return m_target.start(); }
    Result<void> open(const QString &path) override { return m_target.open(path); }
    Result<void> setZoom(int percent) override { return m_target.setZoom(percent); }
    Result<void> lookUpBookmark(const QString &name) override
    {
        return m_target.lookUpBookmark(name);
    }
    Result<void> scrollIntoView(const QString &name) override
    {
        return m_target.scrollIntoView(name);
    }
    Result<void> setBookmarkText(const QString &name, const QString &text) override
    {
        return m_target.setBookmarkText(name, text);
    }
    QString fitLayout() override { return m_target.fitLayout(); }
    Result<void> saveAs(const QString &path) override { return m_target.saveAs(path); }

private:
    RecordingCoverDocument &m_target;
};

const QString Xml = u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>Blue Lantern</BAND>\r\n"
                    "<DATE>5/8/1977</DATE>\r\n<DISCS>0</DISCS>\r\n</CDR_Track_List>"_qs;

} // namespace

class TestFrmCover : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    RecordingCoverDocument m_doc;
    // The errors and notices the dialog shows, in order.
    class RecordingBoxes final : public MessageBoxes
    {
    public:
        QStringList errors;
        QStringList notices;
        QStringList actionNotices; // text, then the extra button's caption
        bool chooseAction = false;
        Answer askYesNoCancel(QWidget *, const QString &) override { return Answer::Cancel; }
        void showError(QWidget *, const QString &text) override { errors << text; }
        void showNotice(QWidget *, const QString &text) override { notices << text; }
        bool showNoticeWithAction(QWidget *, const QString &text, const QString &action) override
        {
            actionNotices << text << action;
            return chooseAction;
        }
    };
    std::shared_ptr<RecordingBoxes> m_boxes = std::make_shared<RecordingBoxes>();
    QStringList &m_errors = m_boxes->errors;
    QStringList &m_notices = m_boxes->notices;
    QString m_xml;
    QStringList m_opened;
    bool m_openerWorks = true;

    QString templateFolder() const { return m_dir.filePath(u"template"_qs); }
    QString settingsFile() const { return m_dir.filePath(u"tapewright.ini"_qs); }
    QString coversFolder() const { return m_dir.filePath(u"covers"_qs); }

    void writeSettings(const QByteArray &ini)
    {
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini);
    }

    QByteArray settingsBytes() const
    {
        QFile f(settingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<frmCover> newDialog()
    {
        CoverDialogEnvironment env;
        env.templateFolder = templateFolder();
        env.settingsFile = settingsFile();
        env.coversFolder = coversFolder();
        env.xmlText = [this] { return m_xml; };
        env.newDocument = [this] { return std::make_unique<ForwardingDocument>(m_doc); };
        env.openCover = [this](const QString &path) {
            m_opened << path;
            return m_openerWorks;
        };
        env.messageBoxes = m_boxes;
        env.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        env.today = [] { return QDate(2024, 3, 9); };
        return std::make_unique<frmCover>(env);
    }

    template <typename T> static T *control(QWidget *dialog, const char *name)
    {
        T *c = dialog->findChild<T *>(QString::fromLatin1(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }

private slots:
    void init()
    {
        m_doc = RecordingCoverDocument();
        m_errors.clear();
        m_notices.clear();
        m_xml = Xml;
        m_boxes->actionNotices.clear();
        m_boxes->chooseAction = false;
        m_opened.clear();
        m_openerWorks = true;
        QFile::remove(settingsFile());
        QDir(settingsFile()).removeRecursively();
        QDir(templateFolder()).removeRecursively();
        QVERIFY(QDir(m_dir.path()).mkdir(u"template"_qs));
        for (const char *name : {"Second.odt", "First.docx"}) {
            QFile f(QDir(templateFolder()).filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void design()
    {
        const auto dialog = newDialog();
        QCOMPARE(dialog->windowTitle(), u"Create CDR Cover via Word"_qs);
        QCOMPARE(control<QCheckBox>(dialog.get(), "chkCollection")->text(),
                 u"Add \"&From the collection of\" text"_qs);
        QVERIFY(control<QPushButton>(dialog.get(), "cmdOK")->isDefault());
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QCOMPARE(control<QLabel>(dialog.get(), "lblYourName")->font().family(), u"Tahoma"_qs);
        QCOMPARE(control<QLabel>(dialog.get(), "Label1")->buddy(),
                 control<QComboBox>(dialog.get(), "cboTemplate"));
        QCOMPARE(control<QLabel>(dialog.get(), "lblYourName")->buddy(),
                 control<QLineEdit>(dialog.get(), "txtYourName"));
        // The tab order: list, check box, name, OK, Cancel.
        QStringList chain;
        QWidget *w = control<QComboBox>(dialog.get(), "cboTemplate");
        for (int i = 0; i < 5; ++i) {
            chain << w->objectName();
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || !w->isEnabled())
                w = w->nextInFocusChain();
        }
        const QStringList expected = {u"cboTemplate"_qs, u"chkCollection"_qs, u"txtYourName"_qs,
                                      u"cmdOK"_qs, u"cmdCancel"_qs};
        QCOMPARE(chain, expected);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("checkState");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("nameEnabled");

        QTest::newRow("first run")
            << QByteArray() << QString() << int(Qt::Checked) << QString() << true;
        QTest::newRow("restored choices")
            << QByteArray("[Tapewright]\r\nTemplate=Second.odt\r\nPrintCollectionName=0\r\n"
                          "UserName=Jane\r\n")
            << u"Second.odt"_qs << int(Qt::Unchecked) << u"Jane"_qs << false;
        QTest::newRow("template name in another case selects nothing")
            << QByteArray("[Tapewright]\r\nTemplate=second.odt\r\n") << QString()
            << int(Qt::Checked) << QString() << true;
        QTest::newRow("template no longer in the folder")
            << QByteArray("[Tapewright]\r\nTemplate=Gone.odt\r\n") << QString() << int(Qt::Checked)
            << QString() << true;
        QTest::newRow("grayed state leaves the name enabled")
            << QByteArray("[Tapewright]\r\nPrintCollectionName=2\r\nUserName=Al\r\n") << QString()
            << int(Qt::PartiallyChecked) << u"Al"_qs << true;
        QTest::newRow("state that is not 0, 1 or 2 gives a checked box")
            << QByteArray("[Tapewright]\r\nTemplate=First.docx\r\nPrintCollectionName=9\r\n")
            << u"First.docx"_qs << int(Qt::Checked) << QString() << true;
    }

    void load()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, selected);
        QFETCH(int, checkState);
        QFETCH(QString, name);
        QFETCH(bool, nameEnabled);
        if (!ini.isEmpty())
            writeSettings(ini);
        const auto dialog = newDialog();
        auto *list = control<QComboBox>(dialog.get(), "cboTemplate");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0), u"First.docx"_qs);
        QCOMPARE(list->itemText(1), u"Second.odt"_qs);
        QCOMPARE(list->currentText(), selected);
        QCOMPARE(list->currentIndex() >= 0, !selected.isEmpty());
        QCOMPARE(int(control<QCheckBox>(dialog.get(), "chkCollection")->checkState()), checkState);
        auto *txtYourName = control<QLineEdit>(dialog.get(), "txtYourName");
        QCOMPARE(txtYourName->text(), name);
        QCOMPARE(txtYourName->isEnabled(), nameEnabled);
        QCOMPARE(control<QLabel>(dialog.get(), "lblYourName")->isEnabled(), nameEnabled);
        QCOMPARE(settingsBytes(), ini); // loading writes nothing
    }

    void load_noTemplateFolder()
    {
        QDir(templateFolder()).removeRecursively();
        const auto dialog = newDialog();
        QCOMPARE(control<QComboBox>(dialog.get(), "cboTemplate")->count(), 0);
    }

    void collection_togglesNameControls()
    {
        const auto dialog = newDialog();
        auto *box = control<QCheckBox>(dialog.get(), "chkCollection");
        auto *label = control<QLabel>(dialog.get(), "lblYourName");
        auto *name = control<QLineEdit>(dialog.get(), "txtYourName");
        name->setText(u"Jane"_qs);
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!label->isEnabled());
        QVERIFY(!name->isEnabled());
        QCOMPARE(name->text(), u"Jane"_qs);
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(label->isEnabled());
        QVERIFY(name->isEnabled());
        QCOMPARE(name->text(), u"Jane"_qs);
    }

    // Once the user clicks a grayed box it is checked or unchecked, never grayed again.
    void collection_grayedBoxLeavesGrayOnClick()
    {
        writeSettings("[Tapewright]\r\nPrintCollectionName=2\r\n");
        const auto dialog = newDialog();
        auto *box = control<QCheckBox>(dialog.get(), "chkCollection");
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->checkState(), Qt::Checked);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->checkState(), Qt::Unchecked);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->checkState(), Qt::Checked);
    }

    void accessKeys()
    {
        const auto dialog = newDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        auto *box = control<QCheckBox>(dialog.get(), "chkCollection");
        QTest::keyClick(dialog.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(dialog.get(), "txtYourName"));
        QTest::keyClick(dialog.get(), Qt::Key_T, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), control<QComboBox>(dialog.get(), "cboTemplate"));
        QTest::keyClick(dialog.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(box->checkState(), Qt::Unchecked);
    }

    void cancel_storesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << u"esc"_qs;
        QTest::newRow("Cancel button") << u"cancel"_qs;
        QTest::newRow("title bar close") << u"close"_qs;
    }

    void cancel_storesNothing()
    {
        QFETCH(QString, how);
        const QByteArray ini = "[Tapewright]\r\nTemplate=Second.odt\r\nPrintCollectionName=1\r\n";
        writeSettings(ini);
        const auto dialog = newDialog();
        dialog->show();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(0);
        control<QLineEdit>(dialog.get(), "txtYourName")->setText(u"Changed"_qs);
        if (how == u"esc")
            QTest::keyClick(control<QLineEdit>(dialog.get(), "txtYourName"), Qt::Key_Escape);
        else if (how == u"cancel")
            QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdCancel"), Qt::LeftButton);
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(settingsBytes(), ini);
        QVERIFY(m_doc.calls.isEmpty());
    }

    void enter_runsOK_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("list has the focus") << u"cboTemplate"_qs;
        QTest::newRow("name box has the focus") << u"txtYourName"_qs;
        QTest::newRow("check box has the focus") << u"chkCollection"_qs;
    }

    void enter_runsOK()
    {
        QFETCH(QString, focus);
        const auto dialog = newDialog();
        dialog->show();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(1);
        QWidget *target = dialog->findChild<QWidget *>(focus);
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());
        QVERIFY(m_doc.calls.contains(u"set TrayCreationDate"_qs));
    }

    // OK fills the chosen template, writes the cover into the covers folder and opens it, stores
    // the three choices and closes.
    void ok_fillsShowsStoresAndCloses()
    {
        writeSettings("[Tapewright]\r\nPrintCollectionName=1\r\n");
        const auto dialog = newDialog();
        dialog->show();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(1);
        control<QLineEdit>(dialog.get(), "txtYourName")->setText(u"Jane Doe"_qs);
        QTest::mouseClick(control<QCheckBox>(dialog.get(), "chkCollection"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdOK"), Qt::LeftButton);

        QVERIFY(m_errors.isEmpty());
        QVERIFY(m_notices.isEmpty());
        QVERIFY(m_boxes->actionNotices.isEmpty());
        QCOMPARE(m_doc.openedPath, QDir(templateFolder()).filePath(u"Second.odt"_qs));
        QCOMPARE(m_doc.calls.first(3),
                 (QStringList{u"start"_qs, u"open "_qs + m_doc.openedPath, u"zoom 75"_qs}));
        const QString cover =
            QDir(coversFolder()).filePath(u"Blue Lantern 1977-05-08 cover.ott"_qs);
        QCOMPARE(m_doc.calls.last(), u"saveAs "_qs + cover);
        QCOMPARE(m_opened, QStringList{cover});
        QCOMPARE(m_doc.texts.value(u"CoverDate"_qs), u"May 8, 1977"_qs);
        // The box was unchecked: no collection line, but the name is stored as typed.
        QCOMPARE(m_doc.texts.value(u"TrayCollection"_qs), QString());
        QCOMPARE(m_doc.texts.value(u"TrayCreationDate"_qs), u"3/9/2024"_qs);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));

        const QString ini = QString::fromUtf8(settingsBytes());
        QVERIFY(ini.contains(u"Template=Second.odt"_qs));
        QVERIFY(ini.contains(u"PrintCollectionName=0"_qs));
        QVERIFY(ini.contains(u"UserName=Jane Doe"_qs));

        // The next opening restores the choices.
        const auto again = newDialog();
        QCOMPARE(control<QComboBox>(again.get(), "cboTemplate")->currentText(), u"Second.odt"_qs);
        QCOMPARE(control<QCheckBox>(again.get(), "chkCollection")->checkState(), Qt::Unchecked);
        QCOMPARE(control<QLineEdit>(again.get(), "txtYourName")->text(), u"Jane Doe"_qs);
        QVERIFY(!control<QLineEdit>(again.get(), "txtYourName")->isEnabled());
    }

    // What the user should know about a cover that was made all the same is told after it
    // opened, and the dialog closes.
    void ok_madeButTold_data()
    {
        QTest::addColumn<bool>("cutText");
        QTest::addColumn<bool>("settingsUnwritable");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("error");
        QTest::newRow("text cut to fit") << true << false << u"“LinerBand”"_qs << QString();
        QTest::newRow("choices cannot be stored")
            << false << true << QString() << u"your choices could not be kept"_qs;
    }
    void ok_madeButTold()
    {
        QFETCH(bool, cutText);
        QFETCH(bool, settingsUnwritable);
        QFETCH(QString, notice);
        QFETCH(QString, error);
        if (cutText)
            m_xml.replace(u"Blue Lantern"_qs, QString(MaxCoverValueLength + 1, u'x'));
        if (settingsUnwritable) // a folder where the file belongs
            QVERIFY(QDir().mkpath(settingsFile() + u"/folder"_qs));
        const auto dialog = newDialog();
        dialog->show();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(1);
        QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_notices.size(), notice.isEmpty() ? 0 : 1);
        QCOMPARE(m_errors.size(), error.isEmpty() ? 0 : 1);
        if (!notice.isEmpty())
            QVERIFY2(m_notices.first().contains(notice), qPrintable(m_notices.first()));
        if (!error.isEmpty())
            QVERIFY2(m_errors.first().contains(error), qPrintable(m_errors.first()));
        QVERIFY(!dialog->isVisible());
        if (!settingsUnwritable)
            QVERIFY(QString::fromUtf8(settingsBytes()).contains(u"Template=Second.odt"_qs));
    }

    // Tracks that do not fit are told once; the cover is written, opened and the choices
    // stored all the same.
    void ok_noticeOfWhatDoesNotFit()
    {
        m_doc.fitNotice = u"3 of the 40 tracks do not fit on the tray card"_qs;
        const auto dialog = newDialog();
        dialog->show();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(0);
        QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_notices, QStringList{m_doc.fitNotice});
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(QFile::exists(settingsFile()));
    }

    void ok_failure_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("message");
        QTest::newRow("no template chosen") << u"none"_qs << u"No cover template"_qs;
        QTest::newRow("word processor cannot start") << u"start"_qs << u"failed: start"_qs;
        QTest::newRow("template cannot be opened") << u"open"_qs << u"failed: open"_qs;
        QTest::newRow("zoom cannot be set") << u"zoom"_qs << u"failed: zoom"_qs;
        QTest::newRow("cover cannot be written") << u"save"_qs << u"failed: saveAs"_qs;
    }

    // A run that did not fill reports once, stores nothing and leaves the dialog open.
    void ok_failure()
    {
        QFETCH(QString, failing);
        QFETCH(QString, message);
        const auto dialog = newDialog();
        dialog->show();
        if (failing != u"none")
            control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(0);
        m_doc.failStart = failing == u"start";
        m_doc.failOpen = failing == u"open";
        m_doc.failZoom = failing == u"zoom";
        m_doc.failSave = failing == u"save";
        QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().contains(message), qPrintable(m_errors.first()));
        QVERIFY(m_opened.isEmpty());
        QVERIFY(dialog->isVisible());
        QVERIFY(!QFile::exists(settingsFile()));
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // The user chooses again and succeeds.
        m_doc = RecordingCoverDocument();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(1);
        QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_errors.size(), 1);
        QVERIFY(!dialog->isVisible());
        QVERIFY(QFile::exists(settingsFile()));
    }

    // A cover that was written but could not be opened (no application for .ott) is a success:
    // the choices are stored, the dialog closes, and the user learns where the cover is, with a
    // button that opens its folder.
    void ok_coverWrittenButNotOpened_data()
    {
        QTest::addColumn<bool>("openFolder");
        QTest::newRow("OK") << false;
        QTest::newRow("Open Folder") << true;
    }

    void ok_coverWrittenButNotOpened()
    {
        QFETCH(bool, openFolder);
        m_openerWorks = false;
        m_boxes->chooseAction = openFolder;
        const auto dialog = newDialog();
        dialog->show();
        control<QComboBox>(dialog.get(), "cboTemplate")->setCurrentIndex(1);
        QTest::mouseClick(control<QPushButton>(dialog.get(), "cmdOK"), Qt::LeftButton);

        QVERIFY(m_errors.isEmpty());
        const QString cover =
            QDir(coversFolder()).filePath(u"Blue Lantern 1977-05-08 cover.ott"_qs);
        QCOMPARE(m_boxes->actionNotices.size(), 2);
        QVERIFY2(m_boxes->actionNotices.at(0).contains(QDir::toNativeSeparators(cover)),
                 qPrintable(m_boxes->actionNotices.at(0)));
        QCOMPARE(m_boxes->actionNotices.at(1), u"Open &Folder"_qs);
        QStringList opened{cover};
        if (openFolder)
            opened << QDir(coversFolder()).absolutePath();
        QCOMPARE(m_opened, opened);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(settingsBytes().contains("Template=Second.odt"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(TestFrmCover)
#include "tst_frmcover.moc"
