// The About dialog: the program's title, version, copyright, two links and the terms of use.
#pragma once

#include "common/formhelpers.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tapewright {

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    // Builds the dialog and runs its load steps; show it with exec().
    // The links go to the desktop through shellOpen.
    explicit frmAbout(ShellOpener shellOpen, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void Form_Load();
    // Labels size themselves to their texts; controls below a grown label move down and the
    // dialog grows, so that nothing is cut off whatever the font.
    void arrangeControls();
    void lblSales_Click();
    void lblWeb_Click();
    void cmdOK_Click();

    ShellOpener m_shellOpen;
    QLabel *Picture2 = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblSales = nullptr;
    QLabel *lblWeb = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *cmdOK = nullptr;
};

// Help, About: a new dialog each time, modal over parent; returns when it has closed.
void ShowAbout(QWidget *parent, const ShellOpener &shellOpen);

} // namespace tapewright
