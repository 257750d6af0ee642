#include "app/controlpanel.h"

#include "app/buttonbar.h"
#include "app/panelpages.h"
#include "player/panelcontrols.h"

#include <QTabBar>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

namespace {

const int kPanelHeight = 222; // the bar with the settings pages

} // namespace

ControlPanel::ControlPanel(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    mBar = named(new ButtonBar(this), "ButtonBar", QStringLiteral("Düğmeler"));
    SubPanel = new QWidget(this);
    auto *subLayout = new QVBoxLayout(SubPanel);
    subLayout->setContentsMargins(4, 0, 4, 4);
    PageControl = named(new PanelPages(SubPanel), "PageControl", QStringLiteral("Ayar sayfaları"),
                        QStringLiteral("Seçenekler, ses kontrolü ve program hakkında"));
    PageControl->tabBar()->setAccessibleName(PageControl->accessibleName());
    subLayout->addWidget(PageControl);
    connect(mBar, &ButtonBar::panelUpClicked, this, [this] {
        if (mState < Settings)
            setState(mState + 1);
    });
    connect(mBar, &ButtonBar::panelDownClicked, this, [this] {
        if (mState > Hidden)
            setState(mState - 1);
    });
}

void ControlPanel::setState(int state)
{
    switch (state) {
    case Hidden: setFixedHeight(0); break;
    case Bar: setFixedHeight(ButtonBar::kHeight); break;
    case Settings: setFixedHeight(kPanelHeight); break;
    default: break;
    }
    mBar->showPanelState(state, state == Settings);
    mState = state;
    emit stateChanged(state);
}

void ControlPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    mBar->setGeometry(0, 0, width(), ButtonBar::kHeight);
    SubPanel->setGeometry(0, ButtonBar::kHeight, width(), std::max(0, height() - ButtonBar::kHeight));
    SubPanel->setVisible(height() > ButtonBar::kHeight);
}

} // namespace lirena
