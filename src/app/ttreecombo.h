#pragma once

#include <QComboBox>
#include <QStandardItemModel>

class QTreeView;

namespace lirena {

// A drop-down list that shows a tree: only end nodes (nodes without children)
// can be chosen, up to 15 rows show, top-level nodes are bold. Every node has
// a caption (cut with "…" where it is wider than the screen), an image and two
// data strings. The text field is cleared when the list closes, so nothing
// chosen stays written on it.
class TTreeCombo : public QComboBox
{
    Q_OBJECT

public:
    enum Role { FirstDataRole = Qt::UserRole + 1, SecondDataRole };
    // Pictures of the shared image list: a group or heading, a lesson or entry.
    static constexpr int kGroupImage = 6;
    static constexpr int kEntryImage = 9;

    explicit TTreeCombo(QWidget *parent = nullptr);

    QStandardItemModel &tree() { return mModel; }
    QTreeView *treeView() const { return mView; }

    // Adds a node under parent (none: the top level).
    QStandardItem *addNode(QStandardItem *parent, const QString &caption, int image, const QString &first,
                           const QString &second = {});
    void clearTree();
    bool hasNodes() const { return mModel.rowCount() > 0; }

    // Every node, depth first from the first.
    QList<QStandardItem *> nodesDepthFirst() const;

    // Chooses an end node, as a click on it does.
    void choose(QStandardItem *node);

    void showPopup() override;
    void hidePopup() override;

signals:
    // An end node was chosen.
    void selectionChange(QStandardItem *node);
    // The list closed.
    void closeUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Rows the tree shows as it is expanded now.
    int visibleRows() const;

    QStandardItemModel mModel;
    QTreeView *mView;
};

} // namespace lirena
