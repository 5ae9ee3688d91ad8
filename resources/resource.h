// Resource ids of the launcher (dialog, strings, artwork, dictionary).
#pragma once

#define IDR_MAINFRAME 128
#define IDB_SPLASH 129
#define IDI_APP_ICON 131
#define IDD_SFX_DIALOG 102
#define IDR_DICTIONARY 137

#define IDS_DISK_SPACE 138
#define IDS_EXTRACTING 139
#define IDS_OPEN_FILE_FAILED 140
#define IDS_EXTRACTION_FAILED 141
#define IDS_OPEN_OUTPUT_FAILED 142
#define IDS_WELCOME 143
#define IDS_WIZARD_TEXT 144

#define IDC_PROGRESS 1000
#define IDC_HEADING 1005
#define IDC_TEXT 1006
#define IDC_PICTURE 1007
