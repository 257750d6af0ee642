#pragma once

#include <QString>

namespace lirena {

// The options of the "Seçenekler" page as "Vedra.ini" stores them.
struct DisplayOptions
{
    int ImageSize = 0;     // index of the size list: %100, %75, %50, %120, %150
    int ImageSizeType = 1; // 0 fit the screen, 1 the chosen size
    int BackgroundColor = 75689; // platform colour 0x00BBGGRR
    int MarkColor = 9029623;
    QString Test3WaitTime = QStringLiteral("5");    // seconds, as the label shows it
    QString Test12WaitTime = QStringLiteral("1,2"); // factor with a decimal comma
    int MarkType = 0;
    int ReadingSpeed = 10; // tenths of the recorded speed, 5..15; the file says "1,0"

    bool operator==(const DisplayOptions &) const = default;
};

} // namespace lirena
