// The main window: the info text and its track list XML side by side, the file commands, and
// the question about unsaved work on closing.
#pragma once

#include "app/prompts.h"
#include "common/textfile.h"
#include "convert/daterecogniser.h"

#include <QLocale>
#include <QMainWindow>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPainter;
class QPlainTextEdit;
class QTimer;

namespace tapewright {

class BusyObserver;

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Shows a modal dialog over the main window (the cover dialog, the About box).
    using DialogHook = std::function<void(QWidget *parent)>;

    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Loads an info file and shows it with its XML. The file is read and converted before
    // anything changes; a file that cannot be read is reported and changes nothing.
    bool ProcessFile(const QString &pFileName);
    // Reopens the window where it was last closed, from the section "Window" of settingsFile, and
    // stores its place there when it closes. Without this call nothing is read or written.
    void RestorePlacement(const QString &settingsFile);
    // The files named on the program's command line: the first is loaded as File, Open Info
    // File loads it (a relative name is taken from the current folder); none changes nothing.
    void OpenStartupFiles(const QStringList &files);

    // The track list XML as the converter made it (CR LF between lines, none after the last).
    QString outputText() const { return m_xml; }
    // The info text: the input pane's lines joined by CR LF.
    QString inputText() const;

    QString infoFileName() const { return mInfoFileName; }
    QString xmlFileName() const { return mXmlFileName; }
    bool infoChanged() const { return mInfoChanged; }
    bool xmlChanged() const { return mXmlChanged; }

    void setFileDialogs(std::unique_ptr<FileDialogs> dialogs);
    void setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);
    void setCoverDialog(DialogHook hook) { m_coverDialog = std::move(hook); }
    void setAboutDialog(DialogHook hook) { m_aboutDialog = std::move(hook); }
    // The locale dates are recognised and written in; UserDateLocale() by default.
    void setConversionLocale(const QLocale &locale) { m_locale = locale; }
    // The settings file the window keeps its choices in (none: they last until it closes); the
    // Smart Recognition choice stored there takes effect at once.
    void setSettingsFile(const QString &path);
    // An info text of more characters than this is converted after a pause in typing and away
    // from the window's thread, so that no keystroke waits for it; a smaller one after every
    // edit. Tests lower it to see the pause at work on small texts.
    void setDeferredConversionSize(qsizetype characters) { m_deferredSize = characters; }

public slots:
    void mnuFileOpenInfoFile_Click();
    // Both saves return whether the file was written.
    bool mnuFileSaveInfoFile_Click();
    bool mnuFileSaveXMLFile_Click();
    // Switches between the classic conversion and smart recognition, converts the info text
    // anew and keeps the choice in the settings file.
    void mnuFileSmartRecognition_Click(bool checked);
    void mnuFileCreateCDRCover_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Document
    {
        Info,
        Xml,
    };

    void createControls();
    void createActions();
    void fitLabels();
    void Form_Load();
    // True when the closing is to be cancelled.
    bool Form_QueryUnload();
    void Form_Resize();
    void Form_Paint(QPainter &painter);
    void txtInput_Change();
    void reconvert();

    QString convert(const QString &infoText);
    void showInput(const QString &infoText);
    void showOutput(const QString &xml);
    void takeXml(const QString &xml);
    void startConversion();
    void conversionDone(quint64 revision, const QString &xml);
    void settleXml();
    bool saveDocument(Document which);
    bool askToSave(Document which);
    void loadDroppedFile(const QString &fileName);
    void storePlacement() const;

    QWidget *m_client = nullptr;
    QLabel *lblInput = nullptr;
    QPlainTextEdit *txtInput = nullptr;
    QLabel *lblOutput = nullptr;
    QLabel *lblStatus = nullptr;
    QPlainTextEdit *txtOutput = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuFileOpenInfoFile = nullptr;
    QAction *mnuFileSaveInfoFile = nullptr;
    QAction *mnuFileSep1 = nullptr;
    QAction *mnuFileSaveXMLFile = nullptr;
    QAction *mnuFileSep2 = nullptr;
    QAction *mnuFileSmartRecognition = nullptr;
    QAction *mnuFileCreateCDRCover = nullptr;
    QAction *mnuFileSep3 = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpAbout = nullptr;

    // The document state.
    QString mInfoFileName;
    QString mXmlFileName;
    bool mInfoChanged = false;
    bool mXmlChanged = false;
    std::optional<TextEncoding> m_infoEncoding; // how the loaded file was written
    QString m_xml;                              // the converter's latest result
    QString m_outputPane;                       // the output pane's text (m_xml as shown)

    bool m_settingInput = false; // the window itself is filling the input pane
    // Lines of the loaded text longer than a pane line are shown cut into pieces, each piece
    // after the first a block marked as continuing the line before it.
    bool m_inputHasCutLines = false;
    // A text of many lines is shown several lines to a block, U+2028 between them.
    int m_linesPerBlock = 1;
    // Every edit of the input pane counts one revision; m_xml is the XML of m_xmlRevision.
    quint64 m_revision = 0;
    quint64 m_xmlRevision = 0;
    qsizetype m_deferredSize;
    QTimer *m_pause = nullptr; // the pause in typing before a large text is converted
    QThreadPool m_conversions; // where a large text is converted, one at a time
    QLocale m_locale = UserDateLocale();
    std::unique_ptr<FileDialogs> m_fileDialogs;
    std::unique_ptr<MessageBoxes> m_messageBoxes;
    std::unique_ptr<BusyObserver> m_busy;
    QString m_placementFile; // where the window's place is kept; "" keeps none
    QString m_settingsFile;  // where the Smart Recognition choice is kept; "" keeps none
    DialogHook m_coverDialog;
    DialogHook m_aboutDialog;
};

} // namespace tapewright
