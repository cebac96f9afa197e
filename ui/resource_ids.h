// Resource identifiers of the main program, shared by the resource script and the code.
// Plain #defines only: windres reads this file through the C preprocessor.
// String ids are named next to their texts in resources/strings.inc; code includes
// resources/string_ids.h for them.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_QMZ4_MAIN 102
#define IDD_DRIVES 135
// The classic picker's child template: the select button and the selected names
#define IDD_PICKER_TEMPLATE 136
#define IDD_SETTINGS 137

// Menus
#define IDR_MAIN_MENU 132
#define IDR_PAUSE_MENU 133
#define IDR_TRAY_MENU 134

// Icons: the application icon and the five frames of the busy animation
#define IDI_APPLICATION_ICON 128
#define IDI_ANIMATION_FIRST 138
#define IDI_ANIMATION_LAST 142

// Bitmaps: page background, banner left, banner middle, banner right
#define IDB_PAGE_BACKGROUND 143
#define IDB_BANNER_LEFT 144
#define IDB_BANNER_MIDDLE 145
#define IDB_BANNER_RIGHT 146

// Button bitmaps: (normal, pressed) pairs; the first set before Vista, the second after
#define IDB_BUTTONS_CLASSIC_FIRST 147
#define IDB_BUTTONS_CLASSIC_LAST 198
#define IDB_BUTTONS_VISTA_FIRST 199
#define IDB_BUTTONS_VISTA_LAST 250

// Menu and system-menu commands
#define IDM_ABOUTBOX 16
#define ID_APP_SETTINGS 32770
#define ID_APP_EXIT 32771
#define ID_HELP_SHOW_FILE 32772
#define ID_APP_ABOUT 32773

// Pause menu commands (ID_APP_EXIT closes from there too)
#define ID_PAUSE_NOW 32774
#define ID_RESUME 32775
#define ID_FINISH_CYCLE 32776
#define ID_FINISH_FILE 32777
#define ID_FINISH_ITEM 32778
#define ID_ABORT_ITEM 32779
// Tray menu: brings the hidden window back
#define ID_SHOW_WINDOW 32780

// Controls of the main dialog
#define IDC_BANNER_LEFT 1000
#define IDC_BANNER_MIDDLE 1001
#define IDC_BANNER_RIGHT 1002
#define IDC_TABS 1003
#define IDC_PAGE_BACKGROUND 1005
#define IDC_GOTO_BASIC 1006
#define IDC_GOTO_FULL 1007
#define IDC_ERASE_FRAME 1008
#define IDC_ERASE_LIST 1009
#define IDC_ERASE_SELECT_ALL 1010
#define IDC_ERASE_TOGGLE 1011
#define IDC_ERASE_REMOVE 1012
#define IDC_ERASE_ADD 1013
#define IDC_ERASE_SETTINGS 1015
#define IDC_EXTENDED_FRAME 1016
#define IDC_INTERNET_HISTORY 1017
#define IDC_INTERNET_TEMP 1018
#define IDC_INTERNET_COOKIES 1019
#define IDC_FREE_SPACE 1020
#define IDC_WINDOWS_TEMP 1021
#define IDC_RECYCLE_BIN 1022
#define IDC_ENTIRE_PARTITION 1023
#define IDC_RESULT_FRAME 1024
#define IDC_RESULT_LIST 1025
#define IDC_RESULT_SELECT_ALL 1026
#define IDC_RESULT_TOGGLE 1027
#define IDC_RESULT_REMOVE 1028
#define IDC_SHOW_FAILED 1029
#define IDC_SHOW_SUCCEEDED 1030
#define IDC_RESULT_SETTINGS 1031
#define IDC_COUNTER_FRAME 1032
#define IDC_ERASED_LABEL 1033
#define IDC_ERASED_COUNT 1034
#define IDC_ERASE_TIME_LABEL 1035
#define IDC_ERASE_TIME 1036
#define IDC_SYSTEM_FAILED_LABEL 1037
#define IDC_SYSTEM_FAILED_COUNT 1038
#define IDC_OTHER_FAILED_LABEL 1039
#define IDC_OTHER_FAILED_COUNT 1040
#define IDC_PAUSE 1041
#define IDC_START_ERASE 1042
#define IDC_CLOSE 1043
#define IDC_HIDDEN_CLOSE 8

// Controls of the settings dialog
#define IDC_SETTINGS_FRAME 1048
#define IDC_METHOD_LABEL 1049
#define IDC_METHOD_LIST 1050
#define IDC_QUICK_VALUE_LABEL 1051
#define IDC_QUICK_VALUE 1052
#define IDC_QUICK_COUNT_LABEL 1053
#define IDC_QUICK_COUNT 1054
#define IDC_VERIFY 1055
#define IDC_VERIFY_ONE_PERCENT 1056
#define IDC_METHOD_NOTE 1057
#define IDC_OPTIONS_FRAME 1058
#define IDC_INCLUDE_SUPER_HIDDEN 1059
#define IDC_ALL_USERS_RECYCLE_BIN 1060
#define IDC_ENABLE_SHELL_EXTENSION 1061
#define IDC_INCLUDE_NETWORK_DRIVES 1062
#define IDC_AUTORUN 1063
#define IDC_START_AT_TIME 1064
#define IDC_START_TIME 1065
#define IDC_LANGUAGE_LABEL 1066
#define IDC_LANGUAGE_LIST 1067
#define IDC_LOG_FRAME 1068
#define IDC_LOGGING 1069
#define IDC_LOG_FILE 1070
#define IDC_LOG_FOLDER_LABEL 1071
#define IDC_LOG_CHOOSE 1072
#define IDC_LOG_VIEW 1073
#define IDC_LOG_ERASE 1074

// Controls of the drive dialog
#define IDC_DRIVE_FRAME 1044
#define IDC_DRIVE_LIST 1045

// Control of the about box
#define IDC_ABOUT_ICON 1090

// Controls of the pickers: the select button and the selected names (the modern picker's
// custom controls use the same ids), and the classic template's placeholder for the
// standard controls (stc32)
#define IDC_PICKER_SELECT 1046
#define IDC_PICKER_NAMES 1047
#define IDC_PICKER_STANDARD_AREA 1119
