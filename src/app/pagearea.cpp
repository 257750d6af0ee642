#include "app/pagearea.h"

#include "app/glyphs.h"
#include "player/pageview.h"
#include "player/panelcontrols.h"
#include "player/rotatedlabel.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTextBrowser>

namespace lirena {

using PanelControls::named;

PageArea::PageArea(QWidget *parent) : QWidget(parent)
{
    SBox = named(new QScrollArea(this), "SBox", QStringLiteral("Sayfa"),
                 QStringLiteral("Okunan sayfa; sağ düğme ile sürükleyerek kaydırın"));
    SBox->setFrameShape(QFrame::NoFrame);
    SBox->setWidgetResizable(true);
    SBox->setAutoFillBackground(true);
    SBox->viewport()->setAutoFillBackground(false);
    auto *surface = new QWidget;
    surface->setAutoFillBackground(false);
    SBox->setWidget(surface);
    img = named(new PageView(surface), "img", QStringLiteral("Sayfa resmi"),
                QStringLiteral("Okunan kelime işaretlenir; bir kelimeye tıklayın, dinleyin"));
    ImgWait = named(new QLabel(SBox->viewport()), "ImgWait", QStringLiteral("Lütfen bekleyin"));
    ImgWait->setPixmap(lirena::waitPicture());
    ImgWait->adjustSize();
    ImgWait->hide();
    LblChapterName = named(new RotatedLabel(surface), "LblChapterName", QStringLiteral("Ders adı"));
    QFont titleFont(QStringLiteral("Arial"), 14, QFont::Bold);
    titleFont.setStyleHint(QFont::SansSerif);
    LblChapterName->setFont(titleFont);
    QPalette titlePalette = LblChapterName->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    LblChapterName->setPalette(titlePalette);
    LblChapterName->move(3, 0);
    WB = named(new QTextBrowser(SBox), "WB", QStringLiteral("Sayfa"), QStringLiteral("Okunan sayfa"));
    WB->setOpenLinks(false);
    WB->hide();

    PaExerciseInfo = named(new QFrame(this), "PaExerciseInfo", QStringLiteral("Alıştırma"));
    PaExerciseInfo->setGeometry(0, 0, 180, 20);
    auto *background = new QLabel(PaExerciseInfo);
    background->setGeometry(0, 0, 180, 20);
    background->setAutoFillBackground(true);
    QPalette infoPalette = background->palette();
    infoPalette.setColor(QPalette::Window, QColor(250, 232, 160));
    background->setPalette(infoPalette);
    QFont infoFont(QStringLiteral("Courier New"), 9, QFont::Bold);
    infoFont.setStyleHint(QFont::TypeWriter);
    LblExerciseInfo = named(new QLabel(QStringLiteral("-"), PaExerciseInfo), "LblExerciseInfo",
                            QStringLiteral("Alıştırma adımı"));
    LblExerciseInfo->setGeometry(6, 3, 80, 14);
    LblCounter = named(new QLabel(QStringLiteral("00:00:00"), PaExerciseInfo), "LblCounter",
                       QStringLiteral("Kalan süre"));
    LblCounter->setGeometry(100, 3, 70, 14);
    for (QLabel *label : {LblExerciseInfo, LblCounter}) {
        label->setFont(infoFont);
        label->setAlignment(Qt::AlignCenter);
    }
    PaExerciseInfo->hide();

    // The page area's own pointer handler: over the scroll box beside the picture.
    for (QWidget *watched : {SBox->widget(), SBox->viewport()}) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
    }
}

void PageArea::fillPlayerWidgets(Player::Widgets &widgets) const
{
    widgets.pageArea = SBox;
    widgets.page = img;
    widgets.chapterTitle = LblChapterName;
    widgets.exerciseInfo = PaExerciseInfo;
    widgets.exerciseWord = LblExerciseInfo;
    widgets.exerciseCounter = LblCounter;
}

void PageArea::setBackground(const QColor &color)
{
    QPalette palette = SBox->palette();
    palette.setColor(QPalette::Window, color);
    SBox->setPalette(palette);
}

void PageArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SBox->setGeometry(rect());
    if (!WB->isHidden())
        WB->setGeometry(SBox->viewport()->geometry());
    PaExerciseInfo->raise();
}

bool PageArea::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto *move = static_cast<QMouseEvent *>(event);
        emit pointerMoved(static_cast<QWidget *>(watched)->mapTo(this, move->position().toPoint()).y());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lirena
