/* Keypad board firmware for an ATmega328P at 16 MHz (Arduino Uno, Nano, Pro Mini 5 V).
 *
 * Scans an 8 x 8 key matrix once a millisecond, debounces every key, and sends one byte per
 * key press over the UART at 9600 baud, 8N1. Answers the identification query with "FMS1" or
 * "FMS2" (a jumper picks the unit) and switches the backlight on 0xFF and off on 0xF0.
 *
 * Pins (Arduino names in brackets):
 *   rows 0..7     PD2..PD7, PB0, PB1 (D2..D9)    driven low one at a time, else high impedance
 *   columns 0..7  PC0..PC5, PB2, PB3 (A0..A5, D10, D11)  inputs with pull-ups; low = pressed
 *   unit jumper   PB4 (D12)                       open: unit 1, to ground: unit 2
 *   backlight     PB5 (D13)                       high = on (drives a transistor, and the
 *                                                 board's own LED shows the state)
 * Matrix position row * 8 + column is key number n of the protocol's key list: row 0 holds
 * L1..L5, R1..R3, and so on (docs/keypad.md has the whole table). */

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <stdbool.h>
#include <stdint.h>
#include <util/delay.h>

#include "KeypadProtocol.h"

#define ROWS 8
#define COLUMNS 8
/* A key must read the same for this many consecutive scans (milliseconds) to change state. */
#define DEBOUNCE_SCANS 8
#define UBRR_9600 ((F_CPU / 8UL / 9600UL) - 1UL) /* double-speed mode: 0.2 % off at 16 MHz */

#define JUMPER_BIT PB4
#define BACKLIGHT_BIT PB5

/* Received bytes, filled by the receive interrupt. */
#define RX_SIZE 16
static volatile uint8_t rxBuffer[RX_SIZE];
static volatile uint8_t rxHead, rxTail;
/* Bytes to send, emptied by the data-register-empty interrupt. */
#define TX_SIZE 32
static volatile uint8_t txBuffer[TX_SIZE];
static volatile uint8_t txHead, txTail;

static volatile bool scanDue;

/* Per key: the debounced state and how many scans the raw reading has disagreed with it. */
static bool keyDown[ROWS * COLUMNS];
static uint8_t disagreeing[ROWS * COLUMNS];

ISR(USART_RX_vect) {
    const uint8_t byte = UDR0;
    const uint8_t next = (uint8_t)((rxHead + 1) % RX_SIZE);
    if (next != rxTail) { /* a full buffer drops the byte */
        rxBuffer[rxHead] = byte;
        rxHead = next;
    }
}

ISR(USART_UDRE_vect) {
    if (txHead == txTail) {
        UCSR0B &= (uint8_t)~_BV(UDRIE0);
        return;
    }
    UDR0 = txBuffer[txTail];
    txTail = (uint8_t)((txTail + 1) % TX_SIZE);
}

ISR(TIMER0_COMPA_vect) {
    scanDue = true;
}

static void send(uint8_t byte) {
    const uint8_t next = (uint8_t)((txHead + 1) % TX_SIZE);
    while (next == txTail) {
        /* full: wait for the interrupt to make room */
    }
    txBuffer[txHead] = byte;
    txHead = next;
    UCSR0B |= _BV(UDRIE0);
}

static bool receive(uint8_t* byte) {
    bool got = false;
    cli();
    if (rxHead != rxTail) {
        *byte = rxBuffer[rxTail];
        rxTail = (uint8_t)((rxTail + 1) % RX_SIZE);
        got = true;
    }
    sei();
    return got;
}

/* Row r driven low: its bit in the data direction register set (the port bit stays 0). */
static void selectRow(uint8_t row) {
    DDRD &= (uint8_t)~0xFC;
    DDRB &= (uint8_t)~0x03;
    if (row < 6) {
        DDRD |= (uint8_t)(1u << (row + 2));
    } else {
        DDRB |= (uint8_t)(1u << (row - 6));
    }
}

