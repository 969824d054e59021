// Tapewright: the desktop program. Shows the main window, and loads the info file named on the
// command line, if any, as File, Open Info File would.
#include "about/frmabout.h"
#include "app/frmmain.h"
#include "appicons.h"
#include "common/productinfo.h"
#include "common/settings.h"
#include "convert/daterecogniser.h"
#include "cover/fill/covercheck.h"
#include "cover/ui/frmcover.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Also names the per-user folders (configuration, cache) that QStandardPaths gives.
    QApplication::setApplicationName(QString::fromUtf16(tapewright::ProductName));
    QApplication::setApplicationVersion(QString::fromUtf16(tapewright::ProductVersion));
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

    using namespace tapewright;
    // What the windows reach outside the program is decided here and passed down: the settings
    // file and the desktop's opener.
    const QString settingsFile = DefaultSettingsFilePath();
    frmMain window;
    window.setAboutDialog([](QWidget *parent) { ShowAbout(parent, ShellOpen); });
    // The cover is filled from the output pane as it stands when the dialog opens; the dialog
    // is modal, so the pane cannot change while it is open.
    window.setCoverDialog([&window, settingsFile](QWidget *parent) {
        ShowCover(parent, DefaultCoverEnvironment(settingsFile, ShellOpen,
                                                  [xml = window.outputText()] { return xml; }));
    });
    // The status bar's check knows no template: it checks against one with room for four
    // discs, and leaves the filling and fitting to the cover dialog's check.
    window.setCoverCheck([locale = UserDateLocale()](const QString &xml) {
        CoverCheckOptions options;
        options.locale = locale;
        options.dryRun = false;
        const CoverCheckLine line = CoverCheckStatus(CheckCover(xml, options));
        return std::pair{line.summary, line.details};
    });
    window.setSettingsFile(settingsFile);
    window.RestorePlacement();
    window.show();
    window.OpenStartupFiles(parser.positionalArguments());
    return app.exec();
}
