#include "player/tupdown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

TUpDown::TUpDown(QWidget *parent) : QWidget(parent), mUp(new QToolButton(this)), mDown(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {mUp, mDown}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(17, 11);
        layout->addWidget(button);
    }
    mUp->setArrowType(Qt::UpArrow);
    mDown->setArrowType(Qt::DownArrow);
    setArrowNames(QStringLiteral("Artır"), QStringLiteral("Azalt"));
    connect(mUp, &QToolButton::clicked, this, [this] { step(+1); });
    connect(mDown, &QToolButton::clicked, this, [this] { step(-1); });
}

void TUpDown::setArrowNames(const QString &up, const QString &down, const QString &what)
{
    mUp->setAccessibleName(up);
    mDown->setAccessibleName(down);
    mUp->setAccessibleDescription(what);
    mDown->setAccessibleDescription(what);
}

void TUpDown::setPosition(int position)
{
    mPosition = position;
}

void TUpDown::step(int direction)
{
    // The handler is asked with the step as it is, also beyond the range: what
    // it governs (a label's value) need not stand where the position does.
    const int proposed = mPosition + direction * Increment;
    if (OnChangingEx && !OnChangingEx(proposed))
        return;
    int next = proposed;
    if (next > Max)
        next = Wrap ? Min : Max;
    if (next < Min)
        next = Wrap ? Max : Min;
    if (next == mPosition)
        return;
    mPosition = next;
    emit positionChanged(mPosition);
}

} // namespace lirena
