#include "cover/ui/frmcover.h"

#include "common/formhelpers.h"
#include "common/paths.h"
#include "convert/daterecogniser.h"
#include "cover/fill/filecoverdocument.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tapewright {

namespace {

// The designed client area, in twips.
constexpr int ClientWidth = 5790;
constexpr int ClientHeight = 1965;

// The hourglass from the start of a run until its end, also when the run ends early.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    void restore()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = true;
};

// The designed sizes, in twips: the least the controls start with.
constexpr int TemplateListWidth = 2775;
constexpr int NameBoxWidth = 2505;
constexpr int ButtonWidth = 1200;
constexpr int ButtonHeight = 360;
// Between a caption and its control: a label never touches what it names.
constexpr int CaptionGap = 180;
// Between OK and Cancel, as designed; some styles put buttons edge to edge.
constexpr int ButtonGap = 90;

// Told over parent once the desktop has said it opened no application for the cover; Open
// Folder shows where the cover is.
void tellNotOpened(QWidget *parent, const QString &path, MessageBoxes *boxes,
                   const ShellOpener &openFolder)
{
    if (!boxes)
        return;
    const QString text =
        QStringLiteral("The cover was saved as %1, but no application could be started to open "
                       "it. Viewing and printing a cover needs a word processor, such as "
                       "LibreOffice Writer.")
            .arg(QuotedPath(path));
    if (boxes->showNoticeWithAction(parent, text, QStringLiteral("Open &Folder")) && openFolder)
        openFolder(QFileInfo(path).absolutePath());
}

} // namespace

CoverDialogEnvironment DefaultCoverEnvironment(const QString &settingsFile,
                                               const ShellOpener &openFolder,
                                               std::function<QString()> xmlText)
{
    CoverDialogEnvironment env;
    env.templateFolder = TemplateFolderFor(QCoreApplication::applicationDirPath());
    env.settingsFile = settingsFile;
    env.coversFolder = DefaultCacheFolder() + QStringLiteral("/covers");
    env.xmlText = std::move(xmlText);
    env.newDocument = [] { return std::make_unique<FileCoverDocument>(); };
    env.openCover = OpenDocument;
    env.openFolder = openFolder;
    env.messageBoxes = std::make_shared<QtMessageBoxes>();
    env.locale = UserDateLocale();
    env.today = [] { return QDate::currentDate(); };
    env.checkCover = [locale = env.locale](const QString &xml, const QString &templatePath,
                                           const CoverChoices &choices) {
        CoverCheckOptions options;
        options.locale = locale;
        options.templatePath = templatePath;
        options.choices = choices;
        return CheckCover(xml, options);
    };
    env.choosePicture = [](QWidget *parent, const QString &start) {
        return QFileDialog::getOpenFileName(
            parent, QStringLiteral("Picture for the Front of the Cover"), start,
            QStringLiteral("PNG and JPEG pictures (*.png *.jpg *.jpeg *.PNG *.JPG *.JPEG);;"
                           "All files (*)"));
    };
    return env;
}

frmCover::frmCover(CoverDialogEnvironment environment, QWidget *parent)
    : QDialog(parent), m_env(std::move(environment))
{
    setObjectName(QStringLiteral("frmCover"));
    setWindowTitle(QStringLiteral("Create CDR Cover via Word"));
    // The ordinary sizable border with a close box, no minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    createControls();
    Form_Load();
}

frmCover::~frmCover() = default;

