"""The batch benchmarks' 10,000 texts, one a line, into the file named: mixed lengths from
1 to 23, some lower case, all characters that both programs draw. zint refuses a text with
a character its bars do not carry, and a text it skips would be time it does not spend."""
import random
import sys

random.seed(39)
ALPHABET = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%abcxyz"
with open(sys.argv[1], "w", encoding="ascii") as texts:
    for _ in range(10000):
        texts.write("".join(random.choice(ALPHABET) for _ in range(random.randint(1, 23))).strip() or "X")
        texts.write("\n")
