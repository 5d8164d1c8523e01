// Resource and control ids of vosko.dll, grouped by kind. The numbers are fixed: the host,
// stored settings and users' habits (keyboard accelerators, ids in dialogs) rely on them.
// This header is shared by the resource script, the Win32 face and the portable engine, so
// it holds only #defines.
#pragma once

// Icons and bitmaps
#define IDI_VOSKO 101       // the host window's small icon
#define IDI_QUOTE_FILE 102  // the item icon of each quote file in the list
#define IDB_BANNER 113      // banner across the top of the main window and dialogs
#define IDB_ABOUT 118       // picture of the About box

// Main window "VOSKO"
#define IDC_BANNER 112
#define IDC_ABOUT 1002
#define IDC_SEND 1017
#define IDC_EXIT 1125
#define IDC_PASTE 1136
#define IDC_EDIT 1137
#define IDC_NEW 1138
#define IDC_DELETE 1139
#define IDC_COMPILE 1140
#define IDC_OPTIONS 1141
#define IDC_HELP_BUTTON 1142
#define IDC_RESCAN 1144
#define IDC_EXPORT 1145

// Controls the main window makes at run time
#define IDC_STATUS_BAR 200
#define IDC_LIST_VIEW 230

// Buttons of the Options dialog that open the quote-file dialogs
#define IDC_IMPORT 1143
#define IDC_RECOMPILE 1152

// String table ids used by the frame
#define IDS_OLD_HOST 1
#define IDS_NO_MEMORY 2
#define IDS_NO_FONT 3
#define IDS_NO_MAIN_WINDOW 4
#define IDS_HOST_ERROR 5
#define IDS_WELCOME 6
#define IDS_FILES_SECTION 7
#define IDS_MESSAGE_CAPTION 33
#define IDS_SETTINGS_FILE 35
#define IDS_SETTINGS_SECTION 36
#define IDS_KEY_WINDOW_POSITION 37
#define IDS_KEY_QUOTE_FOLDER 38
#define IDS_KEY_VIEW_OPTION 39
#define IDS_WININI_EXTENSIONS 40
#define IDS_WININI_TXT 41
#define IDS_KEY_TEXT_EDITOR 42
#define IDS_KEY_CLOSE_AFTER_PASTE 51
#define IDS_KEY_COLUMN_WIDTHS 59
#define IDS_NO_STATUS_BAR 60
#define IDS_NO_LIST_VIEW 61
#define IDS_KEY_COLUMN_ORDER 62
#define IDS_KEY_MAXIMIZE_EDITOR 64
#define IDS_KEY_VISIBLE_COLUMNS 69
#define IDS_OLD_COMCTL 70
#define IDS_KEY_VERSION 71
#define IDS_NO_FILE_TYPE_LIST 72
#define IDS_FILE_TYPE_LINE 73

// String table ids used by the catalog, the list view and the status bar
#define IDS_OPEN_FAILED 9
#define IDS_STATUS_COMPILING 18
#define IDS_ONE_FILE_COMPILE 19
#define IDS_WORD_TITLE 31
#define IDS_QUOTE_PATTERN 46
#define IDS_NO_DESCRIPTION 47
#define IDS_WORD_AUTHOR 63
#define IDS_STATUS_RESCANNING 68
#define IDS_ONE_FILE_EXPORT 78
#define IDS_COLUMN_FIRST 80  // headings of columns 0 to 7: 80 to 87
#define IDS_VIEW_FIRST 90    // names of views 0 to 3: 90 to 93
#define IDS_STATUS_IDLE 94

// String table ids used by the quote readers and writers
#define IDS_SCRIPT_OPEN_FAILED 22
#define IDS_SCRIPT_WRITE_FAILED 23
#define IDS_WORD_END 25
#define IDS_WORD_HEADER 26
#define IDS_FILE_WRITE_FAILED 34
#define IDS_IMPORT_OPEN_FAILED 66
#define IDS_WORD_LEFT 74
#define IDS_WORD_RIGHT 75
#define IDS_WORD_CENTER 76
#define IDS_SCRIPT_HEADER_FIRST 150  // script header lines 150 to 175
#define IDS_SCRIPT_HEADER_LAST 175

