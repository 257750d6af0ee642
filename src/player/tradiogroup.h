#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace lirena {

// A captioned group of radio buttons with one selected item. Its click
// notification runs on every change of the selection, whether the user or
// the program made it.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);

    // The selected item, -1 for none.
    int itemIndex() const { return mIndex; }
    // Selects an item; the click notification follows when the selection changes.
    void setItemIndex(int index);

signals:
    void clicked(int index);

private:
    QButtonGroup *mButtons;
    int mIndex = -1;
};

} // namespace lirena
