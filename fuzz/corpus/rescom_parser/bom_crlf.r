text x {
"unterminated
}
