#pragma once

#include "app/appsettings.h"

#include <QWidget>

class QComboBox;
class QLabel;

namespace lirena {

class ColorCombo;
class TRadioGroup;
class TUpDown;

// The "Seçenekler" page: the picture's size, how the word heard is marked and
// in which colour, the page background, the exercises' waiting times and the
// reading speed.
// It holds the options as the settings file stores them and tells what changed.
class OptionsPage : public QWidget
{
    Q_OBJECT

public:
    explicit OptionsPage(QWidget *parent = nullptr);

    DisplayOptions options() const;
    // Shows the options; a choice the controls do not offer shows none.
    void setOptions(const DisplayOptions &options);
    // One step of the reading speed, a tenth, as "[" and "]" give it; none past either end.
    void stepReadingSpeed(int step);

signals:
    // The mark, its colour, a waiting time or the reading speed changed.
    void changed();
    // The learner chose a size: the page is shown anew (once per choice, or
    // twice when choosing from the list also changed the size kind).
    void imageSizeChosen();
    void backgroundChanged(const QColor &color);

private:
    TRadioGroup *RGrpImageSize;
    QComboBox *cmbImageSize;
    TRadioGroup *RGrpMarkType;
    ColorCombo *BackgroundColorCombo;
    ColorCombo *MarkColorCombo;
    QLabel *LblTest3;
    TUpDown *UDTest3;
    QLabel *LblTest12;
    TUpDown *UDTest12;
    QComboBox *cmbReadingSpeed;
};

} // namespace lirena
