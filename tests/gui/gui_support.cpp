#include "gui/gui_support.h"

#include "app/skedraDoc.h"
#include "model/vcollection.h"
#include "model/vnode.h"
#include "test_paths.h"
#include "views/skedraView.h"
#include "wx/item_view_window.h"
#include "wx/left_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"

#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/menu.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

extern char** environ;

using Clock = std::chrono::steady_clock;

namespace {

// GTK, GDK and GLib calls are looked up at run time, as the program is not built against
// GTK itself.
template <class Function> Function Gtk(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// Whether the program has handled every event the X server had for it: after a round trip
// to the server (which brings in all the input given before it, and the answers to the
// program's own requests), nothing is waiting, nor any event the program posted itself.
bool NothingPending() {
    static auto display = Gtk<void* (*)()>("gdk_display_get_default");
    static auto sync = Gtk<void (*)(void*)>("gdk_display_sync");
    static auto pending = Gtk<int (*)()>("gdk_events_pending");
    if (!display || !sync || !pending) return false;
    sync(display());
    return !pending() && !wxTheApp->HasPendingEvents();
}

// Calls `call` once the program's main loop has nothing more urgent to do: no events, no
// redraws, no idle work of GTK or wx (a source of the lowest priority).
void WhenIdle(std::function<void()> call) {
    using SourceFunction = int (*)(void*);
    using Destroy = void (*)(void*);
    static auto idleAdd = Gtk<unsigned (*)(int, SourceFunction, void*, Destroy)>("g_idle_add_full");
    const int lowPriority = 300; // G_PRIORITY_LOW
    idleAdd(
        lowPriority,
        [](void* data) {
            (*static_cast<std::function<void()>*>(data))();
            return 0; // once
        },
        new std::function<void()>(std::move(call)),
        [](void* data) { delete static_cast<std::function<void()>*>(data); });
}

std::vector<wxDialog*> ModalDialogs() {
    std::vector<wxDialog*> dialogs;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
            dialogs.push_back(dialog);
    return dialogs;
}

// How many colours the picture has: one that is not drawn yet is one flat colour.
size_t Colours(const wxImage& image, const wxRect& area) {
    std::set<unsigned long> colours;
    for (int y = std::max(area.y, 0); y < area.GetBottom() && y < image.GetHeight(); ++y)
        for (int x = std::max(area.x, 0); x < area.GetRight() && x < image.GetWidth(); ++x)
            colours.insert((unsigned long)image.GetRed(x, y) << 16 | image.GetGreen(x, y) << 8 |
                           image.GetBlue(x, y));
    return colours.size();
}

size_t Colours(const wxImage& image) {
    return Colours(image, wxRect(image.GetSize()));
}

wxImage Grab(wxDC& dc, const wxRect& area) {
    wxBitmap shot(area.GetSize());
    wxMemoryDC memory(shot);
    memory.Blit(0, 0, area.width, area.height, &dc, area.x, area.y);
    memory.SelectObject(wxNullBitmap);
    return shot.ConvertToImage();
}

// A part of the screen as it is now.
wxImage ScreenArea(const wxRect& area) {
    wxScreenDC screen;
    // cairo keeps a copy of the screen it read last and would hand it out again: the screen
    // has changed since, as it must be told.
    static auto getTarget = Gtk<void* (*)(void*)>("cairo_get_target");
    static auto markDirty = Gtk<void (*)(void*)>("cairo_surface_mark_dirty");
    if (void* cairo = screen.GetHandle(); cairo && getTarget && markDirty)
        markDirty(getTarget(cairo));
    return Grab(screen, area);
}

bool SavePicture(const wxImage& picture, const std::string& name) {
    std::string path = std::string(VANTRY_SCREENSHOT_DIR) + "/" + name;
    // (As a bitmap: GTK writes the PNG, where an image would need wx's handler.)
    return picture.IsOk() && wxBitmap(picture).SaveFile(path, wxBITMAP_TYPE_PNG) &&
           std::filesystem::file_size(path) > 1000;
}

// Whether two pictures differ at most by a text field's caret: it blinks for a while after
// the last key, and on a busy machine one picture may take longer than a blink.
bool SameButACaret(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) return false;
    const int CARET_PIXELS = 3 * 40;
    int differing = 0;
    const unsigned char* p = a.GetData();
    const unsigned char* q = b.GetData();
    for (long i = 0, n = (long)a.GetWidth() * a.GetHeight(); i < n; ++i, p += 3, q += 3)
        if ((p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) && ++differing > CARET_PIXELS)
            return false;
    return true;
}

// Takes pictures of the area until one is drawn (more than a flat colour or two) and the
// next is the same but for a caret; an empty image when that does not happen within WAIT_SECONDS.
wxImage SteadyPicture(const std::function<wxImage()>& take) {
    wxImage last;
    auto deadline = Clock::now() + std::chrono::seconds(WAIT_SECONDS);
    while (Clock::now() < deadline) {
        wxImage now = take();
        if (last.IsOk() && Colours(now) > 2 && SameButACaret(now, last)) return now;
        last = now;
        Settle();
        wxMilliSleep(10);
    }
    return wxImage();
}

} // namespace