static void releaseRows(void) {
    DDRD &= (uint8_t)~0xFC;
    DDRB &= (uint8_t)~0x03;
}

/* Columns as a bit mask, 1 = pressed. */
static uint8_t readColumns(void) {
    const uint8_t low = (uint8_t)(~PINC & 0x3F);
    const uint8_t high = (uint8_t)((~PINB >> 2) & 0x03);
    return (uint8_t)(low | (uint8_t)(high << 6));
}

static void scanMatrix(void) {
    for (uint8_t row = 0; row < ROWS; ++row) {
        selectRow(row);
        _delay_us(5); /* let the column lines settle through the pull-ups */
        const uint8_t pressed = readColumns();
        for (uint8_t column = 0; column < COLUMNS; ++column) {
            const uint8_t n = (uint8_t)(row * COLUMNS + column);
            const bool raw = (pressed >> column) & 1u;
            if (raw == keyDown[n]) {
                disagreeing[n] = 0;
                continue;
            }
            if (++disagreeing[n] < DEBOUNCE_SCANS) continue;
            disagreeing[n] = 0;
            keyDown[n] = raw;
            if (raw && n < KEYPAD_KEY_COUNT) send(kKeypadKeyBytes[n]);
        }
    }
    releaseRows();
}

static void answer(uint8_t byte) {
    switch (byte) {
        case KEYPAD_QUERY: {
            const bool unit2 = (PINB & _BV(JUMPER_BIT)) == 0;
            send(KEYPAD_REPLY_FIRST);
            send('M');
            send('S');
            send(unit2 ? '2' : '1');
            break;
        }
        case KEYPAD_BACKLIGHT_ON:
            PORTB |= _BV(BACKLIGHT_BIT);
            break;
        case KEYPAD_BACKLIGHT_OFF:
            PORTB &= (uint8_t)~_BV(BACKLIGHT_BIT);
            break;
        default:
            break; /* anything else is not for the board */
    }
}

static void setup(void) {
    /* Rows: port bits 0 (driven low when selected), high impedance until then. */
    PORTD &= (uint8_t)~0xFC;
    PORTB &= (uint8_t)~0x03;
    releaseRows();
    /* Columns and the jumper: inputs with pull-ups. Backlight: output, off. */
    DDRC &= (uint8_t)~0x3F;
    PORTC |= 0x3F;
    DDRB &= (uint8_t)~(_BV(PB2) | _BV(PB3) | _BV(JUMPER_BIT));
    PORTB |= _BV(PB2) | _BV(PB3) | _BV(JUMPER_BIT);
    DDRB |= _BV(BACKLIGHT_BIT);
    PORTB &= (uint8_t)~_BV(BACKLIGHT_BIT);

    UBRR0H = (uint8_t)(UBRR_9600 >> 8);
    UBRR0L = (uint8_t)UBRR_9600;
    UCSR0A = _BV(U2X0);
    UCSR0C = _BV(UCSZ01) | _BV(UCSZ00); /* 8 data bits, no parity, 1 stop bit */
    UCSR0B = _BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0);

    /* Timer 0: compare match every millisecond (16 MHz / 64 / 250). */
    TCCR0A = _BV(WGM01);
    TCCR0B = _BV(CS01) | _BV(CS00);
    OCR0A = 249;
    TIMSK0 = _BV(OCIE0A);

    set_sleep_mode(SLEEP_MODE_IDLE);
    sei();
}

int main(void) {
    setup();
    for (;;) {
        uint8_t byte;
        while (receive(&byte)) answer(byte);
        if (scanDue) {
            scanDue = false;
            scanMatrix();
        }
        /* Sleep until the next interrupt unless one has already left work. */
        cli();
        if (!scanDue && rxHead == rxTail) {
            sleep_enable();
            sei();
            sleep_cpu();
            sleep_disable();
        }
        sei();
    }
}
