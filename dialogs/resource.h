// Resource identifiers of ZORVIKAN.PLC, shared by the resource script and the code that loads
// the resources. Plain #defines only, so that the resource compiler and the portable build's
// string-table generator both read it; no include guard is needed, since repeating an identical
// #define is allowed.

// Result messages of the device-entry dialog.
#define IDS_UNKNOWN_DEVICE_CODE 57001
#define IDS_NUMBER_OUT_OF_RANGE 57002
#define IDS_BIT_OUT_OF_RANGE 57003
#define IDS_NETWORK_OUT_OF_RANGE 57006
#define IDS_STATION_OUT_OF_RANGE 57007
#define IDS_NUMBER_CROSS_RANGE 57009
#define IDS_SEGMENT_OUT_OF_RANGE 57010
#define IDS_INVALID_DEVICE_NAME 57011
#define IDS_INVALID_DEVICE_FORMAT 57012
#define IDS_INVALID_BIT_FORMAT 57013
#define IDS_INVALID_NETWORK_FORMAT 57016
#define IDS_INVALID_STATION_FORMAT 57017
#define IDS_INVALID_DEVICE_NUMBER 57019
#define IDS_INVALID_DEVICE_TYPE 57020
#define IDS_UNEXPECTED_ERROR 57021

// Data-type texts of the dialog title.
#define IDS_SPEC_BIT 57022
#define IDS_SPEC_S16 57023
#define IDS_SPEC_U16 57024
#define IDS_SPEC_D16 57025
#define IDS_SPEC_S32 57026
#define IDS_SPEC_U32 57027
#define IDS_SPEC_D32 57028
#define IDS_SPEC_REAL 57029

// Between the lowest and the highest number of a range in the range box.
#define IDS_RANGE_SEPARATOR 57030

// Kind words and the channel text of the title.
#define IDS_KIND_BIT 57031
#define IDS_KIND_WORD 57032
#define IDS_CHANNEL 57033

// Display names of the PLC families.
#define IDS_PLC_NAME_GL 57034
#define IDS_PLC_NAME_H 57035
#define IDS_PLC_NAME_MS 57036
#define IDS_PLC_NAME_SH 57047
#define IDS_PLC_NAME_MP 57048
