#include "app/frmmain.h"

#include "app/busyobserver.h"
#include "app/conversionsession.h"
#include "app/documentfiles.h"
#include "app/filedrops.h"
#include "app/findbar.h"
#include "app/mainlayout.h"
#include "app/mainstatusbar.h"
#include "app/panes.h"
#include "common/formhelpers.h"
#include "common/savefile.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>

namespace tapewright {

namespace {

// The designed point size of every control's font.
constexpr double DesignedPointSize = 8.25;

// The panes' zoom, in steps of a point from the designed size: down to 4.25 pt, up to 32.25 pt.
constexpr int LeastZoom = -4;
constexpr int MostZoom = 24;

// The most lines the window opens. Every line is a block of the pane, and a pane of millions of
// blocks takes minutes and gigabytes to fill; no info text comes near this.
constexpr qsizetype MostPaneLines = 1'000'000;

QLabel *createLabel(QWidget *parent, const char *name, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption,
                  const QList<QKeySequence> &shortcuts = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(shortcuts);
    return action;
}

QAction *menuSeparator(QMenu *menu, const char *name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent), m_fileDialogs(std::make_unique<QtFileDialogs>()),
      m_messageBoxes(std::make_unique<QtMessageBoxes>())
{
    setObjectName(QStringLiteral("frmMain"));
    createControls();
    createActions();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    // Created in tab order: Alt+I passes the focus to the input pane, Alt+O to the output pane.
    lblInput = createLabel(m_client, "lblInput", QStringLiteral("&Input NFO File"));
    txtInput = new InfoPane(QStringLiteral("txtInput"), m_client);
    lblOutput = createLabel(m_client, "lblOutput", QStringLiteral("&Output XML File"));
    lblStatus = createLabel(m_client, "lblStatus", QString());
    txtOutput = new XmlPane(QStringLiteral("txtOutput"), m_client);
    chkSmartRecognition = new QCheckBox(QStringLiteral("&Smart Recognition"), m_client);
    chkSmartRecognition->setObjectName(QStringLiteral("chkSmartRecognition"));
    chkSmartRecognition->setToolTip(QStringLiteral(
        "Reads the info text as a collector does: the band alone, the header in any of the usual "
        "layouts, disc headings in any spelling, tracks without their numbers and times.\n"
        "Off: the classic conversion, by keywords and the first characters of lines."));
    chkSmartRecognition->stackUnder(lblStatus); // "Parsing..." stays readable
    lblInput->setBuddy(txtInput);
    lblOutput->setBuddy(txtOutput);
    setTabOrder(txtInput, txtOutput);
    setTabOrder(txtOutput, chkSmartRecognition);

    lblStatus->setForegroundRole(QPalette::Highlight);

    // Dropped files load like File, Open Info File. Ctrl and the wheel zoom both panes.
    auto *drops = new FileDrops(this);
    for (QWidget *target :
         {static_cast<QWidget *>(this), txtInput->viewport(), txtOutput->viewport()})
        drops->watch(target);
    connect(drops, &FileDrops::fileDropped, this, &frmMain::ProcessFile);
    txtInput->viewport()->installEventFilter(this);
    txtOutput->viewport()->installEventFilter(this);

    m_busy = std::make_unique<BusyObserver>(lblStatus);
    m_session = std::make_unique<ConversionSession>([this] { return inputText(); });
    m_session->setObserver(m_busy.get());
    m_coverCheck = std::make_unique<CoverCheckRunner>();
    connect(m_session.get(), &ConversionSession::xmlChanged, this, [this](const QString &xml) {
        txtOutput->showDocument(xml);
        m_document.xmlRebuilt();
        m_coverCheck->check(xml);
    });
    connect(m_session.get(), &ConversionSession::parsing, this, [this](bool busy) {
        lblStatus->setText(busy ? QStringLiteral("Parsing...") : QString());
    });
    // Every edit, whether typed, pasted, dropped, cut or undone, reaches the XML.
    connect(txtInput, &QPlainTextEdit::textChanged, this, &frmMain::txtInput_Change);
    connect(&m_document, &DocumentState::infoChangedChanged, this, &frmMain::setWindowModified);
    connect(&m_document, &DocumentState::captionChanged, this, &frmMain::setWindowTitle);

    const std::pair<QWidget *, QRect> designed[] = {
        {lblInput, DesignedInputLabel},   {txtInput, DesignedInputPane},
        {lblOutput, DesignedOutputLabel}, {lblStatus, DesignedStatusLabel},
        {txtOutput, DesignedOutputPane},
    };
    for (const auto &[widget, twips] : designed)
        widget->setGeometry(TwipsToPixels(twips, this));

    QFont font = this->font();
    font.setPointSizeF(DesignedPointSize);
    for (const auto &[widget, twips] : designed)
        widget->setFont(font);
    chkSmartRecognition->setFont(font);

    m_findBar = new FindBar(txtInput, this);
    addToolBar(Qt::BottomToolBarArea, m_findBar);
    m_findBar->hide();
    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    connect(m_coverCheck.get(), &CoverCheckRunner::checked, m_statusBar,
            &MainStatusBar::setCoverCheck);
    connect(m_session.get(), &ConversionSession::recognitionChanged, m_statusBar,
            &MainStatusBar::setRecognition);
}

void frmMain::fitLabels()
{
    // The labels were measured for Tahoma; a wider substitute would cut "&Input NFO File" short.
    // They may grow to their text, never shrink below the designed width.
    for (QLabel *label : {lblInput, lblOutput}) {
        const int needed = label->sizeHint().width();
        if (label->width() < needed)
            label->resize(needed, label->height());
    }
    chkSmartRecognition->resize(chkSmartRecognition->sizeHint());
}

// The menus and shortcuts as designed, and beside them the everyday ones of text editors: none
// takes Ctrl+S or Ctrl+W, nor Alt+I and Alt+O of the pane labels.
void frmMain::createActions()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileOpenInfoFile = menuItem(mnuFile, "mnuFileOpenInfoFile",
                                   QStringLiteral("&Open Info File..."), {QKeySequence::Open});
    connect(mnuFileOpenInfoFile, &QAction::triggered, this, &frmMain::mnuFileOpenInfoFile_Click);
    mnuFileRecent = mnuFile->addMenu(QStringLiteral("Open Rece&nt"));
    mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    connect(mnuFileRecent, &QMenu::aboutToShow, this, &frmMain::fillRecentMenu);

