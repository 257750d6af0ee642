#include "app/ttreecombo.h"

#include "app/glyphs.h"
#include "player/elidedtext.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTreeView>

namespace lirena {

TTreeCombo::TTreeCombo(QWidget *parent) : QComboBox(parent), mView(new QTreeView(this))
{
    mView->header()->hide();
    mView->setUniformRowHeights(true);
    mView->setExpandsOnDoubleClick(true);
    mView->setItemsExpandable(true);
    mView->setRootIsDecorated(true);
    mView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(&mModel);
    setView(mView);
    setMaxVisibleItems(15);
    setFocusPolicy(Qt::StrongFocus);
    mView->viewport()->installEventFilter(this);
    mView->installEventFilter(this);
}

QStandardItem *TTreeCombo::addNode(QStandardItem *parent, const QString &caption, int image, const QString &first,
                                   const QString &second)
{
    auto *item = new QStandardItem(sharedImage(image), QString());
    item->setData(first, FirstDataRole);
    item->setData(second, SecondDataRole);
    item->setEditable(false);
    QFont rowFont = font();
    if (!parent) {
        // Top-level nodes are drawn bold.
        rowFont.setBold(true);
        item->setFont(rowFont);
    }
    // No row is wider than the screen: a caption of megabytes would have every list
    // that sizes or draws the row lay all of it out.
    item->setText(elidedToWidth(caption, QFontMetrics(rowFont), screen()->availableGeometry().width()));
    if (!parent)
        mModel.appendRow(item);
    else
        parent->appendRow(item);
    return item;
}

void TTreeCombo::clearTree()
{
    mModel.clear();
    setCurrentIndex(-1);
}

QList<QStandardItem *> TTreeCombo::nodesDepthFirst() const
{
    QList<QStandardItem *> out;
    std::function<void(QStandardItem *)> walk = [&](QStandardItem *node) {
        out << node;
        for (int i = 0; i < node->rowCount(); ++i)
            walk(node->child(i));
    };
    for (int i = 0; i < mModel.rowCount(); ++i)
        walk(mModel.item(i));
    return out;
}

void TTreeCombo::choose(QStandardItem *node)
{
    if (!node || node->hasChildren())
        return;
    emit selectionChange(node);
}

int TTreeCombo::visibleRows() const
{
    int rows = 0;
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        for (int i = 0; i < mModel.rowCount(parent); ++i) {
            const QModelIndex index = mModel.index(i, 0, parent);
            ++rows;
            if (mView->isExpanded(index))
                walk(index);
        }
    };
    walk(QModelIndex());
    return rows;
}

void TTreeCombo::showPopup()
{
    setRootModelIndex(QModelIndex());
    QComboBox::showPopup();
    // The keys start from the first node.
    mView->setCurrentIndex(mModel.index(0, 0));
    // The list opens as a tree of at most 15 rows, below the button where it
    // fits, else above it (the button bar stands at the bottom of the screen).
    QWidget *popup = mView->window();
    const int rowHeight = std::max(1, mView->sizeHintForRow(0));
    const int rows = std::clamp(visibleRows(), 1, maxVisibleItems());
    const int frame = popup->height() - mView->viewport()->height();
    QRect area(popup->pos(), QSize(std::max(popup->width(), mView->minimumWidth()), rows * rowHeight + frame));
    const QRect screenArea = screen()->availableGeometry();
    const QPoint below = mapToGlobal(QPoint(0, height()));
    if (below.y() + area.height() <= screenArea.bottom() + 1)
        area.moveTopLeft(below);
    else
        area.moveBottomLeft(mapToGlobal(QPoint(0, -1)));
    popup->setGeometry(area);
}

void TTreeCombo::hidePopup()
{
    QComboBox::hidePopup();
    setCurrentIndex(-1);
    emit closeUp();
}

bool TTreeCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mView && event->type() == QEvent::ShortcutOverride) {
        // Return and Enter are ours: the list's own handling would close it on a group.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    if (watched == mView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QModelIndex index = mView->currentIndex();
        QStandardItem *node = mModel.itemFromIndex(index);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && node) {
            if (node->hasChildren()) {
                mView->setExpanded(index, !mView->isExpanded(index));
            } else {
                QComboBox::hidePopup();
                setCurrentIndex(-1);
                emit closeUp();
                choose(node);
            }
            return true;
        }
    }
    if (watched == mView->viewport() &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = mView->indexAt(mouse->position().toPoint());
        QStandardItem *node = mModel.itemFromIndex(index);
        if (node && node->hasChildren()) {
            // A group opens or closes; the list stays down (the list never sees the click).
            if (event->type() == QEvent::MouseButtonRelease)
                mView->setExpanded(index, !mView->isExpanded(index));
            return true;
        }
        if (node && event->type() == QEvent::MouseButtonRelease) {
            QComboBox::hidePopup();
            setCurrentIndex(-1);
            emit closeUp();
            choose(node);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace lirena
