#include "app/aboutpage.h"

#include "app/glyphs.h"
#include "player/panelcontrols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

AboutPage::AboutPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    LogoImage = named(new QLabel(this), "LogoImage", QStringLiteral("Brisel Web Sitesi"),
                      QStringLiteral("Brisel Web Sitesi"));
    LogoImage->setCursor(Qt::PointingHandCursor);
    LogoImage->setToolTip(QStringLiteral("Brisel Web Sitesi"));
    layout->addWidget(LogoImage, 0, Qt::AlignTop);

    imgAd1 = named(new QLabel(this), "imgAd1", QStringLiteral("Brisel Reklam Filmi 1"),
                   QStringLiteral("Brisel Reklam Filmi 1"));
    imgAd1->setToolTip(QStringLiteral("Brisel Reklam Filmi 1"));
    imgAd2 = named(new QLabel(this), "imgAd2", QStringLiteral("Brisel Reklam Filmi 2"),
                   QStringLiteral("Brisel Reklam Filmi 2"));
    imgAd2->setToolTip(QStringLiteral("Brisel Reklam Filmi 2"));
    for (QLabel *picture : {imgAd1, imgAd2}) {
        picture->setCursor(Qt::PointingHandCursor);
        layout->addWidget(picture, 0, Qt::AlignTop);
    }

    auto *contact = new QVBoxLayout;
    LblBriselWeb = named(
        new QLabel(QStringLiteral("<a href=\"https://lirena.example.org\">lirena.example.org</a>"), this),
        "LblBriselWeb", QStringLiteral("lirena.example.org"), QStringLiteral("Yayıncının web sitesini açar"));
    Label20 = named(
        new QLabel(QStringLiteral("<a href=\"mailto:bilgi@lirena.example.org\">bilgi@lirena.example.org</a>"),
                   this),
        "Label20", QStringLiteral("bilgi@lirena.example.org"), QStringLiteral("Yayıncıya e-posta yazın"));
    for (QLabel *link : {LblBriselWeb, Label20}) {
        link->setTextInteractionFlags(Qt::NoTextInteraction);
        link->setCursor(Qt::PointingHandCursor);
        contact->addWidget(link);
    }
    MemoBrisel = named(new QPlainTextEdit(this), "MemoBrisel", QStringLiteral("Program hakkında"),
                       QStringLiteral("Yayıncının notu ve iletişim bilgileri"));
    MemoBrisel->setReadOnly(true);
    MemoBrisel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoBrisel->setPlainText(QStringLiteral(
        "Lirena - okuma öğreten sesli kitap.\n\n"
        "Sayfayı okuyan öğretmenin sesini dinlerken okunan kelime sayfada işaretlenir. "
        "Bir kelimeye tıklayarak onu yeniden dinleyebilir, Konular menüsünden alıştırmalara başlayabilirsiniz.\n\n"
        "Bu program ve içindeki ders kitabı telif hakkı ile korunmaktadır. "
        "İzinsiz çoğaltılamaz ve dağıtılamaz.\n\n"
        "İletişim: bilgi@lirena.example.org"));
    contact->addWidget(MemoBrisel, 1);
    layout->addLayout(contact, 1);

    for (QLabel *clickable : {LogoImage, imgAd1, imgAd2, LblBriselWeb, Label20})
        clickable->installEventFilter(this);
}

void AboutPage::setLogo(const QPixmap &logo)
{
    // 140 view pixels tall, in the picture's own density.
    QPixmap shown = logo.scaledToHeight(qRound(140 * logo.devicePixelRatio()), Qt::SmoothTransformation);
    shown.setDevicePixelRatio(logo.devicePixelRatio());
    LogoImage->setPixmap(shown);
}

// The pictures are drawn when the page is first shown, not while the window
// is built before the first page: most starts never show this page.
void AboutPage::showEvent(QShowEvent *event)
{
    if (LogoImage->pixmap().isNull())
        setLogo(logoPicture());
    if (imgAd1->pixmap().isNull()) {
        imgAd1->setPixmap(aboutPicture(1));
        imgAd2->setPixmap(aboutPicture(2));
    }
    QWidget::showEvent(event);
}

bool AboutPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == LogoImage)
            emit sourceFileRequested(QStringLiteral("briselweb\\index.html"));
        else if (watched == imgAd1)
            emit sourceFileRequested(QStringLiteral("briselvideo\\brisel1.mpg"));
        else if (watched == imgAd2)
            emit sourceFileRequested(QStringLiteral("briselvideo\\brisel2.mpg"));
        else if (watched == LblBriselWeb)
            emit linkRequested(QUrl(QStringLiteral("https://lirena.example.org")));
        else if (watched == Label20)
            emit linkRequested(QUrl(QStringLiteral("mailto:bilgi@lirena.example.org")));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lirena
