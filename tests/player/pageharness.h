#pragma once

// The player on its own, built exactly as the window builds it, around a
// scripted media device (or a real one): for driving marking, the mouse and
// the exercises without a window.

#include "../app/fakedialogs.h"
#include "scripteddevice.h"

#include "lesson/chapter.h"
#include "player/pagepicturecache.h"
#include "player/pageview.h"
#include "player/player.h"
#include "player/rotatedlabel.h"
#include "player/tslider.h"

#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>

struct PageHarness
{
    QWidget window;
    QScrollArea *box = new QScrollArea(&window);
    QWidget *surface = new QWidget;
    lirena::PageView *img = new lirena::PageView(surface);
    lirena::RotatedLabel *title = new lirena::RotatedLabel(surface);
    QToolButton play{&window}, pause{&window}, stop{&window};
    lirena::TSlider slider{&window};
    QLabel time{&window}, total{&window}, info{&window}, counter{&window};
    QWidget infoPanel{&window};
    ScriptedDevice device;
    lirena::MediaDevice &media; // the scripted device, or a real one a test gives
    FakeDialogs dialogs;
    lirena::Chapter chapter;

    QSize screen{1024, 768};
    qreal ratio = 1.0; // device pixels per view pixel of the screen
    int panelHeight = 40;
    QString folder = QDir::tempPath();
    int pointed = -1;        // the link id the "File" page would show
    int bottomEdgeSeen = 0;  // how often the pointer asked for the control panel
    lirena::PagePictureCache *pages =
        nullptr; // where pictures come from, as in the window; none: made directly

    lirena::Player player{chapter, media, dialogs,
                          lirena::Player::Widgets{
                              .pageArea = box,
                              .page = img,
                              .chapterTitle = title,
                              .play = &play,
                              .pause = &pause,
                              .stop = &stop,
                              .slider = &slider,
                              .time = &time,
                              .totalTime = &total,
                              .exerciseInfo = &infoPanel,
                              .exerciseWord = &info,
                              .exerciseCounter = &counter,
                              .screenSize = [this] { return screen; },
                              .controlPanelHeight = [this] { return panelHeight; },
                              .resolve = [this](const QString &name) { return folder + "/" + name; },
                              .pagePicture =
                                  [this](const QString &path, const lirena::PageSizing &sizing) {
                                      return pages ? pages->picture(path, sizing)
                                                   : lirena::makePagePicture(path, sizing);
                                  },
                              .devicePixelRatio = [this] { return ratio; },
                          }};
    lirena::PlaybackControl &playback = player.playback();
    lirena::PageDisplay &page = player.page();
    lirena::Exercises &exercises = player.exercises();
    lirena::PageInteraction &interaction = player.interaction();

    explicit PageHarness(lirena::MediaDevice *realDevice = nullptr) : media(realDevice ? *realDevice : device)
    {
        box->setWidget(surface);
        box->setWidgetResizable(true);
        box->setGeometry(0, 0, 800, 600);
        window.resize(1024, 768);
        QObject::connect(&interaction, &lirena::PageInteraction::pointedLinkChanged, [this](int id) { pointed = id; });
        QObject::connect(&interaction, &lirena::PageInteraction::bottomEdgeReached, [this] { ++bottomEdgeSeen; });
        interaction.setMode(lirena::PageInteraction::PlayLimited);
        exercises.setWaitTimes(5, 1.5);
        playback.OpenMedia("/course/page.mp3", false);
    }

    // The learner's choices of size and mark.
    void setOptions(lirena::PageDisplay::SizeType sizeType, int sizeIndex,
                    lirena::PageDisplay::MarkStyle style = lirena::PageDisplay::Frame,
                    QColor markColor = QColor(247, 199, 137))
    {
        page.setOptions({.sizeType = sizeType, .sizeIndex = sizeIndex, .markStyle = style, .markColor = markColor});
    }

    // A plain picture of the given size as the page.
    void showPicture(int w, int h, QRgb colour = qRgb(240, 235, 220))
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        img->setImage(image);
    }

    lirena::TGraphicObj *addGraphic(int id, const QString &name, lirena::PixelRect r)
    {
        auto g = std::make_unique<lirena::TGraphicObj>();
        g->Id = id;
        g->Name = name;
        g->ImageRect = r;
        g->ViewRect = r;
        return chapter.addReadGraphic(std::move(g));
    }

    lirena::TVoiceObj *addVoice(int id, int start, int stop)
    {
        auto v = std::make_unique<lirena::TVoiceObj>();
        v->Id = id;
        v->Name = QString::asprintf("%.3d", id);
        v->StartTime = start;
        v->StopTime = stop;
        return chapter.addReadVoice(std::move(v));
    }

    lirena::TVGObj *addLink(int id, const QString &name, int graphic, int voice, bool clickable = true)
    {
        auto l = std::make_unique<lirena::TVGObj>();
        l->Id = id;
        l->Name = name;
        l->GraphicId = graphic;
        l->VoiceId = voice;
        lirena::TVGObj *link = chapter.addReadLink(std::move(l));
        if (clickable)
            chapter.LstCObj.add(link->Name, link);
        return link;
    }
};
