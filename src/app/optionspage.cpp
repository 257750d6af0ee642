#include "app/optionspage.h"

#include "player/colorcombo.h"
#include "player/panelcontrols.h"
#include "player/tradiogroup.h"
#include "player/tupdown.h"
#include "player/waittimes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace lirena {

using PanelControls::named;

OptionsPage::OptionsPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);

    auto *size = new QVBoxLayout;
    RGrpImageSize = named(new TRadioGroup(QStringLiteral("  Resim Büyüklüğü  "),
                                          {QStringLiteral("Sayfayı tam olarak kapla"),
                                           QStringLiteral("Benim istediğim büyüklükte göster")},
                                          this),
                          "RGrpImageSize", QStringLiteral("Resim Büyüklüğü"));
    cmbImageSize = named(new QComboBox(this), "cmbImageSize", QStringLiteral("Resim büyüklüğü oranı"),
                         QStringLiteral("Resmin gösterileceği büyüklük"));
    cmbImageSize->addItems({QStringLiteral("%100"), QStringLiteral("%75"), QStringLiteral("%50"),
                            QStringLiteral("%120"), QStringLiteral("%150")});
    size->addWidget(RGrpImageSize);
    size->addWidget(cmbImageSize);
    size->addStretch();
    layout->addLayout(size);

    RGrpMarkType = named(new TRadioGroup(QStringLiteral("  İşaretleme Metodu  "),
                                         {QStringLiteral("Çerçeve içine al"),
                                          QStringLiteral("Altından işaretleyerek göster"),
                                          QStringLiteral("Rengini değiştir")},
                                         this),
                         "RGrpMarkType", QStringLiteral("İşaretleme Metodu"));
    layout->addWidget(RGrpMarkType, 0, Qt::AlignTop);

    auto *colors = new QGridLayout;
    BackgroundColorCombo = named(new ColorCombo(backgroundColorEntries(), this), "BackgroundColorCombo",
                                 QStringLiteral("Zemin rengi"),
                                 QStringLiteral("Sayfanın arkasındaki zeminin rengi"));
    MarkColorCombo = named(new ColorCombo(markColorEntries(), this), "MarkColorCombo",
                           QStringLiteral("İşaretleme rengi"),
                           QStringLiteral("Okunan kelimeyi işaretleyen renk"));
    colors->addWidget(new QLabel(QStringLiteral("Zemin rengi"), this), 0, 0);
    colors->addWidget(BackgroundColorCombo, 1, 0);
    colors->addWidget(new QLabel(QStringLiteral("İşaretleme rengi"), this), 2, 0);
    colors->addWidget(MarkColorCombo, 3, 0);
    colors->setRowStretch(4, 1);
    layout->addLayout(colors);

    auto *waits = new QGroupBox(QStringLiteral("  Alıştırmalar İçin Bekleme Süreleri  "), this);
    auto *grid = new QGridLayout(waits);
    LblTest3 = named(PanelControls::timeLabel(waits, QStringLiteral("1")), "LblTest3",
                     QStringLiteral("Bulma süresi, saniye"));
    LblTest12 = named(PanelControls::timeLabel(waits, QStringLiteral("1,5")), "LblTest12",
                      QStringLiteral("Okuma süresi katı"));
    LblTest3->setFixedWidth(36);
    LblTest12->setFixedWidth(36);
    UDTest3 = named(new TUpDown(waits), "UDTest3", QStringLiteral("Bulma süresini değiştir"));
    UDTest3->setArrowNames(QStringLiteral("Artır"), QStringLiteral("Azalt"), UDTest3->accessibleName());
    UDTest3->Min = 1;
    UDTest3->Max = 60;
    UDTest3->setPosition(1);
    UDTest12 = named(new TUpDown(waits), "UDTest12", QStringLiteral("Okuma süresi katını değiştir"));
    UDTest12->setArrowNames(QStringLiteral("Artır"), QStringLiteral("Azalt"), UDTest12->accessibleName());
    UDTest12->Min = 10;
    UDTest12->Max = 50;
    UDTest12->setPosition(10);
    grid->addWidget(new QLabel(QStringLiteral("\"Ben okuyayım, sen bul\" için :"), waits), 0, 0);
    grid->addWidget(LblTest3, 0, 1);
    grid->addWidget(UDTest3, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("saniye"), waits), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Diğer alıştırmalar için okuma süresinin"), waits), 1, 0);
    grid->addWidget(LblTest12, 1, 1);
    grid->addWidget(UDTest12, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("katı"), waits), 1, 3);
    layout->addWidget(waits, 0, Qt::AlignTop);

    // The teacher slowed down or sped up, the pitch kept: a tenth at a time.
    auto *speed = new QGroupBox(QStringLiteral("  Okuma Hızı  "), this);
    auto *speedRow = new QVBoxLayout(speed);
    cmbReadingSpeed = named(new QComboBox(speed), "cmbReadingSpeed", QStringLiteral("Okuma hızı"),
                            QStringLiteral("Öğretmenin okuma hızı: 0,5 yavaş, 1,0 kaydedildiği gibi, 1,5 hızlı; "
                                           "sesin tonu değişmez. Klavyede [ yavaşlatır, ] hızlandırır."));
    for (int tenths = 5; tenths <= 15; ++tenths)
        cmbReadingSpeed->addItem(QStringLiteral("%1,%2x").arg(tenths / 10).arg(tenths % 10), tenths);
    cmbReadingSpeed->setCurrentIndex(cmbReadingSpeed->findData(10));
    speedRow->addWidget(cmbReadingSpeed);
    cmbReadingSpeed->setToolTip(QStringLiteral("Ses tonu değişmez. [ yavaşlatır, ] hızlandırır."));
    layout->addWidget(speed, 0, Qt::AlignTop);
    layout->addStretch();

    // The up-downs step the values shown, refusing a step out of range.
    auto stepper = [this](QLabel *label, TUpDown *upDown, auto step) {
        return [this, label, upDown, step](int value) {
            const auto text = step(label->text(), value - upDown->position());
            if (!text)
                return false;
            label->setText(*text);
            emit changed();
            return true;
        };
    };
    UDTest3->OnChangingEx = stepper(LblTest3, UDTest3, &WaitTimes::stepTest3);
    UDTest12->OnChangingEx = stepper(LblTest12, UDTest12, &WaitTimes::stepTest12);
    connect(RGrpMarkType, &TRadioGroup::clicked, this, &OptionsPage::changed);
    connect(cmbReadingSpeed, &QComboBox::activated, this, &OptionsPage::changed);
    connect(MarkColorCombo, &ColorCombo::colorChanged, this, &OptionsPage::changed);
    connect(BackgroundColorCombo, &ColorCombo::colorChanged, this, &OptionsPage::backgroundChanged);
    connect(RGrpImageSize, &TRadioGroup::clicked, this, &OptionsPage::imageSizeChosen);
    connect(cmbImageSize, &QComboBox::activated, this, [this] {
        RGrpImageSize->setItemIndex(1);
        emit imageSizeChosen();
    });
}

