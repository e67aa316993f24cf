#pragma once
// Reading the package-info document of the XProtect configuration-data product.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The "CFBundleShortVersionString" of the first `bundle` in `bundle-version` under the root
// `pkg-info`. Absent when the document is not well-formed XML or a step of that path is missing.
// The reader knows no DTDs: a document type declaration is skipped, nothing outside the document is
// ever loaded, and entity references other than XML's own stay as they are written.
std::optional<std::string> packageInfoBundleVersion(std::string_view document);

}  // namespace tarnwick
