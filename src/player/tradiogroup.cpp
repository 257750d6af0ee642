#include "player/tradiogroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lirena {

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), mButtons(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        // A screen reader says which choice an item belongs to.
        button->setAccessibleDescription(caption.trimmed());
        mButtons->addButton(button, i);
        layout->addWidget(button);
    }
    connect(mButtons, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == mIndex)
            return;
        mIndex = id;
        emit clicked(id);
    });
}

void TRadioGroup::setItemIndex(int index)
{
    if (index < -1 || index >= int(mButtons->buttons().size()))
        index = -1;
    if (index == mIndex)
        return;
    mIndex = index;
    if (index >= 0) {
        mButtons->button(index)->setChecked(true);
    } else if (QAbstractButton *checked = mButtons->checkedButton()) {
        mButtons->setExclusive(false);
        checked->setChecked(false);
        mButtons->setExclusive(true);
    }
    emit clicked(index);
}

} // namespace lirena
