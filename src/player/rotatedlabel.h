#pragma once

#include <QWidget>

namespace lirena {

// A transparent label whose text runs upwards, turned 90 degrees, as the
// chapter title stands beside the page.
class RotatedLabel : public QWidget
{
    Q_OBJECT

public:
    explicit RotatedLabel(QWidget *parent = nullptr);

    QString text() const { return mText; }
    // Sets the text and sizes the label to it.
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString mText;
};

} // namespace lirena
