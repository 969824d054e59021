#include "frmcover.h"

#include "filecoverdocument.h"
#include "formhelpers.h"
#include "paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

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

// Places a control at its designed twips; it never gets smaller than its text needs, so that a
// larger font than the design's does not cut a caption off.
void place(QWidget *control, const QRect &twips)
{
    QRect pixels = TwipsToPixels(twips, control);
    const QSize hint = control->sizeHint();
    pixels.setWidth(std::max(pixels.width(), hint.width()));
    pixels.setHeight(std::max(pixels.height(), hint.height()));
    control->setGeometry(pixels);
}

// A label sizes itself to its caption; only its position is designed.
void placeLabel(QLabel *label, int left, int top)
{
    label->move(TwipsToPixelsX(left, label), TwipsToPixelsY(top, label));
    label->adjustSize();
}

} // namespace

CoverDialogEnvironment DefaultCoverEnvironment(const QString &settingsFile,
                                               const ShellOpener &openCover,
                                               std::function<QString()> xmlText)
{
    CoverDialogEnvironment env;
    env.templateFolder = TemplateFolderFor(QCoreApplication::applicationDirPath());
    env.settingsFile = settingsFile;
    env.coversFolder = DefaultCacheFolder() + QStringLiteral("/covers");
    env.xmlText = std::move(xmlText);
    env.newDocument = [] { return std::make_unique<FileCoverDocument>(); };
    env.openCover = openCover;
    env.messageBoxes = std::make_shared<QtMessageBoxes>();
    env.locale = QLocale();
    env.today = [] { return QDate::currentDate(); };
    return env;
}

frmCover::frmCover(CoverDialogEnvironment environment, QWidget *parent)
    : QDialog(parent), m_env(std::move(environment))
{
    setObjectName(QStringLiteral("frmCover"));
    setWindowTitle(QStringLiteral("Create CDR Cover via Word"));
    // The ordinary sizable border with a close box, no minimise or maximise button. Nothing
    // moves when it is resized.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    createControls();
    Form_Load();
}

frmCover::~frmCover() = default;

void frmCover::createControls()
{
    Label1 = new QLabel(QStringLiteral("&Template File"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    // A drop-down list to choose from, no typing; entries stay in the order they are added.
    cboTemplate = new QComboBox(this);
    cboTemplate->setObjectName(QStringLiteral("cboTemplate"));
    cboTemplate->setEditable(false);
    cboTemplate->setInsertPolicy(QComboBox::NoInsert);
    Label1->setBuddy(cboTemplate);

    // Created before the check box, which lies across its top edge as its title.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFocusPolicy(Qt::NoFocus);

    chkCollection = new QCheckBox(QStringLiteral("Add \"&From the collection of\" text"), this);
    chkCollection->setObjectName(QStringLiteral("chkCollection"));
    // Paints over the frame's line behind its caption.
    chkCollection->setAutoFillBackground(true);
    chkCollection->raise();

    lblYourName = new QLabel(QStringLiteral("Your &Name"), Frame1);
    lblYourName->setObjectName(QStringLiteral("lblYourName"));
    txtYourName = new QLineEdit(Frame1);
    txtYourName->setObjectName(QStringLiteral("txtYourName"));
    lblYourName->setBuddy(txtYourName);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Enter presses the default button; Esc rejects the dialog, as Cancel does.
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    setTabOrder(cboTemplate, chkCollection);
    setTabOrder(chkCollection, txtYourName);
    setTabOrder(txtYourName, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(chkCollection, &QCheckBox::stateChanged, this, [this] {
        // A grayed box is only ever restored from the settings: once the user has changed it,
        // clicking cycles between checked and unchecked alone.
        if (chkCollection->checkState() != Qt::PartiallyChecked)
            chkCollection->setTristate(false);
        chkCollection_Click();
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmCover::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCover::cmdCancel_Click);
}

void frmCover::Form_Load()
{
    // The font first: the controls' sizes follow their captions in that face.
    SetFormFont(this, QStringLiteral("Tahoma"));
    resize(TwipsToPixelsX(ClientWidth, this), TwipsToPixelsY(ClientHeight, this));
    placeLabel(Label1, 180, 210);
    place(cboTemplate, {1440, 150, 2775, 315});
    place(Frame1, {150, 810, 4035, 975});
    place(chkCollection, {300, 750, 2655, 315});
    placeLabel(lblYourName, 210, 480);
    place(txtYourName, {1140, 420, 2505, 315});
    place(cmdOK, {4440, 150, 1200, 360});
    place(cmdCancel, {4440, 600, 1200, 360});
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

void frmCover::cmdOK_Click()
{
    const CoverChoices choices{cboTemplate->currentText(), collectionValue(), txtYourName->text()};
    WaitCursor wait;
    CoverJob job;
    job.templateFolder = m_env.templateFolder;
    job.choices = choices;
    job.xml = m_env.xmlText ? m_env.xmlText() : QString();
    job.fill = {m_env.locale, m_env.today ? m_env.today() : QDate::currentDate()};
    job.coversFolder = m_env.coversFolder;
    Result<QString> cover = MakeCover(*m_env.newDocument(), job);
    if (cover && !(m_env.openCover && m_env.openCover(*cover)))
        cover = Failure{QStringLiteral("The cover was saved as %1, but no application could be "
                                       "started to open it.")
                            .arg(QuotedPath(*cover))};
    wait.restore();
    if (!cover) {
        // Nothing is stored for a run that did not end with the cover open; the dialog stays
        // open so that another template can be chosen.
        if (m_env.messageBoxes)
            m_env.messageBoxes->showError(this, cover.error());
        return;
    }
    StoreCoverChoices(choices, m_env.settingsFile);
    accept();
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
