// Main unit Vellora: the application, its windows in their start-up order, the message loop.

#include "base/fonts.h"
#include "base/programfolder.h"
#include "errorbox.h"
#include "u_splash.h"
#include "windows.h"

int main(int argc, char **argv)
{
    // The cell model draws into a native X11 window; under "offscreen" the screen runs headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    vellora::VelloraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellora"));
    vellora::installFontSubstitutions();
    // Without its content every screen would fail on its own; one message says what is missing.
    if (const QString missing = vellora::missingContentMessage(); !missing.isEmpty()) {
        vellora::showErrorBox(missing);
        return 1;
    }
    // The program ends with the main window, not when the splash or the manual closes.
    QApplication::setQuitOnLastWindowClosed(false);

    // The windows live as long as the program and are never torn down: the library's GL
    // surface stays bound to the cell screen's window until the process ends. The main window
    // is not shown now: the manual's close shows it.
    static TProgramWindows *const windows = new TProgramWindows;
    windows->Splash()->show();
    return QApplication::exec();
}
