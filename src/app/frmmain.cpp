#include "app/frmmain.h"

#include "app/busyobserver.h"
#include "app/documentfiles.h"
#include "app/mainlayout.h"
#include "common/formhelpers.h"
#include "common/paths.h"
#include "common/savefile.h"
#include "common/settings.h"
#include "convert/convertinfotext.h"
#include "smart/recogniseinfotext.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace tapewright {

namespace {

// The settings key of File, Smart Recognition: "1" on, anything else off.
const QString SmartRecognitionKey = QStringLiteral("SmartRecognition");

// The designed point size of every control's font.
constexpr double DesignedPointSize = 8.25;

// Up to this many characters an info text is converted after every edit: at that size the
// reading of the pane and the conversion take a few milliseconds. Larger texts are converted
// once typing pauses for PauseBeforeConversion, on another thread.
constexpr qsizetype DeferredConversionSize = 2'000'000;
constexpr int PauseBeforeConversion = 300; // milliseconds

// The most lines the window opens. Every line is a block of the pane, and a pane of millions of
// blocks takes minutes and gigabytes to fill; no info text comes near this.
constexpr qsizetype MostPaneLines = 1'000'000;

// The user state of a pane block that continues the line before it (a long line shown cut).
constexpr int ContinuesLine = 1;

// A text of more lines than this is shown LinesPerGroupedBlock lines to a block of the pane,
// the lines of a block separated by U+2028 (which the pane shows as line breaks): a text of
// 10 MB fills the pane in a sixth of the time and half the memory. Smaller texts, and any text
// that holds a U+2028 of its own, are shown a line to a block.
constexpr qsizetype GroupedFrom = 20'000;
constexpr int LinesPerGroupedBlock = 8;

// Above this many lines a text is converted after a pause too, however few its characters:
// the converter's cost goes with lines as much as with characters.
constexpr qsizetype DeferredConversionLines = 100'000;
// The settings file's section for the window's place: its normal (not maximised) client
// rectangle in pixels, and whether it was maximised.
constexpr char16_t PlacementSection[] = u"Window";

// The first local file a drag carries, or "" when it carries none (dragged text, for example).
QString draggedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

QPlainTextEdit *createPane(QWidget *parent, const char *name)
{
    auto *pane = new QPlainTextEdit(parent);
    pane->setObjectName(QLatin1String(name));
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return pane;
}

QLabel *createLabel(QWidget *parent, const char *name, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent), m_deferredSize(DeferredConversionSize),
      m_fileDialogs(std::make_unique<QtFileDialogs>()),
      m_messageBoxes(std::make_unique<QtMessageBoxes>())
{
    setObjectName(QStringLiteral("frmMain"));
    createControls();
    createActions();
    Form_Load();
}

frmMain::~frmMain()
{
    // A conversion still running hands its result to this window: it must end first.
    m_conversions.clear();
    m_conversions.waitForDone();
}

void frmMain::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    // Created in tab order: Alt+I passes the focus to the input pane, Alt+O to the output pane.
    lblInput = createLabel(m_client, "lblInput", QStringLiteral("&Input NFO File"));
    txtInput = createPane(m_client, "txtInput");
    lblOutput = createLabel(m_client, "lblOutput", QStringLiteral("&Output XML File"));
    lblStatus = createLabel(m_client, "lblStatus", QString());
    txtOutput = createPane(m_client, "txtOutput");
    lblInput->setBuddy(txtInput);
    lblOutput->setBuddy(txtOutput);
    setTabOrder(txtInput, txtOutput);

    lblStatus->setForegroundRole(QPalette::Highlight);
    txtOutput->setReadOnly(true);
    // Its text is replaced in pieces after every edit of the info text; nothing to undo there.
    txtOutput->setUndoRedoEnabled(false);
    // A read-only pane only scrolls on plain keys; with a keyboard caret Ctrl+Home, Ctrl+End
    // and Shift selection work there as in the input pane.
    txtOutput->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtOutput->viewport()->setCursor(Qt::ArrowCursor);

    // Dropped files load like File, Open Info File; the panes would otherwise insert their names.
    setAcceptDrops(true);
    txtInput->viewport()->installEventFilter(this);
    txtOutput->viewport()->installEventFilter(this);
    txtOutput->viewport()->setAcceptDrops(true);

    // Every edit, whether typed, pasted, dropped, cut or undone, reaches the XML.
    connect(txtInput, &QPlainTextEdit::textChanged, this, &frmMain::txtInput_Change);
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseBeforeConversion);
    connect(m_pause, &QTimer::timeout, this, &frmMain::startConversion);
    m_conversions.setMaxThreadCount(1);

    m_busy = std::make_unique<BusyObserver>(lblStatus);

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
}

