#include "app/forms/dlg_resource.h"

#include "model/vcontact.h"

CDlgResource::CDlgResource(VContact& source)
    : firstName(source.firstName), lastName(source.lastName), initials(source.initials),
      email(source.email), external(source.contactFlags & VContact::EXTERNAL), contact(source) {}

FormOutcome CDlgResource::Validate() {
    const char* missing = firstName.IsEmpty()  ? "The first name cannot be empty."
                          : initials.IsEmpty() ? "Please fill in the initials."
                                               : nullptr;
    if (!missing) return FormOutcome::Accept;
    ShowMessage(missing, "Error", MsgButtons::OK, MsgIcon::Error);
    return FormOutcome::Stay;
}

void CDlgResource::Store() {
    contact.firstName = firstName;
    contact.lastName = lastName;
    contact.initials = initials;
    contact.email = email;
    contact.contactFlags = external ? contact.contactFlags | VContact::EXTERNAL
                                    : contact.contactFlags & ~(std::uint32_t)VContact::EXTERNAL;
}
