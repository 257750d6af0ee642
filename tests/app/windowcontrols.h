#pragma once

// The window's controls as a test finds them: by the names the program gives
// them (the same names a screen reader and the end-to-end scripts use).

#include <QWidget>

#include <gtest/gtest.h>

template <class T = QWidget> T *control(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}
