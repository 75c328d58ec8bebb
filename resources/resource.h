// Resource and control ids of Velmora. The numbers are fixed: other programs
// and the dialog templates depend on them.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Dialogs
#define IDD_ANSWER_BOX          101
#define IDD_MESSAGE_BOX         103
#define IDD_SETTINGS_PAGE       107
#define IDD_PROGRESS            115
#define IDD_CHECK_PASSWORD      140
#define IDD_ANSWER_BOX_FULL     142
#define IDD_SEARCH_PAGE         143

// Icons
#define IDI_TRAY_256            68
#define IDI_VELMORA             200
#define IDI_EXCLAMATION_MARK    201
#define IDI_QUESTION_MARK       202
#define IDI_TRAY_16             203

// The tray menu
#define IDM_TRAY                2

// The main window's keys: the toolbar's commands and the help page
#define IDR_MAIN_KEYS           4

// Toolbar bitmaps, 40 x 32, pure blue transparent
#define IDB_TOOLBAR_HELP        24
#define IDB_TOOLBAR_EXIT        25
#define IDB_TOOLBAR_UNLOCK      31
#define IDB_TOOLBAR_LOCK        93
#define IDB_TOOLBAR_TOOLS       95

// Tray menu bitmaps, 20 x 20, black transparent
#define IDB_MENU_ABOUT          87
#define IDB_MENU_EXIT           88
#define IDB_MENU_HELP           89
#define IDB_MENU_OPEN           90
#define IDB_MENU_LOCK           92
#define IDB_MENU_CHECK_VERSION  94

// Every bitmap is also drawn at 150 % and 200 %, under its id plus these
#define IDB_SCALE_150_OFFSET    1000
#define IDB_SCALE_200_OFFSET    2000

// Main window controls
#define IDC_TRAY_ICON           150
#define IDC_TOOLBAR             152
#define IDC_SPLITTER            153
#define IDC_PAGE_TREE           154

// Toolbar commands
#define ID_TOOLBAR_TOOLS        2000
#define ID_TOOLBAR_HELP         2001
#define ID_TOOLBAR_LOCK         2003
#define ID_TOOLBAR_EXIT         2005

// Tray menu commands
#define ID_TRAY_LOCK            64
#define ID_TRAY_LINK1           81
#define ID_TRAY_LINK2           82
#define ID_TRAY_ABOUT           300
#define ID_TRAY_HELP            301
#define ID_TRAY_EXIT            303
#define ID_TRAY_NOTHING         304
#define ID_TRAY_OPEN            306
#define ID_TRAY_CHECK_VERSION   308

// Commands other programs may post to the main window
#define ID_EXIT_NOW             2066
#define ID_SHOW_LOCKED          307
#define ID_CLOSE_AT_ONCE        310

// Prompt controls
#define IDC_PROMPT_TEXT         151
#define IDC_CHOICE_YES_FOR_ALL  18
#define IDC_CHOICE_NO_FOR_ALL   19
#define IDC_CHOICE_NO           20

// Progress window
#define IDC_PROGRESS_CANCEL     15
#define IDC_PROGRESS_BAR        1198
#define IDC_PROGRESS_LINE1      1199
#define IDC_PROGRESS_LINE4      1200
#define IDC_PROGRESS_STATUS     1201
#define IDC_PROGRESS_COUNT1     1202
#define IDC_PROGRESS_COUNT2     1203
#define IDC_PROGRESS_BAR_FRAME  1220

// Search page
#define IDC_RESULTS_FRAME       1147
#define IDC_ALL_FILES           1213
#define IDC_DATE_KIND           1214
#define IDC_SPECIFY_TYPE        1215
#define IDC_ADD                 1216
#define IDC_FIND                1217
#define IDC_FILE_TYPE           1218
#define IDC_RESULTS             1219
#define IDC_DATE_CONDITION      1221
#define IDC_DELETE              1224
#define IDC_SIZE_CONDITION      1225
#define IDC_DATE_TO_LABEL       1226
#define IDC_SIZE_UNIT           1228
#define IDC_LOCATIONS           1230
#define IDC_SIZE_FROM           1232
#define IDC_SIZE_TO             1233
#define IDC_SIZE_FROM_LABEL     1234
#define IDC_SIZE_TO_LABEL       1235
#define IDC_DATE_FROM_LABEL     1236
#define IDC_EMPTY_LIST          1237
#define IDC_DATE_FROM           1239
#define IDC_REMOVE              1240
#define IDC_TIME_FROM           1241
#define IDC_TIME_TO             1242
#define IDC_DATE_TO             1243
#define IDC_TOTAL_LINE          1244
#define IDC_DATE_MODE           1245
#define IDC_SELECTION_TOTAL     1246
// An age instead of dates, and the folders a search leaves out
#define IDC_AGE_AMOUNT          1252
#define IDC_AGE_UNIT            1253
#define IDC_SKIP_FOLDERS        1254
// The safety net: the Recycle Bin when asked, and the folders a search could not read
#define IDC_RECYCLE_BIN         1256
#define IDC_UNREADABLE_LINE     1258

// The result list's context menu and its commands
#define IDM_RESULTS             3
#define ID_RESULTS_OPEN         1247
#define ID_RESULTS_OPEN_FOLDER  1248
#define ID_RESULTS_COPY_PATH    1249
#define ID_RESULTS_SELECT_ALL   1250
#define ID_RESULTS_SAVE_LIST    1251
#define ID_RESULTS_SKIP_FOLDER  1255
#define ID_RESULTS_OPEN_RECORD  1257
// "Sort by": one command per column, N to Date, in the columns' order.
#define ID_RESULTS_SORT_N       1270
#define ID_RESULTS_SORT_DATE    1275

// Settings page
#define IDC_APPLY               683
#define IDC_START_WITH_WINDOWS  694
#define IDC_RESET               695
#define IDC_PROTECT             697
#define IDC_PASSWORD            698
#define IDC_CONFIRM_PASSWORD    699
#define IDC_CONFIRM_LABEL       700

// Password prompt
#define IDC_ENTERED_PASSWORD    1055

// Update check page
#define IDD_UPDATE_PAGE         131
#define IDC_UPDATE_REPORT       556
#define IDC_UPDATE_PROGRESS     557
#define IDC_CHECK_FOR_UPDATES   558
#define IDC_UPDATE_CANCEL       559

// Help and about pages
#define IDD_ABOUT_PAGE          130
#define IDD_HELP_PAGE           135
#define IDB_ABOUT_PICTURE       116
#define IDC_ABOUT_TITLE         550
#define IDC_ABOUT_VERSION       551
#define IDC_ABOUT_LINK          552
#define IDC_ABOUT_NOTES         553
