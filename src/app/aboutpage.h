#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace lirena {

// The "Program Hakkında" page: the logo and the two film pictures, which open
// files of the installation source, the web and mail links, and a few words
// about the program.
class AboutPage : public QWidget
{
    Q_OBJECT

public:
    explicit AboutPage(QWidget *parent = nullptr);

    // The logo, as the splash window shows it.
    void setLogo(const QPixmap &logo);

signals:
    // A file of the installation source, as the course names it.
    void sourceFileRequested(const QString &relativePath);
    // An address for the desktop to open.
    void linkRequested(const QUrl &url);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QLabel *LogoImage;
    QLabel *imgAd1;
    QLabel *imgAd2;
    QLabel *LblBriselWeb;
    QLabel *Label20;
    QPlainTextEdit *MemoBrisel;
};

} // namespace lirena