    mnuFileSaveInfoFile = menuItem(mnuFile, "mnuFileSaveInfoFile",
                                   QStringLiteral("&Save Info File..."), {Qt::CTRL | Qt::Key_S});
    connect(mnuFileSaveInfoFile, &QAction::triggered, this, &frmMain::mnuFileSaveInfoFile_Click);
    mnuFileSep1 = menuSeparator(mnuFile, "mnuFileSep1");
    mnuFileSaveXMLFile =
        menuItem(mnuFile, "mnuFileSaveXMLFile", QStringLiteral("Sa&ve XML File..."));
    connect(mnuFileSaveXMLFile, &QAction::triggered, this, &frmMain::mnuFileSaveXMLFile_Click);
    mnuFileSep2 = menuSeparator(mnuFile, "mnuFileSep2");

    mnuFileSmartRecognition =
        menuItem(mnuFile, "mnuFileSmartRecognition", QStringLiteral("Smart &Recognition"));
    mnuFileSmartRecognition->setCheckable(true);
    connect(mnuFileSmartRecognition, &QAction::triggered, this,
            &frmMain::mnuFileSmartRecognition_Click);
    // The toggle by the XML pane and the menu item are one choice.
    connect(mnuFileSmartRecognition, &QAction::toggled, chkSmartRecognition,
            &QCheckBox::setChecked);
    connect(chkSmartRecognition, &QCheckBox::clicked, mnuFileSmartRecognition, &QAction::trigger);