// String table ids used by the compile and the rescan
#define IDS_SCRIPT_NAME 21
#define IDS_COMPILER_LAUNCH_FAILED 27
#define IDS_COMPILED_NAME 28
#define IDS_PMS_NAME 50  // begins with its own backslash
#define IDS_COMPILER_EXE_NAME 52
#define IDS_COMPILER_BATCH_NAME 53
#define IDS_STATUS_LAUNCHING 54
#define IDS_COMPILER_REPORT_NAME 55
#define IDS_COMPILER_HEADER_NAME 56
#define IDS_COMPILE_DONE 57
#define IDS_COMPILE_REFUSED 120  // the compiler's errors follow, one line each
#define IDS_COMPILE_FAILED_CODE 121
#define IDS_COMPILE_NO_OUTPUT 122
#define IDS_COMPILE_ERROR_AT 123
#define IDS_COMPILE_PMS_IN_USE 124
#define IDS_COMPILE_RUNNING 125
#define IDS_COMPILE_LOCK_NAME 126
// Follows IDS_COMPILE_DONE: characters the code page could not hold.
#define IDS_COMPILE_REPLACED 131
#define IDS_SCAN_REPEATS 140
#define IDS_STATUS_LISTING 141  // while a big folder fills the list after the window shows
#define IDS_BATCH_FIRST 200  // rescom.bat lines 200 to 207
#define IDS_BATCH_LAST 207

// String table ids used by Edit, Delete, Paste, Export and Send
#define IDS_DELETE_QUESTION 11
#define IDS_PASTE_ADDED 14
// Asked before text that the quote file's code page cannot hold is written.
#define IDS_PASTE_REPLACED 130
#define IDS_EDITOR_FAILED 48
#define IDS_NO_VALID_FILENAME 49
#define IDS_EXPORT_NAME_MISSING 77
#define IDS_DELETE_FAILED 700

// Dialog "EXPORT"
#define IDC_EXPORT_LABEL 1165
#define IDC_EXPORT_FILE 1019
#define IDC_EXPORT_BROWSE 1018
#define IDC_EXPORT_OK 1124
#define IDC_EXPORT_CANCEL 1125

// String table ids used by the new quote file dialogs and the Options dialog
#define IDS_TITLE_MISSING 8
#define IDS_IMPORT_NAME_MISSING 10
#define IDS_LINE_LENGTH_INVALID 17
#define IDS_HOST_QUOTES_FILE 50
#define IDS_NAME_REFUSED 800
#define IDS_PATH_TOO_LONG 801

// String table ids of the command-line tool vosko
#define IDS_CLI_NO_SUCH_FILE 900
#define IDS_CLI_NO_QUOTE_FILES 901
#define IDS_CLI_BINARY_FILE 902
#define IDS_CLI_UNREADABLE 903
#define IDS_CLI_OUTPUT_UNWRITABLE 904
#define IDS_CLI_UNKNOWN_COMMAND 905
#define IDS_CLI_NEEDS_VALUE 906
#define IDS_CLI_UNKNOWN_OPTION 907
#define IDS_CLI_NOTHING_TO_DO 908
#define IDS_CLI_COMPILED 909
#define IDS_CLI_SCRIPT_UNWRITABLE 910
#define IDS_CLI_UNKNOWN_FORMAT 911
#define IDS_CLI_SETTINGS_UNREADABLE 912
#define IDS_CLI_TOTAL 913
#define IDS_CLI_COUNTED 914
#define IDS_CLI_NOT_A_FOLDER 915
#define IDS_CLI_COMPILE_REFUSED 916
// 917 to 920, encodings: what check shows of a character the code page lacks, an unknown
// --codepage, the option's line in a command's help, how many characters a compile replaced
#define IDS_CLI_CHECK_REPLACED 917
#define IDS_CLI_UNKNOWN_CODEPAGE 918
#define IDS_CLI_HELP_CODEPAGE 919
#define IDS_CLI_REPLACED 920
#define IDS_CLI_HELP_IMPORT_FORTUNE 926  // import --from fortune, after IDS_CLI_HELP_IMPORT
#define IDS_CLI_HELP_EXPORT_FORTUNE 927  // export --to fortune, after IDS_CLI_HELP_EXPORT
#define IDS_CLI_UNKNOWN_EXCHANGE 928
#define IDS_CLI_FORTUNE_PAIR_SPLIT 929  // 929 to 932: what a fortune import changed, one per kind
#define IDS_CLI_FORTUNE_LINE_BROKEN 930
#define IDS_CLI_FORTUNE_BYTE_DROPPED 931
#define IDS_CLI_FORTUNE_NOT_EXACT 932
#define IDS_CLI_FORTUNE_LINES_CHANGED 933  // 933 and 934: what a fortune export changed
#define IDS_CLI_FORTUNE_EMPTY 934
#define IDS_CLI_HELP 950          // 950 and 951: the tool's help
#define IDS_CLI_HELP_COMPILE 952  // 952 and 953
#define IDS_CLI_HELP_COUNT 954
#define IDS_CLI_HELP_LIST 955  // 955 and 956
#define IDS_CLI_HELP_MORE 957  // 957 and 958: the rest of the command list
#define IDS_CLI_HELP_EXPORT 959
#define IDS_CLI_HELP_IMPORT 960
#define IDS_CLI_HELP_RECOMPILE 961
#define IDS_CLI_HELP_NEW 962
#define IDS_CLI_HELP_NEW_FILE 963  // what import, recompile and new share
#define IDS_CLI_HELP_CHECK 964     // 964 and 965
#define IDS_CLI_OUTPUT_EXISTS 966
#define IDS_CLI_OUTPUT_IS_INPUT 967
#define IDS_CLI_BAD_LINE_LENGTH 968
#define IDS_CLI_TITLE_MISSING 969
#define IDS_CLI_NOT_COMPILED_QUOTES 970
#define IDS_CLI_CANNOT_WRITE 971
#define IDS_CLI_EXPORTED 972
#define IDS_CLI_NEW_FILE 974
#define IDS_CLI_CHECK_SPLIT 975  // 975 to 979: what check shows, one per kind of change
#define IDS_CLI_CHECK_CUT 976
#define IDS_CLI_CHECK_SETS_NOTHING 977
#define IDS_CLI_CHECK_DROPPED 978
#define IDS_CLI_CHECK_BACKSLASH 979
#define IDS_CLI_PROGRESS_BYTES 980
#define IDS_CLI_PROGRESS_FILES 981
#define IDS_CLI_MISSING_WORDS 982
#define IDS_CLI_NOT_ONE_LINE 983
#define IDS_CLI_CANNOT_READ 984
#define IDS_CLI_COMPILE_RUNNING 985

