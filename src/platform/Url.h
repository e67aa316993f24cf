#pragma once
// Web addresses.
#include <string>

namespace tarnwick::url {

// Whether the text is a whole absolute address with a scheme and a host that a browser can open:
// no white space, no control characters, nothing the URL parser refuses.
bool isValid(const std::string& text);

}  // namespace tarnwick::url
