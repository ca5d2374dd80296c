#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>

// The shell's pictures, painted by the program itself so that no image is taken from elsewhere.
// The real screenshot of the cell screen is the one picture kept as a resource file.
namespace vellora::pictures {

// What the splash prints in its link area, and the page it opens (the help installed with the
// program: <program folder>/hilfe/index.html).
QString helpAddressText();
QString helpPagePath();

QPixmap splash();         // 500 x 325, the address inside (164, 278)-(336, 294)
QPixmap barLogo();        // 16 x 16
QPixmap introLogo();      // 640 x 121
QPixmap credits();        // 500 x 527
QPixmap cellScreenshot(); // the cell screen as shot; a drawing when the file is missing
QPixmap exercisesArea();  // drawings standing in for the areas' screenshots
QPixmap glossaryArea();

} // namespace vellora::pictures
