// The reading speed on the real window: the keys "[" and "]" and the options
// page set it on the media device, and "Vedra.ini" keeps it.

#include "app/tmainform.h"
#include "fakedialogs.h"
#include "windowcontrols.h"

#include "../player/scripteddevice.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace lirena;

TEST(ReadingSpeed, KeysAndTheOptionsPageSetTheDeviceAndTheSettingsKeepIt)
{
    QTemporaryDir programDir;
    QFile file(programDir.filePath("Vedra.ini"));
    file.open(QIODevice::WriteOnly);
    file.write("[Settings]\nDataFolder=" + QByteArray(LIRENA_SAMPLE_COURSE) + "\nReadingSpeed=0,7\n");
    file.close();
    FakeDialogs dialogs;
    RateDevice device;
    TMainForm::Environment env;
    env.programFolder = programDir.path();
    env.registryFile = programDir.filePath("registry.ini");
    env.dialogs = &dialogs;
    env.media = &device;
    env.openUrl = [](const QUrl &) { return true; };
    auto form = std::make_unique<TMainForm>(env);
    form->show();
    QApplication::processEvents();
    QApplication::setActiveWindow(form.get());

    auto *speed = control<QComboBox>(*form, "cmbReadingSpeed");
    EXPECT_DOUBLE_EQ(device.rate(), 0.7);
    EXPECT_EQ(speed->currentText(), "0,7x");
    EXPECT_EQ(speed->accessibleName(), "Okuma hızı");
    EXPECT_FALSE(speed->accessibleDescription().isEmpty());

    QTest::keyClick(form.get(), Qt::Key_BracketRight);
    EXPECT_DOUBLE_EQ(device.rate(), 0.8);
    EXPECT_EQ(speed->currentText(), "0,8x");

    // Typed into an edit box, the keys are text.
    auto *edit = new QLineEdit(form.get());
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_BracketLeft);
    QTest::keyClick(edit, Qt::Key_BracketRight);
    EXPECT_EQ(edit->text(), "[]");
    EXPECT_DOUBLE_EQ(device.rate(), 0.8);
    delete edit;

    for (int i = 0; i < 5; ++i)
        QTest::keyClick(form.get(), Qt::Key_BracketLeft);
    EXPECT_DOUBLE_EQ(device.rate(), 0.5); // and no further

    // Chosen on the options page.
    speed->setCurrentIndex(speed->findText("1,2x"));
    emit speed->activated(speed->currentIndex());
    EXPECT_DOUBLE_EQ(device.rate(), 1.2);

    EXPECT_TRUE(form->close());
    file.open(QIODevice::ReadOnly);
    EXPECT_TRUE(file.readAll().contains("\nReadingSpeed=1,2\n"));
}
