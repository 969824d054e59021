// Small helpers every window shares: placement, fonts, twips, file names, the desktop's opener.
#pragma once

#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace tapewright {

// Centred across the screen that holds the window, one third of the free height from the top.
void CenterForm(QWidget *form);
// The pure arithmetic of CenterForm, in twips (fractions dropped toward zero).
QPoint CenteredPosition(const QSize &screenTwips, const QSize &windowTwips);

// Every child widget's font face becomes fontName; size, weight, italic and underline stay.
// The window's own font is not changed.
void SetFormFont(QWidget *form, const QString &fontName);

// 1440 twips per inch at the logical DPI of the widget's screen (15 twips a pixel at 96 DPI).
// A null widget means the primary screen.
double TwipsPerPixelX(const QWidget *widget = nullptr);
double TwipsPerPixelY(const QWidget *widget = nullptr);
int TwipsToPixelsX(double twips, const QWidget *widget = nullptr);
int TwipsToPixelsY(double twips, const QWidget *widget = nullptr);
// A rectangle given in twips (left, top, width, height) in pixels.
QRect TwipsToPixels(const QRect &twips, const QWidget *widget = nullptr);

// The text after the last path separator of the platform ("/" here; "\" and "/" on Windows).
QString ExtractFileName(const QString &path);

// Hands a document, a web address or a "mailto:" address to the desktop's application for it.
// False when nothing could be started; always without a running QGuiApplication.
bool ShellOpen(const QString &target);
// What ShellOpen hands to the desktop: web and "mailto:" addresses as they are, anything else as
// a local file (relative paths against the current folder).
QUrl ShellTargetUrl(const QString &target);
// How a window reaches ShellOpen: its creator passes it in, and tests pass one that records.
using ShellOpener = std::function<bool(const QString &target)>;

} // namespace tapewright
