// The cover dialog: which template to fill, whether the tray card gets a "From the collection
// of" line, the collector's name, and a picture for the front. OK fills the cover and stores the
// choices; Cancel, Esc and the title bar's close store nothing.
#pragma once

#include "common/desktopopen.h"
#include "common/formhelpers.h"
#include "common/messageboxes.h"
#include "cover/fill/covercheck.h"
#include "cover/fill/coverdocument.h"
#include "cover/fill/coverfiller.h"

#include <QDate>
#include <QDialog>
#include <QLocale>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tapewright {

// Everything the dialog reaches outside itself, so that tests can give it a folder of their
// own, a recording document, an answering opener and message box.
struct CoverDialogEnvironment
{
    QString templateFolder; // the templates listed in cboTemplate
    QString settingsFile;   // where the choices are read and stored
    QString coversFolder;   // where finished covers are written
    // The track list XML to fill from (the main window's output pane), read when OK is pressed.
    std::function<QString()> xmlText;
    // A new document for every run.
    std::function<std::unique_ptr<CoverDocument>()> newDocument;
    // Opens the finished cover with the desktop's application, and says whether it did.
    DocumentOpener openCover;
    // Opens the folder of a cover that was not opened, when the user asks for it.
    ShellOpener openFolder;
    // What the cover of the XML made from the template at templatePath ("" when none is
    // chosen) will show and what is wrong with it: shown above OK.
    std::function<CoverCheck(const QString &xml, const QString &templatePath,
                             const CoverChoices &choices)>
        checkCover;
    // Tells the user what failed, or where a cover that could not be opened is.
    std::shared_ptr<MessageBoxes> messageBoxes;
    QLocale locale;               // dates are recognised and written in this locale
    std::function<QDate()> today; // the creation date
    // Asks for a picture file, starting at the given path or folder; "" when cancelled.
    std::function<QString(QWidget *parent, const QString &start)> choosePicture;
};

// The environment of the running program: the template folder beside it (or the installed
// one), the given settings file and folder opener, the covers folder in the user's cache, the
// file-based cover documents and their check, the desktop's opener for the cover, real message
// boxes, the user's locale.
CoverDialogEnvironment DefaultCoverEnvironment(const QString &settingsFile,
                                               const ShellOpener &openFolder,
                                               std::function<QString()> xmlText);

class frmCover : public QDialog
{
    Q_OBJECT

public:
    // Builds the dialog and runs its load steps; show it with exec().
    explicit frmCover(CoverDialogEnvironment environment, QWidget *parent = nullptr);
    ~frmCover() override;

    // The check box's value as the settings file stores it: 0 unchecked, 1 checked, 2 grayed.
    int collectionValue() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void Form_Load();
    void setCollectionValue(int value);
    void chkCollection_Click();
    void showCheck();
    void growToCheck();
    void cmdPicture_Click();
    void txtPicture_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    CoverDialogEnvironment m_env;

    QLabel *lblCheck = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboTemplate = nullptr;
    QCheckBox *chkCollection = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *lblYourName = nullptr;
    QLineEdit *txtYourName = nullptr;
    QPushButton *cmdPicture = nullptr;
    QLineEdit *txtPicture = nullptr;
    QPushButton *cmdNoPicture = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};

// File, Create CDR Cover via Word: a new dialog each time, modal over parent; returns when it
// has closed.
void ShowCover(QWidget *parent, CoverDialogEnvironment environment);

} // namespace tapewright