    mnuFileCreateCDRCover =
        menuItem(mnuFile, "mnuFileCreateCDRCover", QStringLiteral("Create CDR Cover via &Word..."),
                 {Qt::CTRL | Qt::Key_W});
    connect(mnuFileCreateCDRCover, &QAction::triggered, this,
            &frmMain::mnuFileCreateCDRCover_Click);
    mnuFileSep3 = menuSeparator(mnuFile, "mnuFileSep3");
    mnuFileExit = menuItem(mnuFile, "mnuFileExit", QStringLiteral("E&xit"), {Qt::CTRL | Qt::Key_Q});
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    createEditViewMenus();

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = menuItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&About..."));
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

void frmMain::createEditViewMenus()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    connect(menuItem(edit, "mnuEditFind", QStringLiteral("&Find..."), {QKeySequence::Find}),
            &QAction::triggered, m_findBar, &FindBar::open);
    connect(menuItem(edit, "mnuEditFindNext", QStringLiteral("Find &Next"),
                     QKeySequence::keyBindings(QKeySequence::FindNext)),
            &QAction::triggered, m_findBar, &FindBar::findNext);
    connect(menuItem(edit, "mnuEditFindPrevious", QStringLiteral("Find &Previous"),
                     QKeySequence::keyBindings(QKeySequence::FindPrevious)),
            &QAction::triggered, m_findBar, &FindBar::findPrevious);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    // Ctrl+= too: on many keyboards "+" is a shifted "=".
    connect(menuItem(view, "mnuViewZoomIn", QStringLiteral("Zoom &In"),
                     {QKeySequence::ZoomIn, Qt::CTRL | Qt::Key_Equal}),
            &QAction::triggered, this, [this] { setZoom(m_zoom + 1); });
    connect(menuItem(view, "mnuViewZoomOut", QStringLiteral("Zoom &Out"), {QKeySequence::ZoomOut}),
            &QAction::triggered, this, [this] { setZoom(m_zoom - 1); });
    connect(menuItem(view, "mnuViewZoomReset", QStringLiteral("&Designed Size"),
                     {Qt::CTRL | Qt::Key_0}),
            &QAction::triggered, this, [this] { setZoom(0); });
}

void frmMain::Form_Load()
{
    SetFormFont(this, QStringLiteral("Tahoma"));
    setZoom(0); // the panes' font: Courier New at the designed size
    fitLabels();

    setWindowTitle(m_document.caption());
    // The client area as designed; the menu bar and the status bar come around it.
    resize(TwipsToPixelsX(DesignedClientWidth, this), TwipsToPixelsY(DesignedClientHeight, this) +
                                                          menuBar()->sizeHint().height() +
                                                          m_statusBar->sizeHint().height());
    CenterForm(this);

    lblStatus->clear();
}

void frmMain::setSettingsFile(const QString &path)
{
    m_settings = MainSettings(path);
    const MainSettings::Window window = m_settings.window();
    setZoom(window.zoom);
    m_lastFolder = window.folder;
    m_recentFiles = m_settings.recentFiles();
    const bool smart = m_settings.smartRecognition();
    if (smart == mnuFileSmartRecognition->isChecked())
        return;
    mnuFileSmartRecognition->setChecked(smart);
    reconvert();
}

void frmMain::setFileDialogs(std::unique_ptr<FileDialogs> dialogs)
{
    m_fileDialogs = std::move(dialogs);
}

void frmMain::setMessageBoxes(std::unique_ptr<MessageBoxes> boxes)
{
    m_messageBoxes = std::move(boxes);
}

void frmMain::setConversionLocale(const QLocale &locale)
{
    m_session->setLocale(locale);
}

void frmMain::setDeferredConversionSize(qsizetype characters)
{
    m_session->setDeferredSize(characters);
}

QString frmMain::outputText() const
{
    return m_session->xml();
}

QString frmMain::inputText() const
{
    return txtInput->documentText();
}

void frmMain::RestorePlacement()
{
    const MainSettings::Window last = m_settings.window();
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (const std::optional<QRect> placed = RestoredPlacement(last.normal, screens))
        setGeometry(*placed);
    if (last.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::OpenStartupFiles(const QStringList &files)
{
    if (!files.isEmpty())
        ProcessFile(QFileInfo(files.first()).absoluteFilePath());
}

bool frmMain::ProcessFile(const QString &pFileName)
{
    // Read and convert first: a failure must leave caption, panes, names and flags as they were.
    const Result<DecodedText> file = ReadTextFile(pFileName);
    if (!file) {
        m_messageBoxes->showError(this, file.error());
        return false;
    }
    // Every line ends in CR LF once decoded.
    if (const qsizetype lines = file->text.count(u'\n'); lines > MostPaneLines) {
        m_messageBoxes->showError(
            this, QStringLiteral("%1 has %2 lines; the window opens texts of up to %3 lines. "
                                 "That is too many for an info text; please choose the show's "
                                 ".txt or .nfo file.")
                      .arg(QuotedPath(pFileName), QLocale().toString(lines),
                           QLocale().toString(MostPaneLines)));
        return false;
    }
    m_session->setInfoPath(pFileName);
    const QString xml = m_session->convertNow(file->text);

    txtInput->setDocumentText(file->text);
    m_session->loaded(xml);
    m_document.loaded(pFileName, file->encoding);
    rememberFolder(pFileName);
    setRecentFiles(WithRecentFile(m_recentFiles, pFileName));
    return true;
}

void frmMain::setCoverCheck(CoverCheckRunner::Check check)
{
    m_coverCheck->setCheck(std::move(check));
    m_coverCheck->check(m_session->xml());
}

void frmMain::txtInput_Change()
{
    m_document.infoEdited();
    reconvert();
}

// Converts the text as it stands: at once when it is small, after a pause in typing when large.
void frmMain::reconvert()
{
    m_session->setSmart(mnuFileSmartRecognition->isChecked());
    m_session->edited(txtInput->document()->characterCount(), txtInput->lineCount());
}

void frmMain::fillRecentMenu()
{
    mnuFileRecent->clear();
    for (qsizetype n = 0; n < m_recentFiles.size(); ++n) {
        const QString &file = m_recentFiles.at(n);
        // "&1 show.txt": the number is the access key; a "&" of the name is shown as one.
        QAction *action = mnuFileRecent->addAction(QStringLiteral("&%1 %2").arg(n + 1).arg(
            ExtractFileName(file).replace(u'&', QStringLiteral("&&"))));
        action->setObjectName(QStringLiteral("mnuFileRecent%1").arg(n + 1));
        action->setStatusTip(file);
        connect(action, &QAction::triggered, this, [this, file] { openRecentFile(file); });
    }
    mnuFileRecent->addSeparator();
    QAction *clear = mnuFileRecent->addAction(QStringLiteral("&Clear List"));
    clear->setObjectName(QStringLiteral("mnuFileRecentClear"));
    clear->setEnabled(!m_recentFiles.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { setRecentFiles({}); });
}

void frmMain::openRecentFile(const QString &fileName)
{
    if (QFileInfo::exists(fileName)) {
        ProcessFile(fileName);
        return;
    }
    QStringList files = m_recentFiles;
    files.removeAll(fileName);
    setRecentFiles(files);
    m_messageBoxes->showError(this, QStringLiteral("%1 is no longer there; it has been taken off "
                                                   "the recent files.")
                                        .arg(QuotedPath(fileName)));
}

void frmMain::setRecentFiles(const QStringList &files)
{
    if (files == m_recentFiles)
        return;
    m_recentFiles = files;
    // Not kept, the list still serves until the window closes.
    if (const Result<void> stored = m_settings.storeRecentFiles(files); !stored)
        m_messageBoxes->showError(this, stored.error());
}

void frmMain::rememberFolder(const QString &fileName)
{
    m_lastFolder = QFileInfo(fileName).absolutePath();
}

void frmMain::mnuFileOpenInfoFile_Click()
{
    const QString fileName = m_fileDialogs->showOpen(this, OpenInfoFileDialog(m_lastFolder));
    if (fileName.isEmpty())
        return;
    ProcessFile(fileName);
}

bool frmMain::saveDocument(Document which)
{
    const bool info = which == Document::Info;
    const QString proposed = m_document.proposedName(which);
    const QString fileName =
        m_fileDialogs->showSave(this, proposed,
                                info ? SaveInfoFileDialog(proposed, m_lastFolder)
                                     : SaveXmlFileDialog(proposed, m_lastFolder));
    if (fileName.isEmpty())
        return false;
    if (!info)
        m_session->settle();
    const QByteArray bytes = info ? EncodeInfoText(inputText(), m_document.infoEncoding())
                                  : EncodeXmlText(m_session->xml());
    const Result<void> saved = SaveFile(fileName, bytes);
    if (!saved) {
        m_messageBoxes->showError(this, saved.error());
        return false;
    }
    // Saving under another name changes neither proposed name nor the caption.
    m_document.saved(which);
    rememberFolder(fileName);
    return true;
}

bool frmMain::mnuFileSaveInfoFile_Click()
{
    return saveDocument(Document::Info);
}

bool frmMain::mnuFileSaveXMLFile_Click()
{
    return saveDocument(Document::Xml);
}

void frmMain::mnuFileSmartRecognition_Click(bool checked)
{
    reconvert();
    // Not stored, the choice still holds until the window closes.
    if (const Result<void> stored = m_settings.setSmartRecognition(checked); !stored)
        m_messageBoxes->showError(this, stored.error());
}

void frmMain::mnuFileCreateCDRCover_Click()
{
    m_session->settle();
    if (m_coverDialog)
        m_coverDialog(this);
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::mnuHelpAbout_Click()
{
    if (m_aboutDialog)
        m_aboutDialog(this);
}

void frmMain::setZoom(int steps)
{
    m_zoom = std::clamp(steps, LeastZoom, MostZoom);
    for (TextPane *pane : std::initializer_list<TextPane *>{txtInput, txtOutput}) {
        QFont font = pane->font();
        font.setFamily(QStringLiteral("Courier New"));
        // Where Courier New is missing, the system's substitute must still be fixed-pitch:
        // info texts line their columns up with spaces.
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(DesignedPointSize + m_zoom);
        pane->setFont(font);
        pane->setTabStopDistance(8 * QFontMetricsF(font).horizontalAdvance(u' '));
    }
}

bool frmMain::Form_QueryUnload()
{
    // Before the questions: they are about the XML of the text as it stands.
    m_session->settle();
    return m_document.queryUnload(
        [this](const QString &name) {
            return m_messageBoxes->askYesNoCancel(this, UnloadQuestionText(name));
        },
        [this](Document which) { return saveDocument(which); });
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_QueryUnload()) {
        event->ignore();
        return;
    }
    m_settings.storeWindow({normalGeometry(), isMaximized(), m_zoom, m_lastFolder});
    event->accept();
}

void frmMain::Form_Resize()
{
    const double tppx = TwipsPerPixelX(this);
    const double tppy = TwipsPerPixelY(this);
    LayoutInput in;
    in.clientWidth = m_client->width() * tppx;
    in.clientHeight = m_client->height() * tppy;
    in.inputLeft = txtInput->x() * tppx;
    in.inputTop = txtInput->y() * tppy;
    in.outputTop = txtOutput->y() * tppy;
    in.statusWidth = lblStatus->width() * tppx;
    const PaneLayout out = ComputePaneLayout(in);

    // Both panes get the same pixel width, even when the exact halving leaves half a twip.
    const int width = TwipsToPixelsX(out.inputWidth, this);
    const int inputHeight = TwipsToPixelsY(out.inputHeight, this);
    const int outputHeight = TwipsToPixelsY(out.outputHeight, this);
    const int outputLeft = TwipsToPixelsX(out.outputLeft, this);
    txtInput->resize(width, inputHeight);
    txtOutput->setGeometry(outputLeft, txtOutput->y(), width, outputHeight);
    lblOutput->move(outputLeft, lblOutput->y());
    // The labels keep their size; the status label ends on the output pane's right edge.
    lblStatus->move(outputLeft + width - lblStatus->width(), lblStatus->y());
    // The toggle follows the XML pane's label, on its line.
    chkSmartRecognition->move(
        lblOutput->x() + lblOutput->width() + TwipsToPixelsX(DesignedInputPane.left(), this),
        lblOutput->y() + (lblOutput->height() - chkSmartRecognition->height()) / 2);
}

void frmMain::Form_Paint(QPainter &painter)
{
    // An etched groove under the menu bar: a dark line with a light one a pixel below it. It
    // runs the window's whole width.
    const int dark = TwipsToPixelsY(SeparatorTop, this);
    const int width = this->width();
    painter.setPen(QPen(palette().color(QPalette::Light), 1));
    painter.drawLine(0, dark + 1, width, dark + 1);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.drawLine(0, dark, width, dark);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client) {
        if (event->type() == QEvent::Resize) {
            Form_Resize();
        } else if (event->type() == QEvent::Paint) {
            QPainter painter(m_client);
            Form_Paint(painter);
        }
        return false;
    }
    // Ctrl and the wheel zoom both panes (a pane by itself zooms only when it is read-only).
    if (event->type() != QEvent::Wheel)
        return QMainWindow::eventFilter(watched, event);
    const auto *wheel = static_cast<QWheelEvent *>(event);
    if (!wheel->modifiers().testFlag(Qt::ControlModifier))
        return false;
    if (const int notches = wheel->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep)
        setZoom(m_zoom + notches);
    return true;
}

} // namespace tapewright
