#include "about/frmabout.h"

#include "appicons.h"
#include "common/formhelpers.h"
#include "common/productinfo.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace tapewright {

namespace {

// The designed geometry, in twips.
constexpr int ClientWidth = 4680;
constexpr int ClientHeight = 2715;
constexpr int TextLeft = 840;
constexpr int LabelHeight = 195;
// Least space kept between two lines of text when a tall font pushes them apart.
constexpr int MinLineGap = 60;
// Kept to the right of the widest line when a line is wider than the dialog was designed for.
constexpr int RightMargin = 240;
constexpr int OKTop = 2130;
constexpr int OKWidth = 1200;
constexpr int OKHeight = 400;
constexpr int OKGapAbove = OKTop - (1740 + LabelHeight);
constexpr int OKGapBelow = ClientHeight - (OKTop + OKHeight);

// The designed dark blue, on a light window. On a dark one (a dark desktop theme) it could not be
// read; the palette's own link colour, which the theme makes readable there, is taken instead.
QColor linkColor(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? palette.color(QPalette::Link)
                                                             : QColor(0, 0, 192);
}

QLabel *newLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setMargin(0);
    label->setIndent(0);
    return label;
}

void makeLink(QLabel *label)
{
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, linkColor(palette));
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
}

QLabel *newPicture(QWidget *parent, const QString &name, const QIcon &icon, const QRect &twips)
{
    auto *picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setGeometry(TwipsToPixels(twips, parent));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(icon.pixmap(picture->size(), parent->devicePixelRatioF()));
    return picture;
}

} // namespace

frmAbout::frmAbout(ShellOpener shellOpen, QWidget *parent)
    : QDialog(parent), m_shellOpen(std::move(shellOpen))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    // A fixed dialog border: a close box, no minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(TapewrightIcon());
    createControls();
    Form_Load();
}

void frmAbout::createControls()
{
    Picture2 = newPicture(this, QStringLiteral("Picture2"), TapewrightIcon(), {90, 120, 480, 480});
    Picture1 = newPicture(this, QStringLiteral("Picture1"), EmblemIcon(), {150, 690, 480, 480});

    Label1 = newLabel(this, QStringLiteral("Label1"), QString::fromUtf16(ProductTitle));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    // Placeholders until Form_Load sets them.
    lblVersion = newLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"));
    lblCopyright = newLabel(this, QStringLiteral("lblCopyright"), QStringLiteral("Copyright"));
    lblSales = newLabel(this, QStringLiteral("lblSales"), QString::fromUtf16(ProductSupportEmail));
    lblWeb = newLabel(this, QStringLiteral("lblWeb"), QString::fromUtf16(ProductWebAddress));
    makeLink(lblSales);
    makeLink(lblWeb);
    lblSales->installEventFilter(this);
    lblWeb->installEventFilter(this);
    Label2 = newLabel(this, QStringLiteral("Label2"), QString::fromUtf16(ProductAuthor));
    Label3 = newLabel(this, QStringLiteral("Label3"), QString::fromUtf16(ProductTerms));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Enter presses the default button; QDialog turns Esc into reject(), which closes it too.
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    SetFormFont(this, QStringLiteral("Tahoma"));
    lblVersion->setText(QStringLiteral("Version ") + QString::fromUtf16(ProductVersion));
    lblCopyright->setText(QString::fromUtf16(ProductCopyright));
    arrangeControls();
    // Placed last: the dialog's final size depends on the fonts and texts set above.
    CenterForm(this);
}

void frmAbout::arrangeControls()
{
    struct Line
    {
        QLabel *label;
        int top; // designed, in twips
    };
    const Line lines[] = {{Label1, 120},  {lblVersion, 390}, {lblCopyright, 660}, {lblSales, 930},
                          {lblWeb, 1185}, {Label2, 1470},    {Label3, 1740}};

    const int left = TwipsToPixelsX(TextLeft, this);
    const int gap = TwipsToPixelsY(MinLineGap, this);
    int bottom = 0;
    int right = TwipsToPixelsX(ClientWidth - RightMargin, this);
    for (const Line &line : lines) {
        const QSize size = line.label->sizeHint();
        const int top = std::max(TwipsToPixelsY(line.top, this), bottom > 0 ? bottom + gap : 0);
        line.label->setGeometry(left, top, size.width(), size.height());
        bottom = top + size.height();
        right = std::max(right, left + size.width());
    }

    const int clientWidth = right + TwipsToPixelsX(RightMargin, this);
    const int okWidth = std::max(TwipsToPixelsX(OKWidth, this), cmdOK->sizeHint().width());
    const int okHeight = std::max(TwipsToPixelsY(OKHeight, this), cmdOK->sizeHint().height());
    const int okTop =
        std::max(TwipsToPixelsY(OKTop, this), bottom + TwipsToPixelsY(OKGapAbove, this));
    cmdOK->setGeometry((clientWidth - okWidth) / 2, okTop, okWidth, okHeight);
    const int clientHeight = std::max(TwipsToPixelsY(ClientHeight, this),
                                      okTop + okHeight + TwipsToPixelsY(OKGapBelow, this));
    setFixedSize(clientWidth, clientHeight);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (!label || (label != lblSales && label != lblWeb))
        return QDialog::eventFilter(watched, event);

    // A click is a press and a release of the left button over the link. The press is taken
    // so that the label, not the dialog behind it, receives the release.
    if (event->type() == QEvent::MouseButtonPress)
        return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (label == lblSales)
                lblSales_Click();
            else
                lblWeb_Click();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Both links open what the label shows, so the text read and the address opened never differ.
void frmAbout::lblSales_Click()
{
    m_shellOpen(QStringLiteral("mailto:") + lblSales->text());
}

void frmAbout::lblWeb_Click()
{
    m_shellOpen(lblWeb->text());
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void ShowAbout(QWidget *parent, const ShellOpener &shellOpen)
{
    frmAbout dialog(shellOpen, parent);
    dialog.exec();
}

} // namespace tapewright
