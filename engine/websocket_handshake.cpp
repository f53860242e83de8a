#include "engine/websocket_handshake.h"

#include "engine/base64.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace engine {
namespace {

uint32_t rol(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }


std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// Value of header `name` (lower case) in a header block, trimmed.
std::string headerValue(std::string_view header, std::string_view name) {
  size_t pos = header.find("\r\n");
  while (pos != std::string_view::npos && pos + 2 < header.size()) {
    size_t start = pos + 2, end = header.find("\r\n", start);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(start, end - start);
    size_t colon = line.find(':');
    if (colon != std::string_view::npos && lower(line.substr(0, colon)) == name) {
      std::string_view v = line.substr(colon + 1);
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      return std::string(v);
    }
    pos = end;
  }
  return {};
}

int statusCode(std::string_view header) {
  if (header.substr(0, 7) != "HTTP/1.") return -1;
  size_t sp = header.find(' ');
  if (sp == std::string_view::npos || sp + 4 > header.size()) return -1;
  int code = 0;
  for (size_t i = sp + 1; i < sp + 4; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(header[i]))) return -1;
    code = code * 10 + (header[i] - '0');
  }
  return code;
}

}  // namespace

std::array<uint8_t, 20> sha1(std::string_view data) {
  uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::string msg(data);
  uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
  msg.push_back(static_cast<char>(0x80));
  while (msg.size() % 64 != 56) msg.push_back(0);
  for (int i = 7; i >= 0; --i) msg.push_back(static_cast<char>(bits >> (i * 8)));
  for (size_t off = 0; off < msg.size(); off += 64) {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
      const auto* p = reinterpret_cast<const uint8_t*>(msg.data() + off + i * 4);
      w[i] = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    for (int i = 16; i < 80; ++i) w[i] = rol(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
      uint32_t f, k;
      if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
      else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
      else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
      else { f = b ^ c ^ d; k = 0xCA62C1D6; }
      uint32_t t = rol(a, 5) + f + e + k + w[i];
      e = d; d = c; c = rol(b, 30); b = a; a = t;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e;
  }
  std::array<uint8_t, 20> out{};
  for (int i = 0; i < 20; ++i) out[i] = static_cast<uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
  return out;
}


std::string acceptFor(std::string_view key) {
  auto digest = sha1(std::string(key) + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11");
  return base64Encode(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

std::string upgradeRequest(std::string_view host, int port, std::string_view path,
                           std::string_view key) {
  std::string r = "GET " + std::string(path) + " HTTP/1.1\r\n";
  r += "Host: " + std::string(host) + ":" + std::to_string(port) + "\r\n";
  r += "Upgrade: websocket\r\nConnection: Upgrade\r\n";
  r += "Sec-WebSocket-Key: " + std::string(key) + "\r\n";
  r += "Sec-WebSocket-Version: 13\r\n\r\n";
  return r;
}

size_t headerLength(std::string_view data) {
  size_t p = data.find("\r\n\r\n");
  return p == std::string_view::npos ? 0 : p + 4;
}

bool upgradeAccepted(std::string_view header, std::string_view key) {
  return statusCode(header) == 101 &&
         lower(headerValue(header, "upgrade")) == "websocket" &&
         headerValue(header, "sec-websocket-accept") == acceptFor(key);
}

bool httpBody(std::string_view data, std::string& body, bool& complete) {
  complete = false;
  size_t n = headerLength(data);
  if (!n) return false;
  std::string_view header = data.substr(0, n);
  if (statusCode(header) != 200) { complete = true; return false; }
  std::string len = headerValue(header, "content-length");
  std::string_view rest = data.substr(n);
  if (len.empty()) {  // read-to-close answers: the caller decides when it ended
    body = std::string(rest);
    return true;
  }
  // A length we would never receive is an answer we cannot use: say so now
  // rather than wait for the caller's time-out.
  const size_t kMaxBody = 16u << 20;
  char* end = nullptr;
  unsigned long long want = std::strtoull(len.c_str(), &end, 10);
  if (!std::isdigit(static_cast<unsigned char>(len[0])) || *end != 0 || want > kMaxBody) {
    complete = true;
    return false;
  }
  if (rest.size() < want) return false;
  body = std::string(rest.substr(0, want));
  complete = true;
  return true;
}

}  // namespace engine
