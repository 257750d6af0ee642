#pragma once

#include <QLabel>

namespace lirena {

// The borderless splash window shown, centred, while the main window is built.
class TfrmSplash : public QLabel
{
    Q_OBJECT

public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    // The splash picture, which the About page takes over as its logo.
    QPixmap SplashImage() const { return mPicture; }
    // Shows the window at the centre of the screen and paints it at once.
    void showCentred();

private:
    QPixmap mPicture;
};

} // namespace lirena
