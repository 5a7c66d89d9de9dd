#pragma once
// The screen saver's native windows on Qt: a top-level widget around the GL
// host widget, turning Qt's input, size and close events into the
// framework's messages. Full screen, child of a foreign X11 window (the way
// Qt wraps a window of another program), or an ordinary window.
#include "saver/app/framework.h"

class QtSaverWindowFactory : public ISaverWindowFactory {
 public:
  std::unique_ptr<ISaverWindow> CreateFullScreen(CHVNScreensaverWnd* owner,
                                                 const std::string& title) override;
  std::unique_ptr<ISaverWindow> CreateChild(CHVNScreensaverWnd* owner, unsigned long parent) override;
  std::unique_ptr<ISaverWindow> CreatePlain(CHVNScreensaverWnd* owner, const std::string& title) override;
};
