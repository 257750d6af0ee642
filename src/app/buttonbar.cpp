#include "app/buttonbar.h"

#include "app/glyphs.h"
#include "app/ttreecombo.h"
#include "player/panelcontrols.h"
#include "player/tslider.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

namespace lirena {

using PanelControls::named;

namespace {

const int kSmallButton = 15;

QToolButton *barButton(QWidget *parent, Glyph glyph, const QString &hint, int size = 25)
{
    auto *button = new QToolButton(parent);
    button->setIcon(glyphIcon(glyph, size - 7));
    button->setIconSize(QSize(size - 7, size - 7));
    button->resize(size, size);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QToolButton *flatButton(QWidget *parent, Glyph glyph, const QString &hint)
{
    QToolButton *button = barButton(parent, glyph, hint, kSmallButton);
    button->setIconSize(QSize(11, 11));
    button->setAutoRaise(true);
    return button;
}

} // namespace

ButtonBar::ButtonBar(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    btnPlay = named(barButton(this, Glyph::Play, QString()), "btnPlay", QStringLiteral("Oynat"),
                    QStringLiteral("Öğretmenin okumasını başlatır"));
    btnPause = named(barButton(this, Glyph::Pause, QStringLiteral("Duraklat")), "btnPause", QStringLiteral("Duraklat"));
    btnStop = named(barButton(this, Glyph::Stop, QStringLiteral("Durdur")), "btnStop", QStringLiteral("Durdur"));
    for (QToolButton *button : {btnPlay, btnPause, btnStop})
        button->setEnabled(false);
    btnLessons = named(new QPushButton(QStringLiteral("Dersler"), this), "btnLessons",
                       QStringLiteral("Dersler"), QStringLiteral("Ders listesini açar"));
    btnSubjects =
        named(new QPushButton(QStringLiteral("Konular"), this), "btnSubjects", QStringLiteral("Konular"),
              QStringLiteral("Sayfanın konularını ve alıştırmalarını açar"));
    for (QPushButton *button : {btnLessons, btnSubjects}) {
        button->resize(75, 25);
        button->setFocusPolicy(Qt::NoFocus);
    }
    btnSubjects->setEnabled(false);
    // The tree lists lie under their buttons: only their dropped-down trees are seen.
    TComboLessons = named(new TTreeCombo(this), "TComboLessons", QStringLiteral("Ders listesi"),
                          QStringLiteral("Bir ders seçin"));
    TComboSubjects = named(new TTreeCombo(this), "TComboSubjects", QStringLiteral("Konu listesi"),
                           QStringLiteral("Bir konu ya da alıştırma seçin"));
    for (TTreeCombo *tree : {TComboLessons, TComboSubjects}) {
        tree->view()->setMinimumWidth(360);
        // The dropped-down tree is where the keys are: it says what it lists.
        tree->view()->setAccessibleName(tree->accessibleName());
        tree->view()->setAccessibleDescription(tree->accessibleDescription());
        tree->lower();
    }
    TComboSubjects->setEnabled(false);
    btnBack = named(barButton(this, Glyph::Back, QStringLiteral("Geri")), "btnBack", QStringLiteral("Geri"));
    btnForward = named(barButton(this, Glyph::Forward, QStringLiteral("İleri")), "btnForward", QStringLiteral("İleri"));
    btnNext = named(barButton(this, Glyph::Next, QStringLiteral("Bir Sonraki Ders")), "btnNext",
                    QStringLiteral("Bir Sonraki Ders"));
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    Slider = named(new TSlider(this), "Slider", QStringLiteral("Konum"),
                   QStringLiteral("Okumanın neresinde olduğunuzu gösterir; sürükleyerek başka yere gidin"));
    Slider->setEnabled(false);
    Slider->setSingleStep(1);
    LblTime = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00.0")), "LblTime", QStringLiteral("Süre"));
    LblTotTime = named(PanelControls::timeLabel(this, QStringLiteral("(00:00:00.0)")), "LblTotTime",
                       QStringLiteral("Toplam süre"));
    SpeedButton1 = named(flatButton(this, Glyph::Manual, QStringLiteral("Kullanma Kılavuzu")), "SpeedButton1",
                         QStringLiteral("Kullanma Kılavuzu"));
    BtnDown = named(flatButton(this, Glyph::PanelDown, QStringLiteral("Hide Editor")), "BtnDown",
                    QStringLiteral("Ayar Sayfasını Kapat"), QStringLiteral("Ayar Sayfasını Kapat"));
    BtnUp = named(flatButton(this, Glyph::PanelUp, QStringLiteral("Show Editor")), "BtnUp",
                  QStringLiteral("Ayar Sayfasını Göster"), QStringLiteral("Ayar Sayfasını Göster"));
    btnMin = named(flatButton(this, Glyph::Minimise, QStringLiteral("Simge Durumuna Küçült")), "btnMin",
                   QStringLiteral("Simge Durumuna Küçült"));
    BtnClose = named(flatButton(this, Glyph::Close, QStringLiteral("Programı Kapat")), "BtnClose",
                     QStringLiteral("Programı Kapat"));

    connect(btnNext, &QToolButton::clicked, this, &ButtonBar::nextLessonClicked);
    connect(SpeedButton1, &QToolButton::clicked, this, &ButtonBar::manualClicked);
    connect(BtnUp, &QToolButton::clicked, this, &ButtonBar::panelUpClicked);
    connect(BtnDown, &QToolButton::clicked, this, &ButtonBar::panelDownClicked);
    connect(btnMin, &QToolButton::clicked, this, &ButtonBar::minimiseClicked);
    connect(BtnClose, &QToolButton::clicked, this, &ButtonBar::closeClicked);
    connect(btnLessons, &QPushButton::clicked, this, &ButtonBar::openLessons);
    connect(btnSubjects, &QPushButton::clicked, this, &ButtonBar::openSubjects);
}

namespace {

// Opening a list: focus, and drop down when there is something to choose.
void openList(TTreeCombo *tree)
{
    tree->setFocus();
    if (tree->hasNodes())
        tree->showPopup();
}

} // namespace

void ButtonBar::openLessons()
{
    emit lessonsOpening();
    openList(TComboLessons);
}

void ButtonBar::openSubjects()
{
    if (btnSubjects->isEnabled())
        openList(TComboSubjects);
}

void ButtonBar::closeLists()
{
    for (TTreeCombo *tree : {TComboLessons, TComboSubjects}) {
        if (tree->view()->isVisible())
            tree->hidePopup();
    }
}

void ButtonBar::fillPlayerWidgets(Player::Widgets &widgets) const
{
    widgets.play = btnPlay;
    widgets.pause = btnPause;
    widgets.stop = btnStop;
    widgets.slider = Slider;
    widgets.time = LblTime;
    widgets.totalTime = LblTotTime;
}

void ButtonBar::setSubjectsOffered(bool offered)
{
    btnSubjects->setEnabled(offered);
    TComboSubjects->setEnabled(offered);
}

void ButtonBar::showPanelState(int state, bool settingsShown)
{
    if (state > 0) {
        BtnDown->setToolTip(settingsShown ? QStringLiteral("Ayar Sayfasını Kapat") : QString());
        BtnUp->setToolTip(settingsShown ? QString() : QStringLiteral("Ayar Sayfasını Göster"));
    }
    BtnUp->setEnabled(!settingsShown);
    BtnDown->setEnabled(settingsShown);
}

void ButtonBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void ButtonBar::layOut()
{
    const int y = (kHeight - 25) / 2;
    int x = 6;
    for (QWidget *w : std::initializer_list<QWidget *>{btnPlay, btnPause, btnStop}) {
        w->move(x, y);
        x += 26;
    }
    x += 8;
    for (QWidget *w : std::initializer_list<QWidget *>{btnLessons, btnSubjects}) {
        w->move(x, y);
        x += 77;
    }
    TComboLessons->setGeometry(btnLessons->geometry());
    TComboSubjects->setGeometry(btnSubjects->geometry());
    x += 8;
    for (QWidget *w : std::initializer_list<QWidget *>{btnBack, btnForward, btnNext}) {
        w->move(x, y);
        x += 26;
    }
    x += 8;

    // The small buttons and the time labels keep to the right edge.
    const int right = width() - 4 - 5 * (kSmallButton + 1);
    const int smallY = (kHeight - kSmallButton) / 2;
    int sx = right;
    for (QWidget *w : std::initializer_list<QWidget *>{SpeedButton1, BtnDown, BtnUp, btnMin, BtnClose}) {
        w->move(sx, smallY);
        sx += kSmallButton + 1;
    }
    const int timeWidth = 104;
    LblTime->setGeometry(right - 8 - timeWidth, 2, timeWidth, 18);
    LblTotTime->setGeometry(right - 8 - timeWidth, 20, timeWidth, 18);
    Slider->setGeometry(x, y, std::max(20, LblTime->x() - x - 10), 25);
}

} // namespace lirena
