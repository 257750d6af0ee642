#pragma once

#include <QString>

namespace lirena {

// Finds a running instance's main window by its title and brings it forward:
// restored when minimised, then made the active window. The program sets only
// WindowText and UseWindowText.
class TSendKeys
{
public:
    QString WindowText;        // text the window title must contain
    bool UseWindowText = true; // match on the title
    QString WindowClassName;   // text the window class must contain
    bool UseClassName = false; // match on the class
    QString ChildWindowText;   // a child window to look for inside the window found
    bool IsChildWindow = false;
    QString WindowHandle;      // the window found: the instance's socket path

    // Folder where running instances announce themselves.
    QString InstanceFolder;

    // Activates the window the properties name; does nothing when none is found.
    // Waits up to waitMs for an instance that is still starting.
    void SendKeys(int waitMs = 3000);

private:
    bool findWindow();
};

} // namespace lirena
