// The checks of Host, Origin and the access token.
#include "access_policy.h"

#include <algorithm>
#include <cctype>
#include <random>

namespace orvanta_tool::view {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "name:port", "[v6]:port" or "name" (port 80) into name and port; nullopt when malformed.
std::optional<std::pair<std::string, uint32_t>> splitHost(const std::string& text) {
    std::string name = text;
    std::string port = "80";
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos) return std::nullopt;
        name = text.substr(0, close + 1);
        if (close + 1 < text.size()) {
            if (text[close + 1] != ':') return std::nullopt;
            port = text.substr(close + 2);
        }
    } else if (const size_t colon = text.find(':'); colon != std::string::npos) {
        name = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (name.empty() || port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return std::make_pair(lowered(name), static_cast<uint32_t>(std::stoul(port)));
}

bool ownHost(const AccessPolicy& policy, const std::string& text) {
    const auto split = splitHost(text);
    if (!split || split->second != policy.port) return false;
    return policy.hosts.empty() ||
           std::find(policy.hosts.begin(), policy.hosts.end(), split->first) != policy.hosts.end();
}

// Compares in time that does not depend on where the texts differ.
bool sameToken(const std::string& given, const std::string& wanted) {
    unsigned difference = given.size() == wanted.size() ? 0u : 1u;
    for (size_t i = 0; i < wanted.size(); ++i) {
        difference |= static_cast<unsigned char>(i < given.size() ? given[i] : 0) ^
                      static_cast<unsigned char>(wanted[i]);
    }
    return difference == 0;
}

}  // namespace

bool isLoopback(const std::string& address) {
    const std::string name = lowered(address);
    return name == "localhost" || name == "::1" || name == "[::1]" || name.rfind("127.", 0) == 0;
}

AccessPolicy accessPolicy(const std::string& bind, uint16_t port, const std::string& token,
                          const std::string& machineName) {
    AccessPolicy policy;
    policy.port = port;
    policy.token = token;
    const std::string address = lowered(bind);
    if (address == "0.0.0.0" || address == "::" || address == "[::]") return policy;
    const std::string bracketed = address.find(':') != std::string::npos && address[0] != '[' ? "[" + address + "]"
                                                                                               : address;
    policy.hosts.push_back(bracketed);
    if (isLoopback(address)) {
        for (const char* name : {"localhost", "127.0.0.1", "[::1]"}) policy.hosts.push_back(name);
    } else if (!machineName.empty()) {
        policy.hosts.push_back(lowered(machineName));
    }
    return policy;
}

std::string generatedToken() {
    std::random_device random;
    static const char digits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i) token += digits[random() & 15u];
    return token;
}

std::optional<Refusal> refusalOf(const AccessPolicy& policy, const std::string& host,
                                 const std::optional<std::string>& origin, const std::string& token, bool needsToken) {
    if (host.empty()) return Refusal{400, "the request has no Host header"};
    if (!ownHost(policy, host)) return Refusal{403, "Host '" + host + "' is not this server's"};
    if (origin) {
        const std::string scheme = "http://";
        if (lowered(origin->substr(0, scheme.size())) != scheme || !ownHost(policy, origin->substr(scheme.size()))) {
            return Refusal{403, "requests from pages of " + *origin + " are refused"};
        }
    }
    if (needsToken && !policy.token.empty() && !sameToken(token, policy.token)) {
        return Refusal{401, token.empty() ? "an access token is needed: open the address that orvanta view printed"
                                          : "the access token is wrong"};
    }
    return std::nullopt;
}

}  // namespace orvanta_tool::view
