#pragma once

#include <QString>

namespace lirena {

// The modal message boxes the program shows. The window asks this interface;
// the program answers it with real message boxes, tests answer it themselves.
class UserDialogs
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UserDialogs() = default;
    // An error box with one OK button.
    virtual void error(const QString &text) = 0;
    // A warning box with one OK button.
    virtual void warning(const QString &text) = 0;
    // A question with Yes, No and Cancel; Yes is the default button.
    virtual Answer askYesNoCancel(const QString &caption, const QString &text) = 0;
    // A file dialog for an existing file to open, starting in folder; a name
    // typed without an extension gets defaultSuffix. Empty when cancelled.
    virtual QString chooseFileToOpen(const QString & /*title*/, const QString & /*filter*/,
                                     const QString & /*folder*/, const QString & /*defaultSuffix*/)
    {
        return {};
    }
    // A file dialog for a file to write, asking before it overwrites; empty when cancelled.
    virtual QString chooseFileToSave(const QString & /*title*/, const QString & /*filter*/) { return {}; }
};

} // namespace lirena
