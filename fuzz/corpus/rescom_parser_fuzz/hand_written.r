TEXT a {"one", "two" "three",};
text b
{
}
# comment "x"
text c { "\n\n" }