void frmMain::createActions()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto add = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    const auto separator = [](QMenu *menu, const char *name) {
        QAction *action = menu->addSeparator();
        action->setObjectName(QLatin1String(name));
        return action;
    };

    mnuFileOpenInfoFile = add(mnuFile, "mnuFileOpenInfoFile", QStringLiteral("&Open Info File..."));
    connect(mnuFileOpenInfoFile, &QAction::triggered, this, &frmMain::mnuFileOpenInfoFile_Click);

    mnuFileSaveInfoFile = add(mnuFile, "mnuFileSaveInfoFile", QStringLiteral("&Save Info File..."));
    mnuFileSaveInfoFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(mnuFileSaveInfoFile, &QAction::triggered, this, &frmMain::mnuFileSaveInfoFile_Click);

    mnuFileSep1 = separator(mnuFile, "mnuFileSep1");

    mnuFileSaveXMLFile = add(mnuFile, "mnuFileSaveXMLFile", QStringLiteral("Sa&ve XML File..."));
    connect(mnuFileSaveXMLFile, &QAction::triggered, this, &frmMain::mnuFileSaveXMLFile_Click);

    mnuFileSep2 = separator(mnuFile, "mnuFileSep2");

    mnuFileSmartRecognition =
        add(mnuFile, "mnuFileSmartRecognition", QStringLiteral("Smart &Recognition"));
    mnuFileSmartRecognition->setCheckable(true);
    connect(mnuFileSmartRecognition, &QAction::triggered, this,
            &frmMain::mnuFileSmartRecognition_Click);

    mnuFileCreateCDRCover =
        add(mnuFile, "mnuFileCreateCDRCover", QStringLiteral("Create CDR Cover via &Word..."));
    mnuFileCreateCDRCover->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(mnuFileCreateCDRCover, &QAction::triggered, this,
            &frmMain::mnuFileCreateCDRCover_Click);

    mnuFileSep3 = separator(mnuFile, "mnuFileSep3");

    mnuFileExit = add(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = add(mnuHelp, "mnuHelpAbout", QStringLiteral("&About..."));
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

void frmMain::Form_Load()
{
    SetFormFont(this, QStringLiteral("Tahoma"));
    for (QPlainTextEdit *pane : {txtInput, txtOutput}) {
        QFont font = pane->font();
        font.setFamily(QStringLiteral("Courier New"));
        // Where Courier New is missing, the system's substitute must still be fixed-pitch:
        // info texts line their columns up with spaces.
        font.setStyleHint(QFont::TypeWriter);
        pane->setFont(font);
        pane->setTabStopDistance(8 * QFontMetricsF(font).horizontalAdvance(u' '));
    }
    fitLabels();

    setWindowTitle(WindowCaption(QString()));
    // The client area as designed; the menu bar comes on top of it.
    resize(TwipsToPixelsX(DesignedClientWidth, this),
           TwipsToPixelsY(DesignedClientHeight, this) + menuBar()->sizeHint().height());
    CenterForm(this);

    showInput(QString());
    txtOutput->clear();
    m_outputPane.clear();
    lblStatus->clear();
}

void frmMain::setSettingsFile(const QString &path)
{
    m_settingsFile = path;
    const bool smart = GetINIString(QString::fromUtf16(SettingsSection), SmartRecognitionKey,
                                    QStringLiteral("0"), path) == u"1";
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

QString frmMain::inputText() const
{
    // toPlainText() would turn no-break spaces into spaces.
    const QTextDocument *document = txtInput->document();
    const bool grouped = m_linesPerBlock > 1;
    if (!m_inputHasCutLines)
        return DocumentTextFromPane(document->toRawText(), grouped);
    // The blocks that continue a cut line join the one before them without a line break.
    QString raw;
    raw.reserve(document->characterCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin() && block.userState() != ContinuesLine)
            raw.append(QChar::ParagraphSeparator);
        raw.append(block.text());
    }
    return DocumentTextFromPane(raw, grouped);
}

QString frmMain::convert(const QString &infoText)
{
    // Whatever way the conversion ends, the window must not stay busy.
    struct EndBusy
    {
        BusyObserver *busy;
        ~EndBusy() { busy->busyOff(); }
    } endBusy{m_busy.get()};
    const ConvertOptions options{m_locale, m_busy.get()};
    return mnuFileSmartRecognition->isChecked() ? RecogniseInfoText(infoText, options)
                                                : ConvertInfoText(infoText, options);
}

void frmMain::showInput(const QString &infoText)
{
    // A text of many lines is shown several lines to a block of the pane: filling a pane costs
    // per block, a few microseconds each, and a block holds a line of each of its lines.
    const qsizetype lines = infoText.count(u'\n');
    m_linesPerBlock =
        lines > GroupedFrom && !infoText.contains(QChar::LineSeparator) ? LinesPerGroupedBlock : 1;
    const PaneContent pane = PaneContentFromDocument(infoText, LongestPaneLine, m_linesPerBlock);
    m_settingInput = true;
    txtInput->setPlainText(pane.text);
    QTextDocument *document = txtInput->document();
    for (int n : pane.continuations)
        document->findBlockByNumber(n).setUserState(ContinuesLine);
    m_inputHasCutLines = !pane.continuations.isEmpty();
    m_settingInput = false;
}

void frmMain::showOutput(const QString &xml)
{
    // The pane is never read back (m_xml is the XML), so long lines are cut for it without
    // keeping where.
    const QString pane = PaneContentFromDocument(xml).text;
    // Rebuilt after every edit, which mostly changes a line or two: only what differs from the
    // pane's last text is replaced, so that the pane lays out no more than those lines again,
    // and the reader keeps their place. Pane positions are those of the text: each line end is
    // one character, as in the pane.
    const QStringView before(m_outputPane);
    const qsizetype common = qMin(before.size(), pane.size());
    qsizetype head = 0;
    while (head < common && before[head] == pane[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && before[before.size() - 1 - tail] == pane[pane.size() - 1 - tail])
        ++tail;
    const int h = txtOutput->horizontalScrollBar()->value();
    const int v = txtOutput->verticalScrollBar()->value();
    QTextCursor cursor(txtOutput->document());
    cursor.setPosition(int(head));
    cursor.setPosition(int(before.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(pane.mid(head, pane.size() - tail - head));
    m_outputPane = pane;
    txtOutput->horizontalScrollBar()->setValue(h);
    txtOutput->verticalScrollBar()->setValue(v);
}

void frmMain::RestorePlacement(const QString &settingsFile)
{
    m_placementFile = settingsFile;
    const QString section = QString::fromUtf16(PlacementSection);
    const auto number = [&](const QString &key) {
        bool ok = false;
        const int value = GetINIString(section, key, QString(), settingsFile).toInt(&ok);
        return ok ? value : 0;
    };
    const QRect last(number(QStringLiteral("Left")), number(QStringLiteral("Top")),
                     number(QStringLiteral("Width")), number(QStringLiteral("Height")));
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (const std::optional<QRect> placed = RestoredPlacement(last, screens))
        setGeometry(*placed);
    if (number(QStringLiteral("Maximized")) == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::storePlacement() const
{
    if (m_placementFile.isEmpty())
        return;
    const QString section = QString::fromUtf16(PlacementSection);
    const QRect normal = normalGeometry();
    const std::pair<const char *, int> values[] = {{"Left", normal.left()},
                                                   {"Top", normal.top()},
                                                   {"Width", normal.width()},
                                                   {"Height", normal.height()},
                                                   {"Maximized", isMaximized() ? 1 : 0}};
    // Where the window was is a convenience: a failure to keep it is not worth a message while
    // the window closes, and the file stays as it was.
    for (const auto &[key, value] : values) {
        if (!WriteINIString(section, QLatin1String(key), QString::number(value), m_placementFile))
            break;
    }
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
    const QString xml = convert(file->text);

    setWindowTitle(WindowCaption(pFileName));
    // Whatever conversion of the old text is waiting or running is of no use any more.
    m_pause->stop();
    lblStatus->clear();
    showInput(file->text);
    m_xmlRevision = ++m_revision;
    m_xml = xml;
    showOutput(xml);
    mInfoFileName = pFileName;
    mXmlFileName = ProposedXmlFileName(pFileName);
    m_infoEncoding = file->encoding;
    mInfoChanged = false;
    mXmlChanged = true;
    return true;
}

void frmMain::txtInput_Change()
{
    if (m_settingInput)
        return;
    mInfoChanged = true;
    reconvert();
}

// Converts the text as it stands: at once when it is small, after a pause in typing when large.
void frmMain::reconvert()
{
    ++m_revision;
    const QTextDocument *document = txtInput->document();
    if (document->characterCount() > m_deferredSize ||
        qsizetype(document->blockCount()) * m_linesPerBlock > DeferredConversionLines) {
        m_pause->start(); // again from the start at every edit
        return;
    }
    m_pause->stop();
    takeXml(convert(inputText()));
    m_xmlRevision = m_revision;
}

// The XML of the text as it now stands; whether it differs from the last one decides whether
// the XML counts as changed.
void frmMain::takeXml(const QString &xml)
{
    if (xml == m_xml)
        return;
    m_xml = xml;
    showOutput(xml);
    mXmlChanged = true;
}

// Typing has paused on a large text: its text is taken from the pane now and converted on
// another thread, and the result is shown only if no edit came in the meantime.
void frmMain::startConversion()
{
    const QString text = inputText();
    const quint64 revision = m_revision;
    const QLocale locale = m_locale;
    const bool smart = mnuFileSmartRecognition->isChecked();
    lblStatus->setText(QStringLiteral("Parsing..."));
    m_conversions.clear(); // a conversion not yet started is of an older text
    m_conversions.start([this, text, revision, locale, smart] {
        const ConvertOptions options{locale, nullptr};
        QString xml = smart ? RecogniseInfoText(text, options) : ConvertInfoText(text, options);
        // Delivered to the window's thread; the window waits for this job before it goes.
        QMetaObject::invokeMethod(
            this, [this, revision, xml = std::move(xml)] { conversionDone(revision, xml); },
            Qt::QueuedConnection);
    });
}

void frmMain::conversionDone(quint64 revision, const QString &xml)
{
    if (revision != m_revision)
        return; // the text has changed since: another conversion follows
    lblStatus->clear();
    takeXml(xml);
    m_xmlRevision = revision;
}

// Before the XML is saved, given to the cover or asked about, it must be that of the text as it
// stands, not the one before the last pause in typing.
void frmMain::settleXml()
{
    if (m_xmlRevision == m_revision)
        return;
    m_pause->stop();
    lblStatus->clear();
    takeXml(convert(inputText()));
    m_xmlRevision = m_revision;
}

void frmMain::mnuFileOpenInfoFile_Click()
{
    const QString fileName = m_fileDialogs->showOpen(this, OpenInfoFileDialog());
    if (fileName.isEmpty())
        return;
    ProcessFile(fileName);
}

bool frmMain::saveDocument(Document which)
{
    const bool info = which == Document::Info;
    const QString proposed = info ? mInfoFileName : mXmlFileName;
    const QString fileName = m_fileDialogs->showSave(
        this, proposed, info ? SaveInfoFileDialog(proposed) : SaveXmlFileDialog(proposed));
    if (fileName.isEmpty())
        return false;
    if (!info)
        settleXml();
    const QByteArray bytes =
        info ? EncodeInfoText(inputText(), m_infoEncoding) : EncodeXmlText(m_xml);
    const Result<void> saved = SaveFile(fileName, bytes);
    if (!saved) {
        m_messageBoxes->showError(this, saved.error());
        return false;
    }
    // Saving under another name changes neither proposed name nor the caption.
    (info ? mInfoChanged : mXmlChanged) = false;
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
    if (m_settingsFile.isEmpty())
        return;
    // Not stored, the choice still holds until the window closes.
    const Result<void> stored =
        WriteINIString(QString::fromUtf16(SettingsSection), SmartRecognitionKey,
                       checked ? QStringLiteral("1") : QStringLiteral("0"), m_settingsFile);
    if (!stored)
        m_messageBoxes->showError(this, stored.error());
}

void frmMain::mnuFileCreateCDRCover_Click()
{
    settleXml();
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

// True when the closing is to be cancelled: Cancel, or Yes whose save did not happen.
bool frmMain::askToSave(Document which)
{
    const bool info = which == Document::Info;
    QString name = info ? mInfoFileName : mXmlFileName;
    if (name.isEmpty())
        name = QString::fromUtf16(info ? UntitledInfoName : UntitledXmlName);
    switch (m_messageBoxes->askYesNoCancel(this, UnloadQuestionText(name))) {
    case Answer::Yes:
        // A save that is cancelled or fails keeps the window open, or the edits would be lost.
        return !saveDocument(which);
    case Answer::No:
        return false;
    case Answer::Cancel:
        return true;
    }
    return true;
}

bool frmMain::Form_QueryUnload()
{
    // Both questions come in one closing, info first, even when the first one cancels it.
    settleXml();
    bool cancel = false;
    if (mInfoChanged)
        cancel = askToSave(Document::Info) || cancel;
    if (mXmlChanged)
        cancel = askToSave(Document::Xml) || cancel;
    return cancel;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_QueryUnload()) {
        event->ignore();
        return;
    }
    storePlacement();
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
    // File drops on the panes; text drags go on to the pane.
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (draggedFile(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString fileName = draggedFile(drop->mimeData());
        if (fileName.isEmpty())
            return false;
        drop->acceptProposedAction();
        loadDroppedFile(fileName);
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dragMoveEvent(QDragMoveEvent *event)
{
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    const QString fileName = draggedFile(event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    loadDroppedFile(fileName);
}

void frmMain::loadDroppedFile(const QString &fileName)
{
    // Loaded once the drop has finished: a message box about an unreadable file must not open
    // while the drag source still waits for the drop to end.
    QMetaObject::invokeMethod(
        this, [this, fileName] { ProcessFile(fileName); }, Qt::QueuedConnection);
}

} // namespace tapewright
