#pragma once

// The user's decimal separator, from the program's locale (QLocale's default),
// as the single character the model's number texts use.
char DecimalSeparator();

// The key filter of every field and cell that takes a number: swallows
// (sets to 0) a typed character a number cannot contain, with the user's
// decimal separator.
void ApplyDigitFilter(char32_t& key);
