// Base64, both ways: the handshake key, and the pictures the browser sends.
#pragma once
#include <string>
#include <string_view>

namespace engine {

std::string base64Encode(std::string_view bytes);
// Returns false on characters outside the alphabet or bad padding.
bool base64Decode(std::string_view text, std::string& out);

}  // namespace engine
