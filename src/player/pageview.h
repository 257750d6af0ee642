#pragma once

#include <QImage>
#include <QWidget>

namespace lirena {

// The page picture control: shows the page image at its size in view pixels
// (its pixels divided by its device pixel ratio). Marks are drawn into the
// image by the page display; this widget only paints it and hands mouse
// input on.
class PageView : public QWidget
{
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

    const QImage &image() const { return mImage; }
    QImage &image() { return mImage; }
    // Replaces the picture; the control takes its size.
    void setImage(QImage image);
    // Repaints after the image was drawn into.
    void imageChanged() { update(); }

signals:
    void mousePressed(QMouseEvent *event);
    void mouseMoved(QMouseEvent *event);
    void mouseReleased(QMouseEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage mImage;
};

} // namespace lirena
