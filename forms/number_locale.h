#pragma once

// The user's decimal separator, from the program's locale (QLocale's default),
// as the single character the model's number texts use.
char DecimalSeparator();
