#pragma once
#include "TransferServices.h"

// The transfers' view of Windows: the scan engine, the capability values,
// the imaging library, global memory and the temporary folder.
TransferServices& win32TransferServices();
