#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// How the editor turns the text of a configuration value into a control's value and
// back. Numbers are worked out on the decimal digits themselves, so 1.25 at ten steps
// per unit is exactly 12.5 and goes to 12, not to whatever a binary fraction rounds to.
namespace tarnwick::iniconv {

// The number written in `text` (a period as decimal separator, blanks around it allowed,
// an exponent allowed) times `factor`, taken to the nearest whole number with an exact
// half going to the even neighbour. Nothing when the text is not a number or the result
// is beyond any control's reach.
std::optional<qint64> roundedTimes(QStringView text, int factor);

// value / factor in decimal with a period and no trailing zeros ("0.35", "1", "2.5").
// `factor` divides a power of ten (1, 2, 4, 5, 10, 20, ...).
QString dividedText(qint64 value, int factor);

// The fifteen items of the sample-rate list as shown ("500", "1,000", ... "64,000").
const QStringList& sampleRateItems();
// The item a file value selects: four characters get a comma after the first, five after
// the second, and the result must equal an item exactly.
std::optional<int> sampleRateIndex(const QString& fileText);
// The item's text without its commas.
QString sampleRateFileText(int index);

// A colour "rr gg bb": red from characters 1-2, green from 4-5, blue from the last two.
// A part that is not hexadecimal is missing from the result.
struct ColourParts
{
    std::optional<int> red;
    std::optional<int> green;
    std::optional<int> blue;
};
ColourParts colourFromText(const QString& text);
// Two lowercase hexadecimal digits per part, joined by blanks: 64, 207, 0 give "40 cf 00".
QString colourText(int red, int green, int blue);
// A part as the colour captions show it: uppercase hexadecimal, no leading zero.
QString captionHex(int value);

// Only the exact words count: "true" ticks, "false" clears.
std::optional<bool> switchFromText(QStringView text);
QString switchText(bool ticked);

} // namespace tarnwick::iniconv
