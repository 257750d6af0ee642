#pragma once

// The page parts on their own, wired as the window wires them, around a
// scripted media device (or a real one): for driving marking and the mouse
// without a window.

#include "../app/fakedialogs.h"
#include "scripteddevice.h"

#include "lesson/chapter.h"
#include "player/exercises.h"
#include "player/pagedisplay.h"
#include "player/pageinteraction.h"
#include "player/pageview.h"
#include "player/playbackcontrol.h"
#include "player/rotatedlabel.h"
#include "player/tslider.h"

#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
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
    QLabel time{&window}, total{&window}, pointed{&window}, info{&window}, counter{&window};
    QLabel test3{QStringLiteral("5"), &window}, test12{QStringLiteral("1,5"), &window};
    int markType = 0;
    QWidget infoPanel{&window};
    QTimer timer1, timer2, timer3;
    ScriptedDevice device;
    lirena::MediaDevice &media; // the scripted device, or a real one a test gives
    FakeDialogs dialogs;
    lirena::Chapter chapter;

    QSize screen{1024, 768};
    int panelHeight = 40;
    int sizeType = 0;
    int sizeIndex = 0;
    int mode = 2;
    bool sectionPlay = false;
    int panelState = 1;
    QColor markColor{247, 199, 137};
    QString folder = QDir::tempPath();

    lirena::PageDisplay page{chapter,
                             {box, img, title, [this] { return screen; }, [this] { return panelHeight; },
                              [this] { return sizeType; }, [this] { return sizeIndex; }, [this] { return markColor; },
                              [this](const QString &name) { return folder + "/" + name; },
                              [this] {
                                  if (playback.isPlaying())
                                      playback.PauseMedia();
                              },
                              [this] {
                                  exercises.ExerciseKind = lirena::Exercises::None;
                                  exercises.StopExercise();
                              }}};
    lirena::PlaybackControl playback{media,
                                     {&play, &pause, &stop, &slider, &time, &total, &timer1, &timer2, &timer3},
                                     dialogs};
    lirena::Exercises exercises{
        chapter, playback, page, {&timer3, &infoPanel, &info, &counter, &test3, &test12, [this] { return markType; }}};
    lirena::PageInteraction interaction{chapter, page, playback, exercises,
                                        {box, img, &pointed, [this] { return mode; }, [this] { return sectionPlay; },
                                         [this] { return screen.height(); }, [this] { return panelState; },
                                         [this](int s) { panelState = s; }}};

    explicit PageHarness(lirena::MediaDevice *realDevice = nullptr) : media(realDevice ? *realDevice : device)
    {
        playback.sectionWatch = [this](qint64 p) { return exercises.watchSection(p); };
        playback.stopExercise = [this] { exercises.StopExercise(); };
        playback.markingStep = [this](qint64 p) {
            if ((mode == 1 || mode == 2) && exercises.ExerciseKind != lirena::Exercises::Test3)
                page.MarkingStep(p, markType);
        };
        box->setWidget(surface);
        box->setWidgetResizable(true);
        box->setGeometry(0, 0, 800, 600);
        window.resize(1024, 768);
        timer3.setInterval(100);
        playback.OpenMedia("/course/page.mp3", false);
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
