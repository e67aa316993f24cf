#include "app/Theme.h"

namespace tarnwick {

Color Color::fromRgbValue(uint32_t rgb, double alpha) {
    return Color{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Theme2::Theme2() {
    const Color white = Color::fromRgbValue(0xFFFFFF);
    backgroundColor = Color::fromRgbValue(0xF6F6F6);
    dividerColor = Color::fromRgbValue(0x232B3B);
    topBoxColor = Color::fromRgbValue(0xECECEC);
    secondBoxColor = Color::fromRgbValue(0xF2F2F2);
    titleBoxColor = Color::fromRgbValue(0xF2F2F2);
    secondaryTitleBoxColor = Color::fromRgbValue(0xE6E6E6);
    sidebarBackgroundColor = Color::fromRgbValue(0x232B3B);
    sidebarRowSelectionColor = Color::fromRgbValue(0x3E4654);
    sidebarTextColor = white;
    logoTextColor = white;
    secondaryRowSelectionColor = Color::fromRgbValue(0xE7F2FB);
    secondaryTable = white;
    secondaryRowSelectionLeftBoxColor = Color::fromRgbValue(0xFF7E79);
    defaultLabelTextColor = Color::fromRgbValue(0x333333);
    defaultTextColor = Color::fromRgbValue(0x333333);
    defaultLinkColor = Color::fromRgbValue(0x0068DA);  // the standard link blue
    defaultTableCellPrimaryFont = {"Avenir Next Bold", 11};
    defaultTableCellSecondaryFont = {"Avenir Next Medium", 10};
    defaultTitlePrimaryFont = {"Avenir Next Medium", 16};
    defaultTitleSecondaryFont = {"Avenir Next", 14};
    defaultTextFont = {"Avenir Next Medium", 11};
    defaultBoldTextFont = {"Avenir Next Medium", 11};
    defaultLabelTextFont = {"Avenir Next Bold", 11};
    defaultTableTextFont = {"Avenir Next Medium", 11};
}

}  // namespace tarnwick
