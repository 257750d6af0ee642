#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

namespace lirena {

// A pair of up and down arrow buttons that step a position within Min..Max by
// Increment. Before each step it asks OnChangingEx with the proposed position
// (which may lie beyond the range), and the handler may refuse it.
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    explicit TUpDown(QWidget *parent = nullptr);

    int Min = 0;
    int Max = 100;
    int Increment = 1;
    bool Wrap = false;

    int position() const { return mPosition; }
    // Sets the position without asking OnChangingEx.
    void setPosition(int position);

    // Asked with the proposed position; returning false refuses the step.
    std::function<bool(int newValue)> OnChangingEx;

    // One step up (+1) or down (-1), as a click on an arrow does.
    void step(int direction);

    // What a screen reader calls the two arrows (Turkish, "Artır" and
    // "Azalt", unless the page speaks another language), and what it says
    // after their names: what they change.
    void setArrowNames(const QString &up, const QString &down, const QString &what = {});

signals:
    void positionChanged(int position);

private:
    int mPosition = 0;
    QToolButton *mUp;
    QToolButton *mDown;
};

} // namespace lirena