CMainFrame& Frame() {
    return *CMainFrame::Current();
}

CSkedraDoc& Doc() {
    return *CSkedraDoc::Current();
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

bool SettleUntil(const std::function<bool()>& condition) {
    auto deadline = Clock::now() + std::chrono::seconds(WAIT_SECONDS);
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        Settle();
        wxMilliSleep(10);
    }
    return true;
}

void SendCommand(int command) {
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    Frame().GetEventHandler()->ProcessEvent(event);
    Settle();
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// ---- The user

namespace {

// The helpers every script starts with. The script asks the program by a file "ask-N"
// (holding the condition's name, empty for plain `handled`) and waits for "done-N".
const char* const PRELUDE = R"sh(n=0
ask() {
    n=$((n + 1))
    printf '%s' "$1" > "$dir/ask-$n.part"
    mv "$dir/ask-$n.part" "$dir/ask-$n"
    until [ -e "$dir/done-$n" ]; do sleep 0.01; done
}
handled() { ask ""; }
until_program() { ask "$1"; }
window_shows() {
    # xdotool gives up when a window it walks through closes meanwhile: it looks again.
    tries=0
    until xdotool search --sync --onlyvisible --name "$1" windowactivate --sync > /dev/null; do
        tries=$((tries + 1))
        [ $tries -lt 10 ] || return 1
    done
    handled
}
)sh";

// The ceiling of a whole script: it may wait several times for the program.
constexpr int SCRIPT_SECONDS = 3 * WAIT_SECONDS;

} // namespace

namespace {

// A folder of the script's questions and answers (no TempDir: that would change the
// working folder under the test).
struct ScriptFolder {
    ScriptFolder() {
        char name[] = "/tmp/vantry-user-XXXXXX";
        if (mkdtemp(name)) path = name;
    }
    ~ScriptFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

} // namespace

struct User::State {
    ScriptFolder dir;
    pid_t pid = -1;
    bool ended = false;
    int status = -1;
    Clock::time_point endedAt;
    bool leftOpen = false;
    Conditions conditions;
    int answered = 0;
    bool asking = false; // a check is waiting for the program to be idle
    std::set<wxDialog*> modalAtStart;
    wxTimer timer;

