#include "messageboxes.h"

#include "productinfo.h"

#include <QMessageBox>

namespace tapewright {

Answer QtMessageBoxes::askYesNoCancel(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf16(ProductName), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtMessageBoxes::showError(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, QString::fromUtf16(ProductName), text);
}

} // namespace tapewright
