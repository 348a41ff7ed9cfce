#include "wx/skedra_app.h"

#include "app/settings_place.h"
#include "app/skedraDoc.h"
#include "app/version.h"
#include "foundation/qcrash.h"
#include "foundation/qmessage.h"
#include "foundation/user_folders.h"
#include "platform/ui.h"
#include "sync/secret_store.h"
#include "views/skedraView.h"
#include "wx/dialogs/node_editor.h"
#include "wx/main_frame.h"
#include "wx/vantry_document.h"
#include "wx/wx_ui.h"

#include <cstdio>
#include <cstring>
#include <wx/config.h>
#include <wx/dcmemory.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/splash.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

wxIMPLEMENT_APP_NO_MAIN(CSkedraApp);

namespace {

// Our own splash picture: the name on a calm blue field.
wxBitmap splashPicture() {
    wxBitmap bitmap(400, 220);
    wxMemoryDC dc(bitmap);
    dc.GradientFillLinear(wxRect(0, 0, 400, 220), wxColour(32, 74, 135), wxColour(114, 159, 207),
                          wxSOUTH);
    dc.SetTextForeground(*wxWHITE);
    dc.SetFont(wxFont(wxFontInfo(30).Family(wxFONTFAMILY_SWISS).Bold()));
    dc.DrawText("Vantry", 30, 60);
    dc.SetFont(wxFont(wxFontInfo(12).Family(wxFONTFAMILY_SWISS)));
    dc.DrawText(VANTRY_VERSION_TEXT, 32, 120);
    dc.DrawText("agenda and task manager", 32, 145);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

} // namespace

std::string CSkedraApp::documentArgument;

CSkedraApp::CSkedraApp() {
    QInstallCrashHandler();
    splashTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        HideSplash();
        // The start is over: the log says so (a test waits for it).
        qinform(QLOC("CSkedraApp splash timer"), "splash time over\n");
    });
}

CSkedraApp::~CSkedraApp() = default;

wxDocManager* CSkedraApp::DocManager() {
    return docManager;
}

bool CSkedraApp::OnInit() {
    SetAppName("Vantry");
    // The program reports its own errors in its own words; wx's log never pops up a box.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    ui = std::make_unique<WxUIServices>();
    CurrentUI() = ui.get();
    editor = std::make_unique<WxNodeEditor>();
    CurrentNodeEditor() = editor.get();
    passwords = std::make_unique<DesktopSecretStore>();
    CurrentPasswordStore() = passwords.get();
    qlog_set_fatal_box([](const char* text) {
        wxMessageBox(wxString::FromUTF8(text), "Fatal error - the program will exit",
                     wxOK | wxICON_WARNING);
    });

    wxString executable = wxStandardPaths::Get().GetExecutablePath();
    std::string executableFolder(wxFileName(executable).GetPath().utf8_str());
    SettingsPlace place = PrepareSettingsPlace(XdgConfigHome(), executableFolder);
    document = std::make_unique<CSkedraDoc>(place);

    // The recent documents live beside the settings, in a file of wx's own format.
    bool keepRecent = place.writable && !place.folder.empty();
    wxConfigBase::Set(new wxFileConfig(
        "Vantry", "", keepRecent ? wxString::FromUTF8(place.folder + "/recent.conf") : wxString(),
        "", keepRecent ? wxCONFIG_USE_LOCAL_FILE : 0));

    docManager = new VantryDocManager;
    new wxDocTemplate(docManager, "Vantry Files", "*.vnt", "", "vnt", "Vantry Document",
                      "Vantry View", CLASSINFO(VantryDocument), CLASSINFO(VantryView));
    docManager->SetMaxDocsOpen(1);
    docManager->FileHistoryLoad(*wxConfig::Get());

    frame = new CMainFrame(docManager, document.get(),
                           wxString(VANTRY_VERSION_TEXT) + " - agenda and task manager");
    SetTopWindow(frame);
    document->SetHost(frame);
    frame->ItemView().OnInitialUpdate();

    wxString path =
        documentArgument.empty() ? wxString() : wxString(documentArgument.c_str(), *wxConvFileName);
    if (path.empty() && argc > 1) path = argv[1];
    if (!path.empty()) {
        if (!frame->OpenDocumentFile(path)) return false;
    } else if (!docManager->CreateNewDocument()) {
        return false;
    }
    frame->Maximize();
    frame->Show();
    if (!wxGetEnv("VANTRY_NO_SPLASH", nullptr)) ShowSplash();
    if (!place.problem.empty()) {
        std::fprintf(stderr, "vantry: %s\n", place.problem.c_str());
        std::string problem = place.problem;
        CallAfter([problem] {
            ShowMessage(problem.c_str(), "Settings", MsgButtons::OK, MsgIcon::Warning);
        });
    }
    return true;
}

void CSkedraApp::ShowSplash() {
    if (splash) return;
    splash = new wxSplashScreen(splashPicture(), wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_NO_TIMEOUT, 0,
                                nullptr, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxBORDER_SIMPLE | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP);
    splashTimer.StartOnce(SPLASH_MILLISECONDS);
}

void CSkedraApp::HideSplash() {
    splashTimer.Stop();
    if (!splash) return;
    splash->Destroy();
    splash = nullptr;
}

int CSkedraApp::OnExit() {
    HideSplash();
    if (docManager) {
        docManager->FileHistorySave(*wxConfig::Get());
        delete docManager;
        docManager = nullptr;
    }
    document.reset(); // writes the settings file when something changed
    CurrentUI() = nullptr;
    CurrentNodeEditor() = nullptr;
    CurrentPasswordStore() = nullptr;
    qlog_set_fatal_box(nullptr);
    return wxApp::OnExit();
}

int RunWindowProgram(int argc, char** argv) {
    // wx reads the arguments through the locale's converter and drops a file name that is
    // not valid in it (a byte 0xE9 in a UTF-8 locale): the document's name goes past wx
    // as the bytes it is, and wx sees the program's name alone.
    int first = argc > 1 && std::strcmp(argv[1], "--") == 0 ? 2 : 1;
    CSkedraApp::documentArgument = first < argc ? argv[first] : "";
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    return wxEntry(wxArgc, wxArgv);
}
