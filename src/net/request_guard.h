// QNRequestGuard: what a guarded server looks at before it does any work for a request:
// the Host header, against DNS rebinding, and, beyond loopback, the access token.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QNHTTPRequest;

class QNRequestGuard {
  public:
    // The query value that carries the access token.
    static constexpr const char* TOKEN_NAME = "key";

    // At every start: this machine's names, and the address the server listens on (empty:
    // every address). A server reachable from other machines, or one that asks for it
    // (tokenRequired), gets a new token nobody can guess; a loopback one none.
    void Prepare(const std::string& bindAddress, bool tokenRequired);
    // True when the request may be answered: its Host header (if it has one, and only one)
    // names this machine, and its query carries the token exactly once when one is needed.
    bool Admits(const QNHTTPRequest& request) const;
    // The token every request must carry (empty when none is needed).
    const std::string& Token() const { return token; }

  private:
    std::vector<std::string> localNames;
    std::string token;
};

// Whether the given text is the secret, taking as long whichever byte differs: the time an
// answer takes must not tell a guesser how much of the token it got right.
bool QNSameSecret(std::string_view secret, std::string_view given);
