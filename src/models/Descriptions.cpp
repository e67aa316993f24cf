#include "models/Descriptions.h"

#include "platform/LenientJson.h"
#include "platform/Resources.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

nlohmann::json loadDescriptions(const std::string& resourceName) {
    auto text = resources::read(resourceName, "json");
    if (!text || !unicode::isValidUtf8(*text)) return nlohmann::json();
    auto value = json::parse(*text);
    return value ? *value : nlohmann::json();
}

}  // namespace tarnwick
