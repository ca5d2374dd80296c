#pragma once

#include <QApplication>
#include <QString>

#include <exception>

namespace vellora {

// The program's general error report: a message box titled "Vellora" with the message.
void showErrorBox(const QString &message);

// Text of the exception currently being handled (std::exception's what(), UTF-8).
QString currentExceptionText();

// Runs f at an event handler's edge: an exception ends the handler's work, is reported in the
// error box, and the event loop goes on. Returns false when f threw.
template <class F> bool guarded(F &&f)
{
    try {
        f();
        return true;
    } catch (...) {
        showErrorBox(currentExceptionText());
    }
    return false;
}

// The last net: whatever an event handler lets escape is reported the same way.
class VelloraApplication : public QApplication
{
  public:
    VelloraApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace vellora
