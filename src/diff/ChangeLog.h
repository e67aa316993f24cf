#pragma once
// A comparison of two releases as a change log for reading: a heading with both versions and the
// folders read, then a section for each list that changed, with a line per entry added (+),
// removed (-) or changed (~); each changed rule is followed by a unified diff of its RAW text.
// Lists with no change are left out; two equal releases give the heading and "No differences."
#include "diff/ReleaseDiff.h"
#include "diff/XProtectRelease.h"

#include <string>

namespace tarnwick {

std::string changeLog(const XProtectRelease& before, const XProtectRelease& after, const ReleaseDiff& diff);

}  // namespace tarnwick
