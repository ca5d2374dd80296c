// Main unit Vellora: the application, its windows in their start-up order, the message loop.

#include "base/fonts.h"
#include "errorbox.h"
#include "u_info.h"
#include "u_main.h"
#include "u_manual.h"
#include "u_message.h"
#include "u_splash.h"

int main(int argc, char **argv)
{
    // The cell model draws into a native X11 window; under "offscreen" the screen runs headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    vellora::VelloraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellora"));
    vellora::installFontSubstitutions();
    // The program ends with the main window, not when the splash or the manual closes.
    QApplication::setQuitOnLastWindowClosed(false);

    // Created in this order, each living until the program ends. The main window is not shown
    // now: the manual's close shows it.
    MainForm = new TMainForm;
    Splash = new TSplash;
    MainForm->SetSplash(Splash);
    Splash->show();
    MessageForm = new TMessageForm;
    ManualForm = new TManualForm;
    InfoForm = new TInfoForm;

    const int rc = QApplication::exec();
    // The windows live as long as the program; the library is never shut down.
    return rc;
}