DisplayOptions OptionsPage::options() const
{
    DisplayOptions o;
    o.ImageSize = cmbImageSize->currentIndex();
    o.ImageSizeType = RGrpImageSize->itemIndex();
    o.BackgroundColor = colorRefFromColor(BackgroundColorCombo->selectedColor());
    o.MarkColor = colorRefFromColor(MarkColorCombo->selectedColor());
    o.Test3WaitTime = LblTest3->text();
    o.Test12WaitTime = LblTest12->text();
    o.MarkType = RGrpMarkType->itemIndex();
    o.ReadingSpeed = cmbReadingSpeed->currentData().toInt();
    return o;
}

void OptionsPage::setOptions(const DisplayOptions &o)
{
    // Shown without the notifications a learner's choice gives.
    const QSignalBlocker sizeQuiet(RGrpImageSize), markQuiet(RGrpMarkType), colourQuiet(MarkColorCombo),
        backgroundQuiet(BackgroundColorCombo);
    cmbImageSize->setCurrentIndex(o.ImageSize >= 0 && o.ImageSize < cmbImageSize->count() ? o.ImageSize : -1);
    RGrpImageSize->setItemIndex(o.ImageSizeType);
    BackgroundColorCombo->setSelectedColor(colorFromRef(o.BackgroundColor));
    MarkColorCombo->setSelectedColor(colorFromRef(o.MarkColor));
    LblTest3->setText(o.Test3WaitTime);
    LblTest12->setText(o.Test12WaitTime);
    RGrpMarkType->setItemIndex(o.MarkType);
    const int speed = cmbReadingSpeed->findData(o.ReadingSpeed);
    cmbReadingSpeed->setCurrentIndex(speed >= 0 ? speed : cmbReadingSpeed->findData(10));
}

void OptionsPage::stepReadingSpeed(int step)
{
    const int index = std::clamp(cmbReadingSpeed->currentIndex() + step, 0, cmbReadingSpeed->count() - 1);
    if (index == cmbReadingSpeed->currentIndex())
        return;
    cmbReadingSpeed->setCurrentIndex(index);
    emit changed();
}

} // namespace lirena
