#pragma once

#include <QWidget>

namespace lirena {

// A transparent label whose text runs upwards, turned 90 degrees, as the
// chapter title stands beside the page. A text longer than its space is cut
// with "…".
class RotatedLabel : public QWidget
{
    Q_OBJECT

public:
    explicit RotatedLabel(QWidget *parent = nullptr);

    // The whole text, as it was set.
    QString text() const { return mText; }
    // Sets the text and sizes the label to it, at most to its space.
    void setText(const QString &text);
    // The length in pixels the text may take; 0 (the default) is the height of the screen.
    void setSpace(int pixels);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fit();

    QString mText;
    QString mShown; // mText cut to the space
    int mSpace = 0;
};

} // namespace lirena
