// Tapewright: the desktop program. Shows the main window, and loads the info file named on the
// command line, if any, as File, Open Info File would.
#include "appicons.h"
#include "frmabout.h"
#include "frmcover.h"
#include "frmmain.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tapewright"));
    QApplication::setApplicationVersion(QStringLiteral(TAPEWRIGHT_VERSION));
    // Every window without an icon of its own shows the program's.
    QApplication::setWindowIcon(tapewright::TapewrightIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows an info text beside its track list XML and makes CD covers."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Info text (.txt or .nfo) to open."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);

    tapewright::frmMain window;
    // Other windows plug in here: window.setCoverDialog(...), window.setAboutDialog(...).
    window.setAboutDialog(
        [](QWidget *parent) { tapewright::ShowAbout(parent, tapewright::ShellOpen); });
    // The cover is filled from the output pane as it stands when the dialog opens; the dialog
    // is modal, so the pane cannot change while it is open.
    window.setCoverDialog(
        [&window](QWidget *parent) { tapewright::ShowCover(parent, window.outputText()); });
    window.show();
    window.OpenStartupFiles(parser.positionalArguments());
    return app.exec();
}
