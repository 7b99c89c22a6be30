#!/usr/bin/env python3
"""A second, independent model of the Zelmak machine, written from the machine's description
(key alphabet, disc wiring, reflector, stepping marks, the shifts of a stage and the stepping
order) and sharing no code with the C++ machine. It confirms the known answers that the machine,
zelmak-cli and window tests check the real program against; a fault that enciphering and
deciphering share (a disc's row chosen by slot, the card table and its inverse swapped) cannot
pass both. Exits 1 and names the row when an answer differs."""

import sys

ALPHABET = "I23456789QERTZUOPASDFGHMKLYCVBN"  # index 1..31
WORD_SPACE = 27

# Stepping marks of discs 1..5: the position indexes (position + 1) that hold a mark.
MARKS = {1: {2, 6, 22, 31}, 2: {1, 12, 20, 29}, 3: {3, 9, 24, 31}, 4: {4, 11, 23, 31},
         5: {8, 10, 21, 28}}

# Discs 1..5 and the reflector (row 6), contacts 1..31; the reflector's 0 lets its contact through.
WIRING = {
    1: "7 18 6 9 14 1 26 16 23 20 28 4 25 5 12 24 27 21 22 15 3 30 29 17 11 10 19 2 13 31 8",
    2: "17 12 15 18 31 6 11 27 13 14 3 8 16 19 1 10 9 2 25 23 29 22 4 28 26 30 20 21 7 5 24",
    3: "8 1 25 31 9 17 21 20 27 30 16 24 23 5 6 13 19 14 12 18 22 15 2 28 11 29 10 3 4 26 7",
    4: "29 14 5 19 23 26 13 2 7 24 25 22 9 6 28 10 18 15 4 1 11 12 16 31 3 17 30 20 8 21 27",
    5: "18 22 3 16 5 27 13 30 9 2 6 10 31 20 15 14 21 17 24 8 23 1 25 12 4 19 26 29 28 11 7",
    6: "20 10 17 27 18 31 29 23 16 2 26 19 25 22 0 9 3 5 12 1 24 14 8 21 13 11 4 30 7 28 6",
}
FORWARD = {row: dict(enumerate(map(int, text.split()), start=1)) for row, text in WIRING.items()}
BACKWARD = {d: {out: contact for contact, out in FORWARD[d].items()} for d in range(1, 6)}


def wrap(value):
    if value > 31:
        value -= 31
    if value <= 0:
        value += 31
    return value


def run(card, discs, start, cipher, text):
    """card: the symbol index each key 1..31 carries; discs: disc number - 1 in slots 1..5;
    start: five symbols. Returns the output and the five end positions as symbols."""
    inverse = {symbol: key for key, symbol in enumerate(card, start=1)}
    pos = [None] + [ALPHABET.index(symbol) for symbol in start]
    disc = [None] + [d + 1 for d in discs]
    sign = 1 if cipher else -1
    output = ""
    for char in text:
        key = WORD_SPACE if char in " _" else ALPHABET.index(char) + 1
        index = card[key - 1]
        for slot in (1, 2, 3, 4, 5):
            index = wrap(FORWARD[disc[slot]][wrap(index + sign * pos[slot] - 1)]
                         + sign * pos[slot] + 1)
        index = FORWARD[6][index] or index
        for slot in (5, 4, 3, 2, 1):
            index = wrap(BACKWARD[disc[slot]][wrap(index + sign * pos[slot] - 1)]
                         + sign * pos[slot] + 1)
        index = inverse[index]
        output += ("Y" if cipher else "_") if index == WORD_SPACE else ALPHABET[index - 1]
        pos[1] = (pos[1] + 1) % 31
        pos[2] = (pos[2] - 1) % 31
        if pos[1] + 1 in MARKS[disc[1]]:
            pos[3] = (pos[3] + 1) % 31
        if pos[2] + 1 in MARKS[disc[2]]:
            pos[4] = (pos[4] - 1) % 31
        if pos[3] + 1 in MARKS[disc[3]]:
            pos[5] = (pos[5] + 1) % 31
    return output, "".join(ALPHABET[p] for p in pos[1:])


SERVICE = list(range(1, 32))
REVERSED = list(range(31, 0, -1))
MIXED = [11, 15, 30, 10, 6, 31, 21, 14, 7, 27, 20, 12, 9, 28, 3, 17, 24, 19, 23, 8, 18, 29, 26, 2,
         22, 5, 13, 25, 4, 16, 1]
MEETING = "TREFFEN UM NEUN UHR AM BAHNHOF"

# name, card, discs, start, cipher, text, output (None: not fixed), end positions
ROWS = [
    ("worked_example", SERVICE, [0, 1, 2, 3, 4], "AAAAA", True, "HALLO ALLE", "5M5QHAI6Y4",
     "C8SPA"),
    ("worked_example_back", SERVICE, [0, 1, 2, 3, 4], "AAAAA", False, "5M5QHAI6Y4", "HALLO_ALLE",
     "C8SPA"),
    ("worked_example_again", SERVICE, [0, 1, 2, 3, 4], "AAAAA", True, "5M5QHAI6Y4", "942HQOQ9ZN",
     "C8SPA"),
    ("reversed_card", REVERSED, [4, 3, 2, 1, 0], "AAAAA", True, "HALLO ALLE", "NTSL7FRI4Y",
     "C8DPA"),
    ("reversed_card_back", REVERSED, [4, 3, 2, 1, 0], "AAAAA", False, "NTSL7FRI4Y",
     "HALLO_ALLE", "C8DPA"),
    ("mixed_card", MIXED, [2, 4, 0, 3, 1], "Q7ZN2", True, MEETING,
     "RN6C9HKGK2S95TKR7729GLKCYMAPCF", "98AY2"),
    ("mixed_card_back", MIXED, [2, 4, 0, 3, 1], "Q7ZN2", False, "RN6C9HKGK2S95TKR7729GLKCYMAPCF",
     MEETING.replace(" ", "_"), "98AY2"),
    ("stepping_cipher", MIXED, [1, 0, 4, 2, 3], "9Y8DK", True, "I" * 200, None, "HT3LM"),
    ("stepping_decipher", MIXED, [1, 0, 4, 2, 3], "9Y8DK", False, "I" * 200, None, "HT3LM"),
    # check values: AAAAA keyed from AAAAA in Cipher mode
    ("check_value_service", SERVICE, [0, 1, 2, 3, 4], "AAAAA", True, "AAAAA", "MM7D2", "HTSAA"),
    ("check_value_reversed", REVERSED, [4, 3, 2, 1, 0], "AAAAA", True, "AAAAA", "RTD4T", "HTSAA"),
]


def main():
    assert sorted(MIXED) == SERVICE, "the mixed card is no permutation"
    for row in range(1, 7):
        contacts = FORWARD[row].values()
        assert sorted(contacts) == (SERVICE if row < 6 else [0] + [c for c in SERVICE if c != 15])
    assert all(FORWARD[6][FORWARD[6][c]] == c for c in SERVICE if c != 15), "reflector unpaired"
    failed = 0
    for name, card, discs, start, cipher, text, output, end in ROWS:
        got_output, got_end = run(card, discs, start, cipher, text)
        if (output is not None and got_output != output) or got_end != end:
            print(f"{name}: expected {output} ending at {end}, computed {got_output} ending at "
                  f"{got_end}")
            failed += 1
    print(f"{len(ROWS) - failed} of {len(ROWS)} known answers confirmed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
