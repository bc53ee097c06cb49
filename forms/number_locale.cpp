#include "forms/number_locale.h"

#include "model/table.h"

#include <QLocale>

char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    // The model writes one-byte separators; a locale with another one reads as the comma.
    if (point.size() == 1 && point.front().unicode() < 0x80)
        return static_cast<char>(point.front().unicode());
    return ',';
}

void ApplyDigitFilter(char32_t& key)
{
    if (!model::DigitFilter(key, static_cast<char32_t>(DecimalSeparator())))
        key = 0;
}
