#include "player/colorcombo.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace lirena {

namespace {

const int kColorRole = Qt::UserRole + 1;

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

} // namespace

QColor colorFromRef(int colorRef)
{
    const auto v = quint32(colorRef);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int colorRefFromColor(const QColor &color)
{
    return int(quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16);
}

ColorCombo::ColorCombo(const QStringList &entries, QWidget *parent) : QComboBox(parent)
{
    struct Named
    {
        QString name;
        QColor color;
    };
    std::vector<Named> named;
    for (const QString &entry : entries) {
        const QString name = entry.section(u'=', 0, 0);
        bool ok = false;
        const int ref = entry.section(u'=', 1).toInt(&ok, 16); // BBGGRR is the colour value itself
        if (ok)
            named.push_back({name, colorFromRef(ref)});
    }
    std::stable_sort(named.begin(), named.end(), [](const Named &a, const Named &b) {
        return a.color.red() + a.color.green() + a.color.blue() < b.color.red() + b.color.green() + b.color.blue();
    });
    for (const Named &n : named) {
        addItem(swatch(n.color), n.name);
        setItemData(count() - 1, n.color, kColorRole);
    }
    addItem(QStringLiteral("Diğer..."));
    connect(this, &QComboBox::activated, this, &ColorCombo::entryActivated);
    if (!named.empty())
        setSelectedColor(named.front().color);
}

void ColorCombo::setSelectedColor(const QColor &color)
{
    mSelected = color;
    for (int i = 0; i < customIndex(); ++i) {
        if (itemData(i, kColorRole).value<QColor>() == color) {
            setCurrentIndex(i);
            setItemText(customIndex(), QStringLiteral("Diğer..."));
            setItemIcon(customIndex(), QIcon());
            return;
        }
    }
    setItemIcon(customIndex(), swatch(color));
    setItemText(customIndex(), QStringLiteral("Diğer (%1)").arg(color.name().toUpper()));
    setCurrentIndex(customIndex());
}

void ColorCombo::entryActivated(int index)
{
    QColor chosen;
    if (index == customIndex()) {
        chosen = QColorDialog::getColor(mSelected, this);
        if (!chosen.isValid()) {
            setSelectedColor(mSelected);
            return;
        }
    } else {
        chosen = itemData(index, kColorRole).value<QColor>();
    }
    setSelectedColor(chosen);
    emit colorChanged(chosen);
}

QStringList backgroundColorEntries()
{
    return {QStringLiteral("Okyanus Yeşili=93DB70"), QStringLiteral("Eflatun=9F5F9F"),
            QStringLiteral("Parlak Altın Sarısı=19D9D9"), QStringLiteral("Taba Rengi=2A2AA6"),
            QStringLiteral("Bronz=3D7DA6"), QStringLiteral("Denizci Mavisi=9F9F5F"),
            QStringLiteral("Soğuk Bakır=1987D9"), QStringLiteral("Bakır=3373B8"), QStringLiteral("Mercan=007FFF"),
            QStringLiteral("Mısır Çiçeği Mavisi=6F4242"), QStringLiteral("Çikolata Rengi=17335C"),
            QStringLiteral("Koyu Yeşil=2F4F2F"), QStringLiteral("Koyu Zeytin Yeşili=2F4F4F"),
            QStringLiteral("Petrol Yeşili=4F4F2F"), QStringLiteral("Gök Mavisi=DB9370"),
            QStringLiteral("Çimen Yeşili=238E23"), QStringLiteral("Koyu Somon=327FCD"),
            QStringLiteral("Altın Sarısı=70DBDB"), QStringLiteral("Yeşil Bakır=767F52"),
            QStringLiteral("Açık Yeşil=70DB93"), QStringLiteral("Asker Yeşili=215E21"),
            QStringLiteral("Açık Mavi=D9D9C0"), QStringLiteral("Açık Çelik Mavisi=BD8F8F"), QStringLiteral("Bej=AEEAEA"),
            QStringLiteral("Füme Yeşil=426F42"), QStringLiteral("Pembe=9370DB"),
            QStringLiteral("Parliament Mavisi=4F2F2F"), QStringLiteral("Turuncu=3378E4"), QStringLiteral("Somon=B0CCF5"),
            QStringLiteral("Altın Sarısı=3BB5CF"), QStringLiteral("Haki=5F9F9F"), QStringLiteral("Uçuk Yeşil=8FBC8F"),
            QStringLiteral("Quartz=F3D9D9"), QStringLiteral("Parlak Mavi=AB5959"),
            QStringLiteral("Deniz Yeşili=688E23"), QStringLiteral("Çelik Mavisi=8E6B23"),
            QStringLiteral("Turkuaz=EAEAAD"), QStringLiteral("Kırmızı=0127A9"), QStringLiteral("Siyah=000000"),
            QStringLiteral("Beyaz=FFFFFF")};
}

QStringList markColorEntries()
{
    return {QStringLiteral("Somon=89C7F7"), QStringLiteral("Okyanus Yeşili=93DB70"), QStringLiteral("Eflatun=9F5F9F"),
            QStringLiteral("Parlak Altın Sarısı=19D9D9"), QStringLiteral("Bronz=3D7DA6"),
            QStringLiteral("Denizci Mavisi=9F9F5F"), QStringLiteral("Soğuk Bakır=1987D9"),
            QStringLiteral("Bakır=3373B8"), QStringLiteral("Mercan=007FFF"), QStringLiteral("Gök Mavisi=DB9370"),
            QStringLiteral("Çimen Yeşili=238E23"), QStringLiteral("Koyu Somon=327FCD"),
            QStringLiteral("Altın Sarısı=70DBDB"), QStringLiteral("Yeşil Bakır=767F52"),
            QStringLiteral("Açık Yeşil=70DB93"), QStringLiteral("Açık Çelik Mavisi=BD8F8F"),
            QStringLiteral("Füme Yeşil=426F42"), QStringLiteral("Pembe=9370DB"), QStringLiteral("Turuncu=3378E4"),
            QStringLiteral("Altın Sarısı=3BB5CF"), QStringLiteral("Haki=5F9F9F"), QStringLiteral("Uçuk Yeşil=8FBC8F"),
            QStringLiteral("Quartz=F3D9D9"), QStringLiteral("Parlak Mavi=AB5959"), QStringLiteral("Çelik Mavisi=8E6B23"),
            QStringLiteral("Turkuaz=EAEAAD")};
}

} // namespace lirena
