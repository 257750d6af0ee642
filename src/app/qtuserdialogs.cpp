#include "app/qtuserdialogs.h"

#include <QApplication>
#include <QFileDialog>
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

namespace {

// The chapter dialogs offer "*.ini" first and add "sbt" to a name given without an extension.
QString chooseFile(QWidget *parent, QFileDialog::AcceptMode mode, const QString &title, const QString &filter,
                   const QString &folder)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("sbt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtUserDialogs::chooseFileToOpen(const QString &title, const QString &filter, const QString &folder)
{
    return chooseFile(mParent, QFileDialog::AcceptOpen, title, filter, folder);
}

QString QtUserDialogs::chooseFileToSave(const QString &title, const QString &filter)
{
    return chooseFile(mParent, QFileDialog::AcceptSave, title, filter, QString());
}

} // namespace lirena
