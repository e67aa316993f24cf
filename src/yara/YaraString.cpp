#include "yara/YaraString.h"

#include "yara/RuleRendering.h"

namespace tarnwick {

std::string YaraString::text() const { return stringLine(false, *this); }

}  // namespace tarnwick
