#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QToolButton;
class QWidget;

namespace lirena {

// The small pieces the control panel's pages are made of, so every page
// looks and reads alike.
namespace PanelControls {

// Gives a control the name the program and its tests find it by, and what a
// screen reader says: the name, then the description (its hint, unless
// another is given; set it after the hint).
template <class W>
W *named(W *widget, const char *objectName, const QString &accessibleName, const QString &description = {})
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    widget->setAccessibleDescription(description.isEmpty() ? widget->toolTip() : description);
    return widget;
}

// A time label: white "Courier New" on black, centred.
QLabel *timeLabel(QWidget *parent, const QString &text);
// A flat command button with a caption, never taking the focus.
QToolButton *commandButton(QWidget *parent, const QString &caption, const QString &hint = {});
// A push button of a page, never taking the focus.
QPushButton *pageButton(QWidget *parent, const QString &caption);

} // namespace PanelControls

} // namespace lirena
