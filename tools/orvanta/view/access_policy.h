// Who may use the server. It answers only to its own host names (a page of another site that
// makes its name point here is refused: DNS rebinding), refuses requests that a page of another
// origin makes, and on a non-local address asks every request for the access token.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta_tool::view {

struct AccessPolicy {
    uint16_t port = 0;
    std::vector<std::string> hosts;  // the names the server answers to, lower case; empty: any
    std::string token;               // empty: none needed
};

// 127.0.0.0/8, ::1 and localhost.
bool isLoopback(const std::string& address);

// The policy of a server on `bind`:`port`. On a loopback address: the loopback names; on one
// address: that address and the machine's name; on every address (0.0.0.0, ::): any name, the
// token being what keeps others out.
AccessPolicy accessPolicy(const std::string& bind, uint16_t port, const std::string& token,
                          const std::string& machineName);

// 32 hexadecimal digits from the system's random source.
std::string generatedToken();

struct Refusal {
    int status;  // 400, 401 or 403
    std::string message;
};

// The request's Host header (empty when it has none), its Origin header if it has one, and the
// token it presents (from "Authorization: Bearer" or the token query parameter). The page's own
// files hold nothing of the board: they are served without the token (`needsToken` false), so
// that the page loads and then presents the token of its address with every API request.
std::optional<Refusal> refusalOf(const AccessPolicy& policy, const std::string& host,
                                 const std::optional<std::string>& origin, const std::string& token, bool needsToken);

}  // namespace orvanta_tool::view
