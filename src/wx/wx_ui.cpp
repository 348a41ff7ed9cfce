#include "wx/wx_ui.h"

#include "wx/text_convert.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

namespace {

// The answer a message dialog's ending stands for; `otherwise` for an ending of no button.
MsgAnswer answerOf(int ending, MsgAnswer otherwise) {
    switch (ending) {
    case wxID_YES:
        return MsgAnswer::Yes;
    case wxID_NO:
        return MsgAnswer::No;
    case wxID_CANCEL:
        return MsgAnswer::Cancel;
    default:
        return otherwise;
    }
}

} // namespace

MsgAnswer WxUIServices::MessageBox(const char* text, const char* caption, MsgButtons buttons,
                                   MsgIcon icon) {
    long style = 0;
    switch (buttons) {
    case MsgButtons::OK:
        style |= wxOK;
        break;
    case MsgButtons::OKCancel:
        style |= wxOK | wxCANCEL;
        break;
    case MsgButtons::YesNo:
        style |= wxYES_NO;
        break;
    case MsgButtons::YesNoCancel:
        style |= wxYES_NO | wxCANCEL;
        break;
    }
    switch (icon) {
    case MsgIcon::Information:
        style |= wxICON_INFORMATION;
        break;
    case MsgIcon::Warning:
        style |= wxICON_WARNING;
        break;
    case MsgIcon::Error:
        style |= wxICON_ERROR;
        break;
    case MsgIcon::Question:
        style |= wxICON_QUESTION;
        break;
    case MsgIcon::None:
        break;
    }
    wxMessageDialog dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, MessageToWx(text),
                           MessageToWx(caption), style);
    return answerOf(dialog.ShowModal(), MsgAnswer::OK);
}

MsgAnswer WxUIServices::AskBetween(const char* text, const char* caption, const char* first,
                                   const char* second) {
    wxMessageDialog dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, MessageToWx(text),
                           MessageToWx(caption), wxYES_NO | wxCANCEL | wxICON_QUESTION);
    dialog.SetYesNoCancelLabels(MessageToWx(first), MessageToWx(second), _("Cancel"));
    return answerOf(dialog.ShowModal(), MsgAnswer::Cancel);
}
