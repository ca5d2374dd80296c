#include "windows.h"

#include "confirmform.h"
#include "u_info.h"
#include "u_main.h"
#include "u_manual.h"
#include "u_message.h"
#include "u_profile.h"
#include "u_splash.h"

#include <QWindow>

namespace {

// The small windows stay above the main window: a window manager must not raise the
// full-screen main window over them when it is clicked while they show. X11 carries the
// transient parent (WM_TRANSIENT_FOR) for dialog windows only, so they become dialogs.
void makeTransientFor(QWidget *window, QWidget *owner)
{
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    window->winId();
    owner->winId();
    if (window->windowHandle() && owner->windowHandle())
        window->windowHandle()->setTransientParent(owner->windowHandle());
}

} // namespace

TProgramWindows::TProgramWindows()
    : main_(std::make_unique<TMainForm>()), splash_(new TSplash),
      profile_(std::make_unique<TProfileForm>(main_->Profiles)), message_(std::make_unique<TMessageForm>()),
      manual_(std::make_unique<TManualForm>()), info_(std::make_unique<TInfoForm>())
{
    TMainForm *main = main_.get();
    main->SetSplash(splash_);
    main->SetWindows(message_.get(), manual_.get(), info_.get());
    main->SetProfileForm(profile_.get());
    manual_->SetOwner(main);
    splash_->StartUp = [main] { main->Initialize(); };
    splash_->ShowManual = [manual = manual_.get()] { manual->show(); };
    for (QWidget *w : {static_cast<QWidget *>(profile_.get()), static_cast<QWidget *>(main->Confirm),
                       static_cast<QWidget *>(message_.get()), static_cast<QWidget *>(manual_.get()),
                       static_cast<QWidget *>(info_.get())})
        makeTransientFor(w, main);
}

TProgramWindows::~TProgramWindows()
{
    delete splash_.data();
}

TSplash *TProgramWindows::Splash() const
{
    return splash_.data();
}
