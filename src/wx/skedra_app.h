// CSkedraApp: start-up of the window program: settings and document, the document
// framework, the main frame, the command line, the splash and the About box.
#pragma once

#include <memory>
#include <string>
#include <wx/app.h>
#include <wx/splash.h>
#include <wx/timer.h>
#include <wx/weakref.h>

class CSkedraDoc;
class DesktopSecretStore;
class CMainFrame;
class VantryDocManager;
class WxUIServices;
class WxNodeEditor;
class wxDocManager;

class CSkedraApp : public wxApp {
  public:
    CSkedraApp();
    ~CSkedraApp() override;

    bool OnInit() override;
    int OnExit() override;

    CMainFrame* Frame() { return frame; }
    wxDocManager* DocManager();
    // Our picture in the middle of the screen for SPLASH_MILLISECONDS, then gone.
    void ShowSplash();
    void HideSplash();
    bool SplashVisible() const { return splash != nullptr; }
    bool SplashTimerRunning() const { return splashTimer.IsRunning(); }

    static constexpr int SPLASH_MILLISECONDS = 3000;

    // The document named on the command line, in the bytes it was given.
    static std::string documentArgument;

  private:
    std::unique_ptr<WxUIServices> ui;
    std::unique_ptr<WxNodeEditor> editor;
    std::unique_ptr<DesktopSecretStore> passwords;
    std::unique_ptr<CSkedraDoc> document;
    VantryDocManager* docManager = nullptr;
    CMainFrame* frame = nullptr;
    // A click or a key on the splash closes it before its time; the weak reference
    // then holds null rather than a destroyed window for the timer to find.
    wxWeakRef<wxSplashScreen> splash;
    wxTimer splashTimer;
};

// Runs the window program; answers the exit code.
int RunWindowProgram(int argc, char** argv);
