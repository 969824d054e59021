// The main window: the info text and its track list XML side by side, the file commands, and
// the question about unsaved work on closing. When to convert, the document state and the
// settings kept are classes of their own (conversionsession.h, documentstate.h,
// mainsettings.h); the window shows them and forwards to them.
#pragma once

#include "app/covercheckrunner.h"
#include "app/documentstate.h"
#include "app/mainsettings.h"
#include "app/prompts.h"

#include <QLocale>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPainter;

namespace tapewright {

class BusyObserver;
class ConversionSession;
class FindBar;
class InfoPane;
class MainStatusBar;
class XmlPane;

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
    // Reopens the window where it was last closed, as the settings file keeps it.
    void RestorePlacement();
    // The files named on the program's command line: the first is loaded as File, Open Info
    // File loads it (a relative name is taken from the current folder); none changes nothing.
    void OpenStartupFiles(const QStringList &files);

    // The track list XML as the converter made it (CR LF between lines, none after the last).
    QString outputText() const;
    // The info text: the input pane's lines joined by CR LF.
    QString inputText() const;

    QString infoFileName() const { return m_document.infoFileName(); }
    QString xmlFileName() const { return m_document.xmlFileName(); }
    bool infoChanged() const { return m_document.infoChanged(); }
    bool xmlChanged() const { return m_document.xmlChanged(); }

    void setFileDialogs(std::unique_ptr<FileDialogs> dialogs);
    void setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);
    void setCoverDialog(DialogHook hook) { m_coverDialog = std::move(hook); }
    void setAboutDialog(DialogHook hook) { m_aboutDialog = std::move(hook); }
    // The locale dates are recognised and written in; UserDateLocale() by default.
    void setConversionLocale(const QLocale &locale);
    // The settings file the window keeps its choices in (none: they last until it closes):
    // Smart Recognition, the zoom and the recent files take effect at once.
    void setSettingsFile(const QString &path);
    // An info text of more characters than this is converted after a pause in typing and away
    // from the window's thread. Tests lower it to see the pause at work on small texts.
    void setDeferredConversionSize(qsizetype characters);
    // The status bar, where the cover check shows its summary.
    MainStatusBar *mainStatusBar() const { return m_statusBar; }
    // The cover check shown in the status bar, run on the XML as it stands and whenever it
    // changes; none by default.
    void setCoverCheck(CoverCheckRunner::Check check);

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
    // Steps from the designed size of the panes' font, for both panes; 0 is the designed size.
    void setZoom(int steps);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Document = DocumentState::Document;

    void createControls();
    void createActions();
    void createEditViewMenus();
    void fitLabels();
    void Form_Load();
    // True when the closing is to be cancelled.
    bool Form_QueryUnload();
    void Form_Resize();
    void Form_Paint(QPainter &painter);
    void txtInput_Change();
    void reconvert();

    bool saveDocument(Document which);
    void openRecentFile(const QString &fileName);
    void fillRecentMenu();
    void setRecentFiles(const QStringList &files);
    void rememberFolder(const QString &fileName);

    QWidget *m_client = nullptr;
    QLabel *lblInput = nullptr;
    InfoPane *txtInput = nullptr;
    QLabel *lblOutput = nullptr;
    QLabel *lblStatus = nullptr;
    XmlPane *txtOutput = nullptr;
    QCheckBox *chkSmartRecognition = nullptr;
    FindBar *m_findBar = nullptr;
    MainStatusBar *m_statusBar = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuFileOpenInfoFile = nullptr;
    QMenu *mnuFileRecent = nullptr;
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

    DocumentState m_document;
    QString m_outputPane;        // the output pane's text (the XML as shown)
    bool m_settingInput = false; // the window itself is filling the input pane
    // Lines of the loaded text longer than a pane line are shown cut into pieces, each piece
    // after the first a block marked as continuing the line before it.
    bool m_inputHasCutLines = false;
    // A text of many lines is shown several lines to a block, U+2028 between them.
    int m_linesPerBlock = 1;
    int m_zoom = 0;
    QString m_lastFolder; // where the file dialogs start
    QStringList m_recentFiles;
    MainSettings m_settings;
    std::unique_ptr<BusyObserver> m_busy;
    std::unique_ptr<ConversionSession> m_session; // goes before the observer it is given
    std::unique_ptr<CoverCheckRunner> m_coverCheck;
    std::unique_ptr<FileDialogs> m_fileDialogs;
    std::unique_ptr<MessageBoxes> m_messageBoxes;
    DialogHook m_coverDialog;
    DialogHook m_aboutDialog;
};

} // namespace tapewright
