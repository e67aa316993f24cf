#pragma once
// Colours and fonts of every view, as plain records; the window turns them into its own types.
#include <cstdint>
#include <string>

namespace tarnwick {

struct Color {
    double red = 0, green = 0, blue = 0, alpha = 1;  // each 0...1

    // One integer 0xRRGGBB, each channel divided by 255.
    static Color fromRgbValue(uint32_t rgb, double alpha = 1.0);
    bool operator==(const Color&) const = default;
};

struct Font {
    std::string name;  // face name, e.g. "Avenir Next Medium"
    double pointSize = 0;
    bool operator==(const Font&) const = default;
};

// The members of a colour-and-font theme, colours first, then fonts.
struct Theme {
    Color backgroundColor;
    Color dividerColor;
    Color topBoxColor;
    Color secondBoxColor;
    Color titleBoxColor;
    Color secondaryTitleBoxColor;
    Color sidebarBackgroundColor;
    Color sidebarRowSelectionColor;
    Color sidebarTextColor;
    Color logoTextColor;
    Color secondaryRowSelectionColor;
    Color secondaryTable;
    Color secondaryRowSelectionLeftBoxColor;
    Color defaultLabelTextColor;
    Color defaultTextColor;
    Color defaultLinkColor;
    Font defaultTableCellPrimaryFont;
    Font defaultTableCellSecondaryFont;
    Font defaultTitlePrimaryFont;
    Font defaultTitleSecondaryFont;
    Font defaultTextFont;
    Font defaultBoldTextFont;
    Font defaultLabelTextFont;
    Font defaultTableTextFont;
};

// The theme in use.
struct Theme2 : Theme {
    Theme2();
};

struct Themes {
    Theme current = Theme2();
};

}  // namespace tarnwick
