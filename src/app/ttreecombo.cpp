#include "app/ttreecombo.h"

#include "app/glyphs.h"

#include <QHeaderView>
#include <QMouseEvent>
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
}

QStandardItem *TTreeCombo::addNode(QStandardItem *parent, const QString &caption, int image, const QString &first,
                                   const QString &second)
{
    auto *item = new QStandardItem(sharedImage(image), caption);
    item->setData(first, FirstDataRole);
    item->setData(second, SecondDataRole);
    item->setEditable(false);
    if (!parent) {
        // Top-level nodes are drawn bold.
        QFont bold = font();
        bold.setBold(true);
        item->setFont(bold);
        mModel.appendRow(item);
    } else {
        parent->appendRow(item);
    }
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

void TTreeCombo::showPopup()
{
    setRootModelIndex(QModelIndex());
    QComboBox::showPopup();
}

void TTreeCombo::hidePopup()
{
    if (mKeepOpen) {
        mKeepOpen = false;
        return;
    }
    QComboBox::hidePopup();
    setCurrentIndex(-1);
    emit closeUp();
}

bool TTreeCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mView->viewport() &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = mView->indexAt(mouse->position().toPoint());
        QStandardItem *node = mModel.itemFromIndex(index);
        if (node && node->hasChildren()) {
            // A group opens or closes; the list stays down.
            if (event->type() == QEvent::MouseButtonRelease)
                mView->setExpanded(index, !mView->isExpanded(index));
            mKeepOpen = true;
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
