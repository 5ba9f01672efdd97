#pragma once
// Resource ids of the Port Name Editor (dialog 2005). Its messages are
// string-table entries 2001 to 2007 of the program's string table.

#define IDD_EDIT_PORT_NAME 2005
#define IDC_EDIT_PORT_NAME_PORT 2011
#define IDC_EDIT_PORT_NAME_PRINTER 2012
#define IDC_EDIT_PORT_NAME_MESSAGE 2013