    // On every turn of whatever loop runs: the script's end, and its questions.
    void Tick(const std::weak_ptr<State>& self) {
        if (!ended && waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;
            endedAt = Clock::now();
        }
        if (ended) {
            // A dialog the script opened and left open keeps the test from going on.
            if (Clock::now() - endedAt > std::chrono::seconds(WAIT_SECONDS))
                for (wxDialog* dialog : ModalDialogs())
                    if (!modalAtStart.count(dialog)) {
                        leftOpen = true;
                        dialog->EndModal(wxID_CANCEL);
                    }
            return;
        }
        std::string ask = dir.File("ask-" + std::to_string(answered + 1));
        if (asking || !std::filesystem::exists(ask)) return;
        asking = true;
        WhenIdle([self, ask] {
            auto state = self.lock();
            if (!state) return;
            state->asking = false;
            std::string name = FileBytes(ask);
            auto condition = state->conditions.find(name);
            bool holds =
                name.empty() || (condition != state->conditions.end() && condition->second());
            if (holds && NothingPending()) {
                std::ofstream(state->dir.File("done-" + std::to_string(state->answered + 1)));
                ++state->answered;
            }
        });
    }
};

User::User(const std::string& script, Conditions conditions) : state(std::make_shared<State>()) {
    state->conditions = std::move(conditions);
    for (wxDialog* dialog : ModalDialogs())
        state->modalAtStart.insert(dialog);
    std::string whole = "dir='" + state->dir.path + "'\n" + PRELUDE + script +
                        (script.empty() || script.back() == '\n' ? "" : "\n") + "handled\n";
    std::vector<std::string> args = {"timeout", std::to_string(SCRIPT_SECONDS), "sh", "-ec", whole};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&state->pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        state->ended = true;
        return;
    }
    std::weak_ptr<State> self = state;
    state->timer.Bind(wxEVT_TIMER, [self](wxTimerEvent&) {
        if (auto s = self.lock()) s->Tick(self);
    });
    state->timer.Start(10);
}

User::~User() {
    if (!state->ended && state->pid > 0) {
        kill(state->pid, SIGTERM);
        waitpid(state->pid, nullptr, 0);
        state->ended = true;
    }
    state->timer.Stop();
}

bool User::Done() {
    while (!state->ended) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
        wxMilliSleep(10);
    }
    state->timer.Stop();
    return WIFEXITED(state->status) && WEXITSTATUS(state->status) == 0 && !state->leftOpen;
}

bool UserDoes(const std::string& script, User::Conditions conditions) {
    return User(script, std::move(conditions)).Done();
}

std::string TypeText(const std::string& utf8) {
    // Every character beyond ASCII gets a key of its own in the keyboard map, all before
    // typing: xdotool would otherwise remap a spare key for each character while the program
    // may still be reading the one before.
    std::string script = "set -- $(xmodmap -pke | awk 'NF == 3 { print $2 }')\n"; // free keys
    std::set<char32_t> mapped;
    for (size_t at = 0; at < utf8.size();) {
        unsigned char lead = utf8[at];
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length && at + i < utf8.size(); ++i)
            code = (code << 6) | ((unsigned char)utf8[at + i] & 0x3F);
        at += length;
        if (code < 0x80 || !mapped.insert(code).second) continue;
        char keysym[16];
        std::snprintf(keysym, sizeof keysym, "U%04X", (unsigned)code);
        script += "xmodmap -e \"keycode $1 = " + std::string(keysym) + "\"; shift\n";
    }
    std::string quoted;
    for (char c : utf8)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return script + "handled\nLC_ALL=C.UTF-8 xdotool type --delay 30 '" + quoted +
           "'\nhandled\n";
}

