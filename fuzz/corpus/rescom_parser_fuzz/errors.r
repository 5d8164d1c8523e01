text x {"a",,"b"}
bogus
"stray"
text {"\400"}
text y {"\0"
headers maybe
{ } ; @
