#include "app/volumepage.h"

#include "player/panelcontrols.h"
#include "player/volumecontrol.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

namespace lirena {

using PanelControls::named;

VolumePage::VolumePage(Mixer &mixer, QWidget *parent) : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    auto slider = [this](const char *name, const QString &spoken, const QString &description) {
        auto *s = named(new QSlider(Qt::Horizontal, this), name, spoken, description);
        s->setRange(0, 100);
        s->setSingleStep(5);
        s->setPageStep(5);
        s->setFixedWidth(250);
        return s;
    };
    MasterControl =
        slider("MasterControl", QStringLiteral("Ana Ses"), QStringLiteral("Bilgisayarın ses düzeyi"));
    WaveControl = slider("WaveControl", QStringLiteral("Wave"), QStringLiteral("Okumanın ses düzeyi"));
    CDControl = slider("CDControl", QStringLiteral("CD"), QStringLiteral("CD çaların ses düzeyi"));
    LblCD = new QLabel(QStringLiteral("CD"), this);
    grid->addWidget(new QLabel(QStringLiteral("Ana Ses"), this), 0, 0);
    grid->addWidget(MasterControl, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Wave"), this), 1, 0);
    grid->addWidget(WaveControl, 1, 1);
    grid->addWidget(LblCD, 2, 0);
    grid->addWidget(CDControl, 2, 1);
    CDControl->hide();
    LblCD->hide();
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    mVolume = std::make_unique<VolumeControl>(mixer, MasterControl, WaveControl, CDControl);
}

VolumePage::~VolumePage() = default;

void VolumePage::InitMixer()
{
    mVolume->InitMixer();
}

void VolumePage::closeMixer()
{
    mVolume->closeMixer();
}

} // namespace lirena
