/* The resource identifiers of the status window, shared by its resource
   script and its code (so plain macros: the resource compiler reads them). */
#ifndef TALLOW_STATUS_WINDOW_IDS_H
#define TALLOW_STATUS_WINDOW_IDS_H

#define IDD_STATUS 107
#define IDC_STATUS_MESSAGE 1007
#define IDC_STATUS_PROGRESS 1006

#endif
