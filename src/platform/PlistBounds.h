#pragma once
// libplist walks a property list by recursion, with no bound on the nesting, and copies an object
// once for every reference to it. A small hostile file can so overflow the stack inside the library
// (a million nested arrays) or make it build an exponential tree (arrays that each refer twice to
// the next). These checks measure a list first, without recursion, so that such a file is refused
// before libplist sees it.
#include <cstdint>
#include <string_view>

namespace tarnwick::plist {

// True when no path from the root of this XML property list passes through more than `maxLevels`
// elements. Comments, CDATA sections and declarations are skipped.
bool xmlNestingWithin(std::string_view xml, int maxLevels);

// True when the binary property list ("bplist00") is well enough formed to walk, holds no cycle,
// no path from its top object passes through more than `maxLevels` objects, and the tree it
// stands for, with every reference counted as a node of its own, has at most `maxNodes` nodes.
// Each object is measured once, however often it is referred to.
bool binaryTreeWithin(std::string_view bytes, int maxLevels, uint64_t maxNodes);

}  // namespace tarnwick::plist
