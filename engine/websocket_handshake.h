// WebSocket opening handshake pieces: SHA-1 and the HTTP upgrade.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

std::array<uint8_t, 20> sha1(std::string_view data);
// The Sec-WebSocket-Accept value a server must answer to `key`.
std::string acceptFor(std::string_view key);

// GET request upgrading `path` on host:port; no Origin header, so the
// browser needs no allow-origins switch.
std::string upgradeRequest(std::string_view host, int port, std::string_view path,
                           std::string_view key);

// Length of the header block ("\r\n\r\n" included) once complete, else 0.
size_t headerLength(std::string_view data);

// True when `header` is a 101 answer carrying the right accept value.
bool upgradeAccepted(std::string_view header, std::string_view key);

// Body of a complete HTTP/1.x 200 answer in `data`; false while incomplete
// or on another status.
bool httpBody(std::string_view data, std::string& body, bool& complete);

}  // namespace engine
