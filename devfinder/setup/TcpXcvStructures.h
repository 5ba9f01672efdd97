#pragma once
// The Standard TCP/IP Port monitor's published transceive structures
// (tcpxcv.h). The MinGW headers do not carry them, so they are declared
// here as published, and the portable request builder's offsets are
// checked against them.

#include <windows.h>

#include <cstddef>

#include "XcvRequests.h"

struct CONFIG_INFO_DATA_1 {
    BYTE Reserved[128];
    DWORD dwVersion;
};

struct PORT_DATA_1 {
    WCHAR sztPortName[64];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[49];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    WCHAR sztIPAddress[16];
    BYTE Reserved[540];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
};

struct PORT_DATA_2 {
    WCHAR sztPortName[64];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[128];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    BYTE Reserved[514];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
    DWORD dwPortMonitorMibIndex;
};

struct DELETE_PORT_DATA_1 {
    WCHAR psztPortName[64];
    BYTE Reserved[98];
    DWORD dwVersion;
    DWORD dwReserved;
};

static_assert(sizeof(CONFIG_INFO_DATA_1) == 132);
static_assert(sizeof(CONFIG_INFO_DATA_1) == xcv::kConfigInfoSize);
static_assert(offsetof(CONFIG_INFO_DATA_1, dwVersion) == xcv::kConfigInfoVersionOffset);

static_assert(sizeof(PORT_DATA_1) == 964);
static_assert(sizeof(PORT_DATA_1) == xcv::kPortDataSize);
static_assert(offsetof(PORT_DATA_1, sztPortName) == xcv::kPortNameField.offset);
static_assert(sizeof(PORT_DATA_1::sztPortName) / sizeof(WCHAR) == xcv::kPortNameField.units);
static_assert(offsetof(PORT_DATA_1, dwVersion) == xcv::kVersionOffset);
static_assert(offsetof(PORT_DATA_1, dwProtocol) == xcv::kProtocolOffset);
static_assert(offsetof(PORT_DATA_1, cbSize) == xcv::kSizeOffset);
static_assert(offsetof(PORT_DATA_1, dwReserved) == xcv::kReservedOffset);
static_assert(offsetof(PORT_DATA_1, sztHostAddress) == xcv::kHostAddressField.offset);
static_assert(sizeof(PORT_DATA_1::sztHostAddress) / sizeof(WCHAR) == xcv::kHostAddressField.units);
static_assert(offsetof(PORT_DATA_1, sztSNMPCommunity) == xcv::kSnmpCommunityField.offset);
static_assert(sizeof(PORT_DATA_1::sztSNMPCommunity) / sizeof(WCHAR) == xcv::kSnmpCommunityField.units);
static_assert(offsetof(PORT_DATA_1, dwDoubleSpool) == xcv::kDoubleSpoolOffset);
static_assert(offsetof(PORT_DATA_1, sztQueue) == xcv::kQueueField.offset);
static_assert(offsetof(PORT_DATA_1, sztIPAddress) == xcv::kIpAddressField.offset);
static_assert(sizeof(PORT_DATA_1::sztIPAddress) / sizeof(WCHAR) == xcv::kIpAddressField.units);
static_assert(offsetof(PORT_DATA_1, dwPortNumber) == xcv::kPortNumberOffset);
static_assert(offsetof(PORT_DATA_1, dwSNMPEnabled) == xcv::kSnmpEnabledOffset);
static_assert(offsetof(PORT_DATA_1, dwSNMPDevIndex) == xcv::kSnmpDeviceIndexOffset);

static_assert(sizeof(PORT_DATA_2) == xcv::kPortData2Size);
static_assert(offsetof(PORT_DATA_2, sztHostAddress) == xcv::kHostAddress2Field.offset);
static_assert(sizeof(PORT_DATA_2::sztHostAddress) / sizeof(WCHAR) == xcv::kHostAddress2Field.units);
static_assert(offsetof(PORT_DATA_2, sztSNMPCommunity) == xcv::kSnmpCommunity2Field.offset);
static_assert(offsetof(PORT_DATA_2, dwDoubleSpool) == xcv::kDoubleSpool2Offset);
static_assert(offsetof(PORT_DATA_2, sztQueue) == xcv::kQueue2Field.offset);
static_assert(offsetof(PORT_DATA_2, dwPortNumber) == xcv::kPortNumber2Offset);
static_assert(offsetof(PORT_DATA_2, dwSNMPEnabled) == xcv::kSnmpEnabled2Offset);
static_assert(offsetof(PORT_DATA_2, dwSNMPDevIndex) == xcv::kSnmpDeviceIndex2Offset);
static_assert(offsetof(PORT_DATA_2, dwPortMonitorMibIndex) == xcv::kPortMonitorMibIndex2Offset);

static_assert(sizeof(DELETE_PORT_DATA_1) == xcv::kDeletePortSize);
static_assert(offsetof(DELETE_PORT_DATA_1, dwVersion) == xcv::kDeletePortVersionOffset);
