#pragma once

// Key codes of the CDU keys: the index of a key within its group. Each group has one
// pending slot that holds the last key pressed in it or the group's "none" value.

// Line select keys: L1..L5 are 0..4 (top to bottom), R1..R5 are 5..9.
constexpr int kLskL1 = 0;
constexpr int kLskL2 = 1;
constexpr int kLskL3 = 2;
constexpr int kLskL4 = 3;
constexpr int kLskL5 = 4;
constexpr int kLskR1 = 5;
constexpr int kLskR2 = 6;
constexpr int kLskR3 = 7;
constexpr int kLskR4 = 8;
constexpr int kLskR5 = 9;
constexpr int kLskCount = 10;
constexpr int kLskNone = 10;

// Function keys: upper row 0..5, lower row 6..11 (left to right).
constexpr int kFnData = 0;
constexpr int kFnNav = 1;
constexpr int kFnVnav = 2;
constexpr int kFnDto = 3;
constexpr int kFnList = 4;
constexpr int kFnPrev = 5;
constexpr int kFnFuel = 6;
constexpr int kFnFpl = 7;
constexpr int kFnBlank8 = 8;  // no legend, no behaviour
constexpr int kFnBlank9 = 9;  // no legend, no behaviour
constexpr int kFnMenu = 10;
constexpr int kFnNext = 11;
constexpr int kFunctionKeyCount = 12;
constexpr int kFunctionNone = 12;

// Numeric keypad: a grid of 3 columns x 5 rows (code = row * 3 + column), plus ENTER.
// Codes 0..8 are the digits 1..9.
constexpr int kPadBack = 9;
constexpr int kPadZero = 10;
constexpr int kPadBlank = 11;  // fourth row, third key: nothing acts on it
constexpr int kPadOnOff = 12;  // ON/OFF/DIM
constexpr int kPadPlusMinus = 13;
constexpr int kPadEnter = 14;
constexpr int kPadKeyCount = 15;
constexpr int kPadNone = 15;

// Letter keys: 0..25 are "A".."Z".
constexpr int kAlphaCount = 26;
constexpr int kAlphaNone = 26;

// True for the pad codes that type a digit (1..9 and 0).
constexpr bool isPadDigit(int code) {
    return (code >= 0 && code <= 8) || code == kPadZero;
}

// The character a digit pad code types ('1'..'9', '0').
constexpr char padDigitChar(int code) {
    return code == kPadZero ? '0' : static_cast<char>('1' + code);
}
