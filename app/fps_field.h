// The frame-rate prompt's field: six positions, one optional and one
// required digit, ".", and three optional digits. Positions left blank are
// shown as "0" and count as "0".
#pragma once

#include <string>

namespace vorlane {

// The number the field's text stands for: blanks count as "0" and the
// decimal point is always ".". "25.   " gives 25, "29.97 " gives 29.97, an
// emptied field ("  .   ") gives 0. Text the mask could never hold gives 0.
double FrameRateFromField(const std::string& text);

// The field's text after the decimal point was typed with the cursor at
// position cursor (0-based): the digits typed so far become the whole
// number, right-aligned, and the fraction stays. So typing 5.5 into an
// emptied field gives " 5.5  ", which reads as 5.5, not 50.5.
std::string TypeDecimalPoint(const std::string& text, int cursor);

}  // namespace vorlane
