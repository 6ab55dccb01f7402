#pragma once

/* The byte protocol between the program and a keypad board at 9600 baud, 8N1. Plain C so
 * that the board's firmware (firmware/keypad) builds from the same tables. */

#include <stdint.h>

/* Program to board. */
#define KEYPAD_QUERY 0xCE         /* identification query */
#define KEYPAD_BACKLIGHT_ON 0xFF  /* the unit was switched on */
#define KEYPAD_BACKLIGHT_OFF 0xF0 /* the unit was switched off */

/* Board to program: the identification reply is four bytes, "F", two bytes of any value,
 * then "1" or "2" for the unit the board belongs to. After it, one byte per key press. */
#define KEYPAD_REPLY_LENGTH 4
#define KEYPAD_REPLY_FIRST 'F'

/* The key bytes of the 63 CDU keys, group after group, each group in key-code order: the
 * line select keys L1..L5, R1..R5; the function keys DATA, NAV, VNAV, DTO, LIST, PREV, FUEL,
 * FPL, the two unlabelled ones, MENU, NEXT; the numeric keypad 1..9, BACK, 0, the unlabelled
 * key, ON/OFF/DIM, +/-, ENTER; the letters A..Z. Every byte appears once. */
#define KEYPAD_LSK_FIRST 0
#define KEYPAD_FUNCTION_FIRST 10
#define KEYPAD_PAD_FIRST 22
#define KEYPAD_ALPHA_FIRST 37
#define KEYPAD_KEY_COUNT 63

static const uint8_t kKeypadKeyBytes[KEYPAD_KEY_COUNT] = {
    /* line select keys */
    0x05, 0x04, 0x03, 0x01, 0x02, 0x07, 0x06, 0x08, 0x09, 0x0A,
    /* function keys */
    0x0B, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x15, 0x17, 0x18, 0x19, 0x1A, 0x1B,
    /* numeric keypad */
    0x12, 0x13, 0x14, 0x1C, 0x1D, 0x1E, 0x26, 0x27, 0x28, 0x30, 0x31, 0x32, 0x3A, 0x3B, 0x45,
    /* letters */
    0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x34, 0x35, 0x36,
    0x37, 0x38, 0x39, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43};
