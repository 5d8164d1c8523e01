text x { "\n\t\r\a\b\f\v\\\"\'\x41\x4g\xg\101\1011\7\377 C:\q" }
