#pragma once

#include <QIcon>
#include <QPixmap>

namespace lirena {

// The pictures of the window's buttons, drawn rather than shipped.
enum class Glyph { Play, Pause, Stop, Back, Forward, Next, Manual, PanelDown, PanelUp, Minimise, Close };

QIcon glyphIcon(Glyph glyph, int size);

// The program's pictures: the logo shown by the splash window and the About
// page, the wait picture, and the two pictures of the About page.
QPixmap logoPicture();
QPixmap waitPicture();
QPixmap aboutPicture(int which);

// The window's shared image list: small pictures by index. The trees use 6
// (a lesson group or a heading) and 9 (a lesson or an entry).
QIcon sharedImage(int index);

} // namespace lirena
