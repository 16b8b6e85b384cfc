#pragma once

#include <QString>

namespace tarnwick {

// The filter of whole-number boxes: an empty text stays empty; a text that is no number,
// or a number not above 0, becomes "1"; any other number becomes its whole part.
// (0.5 passes as 0, and the next pass makes it 1.)
QString KeepNumeric(const QString& text);

// KeepNumeric applied until the text no longer changes, with an optional upper bound
// applied after each pass: what a box shows once its change handler has settled.
QString settleNumeric(const QString& text, int upperBound = 0);

// Reads a number the way the classic desktop numeric test does: blanks around it, a sign,
// a decimal point and an exponent are accepted. Infinity and NaN are not numbers.
bool parseNumber(const QString& text, double& value);

// A 16-bit whole number from a stored text (half rounds to even, as the old runtime did).
bool parseInt16(const QString& text, int& value);

} // namespace tarnwick
