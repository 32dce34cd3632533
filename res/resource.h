// Resource and command identifiers shared by the resource scripts and the code.
// Plain #defines so that windres can read the file too.
#pragma once

// Dialog templates
#define IDD_KESTRUN_DIALOG 102
#define IDD_INFO_DIALOG 135
#define IDD_DIAGNOSIS_DIALOG 136
#define IDD_ABOUTBOX 137

// Strings
#define IDS_SOCKETS_INIT_FAILED 103

// Menu (also the tray icon's identifier)
#define IDR_TRAY_MENU 130

// Pictures
#define IDB_BACKGROUND 134
#define IDB_ABOUT_BANNER 139
#define IDI_KESTRUN 133

// Main window controls
#define IDC_COMBO_URL 1000
#define IDC_EXPLORER 1001
#define IDC_BUTTON_CONNECT 1002
#define IDC_BUTTON_DEL 1003
#define IDC_STATIC_STATUS 1004
#define IDC_BUTTON_HIDE 1008

// Connectivity Info controls
#define IDC_INFO_LOGIN_URL 1009
#define IDC_INFO_LINK_STATUS 1010
#define IDC_INFO_TIME 1011
#define IDC_INFO_RECEIVED 1012
#define IDC_INFO_TRANSMITTED 1013
#define IDC_INFO_IP_ADDRESS 1014
#define IDC_INFO_SECURE_MODE 1015
#define IDC_INFO_IP_LABEL 1021

// Diagnosis controls
#define IDC_DIAG_STARTS 1008
#define IDC_DIAG_LIST 1016

// About controls
#define IDC_ABOUT_VERSION 1017

// Commands
#define ID_SHOW_MAIN 32772
#define ID_MENUITEM_EXIT 32773
#define ID_MENUITEM_INFO 32774
#define ID_MENUITEM_ABOUT 32775
#define ID_MENUITEM_DIAGNOSIS 32776
