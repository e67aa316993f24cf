#include "yara/YaraString.h"

#include "yara/RuleRendering.h"

namespace tarnwick {

std::string YaraString::text() const { return stringLine(DisplayType::RAW, *this); }

}  // namespace tarnwick
