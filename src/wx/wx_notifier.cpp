#include "wx/wx_notifier.h"

#include "wx/program_icon.h"
#include "wx/text_convert.h"

#include <wx/notifmsg.h>

namespace {

// The answers' numbers; libnotify names the actions by them.
enum { SNOOZE = 1, OPEN = 2 };
constexpr std::size_t MAX_LIVE = 50;

// Notification services may read the body as markup: the item's text stays text.
wxString Escaped(const wxString& text) {
    wxString out;
    for (wxUniChar c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

} // namespace

WxNotifier::WxNotifier() = default;
WxNotifier::~WxNotifier() = default;

void WxNotifier::Show(const Notification& notification, NotificationAnswers& answers) {
    wxString body = ToWx(notification.body);
    body.Trim();
    // Warning is what makes libnotify ask for normal urgency: a desktop may keep a low one
    // (information) out of sight. The picture is the program's own, not the warning sign.
    auto message = std::make_unique<wxNotificationMessage>(ToWx(notification.title), Escaped(body),
                                                           nullptr, wxICON_WARNING);
    wxIcon icon;
    icon.CopyFromBitmap(ProgramIconBitmap(48));
    message->SetIcon(icon);
    message->AddAction(SNOOZE, "Snooze");
    message->AddAction(OPEN, "Open");
    int id = notification.id;
    message->Bind(wxEVT_NOTIFICATION_MESSAGE_ACTION, [id, &answers](wxCommandEvent& event) {
        if (event.GetId() == SNOOZE) answers.Snooze(id);
        if (event.GetId() == OPEN) answers.Open(id);
    });
    message->Show();
    live.push_back(std::move(message));
    if (live.size() > MAX_LIVE) live.pop_front();
}
