// Resource ids of QUORVSTINSTALLER.exe: its icon, the dialog Form1 and its controls.
#pragma once

#define IDI_FORM1 1
#define IDD_FORM1 100

#define IDC_TEXT1 1001
#define IDC_LABEL1 1002
#define IDC_COMMAND1 1003
#define IDC_COMMAND2 1004
#define IDC_XPRODID 1005
#define IDC_FILE1 1006
#define IDC_XVSTDIR 1007
#define IDC_COMMAND3 1008
#define IDC_LIST1 1009
#define IDC_TITULO 1010
