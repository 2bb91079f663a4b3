// src/res/resource.h
// Resource ids shared by the resource script and the code.
#pragma once

#define IDR_MAINFRAME                   128
#define IDD_CLEAN_DIALOG                129
#define IDD_SUCCESS_DIALOG              130
#define IDD_FAILURE_DIALOG              131
#define IDI_DEVELOPER                   133
#define IDD_SET_REGISTRY_DIALOG         135
#define IDD_PROGRESS_DIALOG             136
#define IDD_LISTING_DIALOG              137

#define IDS_FAILURE_HEAD                1

// Main cleaning dialog
#define IDC_CLEAN_ICON                  1001
#define IDC_KEEP_REGISTRY               1002
#define IDC_WARNING_TEXT                1003
#define IDC_KEEP_SN_FINDOUTMORE         1011
#define IDC_KEEP_VAULTRY                1012
#define IDC_KEEP_QRX                    1013

// Result dialogs
#define IDC_RESULT_TEXT                 1000
#define IDC_RESULT_ICON                 1001
#define IDC_RESULT_LABEL                1002

// Developer settings dialog
#define IDC_REGISTRY_CLEANED            1004
#define IDC_ENTRIES_CREATED             1005
#define IDC_KEYS_GROUP                  1006
#define IDC_SPECIAL_MENU                1007
#define IDC_TPL                         1008
#define IDC_SHOW_ALL_INFOBOXES          1009
#define IDC_STATUS_LINE                 1010
#define IDC_SAVE_XML_TEMPLATE           1011
#define IDC_ENABLE_OPERATION_PROFILES   1012
#define IDC_DEVELOPER_OBJECT_PORTAL     1013
#define IDC_ENABLE_QUILLO_PRO           1014

// Progress window
#define IDC_PROGRESS_ACTION             1020
#define IDC_PROGRESS_DETAIL             1021
#define IDC_PROGRESS_BAR                1022
#define IDC_PROGRESS_COUNT              1023
#define IDC_PROGRESS_LABEL              1024
