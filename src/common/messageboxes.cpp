#include "common/messageboxes.h"

#include "common/productinfo.h"

#include <QMessageBox>
#include <QPushButton>

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

void QtMessageBoxes::showNotice(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QString::fromUtf16(ProductName), text);
}

bool QtMessageBoxes::showNoticeWithAction(QWidget *parent, const QString &text,
                                          const QString &action)
{
    QMessageBox box(QMessageBox::Information, QString::fromUtf16(ProductName), text,
                    QMessageBox::Ok, parent);
    const QAbstractButton *chosen = box.addButton(action, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == chosen;
}

} // namespace tapewright
