#include "errorbox.h"

#include <QMessageBox>

#include <cstdio>

namespace vellora {

void showErrorBox(const QString &message)
{
    // Without a screen to show it on (tests, headless runs) the report goes to standard error.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        std::fprintf(stderr, "Vellora: %s\n", message.toLocal8Bit().constData());
        return;
    }
    QMessageBox::critical(nullptr, QStringLiteral("Vellora"), message);
}

QString currentExceptionText()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Ein unbekannter Fehler ist aufgetreten.");
    }
}

VelloraApplication::VelloraApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool VelloraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showErrorBox(currentExceptionText());
    }
    return false;
}

} // namespace vellora
