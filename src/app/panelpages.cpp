#include "app/panelpages.h"

namespace lirena {

PanelPages::PanelPages(QWidget *parent) : QTabWidget(parent)
{
    connect(this, &QTabWidget::currentChanged, this, &PanelPages::keepHiddenOut);
}

void PanelPages::hidePage(QWidget *page)
{
    // Hidden and disabled: Ctrl+Tab, the tab bar's keys and the wheel pass over
    // a disabled tab, not over one that is only hidden.
    setTabVisible(indexOf(page), false);
    setTabEnabled(indexOf(page), false);
    keepHiddenOut(currentIndex());
}

void PanelPages::keepHiddenOut(int index)
{
    if (index < 0 || isTabVisible(index))
        return;
    // Back to the first page shown.
    for (int i = 0; i < count(); ++i) {
        if (isTabVisible(i) && isTabEnabled(i)) {
            setCurrentIndex(i);
            return;
        }
    }
}

} // namespace lirena
