#include "app/qtuserdialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace lirena {

void QtUserDialogs::error(const QString &text)
{
    QMessageBox::critical(mParent, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

void QtUserDialogs::warning(const QString &text)
{
    QMessageBox::warning(mParent, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

UserDialogs::Answer QtUserDialogs::askYesNoCancel(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    mParent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::No;
    }
}

} // namespace lirena