std::string At(const wxPoint& p) {
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

std::string MouseTo(const wxPoint& p) {
    // (Not --sync: xdotool waits for a motion that never comes when the pointer is there.)
    return "xdotool mousemove " + At(p) + "\nhandled\n";
}

std::string ClickAt(const wxPoint& p) {
    return MouseTo(p) + "xdotool click 1\n";
}

std::string DragScript(const wxPoint& from, const wxPoint& to) {
    std::string steps = MouseTo(from) + "xdotool mousedown 1\nhandled\n";
    for (int i = 1; i <= 8; ++i) {
        wxPoint p(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8);
        steps += "xdotool mousemove " + At(p) + "\nhandled\n";
    }
    return steps + "xdotool mousemove " + At(to + wxPoint(2, 0)) + "\nhandled\n" +
           "xdotool mouseup 1\n";
}

wxPoint ViewPointOnScreen(ItemViewWindow& window, int x, int y) {
    return window.ClientToScreen(window.CalcScrolledPosition(wxPoint(x, y)));
}

wxPoint RowOnScreen(const VNode* item) {
    return ViewPointOnScreen(*Frame().ItemWindow(), item->rect.x + 60,
                             item->rect.y + item->rect.height / 2);
}

bool TreeLabelOnScreen(LeftViewWindow& tree, const VNode* folder, wxPoint& where) {
    wxRect r;
    wxTreeItemId item = tree.ItemOf(folder);
    if (!item.IsOk() || !tree.GetBoundingRect(item, r, true)) return false;
    where = tree.ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
    return true;
}

wxPoint CentreOnScreen(wxWindow& window) {
    return window.ClientToScreen(
        wxPoint(window.GetClientSize().x / 2, window.GetClientSize().y / 2));
}

bool OpenAsList(VCollection& start, const std::string& path) {
    if (!start.Save(path.c_str()) || !Frame().OpenDocumentFile(path)) return false;
    Frame().ItemView().SetViewType(0);
    Frame().Raise();
    return SettleUntil([] { return Frame().IsActive(); });
}

VNode* Named(const char* text) {
    VCollection& c = *Doc().Collection();
    for (VNode* n = c.root->next; n; n = n->next) {
        qstring shown;
        n->Describe(shown, true);
        if (shown == text) return n;
    }
    return nullptr;
}

bool RowsLaidOut() {
    CSkedraView& view = Frame().ItemView();
    Frame().UpdateAllViews();
    view.needsRebuild = true;
    return PaintedUntil(*Frame().ItemWindow(), [&] { return !view.needsRebuild; });
}

wxWindow* ControlLabelled(wxWindow& dialog, const wxString& caption) {
    std::vector<wxWindow*> all;
    std::function<void(wxWindow&)> collect = [&](wxWindow& w) {
        for (wxWindow* child : w.GetChildren()) {
            all.push_back(child);
            collect(*child);
        }
    };
    collect(dialog);
    for (wxWindow* label : all)
        if (dynamic_cast<wxStaticText*>(label) && label->GetLabel() == caption)
            for (wxWindow* control : all)
                if (control != label && !dynamic_cast<wxStaticText*>(control) &&
                    control->GetParent() == label->GetParent() &&
                    std::abs(control->GetPosition().y + control->GetSize().y / 2 -
                             (label->GetPosition().y + label->GetSize().y / 2)) < 12 &&
                    control->GetPosition().x > label->GetPosition().x)
                    return control;
    return nullptr;
}

bool GiveFocus(wxWindow* window) {
    return SettleUntil([&] {
        if (wxWindow::FindFocus() == window) return true;
        Frame().Raise();
        window->SetFocus();
        return false;
    });
}

bool PressUntilClosed(wxDialog& dialog, const std::string& key) {
    return UserDoes("xdotool key " + key + "\n") && SettleUntil([&] { return !dialog.IsModal(); });
}

bool PaintedUntil(wxWindow& window, const std::function<bool()>& shown) {
    return SettleUntil([&] {
        window.Refresh();
        window.Update();
        Settle();
        return shown();
    });
}

// ---- Pictures

bool SaveWindowPicture(wxWindow& window, const std::string& name) {
    window.Refresh();
    window.Update();
    // GTK draws on its frame clock: the picture is taken once the window shows its drawing.
    wxImage picture = SteadyPicture([&] {
        wxClientDC client(&window);
        return Grab(client, wxRect(window.GetClientSize()));
    });
    return SavePicture(picture, name);
}

bool SaveScreenPicture(const std::string& name) {
    return SavePicture(SteadyPicture([] { return ScreenArea(wxRect(wxGetDisplaySize())); }), name);
}

namespace {

// How many colours the shown ribbon page's panels have on the frame's picture.
size_t RibbonColours(const wxImage& image) {
    wxRect r = Frame().Ribbon()->GetRect();
    r.SetPosition(
        Frame().ScreenToClient(Frame().Ribbon()->GetParent()->ClientToScreen(r.GetPosition())));
    r.y += r.height / 4;
    r.height -= r.height / 4;
    return Colours(image, r);
}

} // namespace

bool SaveFramePicture(const std::string& name) {
    Frame().Raise();
    wxImage shot;
    bool maximised = true;
    bool drawn = SettleUntil([&] {
        Frame().Refresh();
        Frame().Update();
        Settle();
        wxClientDC client(&Frame());
        wxSize size = Frame().GetClientSize();
        maximised = size.x > 800;
        if (!maximised) return true;
        shot = Grab(client, wxRect(size));
        return RibbonColours(shot) > 20;
    });
    EXPECT_TRUE(maximised) << "maximised by the window manager";
    if (!maximised) return false;
    EXPECT_TRUE(drawn) << "the ribbon's panels are drawn";
    std::string path = std::string(VANTRY_SCREENSHOT_DIR) + "/" + name;
    bool saved = shot.IsOk() && wxBitmap(shot).SaveFile(path, wxBITMAP_TYPE_PNG);
    EXPECT_TRUE(saved);
    EXPECT_GT(std::filesystem::file_size(path), 2000u);
    return drawn && saved;
}

namespace {

// The button bars under the window holding the control id's button.
void BarsWith(wxWindow* window, int wxId, std::vector<wxRibbonButtonBar*>& found) {
    for (wxWindow* child : window->GetChildren()) {
        if (auto* bar = dynamic_cast<wxRibbonButtonBar*>(child); bar && bar->GetItemById(wxId))
            found.push_back(bar);
        BarsWith(child, wxId, found);
    }
}

} // namespace

wxRibbonButtonBar* RibbonBarWith(int command) {
    std::vector<wxRibbonButtonBar*> bars;
    BarsWith(Frame().Ribbon(), WxIdOf(command), bars);
    return bars.empty() ? nullptr : bars.front();
}

bool RibbonButtonOnScreen(int command, wxPoint& where) {
    std::vector<wxRibbonButtonBar*> bars;
    BarsWith(Frame().Ribbon(), WxIdOf(command), bars);
    for (wxRibbonButtonBar* bar : bars)
        if (bar->IsShownOnScreen()) {
            wxRect r = bar->GetItemRect(WxIdOf(command));
            where = bar->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
            return true;
        }
    return false;
}

bool ShownEnabled(int command) {
    wxUpdateUIEvent event(WxIdOf(command));
    event.SetEventObject(&Frame());
    Frame().GetEventHandler()->ProcessEvent(event);
    return event.GetEnabled();
}

wxImage RibbonButtonPicture(int command) {
    wxRibbonButtonBar* bar = RibbonBarWith(command);
    if (!bar) return wxImage();
    Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    bar->Refresh();
    bar->Update();
    return SteadyPicture([&] {
        wxClientDC dc(bar);
        return Grab(dc, bar->GetItemRect(WxIdOf(command)));
    });
}

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

LongDoubleClickTime::LongDoubleClickTime() {
    static auto settings = Gtk<void* (*)()>("gtk_settings_get_default");
    static auto get = Gtk<void (*)(void*, const char*, ...)>("g_object_get");
    static auto set = Gtk<void (*)(void*, const char*, ...)>("g_object_set");
    get(settings(), "gtk-double-click-time", &saved, nullptr);
    set(settings(), "gtk-double-click-time", WAIT_SECONDS * 1000, nullptr);
}

LongDoubleClickTime::~LongDoubleClickTime() {
    static auto settings = Gtk<void* (*)()>("gtk_settings_get_default");
    static auto set = Gtk<void (*)(void*, const char*, ...)>("g_object_set");
    set(settings(), "gtk-double-click-time", saved, nullptr);
}

// ---- Menus

// While a menu shows: finds its window on the screen and takes the picture once it is drawn.
struct MenuWatcher::Snapper {
    wxMenu* menu = nullptr;
    bool shown = false; // the menu opened last is drawn on the screen
    wxImage last;
    Clock::time_point deadline;
    wxTimer timer;

    // The menu's window on the screen, once it is shown there.
    wxRect MenuOnScreen() const {
        static auto toplevel = Gtk<void* (*)(void*)>("gtk_widget_get_toplevel");
        static auto gdkWindow = Gtk<void* (*)(void*)>("gtk_widget_get_window");
        static auto viewable = Gtk<int (*)(void*)>("gdk_window_is_viewable");
        static auto origin = Gtk<int (*)(void*, int*, int*)>("gdk_window_get_origin");
        static auto width = Gtk<int (*)(void*)>("gdk_window_get_width");
        static auto height = Gtk<int (*)(void*)>("gdk_window_get_height");
        if (!menu || !menu->m_menu || !toplevel || !gdkWindow || !viewable || !origin)
            return wxRect();
        void* window = gdkWindow(toplevel(menu->m_menu));
        if (!window || !viewable(window)) return wxRect();
        int x = 0, y = 0;
        origin(window, &x, &y);
        return wxRect(x, y, width(window), height(window));
    }
};

MenuWatcher::MenuWatcher(wxWindow& watched, const std::string& picture)
    : window(watched), pictureName(picture), snapper(std::make_unique<Snapper>()) {
    window.Bind(wxEVT_MENU_OPEN, &MenuWatcher::opened, this);
    snapper->timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        wxRect area = snapper->MenuOnScreen();
        if (Clock::now() > snapper->deadline) snapper->timer.Stop();
        if (area.IsEmpty()) return;
        wxImage now = ScreenArea(area);
        // Drawn: its entries show, and the next look finds it the same.
        if (snapper->last.IsOk() && Colours(now) > 2 && SamePixels(now, snapper->last)) {
            snapper->timer.Stop();
            snapper->shown = true;
            // (Taken at once: the menu is steady, and the timer must not run events.)
            if (!pictured)
                pictured = SavePicture(ScreenArea(wxRect(wxGetDisplaySize())), pictureName);
        }
        snapper->last = now;
    });
}

