#include "player/panelcontrols.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace lirena::PanelControls {

QLabel *timeLabel(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

QToolButton *commandButton(QWidget *parent, const QString &caption, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton *pageButton(QWidget *parent, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace lirena::PanelControls
