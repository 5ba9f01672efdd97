#pragma once
// Resource ids of the uninstaller.

#define IDC_PLACEHOLDER 1003
#define IDC_SEPARATOR 1005
#define IDC_EXIT 1052
#define IDC_UNINSTALL 1080

#define IDS_ABOUT_MENU 156
#define IDS_TITLE 161
#define IDS_UNINSTALL_BUTTON 162
#define IDS_EXIT_BUTTON 163
