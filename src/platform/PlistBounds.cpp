#include "platform/PlistBounds.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace tarnwick::plist {

bool xmlNestingWithin(std::string_view xml, int maxLevels) {
    int depth = 0;
    size_t pos = 0;
    const auto skipPast = [&](std::string_view terminator) {
        const size_t end = xml.find(terminator, pos);
        pos = end == std::string_view::npos ? xml.size() : end + terminator.size();
    };
    while ((pos = xml.find('<', pos)) != std::string_view::npos) {
        const std::string_view rest = xml.substr(pos);
        if (rest.starts_with("<!--")) {
            pos += 4;
            skipPast("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            pos += 9;
            skipPast("]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            skipPast(">");
        } else if (rest.starts_with("</")) {
            --depth;
            skipPast(">");
        } else {
            const size_t end = xml.find('>', pos);
            if (end == std::string_view::npos) return true;  // unterminated: libplist refuses it
            const bool selfClosing = end > pos && xml[end - 1] == '/';
            if (!selfClosing && ++depth > maxLevels) return false;
            pos = end + 1;
        }
    }
    return true;
}

namespace {

// The binary format: a header, the objects, a table of their offsets and a 32-byte trailer.
class BinaryPlist {
public:
    static std::optional<BinaryPlist> open(std::string_view bytes) {
        constexpr size_t headerSize = 8, trailerSize = 32;
        if (bytes.size() < headerSize + trailerSize || !bytes.starts_with("bplist00")) return std::nullopt;
        BinaryPlist list;
        list.bytes_ = bytes;
        const size_t trailer = bytes.size() - trailerSize;
        list.offsetSize_ = static_cast<uint8_t>(bytes[trailer + 6]);
        list.refSize_ = static_cast<uint8_t>(bytes[trailer + 7]);
        if (list.offsetSize_ < 1 || list.offsetSize_ > 8 || list.refSize_ < 1 || list.refSize_ > 8) return std::nullopt;
        list.objectCount_ = list.number(trailer + 8, 8);
        list.topObject_ = list.number(trailer + 16, 8);
        list.offsetTable_ = list.number(trailer + 24, 8);
        if (list.objectCount_ == 0 || list.topObject_ >= list.objectCount_) return std::nullopt;
        if (list.offsetTable_ < headerSize || list.offsetTable_ > trailer) return std::nullopt;
        if ((trailer - list.offsetTable_) / list.offsetSize_ < list.objectCount_) return std::nullopt;
        return list;
    }

    uint64_t objectCount() const { return objectCount_; }
    uint64_t topObject() const { return topObject_; }

    // The references an object holds (none for a scalar); absent when they lie outside the file.
    struct Children {
        size_t first = 0;  // byte position of the first reference
        uint64_t count = 0;
    };
    std::optional<Children> children(uint64_t object) const {
        const uint64_t offset = number(offsetTable_ + object * offsetSize_, offsetSize_);
        if (offset < 8 || offset >= offsetTable_) return std::nullopt;
        const auto marker = static_cast<uint8_t>(bytes_[offset]);
        const uint8_t kind = marker >> 4;
        const bool isArrayOrSet = kind == 0xA || kind == 0xC;
        if (!isArrayOrSet && kind != 0xD) return Children{};
        uint64_t count = marker & 0x0F;
        size_t position = offset + 1;
        if (count == 0x0F) {
            // The count follows as an integer object of 1, 2, 4 or 8 bytes.
            if (position >= offsetTable_) return std::nullopt;
            const auto intMarker = static_cast<uint8_t>(bytes_[position]);
            if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3) return std::nullopt;
            const size_t width = size_t{1} << (intMarker & 0x0F);
            if (position + 1 + width > offsetTable_) return std::nullopt;
            count = number(position + 1, width);
            position += 1 + width;
        }
        const uint64_t references = kind == 0xD ? count * 2 : count;
        if (count > offsetTable_ || references > (offsetTable_ - position) / refSize_) return std::nullopt;
        return Children{position, references};
    }

    // The object that the index-th reference of `children` names.
    uint64_t reference(const Children& children, uint64_t index) const {
        return number(children.first + index * refSize_, refSize_);
    }

private:
    uint64_t number(size_t position, size_t width) const {
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i) value = (value << 8) | static_cast<uint8_t>(bytes_[position + i]);
        return value;
    }

    std::string_view bytes_;
    uint8_t offsetSize_ = 0;
    uint8_t refSize_ = 0;
    uint64_t objectCount_ = 0;
    uint64_t topObject_ = 0;
    uint64_t offsetTable_ = 0;
};

}  // namespace

bool binaryTreeWithin(std::string_view bytes, int maxLevels, uint64_t maxNodes) {
    const auto list = BinaryPlist::open(bytes);
    if (!list || maxLevels < 1) return false;
    maxLevels = std::min(maxLevels, int{std::numeric_limits<uint16_t>::max()});

    // Depth-first walk with an explicit stack. For every object measured, `height` holds the levels
    // below and including it and `nodes` the size of its tree (never past maxNodes + 1).
    enum : uint8_t { unseen, onPath, measured };
    std::vector<uint8_t> state(list->objectCount(), unseen);
    std::vector<uint16_t> height(list->objectCount(), 0);
    std::vector<uint64_t> nodes(list->objectCount(), 0);
    struct Frame {
        uint64_t object;
        BinaryPlist::Children children;
        uint64_t next = 0;       // the next reference to follow
        uint16_t tallest = 0;    // the tallest child so far
        uint64_t nodes = 1;      // this object and its children so far
    };
    std::vector<Frame> path;
    const auto enter = [&](uint64_t object) {
        const auto children = list->children(object);
        if (!children || path.size() >= static_cast<size_t>(maxLevels)) return false;
        state[object] = onPath;
        path.push_back({object, *children});
        return true;
    };
    // Adds a measured child to the frame now on top; false when the tree grows too large.
    const auto addChild = [&](uint16_t childHeight, uint64_t childNodes) {
        Frame& parent = path.back();
        parent.tallest = std::max(parent.tallest, childHeight);
        parent.nodes += childNodes;
        return parent.nodes <= maxNodes && path.size() + childHeight <= static_cast<size_t>(maxLevels);
    };
    if (!enter(list->topObject())) return false;

    while (true) {
        Frame& frame = path.back();
        if (frame.next == frame.children.count) {
            const uint64_t object = frame.object;
            state[object] = measured;
            height[object] = static_cast<uint16_t>(frame.tallest + 1);
            nodes[object] = frame.nodes;
            path.pop_back();
            if (path.empty()) return true;
            if (!addChild(height[object], nodes[object])) return false;
            continue;
        }
        const uint64_t child = list->reference(frame.children, frame.next++);
        if (child >= list->objectCount() || state[child] == onPath) return false;  // dangling, or a cycle
        if (state[child] == measured) {
            if (!addChild(height[child], nodes[child])) return false;
        } else if (!enter(child)) {
            return false;
        }
    }
}

}  // namespace tarnwick::plist
