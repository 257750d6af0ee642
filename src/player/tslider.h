#pragma once

#include <QSlider>

namespace lirena {

// The position slider. It reports the pointer itself: a press before the
// slider moves, movement with or without a button held, and on release first
// the changed notification (a user action only) and then the release. A
// click beside the thumb moves it to the place clicked.
class TSlider : public QSlider
{
    Q_OBJECT

public:
    explicit TSlider(QWidget *parent = nullptr);

signals:
    void mousePressed();
    void mouseMoved();
    void changedByUser();
    void mouseReleased();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace lirena
