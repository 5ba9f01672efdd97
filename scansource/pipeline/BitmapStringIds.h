#pragma once
// String-table ids of the messages that bitmap building shows or traces.
// Guarded so that the resource header may define the same ids.
#ifndef IDS_ERROR_NO_MEMORY_FOR_DIB
#define IDS_ERROR_NO_MEMORY_FOR_DIB 6
#endif
#ifndef IDS_ERROR_CANT_CREATE_DATA_FILE
#define IDS_ERROR_CANT_CREATE_DATA_FILE 7
#endif
#ifndef IDS_ERROR_CANT_OPEN_DATA_FILE
#define IDS_ERROR_CANT_OPEN_DATA_FILE 9
#endif
#ifndef IDS_ERROR_INVALID_COLOR_FORMAT
#define IDS_ERROR_INVALID_COLOR_FORMAT 20
#endif
// String 24: an imaging library step failed for a reason other than memory.
#define IDS_ERROR_UNKNOWN_IMAGING_FAILURE 24
