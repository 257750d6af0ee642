#pragma once

#include <QTabWidget>

namespace lirena {

// The control panel's page control. A page it hides is out of reach: no
// click, key (Ctrl+Tab, the tab bar's arrows) or wheel makes it current.
class PanelPages : public QTabWidget
{
    Q_OBJECT

public:
    explicit PanelPages(QWidget *parent = nullptr);

    // Hides a page's tab and keeps the page out of reach.
    void hidePage(QWidget *page);

private:
    void keepHiddenOut(int index);
};

} // namespace lirena