void frmCover::createControls()
{
    // What the cover will show and what is wrong with it, read before OK is pressed.
    lblCheck = new QLabel(this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setTextFormat(Qt::PlainText);
    lblCheck->setWordWrap(true);
    lblCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblCheck->hide();

    Label1 = new QLabel(QStringLiteral("&Template File"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    // A drop-down list to choose from, no typing; entries stay in the order they are added.
    cboTemplate = new QComboBox(this);
    cboTemplate->setObjectName(QStringLiteral("cboTemplate"));
    cboTemplate->setEditable(false);
    cboTemplate->setInsertPolicy(QComboBox::NoInsert);
    Label1->setBuddy(cboTemplate);

    // The check box heads the frame that holds the name it switches on and off.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFocusPolicy(Qt::NoFocus);

    chkCollection = new QCheckBox(QStringLiteral("Add \"&From the collection of\" text"), Frame1);
    chkCollection->setObjectName(QStringLiteral("chkCollection"));

    lblYourName = new QLabel(QStringLiteral("Your &Name"), Frame1);
    lblYourName->setObjectName(QStringLiteral("lblYourName"));
    txtYourName = new QLineEdit(Frame1);
    txtYourName->setObjectName(QStringLiteral("txtYourName"));
    lblYourName->setBuddy(txtYourName);

    // The front's picture: chosen with the button or typed, and cleared with the other button
    // or by emptying the path.
    cmdPicture = new QPushButton(QStringLiteral("&Picture..."), this);
    cmdPicture->setObjectName(QStringLiteral("cmdPicture"));
    txtPicture = new QLineEdit(this);
    txtPicture->setObjectName(QStringLiteral("txtPicture"));
    txtPicture->setPlaceholderText(QStringLiteral("No picture on the front"));
    txtPicture->setAccessibleName(QStringLiteral("Picture file"));
    cmdNoPicture = new QPushButton(QStringLiteral("C&lear"), this);
    cmdNoPicture->setObjectName(QStringLiteral("cmdNoPicture"));
    cmdNoPicture->setAccessibleName(QStringLiteral("No picture"));
    // Enter in the path presses OK, as everywhere else in the dialog.
    cmdPicture->setAutoDefault(false);
    cmdNoPicture->setAutoDefault(false);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Enter presses the default button; Esc rejects the dialog, as Cancel does.
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    // Layouts rather than the designed positions: every caption keeps its whole text whatever
    // the font and its size; the designed sizes are where the controls start.
    auto *frameLayout = new QGridLayout(Frame1);
    frameLayout->addWidget(chkCollection, 0, 0, 1, 2);
    frameLayout->addWidget(lblYourName, 1, 0);
    frameLayout->addWidget(txtYourName, 1, 1);
    frameLayout->setColumnStretch(1, 1);
    frameLayout->setHorizontalSpacing(TwipsToPixelsX(CaptionGap, this));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    buttons->setSpacing(TwipsToPixelsY(ButtonGap, this));

    auto *picture = new QHBoxLayout;
    picture->addWidget(txtPicture, 1);
    picture->addWidget(cmdNoPicture);

    auto *layout = new QGridLayout(this);
    layout->addWidget(lblCheck, 0, 0, 1, 3);
    layout->addWidget(Label1, 1, 0);
    layout->addWidget(cboTemplate, 1, 1);
    layout->addWidget(Frame1, 2, 0, 1, 2);
    layout->addWidget(cmdPicture, 3, 0);
    layout->addLayout(picture, 3, 1);
    layout->addLayout(buttons, 1, 2, 4, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(4, 1);
    layout->setHorizontalSpacing(TwipsToPixelsX(CaptionGap, this));

    setTabOrder(cboTemplate, chkCollection);
    setTabOrder(chkCollection, txtYourName);
    setTabOrder(txtYourName, cmdPicture);
    setTabOrder(cmdPicture, txtPicture);
    setTabOrder(txtPicture, cmdNoPicture);
    setTabOrder(cmdNoPicture, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(chkCollection, &QCheckBox::stateChanged, this, [this] {
        // A grayed box is only ever restored from the settings: once the user has changed it,
        // clicking cycles between checked and unchecked alone.
        if (chkCollection->checkState() != Qt::PartiallyChecked)
            chkCollection->setTristate(false);
        chkCollection_Click();
    });
    connect(cmdPicture, &QPushButton::clicked, this, &frmCover::cmdPicture_Click);
    connect(txtPicture, &QLineEdit::textChanged, this, &frmCover::txtPicture_Change);
    connect(cmdNoPicture, &QPushButton::clicked, txtPicture, &QLineEdit::clear);
    connect(cmdOK, &QPushButton::clicked, this, &frmCover::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCover::cmdCancel_Click);
}

void frmCover::Form_Load()
{
    // The font first: the layout's sizes follow the captions in that face.
    SetFormFont(this, QStringLiteral("Tahoma"));
    cboTemplate->setMinimumWidth(TwipsToPixelsX(TemplateListWidth, this));
    txtYourName->setMinimumWidth(TwipsToPixelsX(NameBoxWidth, this));
    for (QPushButton *button : {cmdOK, cmdCancel})
        button->setMinimumSize(TwipsToPixelsX(ButtonWidth, this),
                               TwipsToPixelsY(ButtonHeight, this));
    layout()->activate();
    resize(QSize(TwipsToPixelsX(ClientWidth, this), TwipsToPixelsY(ClientHeight, this))
               .expandedTo(sizeHint()));
    CenterForm(this);

    cboTemplate->addItems(ListCoverTemplates(m_env.templateFolder));

    const CoverChoices last = LoadCoverChoices(m_env.settingsFile);
    txtYourName->setText(last.userName);
    setCollectionValue(last.collectionState);
    // Only an exact match, letter case included, is selected; otherwise the list shows an
    // empty field.
    cboTemplate->setCurrentIndex(-1);
    const int count = cboTemplate->count();
    for (int i = 0; i < count; ++i) {
        if (cboTemplate->itemText(i) == last.templateFileName)
            cboTemplate->setCurrentIndex(i);
    }
    // Also when the box kept its design state, so the name controls follow it.
    chkCollection_Click();
    // A picture moved or deleted since is not offered again: OK would only fail on it.
    txtPicture->setText(QFileInfo(last.picturePath).isFile() ? last.picturePath : QString());
    txtPicture_Change();
    // Checked once for the template restored, not for each that the list passed through.
    showCheck();
    connect(cboTemplate, &QComboBox::currentIndexChanged, this, &frmCover::showCheck);
    cboTemplate->setFocus();
}

int frmCover::collectionValue() const
{
    switch (chkCollection->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        break;
    }
    return 2;
}

void frmCover::setCollectionValue(int value)
{
    if (value == 2) {
        chkCollection->setTristate(true);
        chkCollection->setCheckState(Qt::PartiallyChecked);
    } else {
        chkCollection->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
    }
}

void frmCover::chkCollection_Click()
{
    // A grayed box leaves the name controls as they are. The name keeps its text while
    // disabled; OK still hands it over and stores it.
    switch (collectionValue()) {
    case 0:
        lblYourName->setEnabled(false);
        txtYourName->setEnabled(false);
        break;
    case 1:
        lblYourName->setEnabled(true);
        txtYourName->setEnabled(true);
        break;
    default:
        break;
    }
}

void frmCover::showCheck()
{
    if (!m_env.checkCover)
        return;
    const QString name = cboTemplate->currentText();
    const CoverChoices choices{name, collectionValue(), txtYourName->text()};
    WaitCursor wait; // the template is filled and fitted in memory
    const CoverCheck check = m_env.checkCover(
        m_env.xmlText ? m_env.xmlText() : QString(),
        name.isEmpty() ? QString() : QDir(m_env.templateFolder).filePath(name), choices);
    wait.restore();
    QStringList lines{check.summary};
    for (const QString &warning : check.warnings)
        lines << QStringLiteral("\u26A0 ") + warning;
    lblCheck->setText(lines.join(u'\n'));
    lblCheck->setVisible(!check.summary.isEmpty());
    if (isVisible())
        growToCheck();
}

// The warnings are read before OK: the dialog grows to show all their wrapped lines. Measured
// once the dialog is polished, in the font it is shown in.
void frmCover::growToCheck()
{
    if (lblCheck->isHidden())
        return;
    layout()->activate();
    resize(width(), std::max(height(), heightForWidth(width())));
}

void frmCover::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    growToCheck();
}

void frmCover::cmdPicture_Click()
{
    if (!m_env.choosePicture)
        return;
    const QString start = txtPicture->text().isEmpty() ? QDir::homePath() : txtPicture->text();
    const QString chosen = m_env.choosePicture(this, start);
    if (!chosen.isEmpty())
        txtPicture->setText(QDir::toNativeSeparators(chosen));
}

void frmCover::txtPicture_Change()
{
    cmdNoPicture->setEnabled(!txtPicture->text().isEmpty());
}

void frmCover::cmdOK_Click()
{
    const CoverChoices choices{cboTemplate->currentText(), collectionValue(), txtYourName->text(),
                               txtPicture->text()};
    WaitCursor wait;
    CoverJob job;
    job.templateFolder = m_env.templateFolder;
    job.choices = choices;
    job.xml = m_env.xmlText ? m_env.xmlText() : QString();
    job.fill = {m_env.locale, m_env.today ? m_env.today() : QDate::currentDate()};
    job.coversFolder = m_env.coversFolder;
    const Result<MadeCover> cover = MakeCover(*m_env.newDocument(), job);
    wait.restore();
    if (!cover) {
        // Nothing is stored for a run that made no cover; the dialog stays open so that another
        // template can be chosen.
        if (m_env.messageBoxes)
            m_env.messageBoxes->showError(this, cover.error());
        return;
    }
    // The cover exists: the run succeeded. Pressing OK again would only write a second copy of
    // it. What did not fit on it is told once, over the dialog.
    if (!cover->notice.isEmpty() && m_env.messageBoxes)
        m_env.messageBoxes->showNotice(this, cover->notice);
    // A failure to keep the choices is told too, and the dialog closes all the same.
    if (const Result<void> stored = StoreCoverChoices(choices, m_env.settingsFile);
        !stored && m_env.messageBoxes)
        m_env.messageBoxes->showError(
            this, QStringLiteral("The cover was made, but your choices could not be kept for "
                                 "the next cover. ") +
                      stored.error());
    accept();
    // The desktop may answer after the dialog is gone: the answer holds on to nothing of it.
    // Opened after the notices, so that its own notice never stacks over theirs.
    const QPointer<QWidget> parent = parentWidget();
    auto notOpened = [parent, path = cover->path, boxes = m_env.messageBoxes,
                      openFolder = m_env.openFolder](bool opened) {
        if (!opened)
            tellNotOpened(parent, path, boxes.get(), openFolder);
    };
    if (m_env.openCover)
        m_env.openCover(cover->path, std::move(notOpened));
    else
        notOpened(false);
}

void frmCover::cmdCancel_Click()
{
    reject();
}

void ShowCover(QWidget *parent, CoverDialogEnvironment environment)
{
    frmCover dialog(std::move(environment), parent);
    dialog.exec();
}

} // namespace tapewright
