#include "app/chapterpresenter.h"

#include "app/buttonbar.h"
#include "app/lessoncatalogue.h"
#include "app/ttreecombo.h"
#include "authoring/filepage.h"
#include "platform/userdialogs.h"
#include "player/pagepicturecache.h"
#include "player/player.h"
#include "player/rotatedlabel.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItem>
#include <QTextBrowser>
#include <QTreeView>
#include <QUrl>

namespace lirena {

void ChapterPresenter::stopMedia()
{
    p.player->playback().StopMedia();
}

void ChapterPresenter::showWaitPicture(bool shown)
{
    if (shown) {
        const QSize area = p.pageArea->viewport()->size();
        p.waitPicture->move((area.width() - p.waitPicture->width()) / 2, (area.height() - p.waitPicture->height()) / 2);
        p.waitPicture->show();
        p.waitPicture->raise();
        mWaitPainted = false;
    } else {
        p.waitPicture->hide();
    }
}

void ChapterPresenter::paintWaitPicture()
{
    if (mWaitPainted || p.waitPicture->isHidden())
        return;
    mWaitPainted = true;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ChapterPresenter::setSectionPlay(bool checked)
{
    p.filePage->setSectionPlay(checked);
}

void ChapterPresenter::setChapterName(const QString &name)
{
    p.chapterTitle->setText(name);
    p.pageArea->verticalScrollBar()->setValue(0);
}

void ChapterPresenter::showPicturePage(const QString &imageFile)
{
    p.htmlView->hide();
    // A page made ahead is shown at once, without the wait picture over it;
    // otherwise the wait picture is drawn (the HTML view gone) while it is made.
    if (p.pages && p.pages->holds(p.chapterFile->resolve(imageFile), p.player->page().sizing()))
        p.waitPicture->hide();
    else
        paintWaitPicture();
    QString error;
    if (!p.player->page().LoadPageImage(imageFile, &error))
        p.dialogs->error(error);
}

void ChapterPresenter::showHtmlPage(const QString &path)
{
    paintWaitPicture();
    p.htmlView->setSource(QUrl::fromLocalFile(path));
    p.htmlView->setGeometry(p.pageArea->viewport()->geometry());
    p.htmlView->show();
    p.htmlView->raise();
}

void ChapterPresenter::openMedia(const QString &mediaFile, const QString &path)
{
    p.filePage->setAudioFile(mediaFile);
    mMediaPath = path;
    p.player->playback().OpenMedia(path, true);
}

double ChapterPresenter::imageScale() const
{
    return p.player->page().ImageScale();
}

void ChapterPresenter::setSubjects(const std::vector<SubjectNode> &subjects)
{
    TTreeCombo &tree = p.bar->subjectsTree();
    tree.clearTree();
    for (const SubjectNode &node : subjects) {
        QStandardItem *top = tree.addNode(nullptr, node.Title, node.Action.isEmpty() ? TTreeCombo::kGroupImage
                                                                                     : TTreeCombo::kEntryImage,
                                          node.Action, node.Parameter);
        for (const SubjectNode &child : node.children)
            tree.addNode(top, child.Title, TTreeCombo::kEntryImage, child.Action, child.Parameter);
    }
    tree.treeView()->expandAll();
    p.bar->setSubjectsOffered(tree.hasNodes());
}

void ChapterPresenter::expandChapterGroup(const QString &groupId)
{
    p.catalogue->expandChapterGroup(groupId);
}

void ChapterPresenter::chapterLoaded(const QString &path)
{
    // A page without a JPG picture of its own leaves the one before in view; a
    // size change must not reload that picture as if it were this page's.
    if (QFileInfo(p.chapterFile->ImageFile).suffix().toUpper() != u"JPG")
        p.player->page().forgetPicture();
    p.player->interaction().setMode(PageInteraction::PlayLimited);
    p.filePage->setFileName(path);
}

void ChapterPresenter::showError(const QString &message)
{
    p.dialogs->error(message);
}

} // namespace lirena
