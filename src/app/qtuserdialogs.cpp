#include "app/qtuserdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace lirena {

QWidget *QtUserDialogs::parentWindow() const
{
    // A box for the window the author works in: one owned by the main window
    // could open beneath the sound editor, which stays on top.
    QWidget *active = QApplication::activeWindow();
    return active ? active : mParent;
}

void QtUserDialogs::error(const QString &text)
{
    QMessageBox::critical(parentWindow(), QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

void QtUserDialogs::warning(const QString &text)
{
    QMessageBox::warning(parentWindow(), QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

UserDialogs::Answer QtUserDialogs::askYesNoCancel(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parentWindow());
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::No;
    }
}

namespace {

QString chooseFile(QWidget *parent, QFileDialog::AcceptMode mode, const QString &title, const QString &filter,
                   const QString &folder, const QString &defaultSuffix)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtUserDialogs::chooseFileToOpen(const QString &title, const QString &filter, const QString &folder,
                                        const QString &defaultSuffix)
{
    return chooseFile(parentWindow(), QFileDialog::AcceptOpen, title, filter, folder, defaultSuffix);
}

QString QtUserDialogs::chooseFileToSave(const QString &title, const QString &filter)
{
    // The chapter's save dialog adds "sbt" to a name given without an extension.
    return chooseFile(parentWindow(), QFileDialog::AcceptSave, title, filter, QString(),
                      QStringLiteral("sbt"));
}

} // namespace lirena
