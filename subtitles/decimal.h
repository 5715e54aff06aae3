// Decimal separator of floating-point text (a StreamSubText Script frame
// rate, SubSonic's numbers). The user's regional separator is in force until
// the frame-rate prompt has closed once; from then on it is "." for the rest
// of the program's life. The state lives here, in one place, and the prompt
// switches it.
#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// The decimal separator of the process locale's LC_NUMERIC category.
char RegionalDecimalSeparator();

// The separator in force now: the regional one, or '.' once switched.
char DecimalSeparator();
// Switches the program to '.' for good (the frame-rate prompt has closed).
void UseDotDecimalSeparator();
// Back to the regional separator; for tests only.
void ResetDecimalSeparatorForTesting();

// Parses a floating-point number written with the given separator (blanks
// around it are allowed). Anything else fails with
// "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text, char separator);

}  // namespace vorlane
