#include "interop/comm_summary.h"

#include "model/vcommitem.h"

namespace {

constexpr std::string::size_type NONE = std::string::npos;

std::string between(const std::string& text, std::size_t from, std::size_t to) {
    return text.substr(from, to - from);
}

// "WHO (REASON)" or "WHO (REASON) @ DETAIL".
bool readWhoReasonDetail(VCommItem& item, const std::string& text) {
    std::size_t open = text.find(" (");
    std::size_t at = text.rfind(") @ ");
    std::size_t close = at != NONE                            ? at
                        : !text.empty() && text.back() == ')' ? text.size() - 1
                                                              : NONE;
    if (open == NONE || close == NONE || close < open) return false;
    item.who = between(text, 0, open).c_str();
    item.reason = between(text, open + 2, close).c_str();
    item.detail = at != NONE ? text.substr(at + 4).c_str() : "";
    return true;
}

// "WHO (DETAIL) - REASON" or "WHO (DETAIL acct ACCOUNT) - REASON".
bool readPayment(VPay& pay, const std::string& text) {
    std::size_t open = text.find(" (");
    std::size_t close = text.rfind(") - ");
    if (open == NONE || close == NONE || close < open) return false;
    std::string inside = between(text, open + 2, close);
    std::size_t account = inside.rfind(" acct ");
    pay.who = between(text, 0, open).c_str();
    pay.reason = text.substr(close + 4).c_str();
    pay.detail = inside.substr(0, account).c_str();
    pay.account = account != NONE ? inside.substr(account + 6).c_str() : "";
    return true;
}

} // namespace

void SetCommListText(VCommItem& item, const std::string& text) {
    qstring now;
    item.Describe(now, false);
    if (text == now.Text()) return;
    const std::string CALL = "Call ";
    bool call = dynamic_cast<VCall*>(&item) != nullptr;
    std::string rest =
        call && text.compare(0, CALL.size(), CALL) == 0 ? text.substr(CALL.size()) : text;
    auto* pay = dynamic_cast<VPay*>(&item);
    bool read = pay ? readPayment(*pay, text)
                    : (!call || rest.size() < text.size()) && readWhoReasonDetail(item, rest);
    if (!read) item.reason = rest.c_str();
}
