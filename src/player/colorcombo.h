#pragma once

#include <QColor>
#include <QComboBox>

namespace lirena {

// Converts between QColor and the platform colour value 0x00BBGGRR that the
// settings file stores.
QColor colorFromRef(int colorRef);
int colorRefFromColor(const QColor &color);

// A drop-down of named colours, each drawn with its swatch and sorted by
// intensity, with a last entry that opens the colour dialog for any other colour.
class ColorCombo : public QComboBox
{
    Q_OBJECT

public:
    // entries: "Name=BBGGRR" with six hexadecimal digits in blue, green, red order.
    ColorCombo(const QStringList &entries, QWidget *parent = nullptr);

    QColor selectedColor() const { return mSelected; }
    // Selects the named entry of that colour, or shows it as a custom colour.
    void setSelectedColor(const QColor &color);

signals:
    void colorChanged(const QColor &color);

private:
    void entryActivated(int index);
    int customIndex() const { return count() - 1; }

    QColor mSelected;
};

// The colour lists of the options page.
QStringList backgroundColorEntries();
QStringList markColorEntries();

} // namespace lirena