// Dialogs "NEWQUOTEFILE", "RECOMPILE" and "IMPORT"
#define IDC_NEW_IMPORT_FILE 1015
#define IDC_NEW_BROWSE 1016
#define IDC_NEW_TITLE 1167
#define IDC_NEW_FILE_NAME 1166
#define IDC_NEW_AUTHOR 1168
#define IDC_NEW_LINE_LENGTH 1171
#define IDC_NEW_OK 1124
#define IDC_NEW_CANCEL 1125
// Labels: every static of a dialog has an id of its own (-1 is the text of a message box)
#define IDC_NEW_IMPORT_FILE_LABEL 1180
#define IDC_NEW_TITLE_LABEL 1181
#define IDC_NEW_FILE_NAME_LABEL 1182
#define IDC_NEW_AUTHOR_LABEL 1183
#define IDC_NEW_LINE_LENGTH_LABEL 1184

// The About box
#define IDC_ABOUT_OK 1124
#define IDC_ABOUT_PRODUCT 1185
#define IDC_ABOUT_HOST 1186
#define IDC_ABOUT_VERSION 1187
#define IDC_ABOUT_NOTE 1188
#define IDC_ABOUT_PICTURE 1189  // an id of its own: -1 is the text of a message box

// Dialog "QUOTEOPTIONS"
#define IDC_OPT_FOLDER_LABEL 1146
#define IDC_OPT_FOLDER 1144
#define IDC_OPT_FOLDER_BROWSE 1145
#define IDC_OPT_EDITOR_LABEL 1148
#define IDC_OPT_EDITOR 1147
#define IDC_OPT_EDITOR_BROWSE 1149
#define IDC_OPT_VIEW_LABEL 1153
#define IDC_OPT_VIEW 1154
#define IDC_OPT_CLOSE_AFTER_PASTE 1150
#define IDC_OPT_MAXIMIZE_EDITOR 1151
#define IDC_OPT_HELP 1142
#define IDC_OPT_OK 1124
#define IDC_OPT_CANCEL 1125
#define IDC_OPT_GROUP1 1190
#define IDC_OPT_GROUP2 1191
#define IDC_OPT_GROUP3 1192
#define IDC_OPT_GROUP4 1193
// The column check boxes, by column number 0 to 7 (Title is always checked and disabled)
#define IDC_OPT_COLUMN_TITLE 1005
#define IDC_OPT_COLUMN_AUTHOR 1168
#define IDC_OPT_COLUMN_SIZE 1008
#define IDC_OPT_COLUMN_QUOTES 1009
#define IDC_OPT_COLUMN_FILE_DATE 1010
#define IDC_OPT_COLUMN_CREATION_DATE 1011
#define IDC_OPT_COLUMN_COMPILE_DATE 1012
#define IDC_OPT_COLUMN_FILENAME 1007
