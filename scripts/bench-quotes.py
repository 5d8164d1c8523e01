#!/usr/bin/env python3
"""Writes FOLDER/quotes/qNNNN.lsq, quote files as users write them (directives, comments,
double quotes, CR LF) of SIZE_MB megabytes in all over FILES files, and FOLDER/strfile.txt,
the same quotes in strfile's form with one "%" line after each.  The same seed every time,
so the benchmarks compare like with like.

usage: bench-quotes.py FOLDER SIZE_MB [FILES]   (FILES defaults to 3 a megabyte)"""
import os
import random
import sys

folder, size_mb = sys.argv[1], int(sys.argv[2])
files = int(sys.argv[3]) if len(sys.argv) > 3 else max(1, size_mb * 3)
random.seed(1994)
words = ("the a quote of time and life is not what we do say when you are all but never "
         "always man woman love work day night world \"truth\" mind it's wisdom").split()
lines = [" ".join(random.choice(words) for _ in range(random.randint(4, 14))) for _ in range(5000)]
per_file = size_mb * 1000 * 1000 // files
os.makedirs(f"{folder}/quotes", exist_ok=True)
with open(f"{folder}/strfile.txt", "wb") as plain:
    for i in range(files):
        out = [f"## generated\r\n@@TITLE=Collection {i:04d}\r\n@@AUTHOR=Nobody\r\n@@END=  -- anon\r\n\r\n"]
        size = len(out[0])
        while size < per_file:
            quote = random.sample(lines, random.randint(1, 5))
            text = "\r\n".join(quote) + "\r\n\r\n"
            out.append(text)
            size += len(text)
            plain.write(("\n".join(quote) + "\n-- anon\n%\n").encode())
        with open(f"{folder}/quotes/q{i:04d}.lsq", "wb") as f:
            f.write("".join(out).encode())
