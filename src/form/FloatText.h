#pragma once
#include <QString>

// A 32-bit float written the way the read-outs show numbers: at most 7 significant
// digits, no leading blank, no trailing zeros, the user's decimal separator
// (320 -> "320", 97.33334 -> "97.33334", 0.5 -> "0.5", 12345678 -> "1.234568E+07").
QString floatText(float value);