MenuWatcher::~MenuWatcher() {
    snapper->timer.Stop();
    window.Unbind(wxEVT_MENU_OPEN, &MenuWatcher::opened, this);
}

User::Conditions MenuWatcher::Conditions() {
    return {{"menu_shown", [this] { return snapper->shown; }},
            {"menu_pictured", [this] { return pictured; }}};
}

void MenuWatcher::opened(wxMenuEvent& event) {
    event.Skip();
    if (!event.GetMenu()) return;
    if (entries.empty())
        for (wxMenuItem* item : event.GetMenu()->GetMenuItems())
            if (!item->IsSeparator()) {
                entries.push_back(item->GetItemLabelText() +
                                  (item->IsEnabled() ? "" : " (greyed)"));
                keys.push_back(item->GetItemLabel().AfterFirst('\t'));
            }
    snapper->menu = event.GetMenu();
    snapper->shown = false;
    snapper->last = wxImage();
    snapper->deadline = Clock::now() + std::chrono::seconds(WAIT_SECONDS);
    snapper->timer.Start(20);
}

// ---- Dialogs

namespace {

wxDialog* ShownModal(const wxString& title) {
    for (wxDialog* dialog : ModalDialogs())
        if (dialog->IsShownOnScreen() && dialog->GetTitle() == title) return dialog;
    return nullptr;
}

} // namespace

bool WhileDialogShows(const wxString& title, const std::function<void()>& open,
                      const std::function<void(wxDialog&)>& act) {
    bool appeared = false;
    auto deadline = Clock::now() + std::chrono::seconds(WAIT_SECONDS);
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxDialog* dialog = ShownModal(title);
        // Ready for the user: the window manager has given it the focus.
        if (dialog && dialog->IsActive()) {
            timer.Stop();
            appeared = true;
            act(*dialog);
            if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
        } else if (Clock::now() > deadline) {
            timer.Stop();
            for (wxDialog* any : ModalDialogs())
                any->EndModal(wxID_CANCEL);
        }
    });
    timer.Start(20);
    open();
    timer.Stop();
    return appeared;
}
