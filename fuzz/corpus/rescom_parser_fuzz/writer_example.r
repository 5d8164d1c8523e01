
##   Compile this source using ResCom.exe
##   command "ResCom RQUOTES.R" then
##   quoted strings, ending with \n wherever

headers off       #  Ignore this command
symbols off       #  Ignore this command.

text x
   {
   "Thought of the day:\n",
   "Be \"brief\".\n",
   "       Short\n",
   "-- anon\n",
   };

text x
   {
   "Thought of the day:\n",
   "        Done\n",
   "-- anon\n",
   };
