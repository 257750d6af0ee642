#pragma once

#include "platform/userdialogs.h"

class QWidget;

namespace lirena {

// The message boxes of the running program.
class QtUserDialogs : public UserDialogs
{
public:
    // Boxes are modal to the program's active window, else to the window
    // given, or application-modal without either.
    void setParentWindow(QWidget *window) { mParent = window; }

    void error(const QString &text) override;
    void warning(const QString &text) override;
    Answer askYesNoCancel(const QString &caption, const QString &text) override;
    QString chooseFileToOpen(const QString &title, const QString &filter, const QString &folder,
                             const QString &defaultSuffix) override;
    QString chooseFileToSave(const QString &title, const QString &filter) override;

private:
    // The active window of the program, else the one given.
    QWidget *parentWindow() const;

    QWidget *mParent = nullptr;
};

} // namespace lirena
