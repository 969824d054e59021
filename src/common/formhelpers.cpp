// Placement, fonts, twips, file names and the desktop's opener, shared by every window.
#include "common/formhelpers.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWidget>

namespace tapewright {

namespace {

constexpr double TwipsPerInch = 1440.0;

QScreen *screenOf(const QWidget *widget)
{
    if (widget) {
        if (QScreen *screen = widget->screen())
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

double twipsPerPixel(double dotsPerInch)
{
    // Without a screen (or with a screen reporting nonsense) fall back to the common 96 DPI.
    return TwipsPerInch / (dotsPerInch > 0 ? dotsPerInch : 96.0);
}

void setChildFonts(QWidget *parent, const QString &fontName)
{
    for (QObject *object : parent->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        // Popups, dialogs and other windows owned by this one are not its controls; they set
        // their own fonts when they load.
        if (!child || child->isWindow())
            continue;
        QFont font = child->font();
        font.setFamily(fontName);
        child->setFont(font);
        setChildFonts(child, fontName);
    }
}

} // namespace

QPoint CenteredPosition(const QSize &screenTwips, const QSize &windowTwips)
{
    // Integer division drops the fraction toward zero, also for a window larger than the screen.
    return {(screenTwips.width() - windowTwips.width()) / 2,
            (screenTwips.height() - windowTwips.height()) / 3};
}

void CenterForm(QWidget *form)
{
    if (!form)
        return;
    QScreen *screen = screenOf(form);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize frame = form->frameGeometry().size();
    const double tx = TwipsPerPixelX(form);
    const double ty = TwipsPerPixelY(form);
    const QSize screenTwips(qRound(available.width() * tx), qRound(available.height() * ty));
    const QSize windowTwips(qRound(frame.width() * tx), qRound(frame.height() * ty));
    const QPoint position = CenteredPosition(screenTwips, windowTwips);
    form->move(available.left() + TwipsToPixelsX(position.x(), form),
               available.top() + TwipsToPixelsY(position.y(), form));
}

void SetFormFont(QWidget *form, const QString &fontName)
{
    if (form)
        setChildFonts(form, fontName);
}

double TwipsPerPixelX(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0.0);
}

double TwipsPerPixelY(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0.0);
}

int TwipsToPixelsX(double twips, const QWidget *widget)
{
    return qRound(twips / TwipsPerPixelX(widget));
}

int TwipsToPixelsY(double twips, const QWidget *widget)
{
    return qRound(twips / TwipsPerPixelY(widget));
}

QRect TwipsToPixels(const QRect &twips, const QWidget *widget)
{
    return {TwipsToPixelsX(twips.left(), widget), TwipsToPixelsY(twips.top(), widget),
            TwipsToPixelsX(twips.width(), widget), TwipsToPixelsY(twips.height(), widget)};
}

QString ExtractFileName(const QString &path)
{
#ifdef Q_OS_WIN
    const qsizetype separator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
#else
    // Here "\" is an ordinary character of a file name.
    const qsizetype separator = path.lastIndexOf(u'/');
#endif
    return path.mid(separator + 1);
}

QUrl ShellTargetUrl(const QString &target)
{
    // Web and "mailto:" addresses keep their scheme; anything else is a document on disk, also
    // a relative path, which QUrl would otherwise read as a host name.
    return QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
}

bool ShellOpen(const QString &target)
{
    // QDesktopServices needs the platform integration that only a QGuiApplication brings.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    return QDesktopServices::openUrl(ShellTargetUrl(target));
}

} // namespace tapewright
