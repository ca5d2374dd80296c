#pragma once

#include <QPointer>

#include <memory>

class TMainForm;
class TSplash;
class TMessageForm;
class TManualForm;
class TInfoForm;
class TProfileForm;

// The windows the program creates at start, in this order, each living until the program ends
// (the splash until the main window's first showing), and how they reach each other. This is
// the one place that holds them; no window is reached through a global.
class TProgramWindows
{
  public:
    TProgramWindows();
    ~TProgramWindows();
    TProgramWindows(const TProgramWindows &) = delete;
    TProgramWindows &operator=(const TProgramWindows &) = delete;

    TMainForm *MainForm() const { return main_.get(); }
    TSplash *Splash() const;
    TProfileForm *ProfileForm() const { return profile_.get(); }
    TMessageForm *MessageForm() const { return message_.get(); }
    TManualForm *ManualForm() const { return manual_.get(); }
    TInfoForm *InfoForm() const { return info_.get(); }

  private:
    std::unique_ptr<TMainForm> main_;
    QPointer<TSplash> splash_; // the main window destroys it when first shown
    std::unique_ptr<TProfileForm> profile_;
    std::unique_ptr<TMessageForm> message_;
    std::unique_ptr<TManualForm> manual_;
    std::unique_ptr<TInfoForm> info_;
};
