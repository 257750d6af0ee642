#pragma once

#include <QWidget>

namespace lirena {

class ButtonBar;
class PanelPages;

// The control panel under the page: the button bar and, below it, the
// settings pages. It has three heights (hidden, the bar, the bar with the
// pages); its own up and down buttons step between them.
class ControlPanel : public QWidget
{
    Q_OBJECT

public:
    enum State { Hidden = 0, Bar = 1, Settings = 2 };

    explicit ControlPanel(QWidget *parent = nullptr);

    ButtonBar &bar() const { return *mBar; }
    PanelPages &pages() const { return *PageControl; }

    int state() const { return mState; }
    // Takes a height: 0, the bar's 40 pixels, or 222 with the settings pages.
    void setState(int state);

signals:
    // The height changed: the window lays itself out again.
    void stateChanged(int state);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    ButtonBar *mBar;
    QWidget *SubPanel;
    PanelPages *PageControl;
    int mState = Bar;
};

} // namespace lirena
